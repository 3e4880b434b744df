// Small helpers for logic tests on the simulated Windows.
#pragma once

#include <zlib.h>

#include <string>

#include "platform/sim/sim_windows.h"

namespace testing_support {

using platform::Text;

// Writes a file (creating its folders) through the simulated file system.
inline void WriteFile(platform::Platform& p, const Text& path, const std::string& content) {
  size_t slash = path.find_last_of(u'\\');
  if (slash != Text::npos) p.files.ForceDirectories(path.substr(0, slash));
  uint32_t error = 0;
  auto f = p.files.Open(path, platform::Access::kWrite, platform::Share::kExclusive,
                        platform::Disposition::kCreateAlways, &error);
  if (!f) throw std::runtime_error("cannot create " + platform::ToUtf8(path));
  f->Write(content.data(), content.size());
}

inline std::string ReadFile(platform::Platform& p, const Text& path) {
  uint32_t error = 0;
  auto f = p.files.Open(path, platform::Access::kRead, platform::Share::kRead,
                        platform::Disposition::kOpenExisting, &error);
  if (!f) throw std::runtime_error("cannot open " + platform::ToUtf8(path));
  std::string out(static_cast<size_t>(f->Size()), '\0');
  if (!out.empty()) f->ReadBuffer(out.data(), out.size());
  return out;
}

// One archive entry as the format stores it, names as bytes: "?" in them
// as older versions wrote characters the code page lacked.
inline std::string ArchiveEntry(const std::string& dir, const std::string& name, const std::string& content) {
  std::string entry;
  entry.push_back(static_cast<char>(dir.size()));
  entry += dir;
  entry.push_back(static_cast<char>(name.size()));
  entry += name;
  uLongf size = compressBound(static_cast<uLong>(content.size()));
  std::string data(size, '\0');
  compress(reinterpret_cast<Bytef*>(data.data()), &size, reinterpret_cast<const Bytef*>(content.data()),
           static_cast<uLong>(content.size()));
  data.resize(size);
  for (uint32_t v : {static_cast<uint32_t>(content.size()), static_cast<uint32_t>(size)})
    for (int i = 0; i < 4; ++i) entry.push_back(static_cast<char>(v >> (8 * i)));
  return entry + data;
}

}  // namespace testing_support

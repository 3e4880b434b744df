// Small helpers for logic tests on the simulated Windows.
#pragma once

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

}  // namespace testing_support

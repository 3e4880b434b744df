// The Opera converter on arbitrary bytes: RearchAndReplace with arbitrary
// search and replacement texts, and a whole-file conversion through the
// simulated file system, whose saved file must be what the conversion made.
//
// Input: byte 0 the method, bytes 1 and 2 the lengths (up to 63) of the
// search text and of the replacement, then those texts, then the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "brantle/browsers/opera/opera_convert.h"
#include "platform/sim/sim_windows.h"

namespace {

platform::sim::TempSimWindows& Sim() {
  static platform::sim::TempSimWindows sim;
  return sim;
}

const platform::Text kFile = u"C:\\operaprefs.ini";

std::string ReadBack(platform::Platform& p) {
  uint32_t error = 0;
  auto f = p.files.Open(kFile, platform::Access::kRead, platform::Share::kRead,
                        platform::Disposition::kOpenExisting, &error);
  if (!f) std::abort();
  std::string out(static_cast<size_t>(f->Size()), '\0');
  if (!out.empty()) f->ReadBuffer(out.data(), out.size());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int method = data[0] % 12;
  const size_t searchLength = data[1] % 64, replacementLength = data[2] % 64;
  if (size < 3 + searchLength + replacementLength) return 0;
  const char* bytes = reinterpret_cast<const char*>(data);
  const std::string search(bytes + 3, searchLength);
  const std::string replacement(bytes + 3 + searchLength, replacementLength);
  const std::string file(bytes + 3 + searchLength + replacementLength, size - 3 - searchLength - replacementLength);

  std::string text = file;
  size_t count = brantle::RearchAndReplace(text, search, replacement);
  if ((count == 0 || search.empty()) && text != file) std::abort();
  if (search.empty() && count != 0) std::abort();

  platform::Platform& p = Sim().Get();
  {
    uint32_t error = 0;
    auto f = p.files.Open(kFile, platform::Access::kWrite, platform::Share::kExclusive,
                          platform::Disposition::kCreateAlways, &error);
    if (!f) std::abort();
    if (!file.empty()) f->Write(file.data(), file.size());
  }
  brantle::ConversionValues values;
  values.user = platform::FromUtf8(replacement);
  values.drive = u"C:";
  values.oldUser = values.oldDrive = platform::FromUtf8(search);
  brantle::ConversionOutcome outcome = brantle::ConvertFile(p, kFile, method, values);
  std::string expected = file;
  const bool converts = brantle::ConvertText(expected, method, values).empty();
  if (outcome.saved != converts) std::abort();
  const std::string stored = ReadBack(p);
  if (outcome.saved ? (stored != expected || outcome.text != expected) : stored != file) std::abort();
  return 0;
}

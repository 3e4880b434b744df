#include <windows.h>

#include <vector>

#include "platform/win32/win32_system_platform.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// A default no ini value can hold, to tell a missing key from a value.
const wchar_t kMissing[] = L"\x01\x02\x03missing";

// Calls fn(buffer, size) with ever larger buffers until the answer fits:
// the functions signal truncation by filling the buffer up to size - tail.
template <typename Fn>
std::vector<wchar_t> ReadGrowing(Fn fn, DWORD tail, DWORD* length) {
  for (DWORD size = 1024;; size *= 4) {
    std::vector<wchar_t> buffer(size, L'\0');
    DWORD n = fn(buffer.data(), size);
    if (n < size - tail || size >= (1u << 24)) {
      *length = n;
      return buffer;
    }
  }
}

std::vector<Text> SplitDoubleNull(const std::vector<wchar_t>& buffer, DWORD length) {
  std::vector<Text> names;
  for (DWORD i = 0; i < length;) {
    const wchar_t* name = buffer.data() + i;
    size_t n = wcslen(name);
    if (n == 0) break;
    names.push_back(FromW(name, n));
    i += static_cast<DWORD>(n) + 1;
  }
  return names;
}

class Win32Profile : public Profile {
 public:
  Text ReadString(const Text& file, const Text& section, const Text& key,
                  const Text& defaultValue, bool* found) override {
    DWORD length = 0;
    std::vector<wchar_t> buffer = ReadGrowing(
        [&](wchar_t* b, DWORD size) {
          return ::GetPrivateProfileStringW(W(section), W(key), kMissing, b, size, W(file));
        },
        1, &length);
    Text value = FromW(buffer.data(), length);
    bool ok = value != FromW(kMissing);
    if (found) *found = ok;
    return ok ? value : defaultValue;
  }

  std::vector<Text> ReadKeys(const Text& file, const Text& section) override {
    DWORD length = 0;
    std::vector<wchar_t> buffer = ReadGrowing(
        [&](wchar_t* b, DWORD size) {
          return ::GetPrivateProfileStringW(W(section), nullptr, L"", b, size, W(file));
        },
        2, &length);
    return SplitDoubleNull(buffer, length);
  }

  std::vector<Text> ReadSections(const Text& file) override {
    DWORD length = 0;
    std::vector<wchar_t> buffer = ReadGrowing(
        [&](wchar_t* b, DWORD size) { return ::GetPrivateProfileSectionNamesW(b, size, W(file)); },
        2, &length);
    return SplitDoubleNull(buffer, length);
  }

  bool WriteString(const Text& file, const Text& section, const Text& key,
                   const Text& value) override {
    return ::WritePrivateProfileStringW(W(section), W(key), W(value), W(file)) != 0;
  }

  bool DeleteKey(const Text& file, const Text& section, const Text& key) override {
    return ::WritePrivateProfileStringW(W(section), W(key), nullptr, W(file)) != 0;
  }

  bool EraseSection(const Text& file, const Text& section) override {
    return ::WritePrivateProfileStringW(W(section), nullptr, nullptr, W(file)) != 0;
  }
};

}  // namespace

std::unique_ptr<Profile> MakeProfile() { return std::make_unique<Win32Profile>(); }

}  // namespace platform::win32

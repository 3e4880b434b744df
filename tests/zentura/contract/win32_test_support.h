// Helpers of the contract tests on the real API: a scratch folder, raw
// files, and the folder of the test programs.
#pragma once

#include <windows.h>

#include <string>

#include "platform/text.h"
#include "platform/win32/win32_text.h"

namespace zentura_test {

using platform::Text;

// The folder of the running test program, with a trailing backslash.
inline Text ProgramFolder() {
  wchar_t buffer[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  Text path = platform::win32::FromW(buffer, n);
  return path.substr(0, path.find_last_of(u'\\') + 1);
}

// A fresh folder under the temporary folder, with a trailing backslash.
inline Text ScratchFolder(const char* name) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  Text folder = platform::win32::FromW(temp) + platform::FromUtf8(name) + u"-" +
                platform::ToText(::GetCurrentProcessId()) + u"\\";
  ::CreateDirectoryW(platform::win32::W(folder), nullptr);
  return folder;
}

inline bool WriteRawFile(const Text& path, const std::string& bytes) {
  HANDLE h = ::CreateFileW(platform::win32::W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  ::CloseHandle(h);
  return ok;
}

}  // namespace zentura_test

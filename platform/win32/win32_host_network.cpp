#include <windows.h>
#include <shellapi.h>

#include "platform/host_network.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_text.h"

namespace platform {

std::unique_ptr<Network> OpenHostNetwork() { return win32::MakeNetwork(); }

intptr_t StartHostProgram(const Text& file, const Text& parameters) {
  return reinterpret_cast<intptr_t>(
      ShellExecuteW(nullptr, L"open", win32::W(file), win32::W(parameters), L"", SW_SHOWNORMAL));
}

Text HostTempFolder(HostPlatform&) {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  return IncludeTrailingBackslash(win32::FromW(buffer, n));
}

}  // namespace platform

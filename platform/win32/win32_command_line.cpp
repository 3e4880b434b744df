#include <windows.h>
#include <shellapi.h>
#include <io.h>

#include "platform/host.h"

namespace platform {

std::vector<std::string> CommandLineArguments(int, char**) {
  std::vector<std::string> out;
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return out;
  for (int i = 0; i < count; ++i)
    out.push_back(ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(args[i]))));
  LocalFree(args);
  return out;
}

bool IsTerminal(int fd) { return _isatty(fd) != 0; }

}  // namespace platform

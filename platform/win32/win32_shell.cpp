#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/shell.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// The shell takes lists of paths, each NUL-terminated, ended by one more NUL.
Text OneEntryList(const Text& path) {
  Text list = path;
  list.push_back(u'\0');
  list.push_back(u'\0');
  return list;
}

class Win32Shell : public Shell {
 public:
  int FileOperation(ShellOp op, const Text& from, const Text& to, uint32_t flags) override {
    Text fromList = OneEntryList(from);
    Text toList = OneEntryList(to);
    SHFILEOPSTRUCTW fo{};
    fo.hwnd = nullptr;
    fo.wFunc = op == ShellOp::kCopy ? FO_COPY : FO_DELETE;
    fo.pFrom = W(fromList);
    fo.pTo = op == ShellOp::kCopy ? W(toList) : nullptr;
    fo.fFlags = static_cast<FILEOP_FLAGS>(flags);
    return SHFileOperationW(&fo);
  }

  int32_t FolderPath(int csidl, Text* path) override {
    wchar_t buffer[MAX_PATH];
    HRESULT hr = SHGetFolderPathW(nullptr, csidl, nullptr, 0, buffer);
    if (SUCCEEDED(hr)) *path = FromW(buffer);
    return static_cast<int32_t>(hr);
  }
};

}  // namespace

std::unique_ptr<Shell> MakeShell() { return std::make_unique<Win32Shell>(); }

}  // namespace platform::win32

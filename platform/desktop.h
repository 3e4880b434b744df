// Shell and desktop operations of the optimiser: shortcuts, version
// resources, file icons, ShellExecuteW, the notification-area sweep,
// deletion at the next restart, and the folders it asks for.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/shell.h"
#include "platform/text.h"

namespace platform {

namespace sw {
constexpr int kShowNormal = 1;
}  // namespace sw

// A version resource read by GetFileVersionInfoW.
class VersionBlock {
 public:
  virtual ~VersionBlock() = default;
  // VerQueryValueW of "\VarFileInfo\Translation": the first translation.
  virtual bool Translation(uint32_t* languageAndCodePage) = 0;
  // VerQueryValueW of a string path such as "\StringFileInfo\040904B0\CompanyName".
  virtual bool QueryString(const Text& path, Text* value) = 0;
  // VerQueryValueW of "\": VS_FIXEDFILEINFO as 13 words.
  virtual bool FixedInfo(uint32_t words[13]) = 0;
};

// What the notification area's toolbar window offers to the sweep.
class TrayToolbar {
 public:
  virtual ~TrayToolbar() = default;
  virtual bool ClientSize(int* width, int* height) = 0;
  // SendMessageW(WM_MOUSEMOVE, no keys, point).
  virtual void MouseMove(int x, int y) = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Loads a .lnk file through IShellLinkW and resolves it without UI; returns
  // the HRESULT (0 = success) and the target (up to 259 characters) and
  // arguments (up to 254 characters).
  virtual int32_t ResolveShortcut(const Text& lnkPath, Text* target, Text* arguments) = 0;
  // GetFileVersionInfoSizeW and GetFileVersionInfoW; null when there is none.
  virtual std::unique_ptr<VersionBlock> ReadVersionInfo(const Text& file) = 0;
  // SHGetFileInfoW(SHGFI_ICON | SHGFI_USEFILEATTRIBUTES [| SHGFI_SMALLICON],
  // FILE_ATTRIBUTE_NORMAL); 0 on failure. The caller owns the handle.
  virtual uintptr_t FileIcon(const Text& path, bool small) = 0;
  // The same with FILE_ATTRIBUTE_DIRECTORY: a folder's large icon.
  virtual uintptr_t FolderIcon(const Text& path) { return FileIcon(path, false); }
  virtual void DestroyIcon(uintptr_t icon) = 0;
  // ShellExecuteW without owner window; returns its result (above 32 = success).
  virtual intptr_t ShellExecute(const Text& verb, const Text& file, const Text& parameters,
                                const Text& directory, int show) = 0;
  // Shell_TrayWnd > TrayNotifyWnd > SysPager > ToolbarWindow32; null when absent.
  virtual std::unique_ptr<TrayToolbar> FindTrayToolbar() = 0;
  // GetSystemMetrics(SM_CXSMICON / SM_CYSMICON).
  virtual void SmallIconSize(int* width, int* height) = 0;
  // MoveFileExW(path, no new name, MOVEFILE_DELAY_UNTIL_REBOOT).
  virtual bool DeleteAtReboot(const Text& path) = 0;
  // CreateProcessW(application, command line, no inherited handles, default
  // creation flags); the process and thread handles are closed at once.
  virtual bool CreateProcess(const Text& application, const Text& commandLine) = 0;
  // GetSystemDirectoryW into a buffer of `capacity` characters; empty on failure.
  virtual Text SystemDir(uint32_t capacity) = 0;
  // SHGetSpecialFolderPathW without creating the folder; false on failure.
  virtual bool SpecialFolder(int csidl, Text* path) = 0;
  // Full path of the running executable (GetModuleFileNameW of no module).
  virtual Text ExePath() = 0;
  // The user's decimal separator (LOCALE_SDECIMAL).
  virtual char16_t DecimalSeparator() = 0;
  // COM for the calling worker thread (multithreaded), so shell calls made
  // on it can reach shell extensions; each Begin pairs with an End.
  virtual void BeginThreadCom() {}
  virtual void EndThreadCom() {}
};

// The folders the optimiser asks for besides those of platform/shell.h.
namespace csidl {
constexpr int kStartup = 7;
constexpr int kCommonStartup = 24;
constexpr int kCommonAppData = 35;
}  // namespace csidl

}  // namespace platform

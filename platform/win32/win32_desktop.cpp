#include <windows.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
// The interface's method names, not the API's character-set macros.
#undef ShellExecute
#undef CreateProcess

#include <vector>

#include "platform/win32/win32_system_platform.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

class Win32VersionBlock : public VersionBlock {
 public:
  explicit Win32VersionBlock(std::vector<BYTE> data) : data_(std::move(data)) {}

  bool Translation(uint32_t* value) override {
    void* p = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &p, &size) || size < 4) {
      return false;
    }
    const WORD* words = static_cast<const WORD*>(p);
    *value = words[0] | (static_cast<uint32_t>(words[1]) << 16);
    return true;
  }

  bool QueryString(const Text& path, Text* value) override {
    void* p = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(data_.data(), W(path), &p, &size) || !p) return false;
    const wchar_t* text = static_cast<const wchar_t*>(p);
    size_t n = 0;
    while (n < size && text[n]) ++n;
    *value = FromW(text, n);
    return true;
  }

  bool FixedInfo(uint32_t words[13]) override {
    void* p = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(data_.data(), L"\\", &p, &size) || size < 13 * 4) return false;
    const DWORD* fixed = static_cast<const DWORD*>(p);
    for (int i = 0; i < 13; ++i) words[i] = fixed[i];
    return true;
  }

 private:
  std::vector<BYTE> data_;
};

class Win32Tray : public TrayToolbar {
 public:
  explicit Win32Tray(HWND h) : h_(h) {}
  bool ClientSize(int* width, int* height) override {
    RECT r;
    if (!::GetClientRect(h_, &r)) return false;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return true;
  }
  void MouseMove(int x, int y) override { ::SendMessageW(h_, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

 private:
  HWND h_;
};

const wchar_t* OrNull(const Text& t) { return t.empty() ? nullptr : W(t); }

// Whether this thread's BeginThreadCom started COM (the desktop object is shared).
thread_local bool tComStarted = false;

class Win32Desktop : public Desktop {
 public:
  int32_t ResolveShortcut(const Text& lnkPath, Text* target, Text* arguments) override {
    target->clear();
    arguments->clear();
    HRESULT init = ::CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&link));
    if (SUCCEEDED(hr)) hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) hr = file->Load(W(lnkPath.substr(0, 519)), STGM_READ);
    if (SUCCEEDED(hr)) hr = link->Resolve(nullptr, SLR_NO_UI);
    wchar_t buffer[MAX_PATH] = {};
    if (SUCCEEDED(hr)) hr = link->GetPath(buffer, MAX_PATH, nullptr, SLGP_UNCPRIORITY);
    if (SUCCEEDED(hr)) *target = FromW(buffer);
    wchar_t args[255] = {};
    if (SUCCEEDED(hr)) hr = link->GetArguments(args, 255);
    if (SUCCEEDED(hr)) *arguments = FromW(args);
    if (file) file->Release();
    if (link) link->Release();
    if (SUCCEEDED(init)) ::CoUninitialize();
    // S_FALSE from GetPath (no target) counts as a failure to resolve.
    return hr == S_OK ? 0 : (FAILED(hr) ? hr : E_FAIL);
  }

  std::unique_ptr<VersionBlock> ReadVersionInfo(const Text& file) override {
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(W(file), &handle);
    if (size == 0) return nullptr;
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(W(file), 0, size, data.data())) return nullptr;
    return std::make_unique<Win32VersionBlock>(std::move(data));
  }

  uintptr_t FileIcon(const Text& path, bool small) override {
    SHFILEINFOW info{};
    UINT flags = SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | (small ? SHGFI_SMALLICON : SHGFI_LARGEICON);
    if (!::SHGetFileInfoW(W(path), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags)) return 0;
    return reinterpret_cast<uintptr_t>(info.hIcon);
  }

  uintptr_t FolderIcon(const Text& path) override {
    SHFILEINFOW info{};
    UINT flags = SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_LARGEICON;
    if (!::SHGetFileInfoW(W(path), FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags)) return 0;
    return reinterpret_cast<uintptr_t>(info.hIcon);
  }

  void DestroyIcon(uintptr_t icon) override {
    if (icon) ::DestroyIcon(reinterpret_cast<HICON>(icon));
  }

  intptr_t ShellExecute(const Text& verb, const Text& file, const Text& parameters,
                        const Text& directory, int show) override {
    return reinterpret_cast<intptr_t>(::ShellExecuteW(nullptr, OrNull(verb), W(file),
                                                      OrNull(parameters), OrNull(directory), show));
  }

  std::unique_ptr<TrayToolbar> FindTrayToolbar() override {
    HWND h = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    for (const wchar_t* cls : {L"TrayNotifyWnd", L"SysPager", L"ToolbarWindow32"}) {
      if (!h) return nullptr;
      h = ::FindWindowExW(h, nullptr, cls, nullptr);
    }
    if (!h) return nullptr;
    return std::make_unique<Win32Tray>(h);
  }

  void SmallIconSize(int* width, int* height) override {
    *width = ::GetSystemMetrics(SM_CXSMICON);
    *height = ::GetSystemMetrics(SM_CYSMICON);
  }

  bool DeleteAtReboot(const Text& path) override {
    return ::MoveFileExW(W(path), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
  }

  bool CreateProcess(const Text& application, const Text& commandLine) override {
    // CreateProcessW may write into the command line, so it gets a copy.
    std::vector<wchar_t> command(commandLine.begin(), commandLine.end());
    command.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(W(application), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
      return false;
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return true;
  }

  Text SystemDir(uint32_t capacity) override {
    std::vector<wchar_t> buffer(capacity + 1, L'\0');
    UINT n = ::GetSystemDirectoryW(buffer.data(), capacity);
    return n == 0 || n >= capacity ? Text() : FromW(buffer.data(), n);
  }

  bool SpecialFolder(int csidl, Text* path) override {
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) return false;
    *path = FromW(buffer);
    return true;
  }

  Text ExePath() override {
    std::vector<wchar_t> buffer(32768, L'\0');
    DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return FromW(buffer.data(), n);
  }

  void BeginThreadCom() override {
    tComStarted = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  }
  void EndThreadCom() override {
    if (tComStarted) ::CoUninitialize();
    tComStarted = false;
  }
  char16_t DecimalSeparator() override {
    wchar_t buffer[8] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) < 2) return u'.';
    return static_cast<char16_t>(buffer[0]);
  }
};

}  // namespace

std::unique_ptr<Desktop> MakeDesktop() { return std::make_unique<Win32Desktop>(); }

}  // namespace platform::win32

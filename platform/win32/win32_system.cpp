#include "platform/system.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

class Win32System : public System {
 public:
  bool UserName(Text* name) override {
    wchar_t buffer[256];
    DWORD size = 256;
    if (!GetUserNameW(buffer, &size)) return false;
    *name = FromW(buffer);
    return true;
  }

  OsVersion Version() override {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExW(&info);
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
  }

  Text ErrorMessage(uint32_t code) override {
    wchar_t buffer[1024];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buffer, 1024, nullptr);
    Text text = FromW(buffer, n);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' '))
      text.pop_back();
    return text.empty() ? u"Unknown error " + ToText(code) + u"." : text;
  }

  std::string ToAnsi(std::u16string_view text, bool* usedDefault) override {
    if (usedDefault) *usedDefault = false;
    if (text.empty()) return {};
    const auto* w = reinterpret_cast<const wchar_t*>(text.data());
    int length = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_ACP, 0, w, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    BOOL defaulted = FALSE;
    WideCharToMultiByte(CP_ACP, 0, w, length, out.data(), n, nullptr, &defaulted);
    if (usedDefault) *usedDefault = defaulted != FALSE;
    return out;
  }

  Text FromAnsi(std::string_view bytes) override {
    if (bytes.empty()) return {};
    int length = static_cast<int>(bytes.size());
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, out.data(), n);
    return FromW(out.data(), out.size());
  }

  void SleepMs(uint32_t ms) override { Sleep(ms); }

  bool Wow64Process(bool* wow64) override {
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow = FALSE;
    if (isWow64 && !isWow64(GetCurrentProcess(), &wow)) return false;
    *wow64 = wow != FALSE;
    return true;
  }
};

}  // namespace

std::unique_ptr<System> MakeSystem() { return std::make_unique<Win32System>(); }

}  // namespace platform::win32

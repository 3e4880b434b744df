#include "platform/security.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

class Win32Token : public Token {
 public:
  explicit Win32Token(HANDLE handle) : handle(handle) {}
  ~Win32Token() override { CloseHandle(handle); }
  HANDLE handle;
};

class Win32Security : public Security {
 public:
  uint32_t OpenProcessToken(uint32_t access, std::unique_ptr<Token>* token) override {
    HANDLE h = nullptr;
    if (!::OpenProcessToken(GetCurrentProcess(), access, &h)) return GetLastError();
    *token = std::make_unique<Win32Token>(h);
    return 0;
  }

  uint32_t LookupPrivilege(const Text& name, uint64_t* luid) override {
    LUID value;
    if (!LookupPrivilegeValueW(nullptr, W(name), &value)) return GetLastError();
    *luid = (static_cast<uint64_t>(static_cast<uint32_t>(value.HighPart)) << 32) | value.LowPart;
    return 0;
  }

  uint32_t AdjustPrivilege(Token& token, bool disableAll, uint64_t luid,
                           uint32_t attributes) override {
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Luid.LowPart = static_cast<DWORD>(luid);
    tp.Privileges[0].Luid.HighPart = static_cast<LONG>(luid >> 32);
    tp.Privileges[0].Attributes = attributes;
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(static_cast<Win32Token&>(token).handle, disableAll,
                               disableAll ? nullptr : &tp, 0, nullptr, nullptr))
      return GetLastError();
    // The call "succeeds" for a privilege the token does not hold.
    return GetLastError() == ERROR_NOT_ALL_ASSIGNED ? ERROR_NOT_ALL_ASSIGNED : 0;
  }
};

}  // namespace

std::unique_ptr<Security> MakeSecurity() { return std::make_unique<Win32Security>(); }

}  // namespace platform::win32

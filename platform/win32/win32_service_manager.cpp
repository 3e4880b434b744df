#include <windows.h>
// The interface's method names, not the API's character-set macros.
#undef OpenService

#include "platform/win32/win32_system_platform.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

void Copy(const SERVICE_STATUS& s, ServiceStatus* out) {
  out->serviceType = s.dwServiceType;
  out->currentState = s.dwCurrentState;
  out->controlsAccepted = s.dwControlsAccepted;
  out->win32ExitCode = s.dwWin32ExitCode;
  out->checkPoint = s.dwCheckPoint;
  out->waitHint = s.dwWaitHint;
}

bool Fail(uint32_t* error) {
  if (error) *error = ::GetLastError();
  return false;
}

class Win32Service : public ServiceHandle {
 public:
  explicit Win32Service(SC_HANDLE h) : h_(h) {}
  ~Win32Service() override { ::CloseServiceHandle(h_); }

  bool QueryStatus(ServiceStatus* status, uint32_t* error) override {
    SERVICE_STATUS s{};
    if (!::QueryServiceStatus(h_, &s)) return Fail(error);
    Copy(s, status);
    return true;
  }

  bool Start(uint32_t* error) override {
    return ::StartServiceW(h_, 0, nullptr) ? true : Fail(error);
  }

  bool Control(uint32_t control, ServiceStatus* status, bool* statusValid,
               uint32_t* error) override {
    SERVICE_STATUS s{};
    *statusValid = false;
    if (::ControlService(h_, control, &s)) {
      Copy(s, status);
      *statusValid = true;
      return true;
    }
    DWORD code = ::GetLastError();
    if (error) *error = code;
    // With these errors Windows fills in the service's latest status.
    if ((code == ERROR_SERVICE_NOT_ACTIVE || code == ERROR_SERVICE_CANNOT_ACCEPT_CTRL ||
         code == ERROR_INVALID_SERVICE_CONTROL) &&
        s.dwCurrentState != 0) {
      Copy(s, status);
      *statusValid = true;
    }
    return false;
  }

 private:
  SC_HANDLE h_;
};

class Win32Manager : public ServiceManagerHandle {
 public:
  explicit Win32Manager(SC_HANDLE h) : h_(h) {}
  ~Win32Manager() override { ::CloseServiceHandle(h_); }

  std::unique_ptr<ServiceHandle> OpenService(const Text& keyName, uint32_t access,
                                             uint32_t* error) override {
    SC_HANDLE s = ::OpenServiceW(h_, W(keyName), access);
    if (!s) {
      Fail(error);
      return nullptr;
    }
    return std::make_unique<Win32Service>(s);
  }

  bool DisplayName(const Text& keyName, uint32_t capacity, Text* displayName,
                   uint32_t* error) override {
    return Lookup(::GetServiceDisplayNameW, keyName, capacity, displayName, error);
  }

  bool KeyName(const Text& displayName, uint32_t capacity, Text* keyName,
               uint32_t* error) override {
    return Lookup(::GetServiceKeyNameW, displayName, capacity, keyName, error);
  }

 private:
  template <typename Fn>
  bool Lookup(Fn fn, const Text& name, uint32_t capacity, Text* out, uint32_t* error) {
    std::vector<wchar_t> buffer(capacity + 1, L'\0');
    DWORD size = capacity;
    if (!fn(h_, W(name), buffer.data(), &size)) return Fail(error);
    *out = FromW(buffer.data(), size < capacity ? size : capacity);
    return true;
  }
  SC_HANDLE h_;
};

class Win32ServiceManager : public ServiceManager {
 public:
  std::unique_ptr<ServiceManagerHandle> Open(uint32_t access, uint32_t* error) override {
    SC_HANDLE h = ::OpenSCManagerW(nullptr, nullptr, access);
    if (!h) {
      Fail(error);
      return nullptr;
    }
    return std::make_unique<Win32Manager>(h);
  }
};

}  // namespace

std::unique_ptr<ServiceManager> MakeServiceManager() {
  return std::make_unique<Win32ServiceManager>();
}

}  // namespace platform::win32

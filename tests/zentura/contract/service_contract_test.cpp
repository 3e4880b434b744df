// The service routines against the real service control manager, with a
// test service installed for the purpose.
#include <windows.h>
// The routines share their names with the API's character-set macros.
#undef GetServiceDisplayName
#undef GetServiceKeyName

#include <gtest/gtest.h>

#include "platform/win32/win32_system_platform.h"
#include "tests/zentura/contract/win32_test_support.h"
#include "zentura/gamemode/service_control.h"

namespace zentura {
namespace {

const wchar_t kName[] = L"ZenturaTestSvc";
const wchar_t kDisplay[] = L"Zentura Test Service";

// Installs the test service (replacing a leftover one) and removes it again.
class InstalledService {
 public:
  InstalledService() {
    manager_ = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager_) return;
    Remove();
    Text exe = zentura_test::ProgramFolder() + u"zentura_test_service.exe";
    SC_HANDLE s = ::CreateServiceW(manager_, kName, kDisplay, SERVICE_ALL_ACCESS,
                                   SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                   SERVICE_ERROR_IGNORE, platform::win32::W(exe), nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
    installed_ = s != nullptr;
    error_ = installed_ ? 0 : ::GetLastError();
    if (s) {
      WaitUntilStartable(s);
      ::CloseServiceHandle(s);
    }
  }
  ~InstalledService() {
    if (manager_) {
      Remove();
      ::CloseServiceHandle(manager_);
    }
  }
  bool installed() const { return installed_; }
  DWORD error() const { return error_; }

 private:
  // A session that has just started may keep the service database locked
  // while it starts its own services (ERROR_SERVICE_DATABASE_LOCKED), and a
  // first start on a busy machine may time out: start until a start goes
  // through, then leave the service stopped again.
  static void WaitUntilStartable(SC_HANDLE s) {
    DWORD began = ::GetTickCount();
    while (::GetTickCount() - began < 180000) {
      if (::StartServiceW(s, 0, nullptr)) {
        WaitStopped(s);
        return;
      }
      DWORD error = ::GetLastError();
      if (error != ERROR_SERVICE_DATABASE_LOCKED && error != ERROR_SERVICE_REQUEST_TIMEOUT) return;
      ::Sleep(250);
    }
  }
  static void WaitStopped(SC_HANDLE s) {
    SERVICE_STATUS st;
    for (int i = 0; i < 100; ++i) {
      ::ControlService(s, SERVICE_CONTROL_STOP, &st);
      if (::QueryServiceStatus(s, &st) && st.dwCurrentState == SERVICE_STOPPED) return;
      ::Sleep(100);
    }
  }
  void Remove() {
    SC_HANDLE s = ::OpenServiceW(manager_, kName, SERVICE_ALL_ACCESS);
    if (!s) return;
    WaitStopped(s);
    ::DeleteService(s);
    ::CloseServiceHandle(s);
  }
  SC_HANDLE manager_ = nullptr;
  bool installed_ = false;
  DWORD error_ = 0;
};

TEST(ServiceContract, StopAndStartLeaveTheStateTheRoutinesReport) {
  InstalledService service;
  ASSERT_TRUE(service.installed()) << "CreateServiceW failed: " << service.error();
  platform::win32::Win32SystemPlatform sys;
  platform::SystemPlatform& sp = sys.Get();
  const Text key = u"ZenturaTestSvc";

  EXPECT_EQ(GetServiceState(sp, u"", key), platform::svcstate::kStopped);
  EXPECT_EQ(GetServiceDisplayName(sp, u"", key), u"Zentura Test Service");
  EXPECT_EQ(GetServiceKeyName(sp, u"", u"Zentura Test Service"), key);
  EXPECT_EQ(GetServiceKeyName(sp, u"", u"No Such Service Here"), u"");

  ASSERT_TRUE(StartServiceAndWait(sp, u"", key));
  EXPECT_EQ(GetServiceState(sp, u"", key), platform::svcstate::kRunning);
  EXPECT_TRUE(IsServiceRunning(sp, u"", key));
  // Starting a running service fails, and says so.
  EXPECT_FALSE(StartServiceAndWait(sp, u"", key));

  ASSERT_TRUE(StopServiceAndWait(sp, u"", key));
  EXPECT_EQ(GetServiceState(sp, u"", key), platform::svcstate::kStopped);
  // A service that is not active answers the stop with its stopped state.
  EXPECT_TRUE(StopServiceAndWait(sp, u"", key));

  ASSERT_TRUE(StartServiceAndWait(sp, u"", key));
  EXPECT_EQ(GetServiceState(sp, u"", key), platform::svcstate::kRunning);
  ASSERT_TRUE(StopServiceAndWait(sp, u"", key));
  EXPECT_EQ(GetServiceState(sp, u"", key), platform::svcstate::kStopped);
}

TEST(ServiceContract, AMissingServiceIsNeitherRunningNorStartedNorStopped) {
  platform::win32::Win32SystemPlatform sys;
  platform::SystemPlatform& sp = sys.Get();
  EXPECT_EQ(GetServiceState(sp, u"", u"NoSuchServiceZ"), 0u);
  EXPECT_FALSE(StartServiceAndWait(sp, u"", u"NoSuchServiceZ"));
  EXPECT_FALSE(StopServiceAndWait(sp, u"", u"NoSuchServiceZ"));
  EXPECT_EQ(GetServiceDisplayName(sp, u"", u"NoSuchServiceZ"), u"");
}

}  // namespace
}  // namespace zentura

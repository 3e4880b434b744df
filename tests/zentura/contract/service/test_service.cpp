// A service that does nothing: it reports running until it is asked to stop.
// The contract tests install it into the Wine prefix to exercise the service
// routines against the real service control manager.
#include <windows.h>

namespace {

SERVICE_STATUS_HANDLE g_status = nullptr;
HANDLE g_stop = nullptr;
wchar_t g_name[] = L"ZenturaTestSvc";

void Report(DWORD state, DWORD checkPoint, DWORD waitHint) {
  SERVICE_STATUS s{};
  s.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  s.dwCurrentState = state;
  s.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  s.dwCheckPoint = checkPoint;
  s.dwWaitHint = waitHint;
  ::SetServiceStatus(g_status, &s);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING, 1, 2000);
    ::SetEvent(g_stop);
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
  g_status = ::RegisterServiceCtrlHandlerExW(g_name, Handler, nullptr);
  if (!g_status) return;
  g_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  // Start-up takes a moment, with progress, as real services report it.
  Report(SERVICE_START_PENDING, 1, 1000);
  ::Sleep(200);
  Report(SERVICE_START_PENDING, 2, 1000);
  ::Sleep(200);
  Report(SERVICE_RUNNING, 0, 0);
  ::WaitForSingleObject(g_stop, INFINITE);
  ::Sleep(300);
  Report(SERVICE_STOP_PENDING, 2, 2000);
  ::Sleep(200);
  Report(SERVICE_STOPPED, 0, 0);
  // Leave at once, so that a start right after the stop finds no process
  // of ours still winding down.
  ::ExitProcess(0);
}

}  // namespace

int main() {
  SERVICE_TABLE_ENTRYW table[] = {{g_name, ServiceMain}, {nullptr, nullptr}};
  return ::StartServiceCtrlDispatcherW(table) ? 0 : 1;
}

// zentray.exe: stands in for Zentura while it is closed in game mode. It
// shows an icon in the notification area; a click on it, or the request a
// newly started Zentura sends (WM_SYSCOMMAND 0, 0), starts Zentura.exe from
// the same folder again and ends the companion.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr UINT kIconMessage = WM_APP + 1;
constexpr UINT kIconId = 1;

HANDLE g_mutex = nullptr;
UINT g_taskbarCreated = 0;

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  return s.substr(0, s.find_last_of(L"\\/") + 1);
}

NOTIFYICONDATAW IconData(HWND hwnd) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = hwnd;
  data.uID = kIconId;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = kIconMessage;
  // The notification area shows small icons: take that size from the program's own.
  static HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                    LR_DEFAULTCOLOR));
  data.hIcon = icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
  lstrcpynW(data.szTip, L"Zentura", ARRAYSIZE(data.szTip));
  return data;
}

void AddIcon(HWND hwnd) {
  NOTIFYICONDATAW data = IconData(hwnd);
  Shell_NotifyIconW(NIM_ADD, &data);
}

void RemoveIcon(HWND hwnd) {
  NOTIFYICONDATAW data = IconData(hwnd);
  Shell_NotifyIconW(NIM_DELETE, &data);
}

bool ClaimMutex() {
  g_mutex = CreateMutexW(nullptr, TRUE, L"zentray");
  if (g_mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(g_mutex);
    g_mutex = nullptr;
  }
  return g_mutex != nullptr;
}

void DropMutex() {
  if (!g_mutex) return;
  ReleaseMutex(g_mutex);
  CloseHandle(g_mutex);
  g_mutex = nullptr;
}

// Zentura ends at once while the companion's mutex exists, so the mutex goes
// first. When Zentura cannot be started the companion stays, so the way
// back to normal mode is not lost.
void StartZentura(HWND hwnd) {
  DropMutex();
  std::wstring folder = ProgramFolder();
  std::wstring exe = folder + L"Zentura.exe";
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    ClaimMutex();
    return;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  RemoveIcon(hwnd);
  DestroyWindow(hwnd);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kIconMessage:
      if (lParam == WM_LBUTTONUP) StartZentura(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      if (wParam == 0 && lParam == 0) {
        StartZentura(hwnd);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      // The shell restarted: its notification area is new and empty.
      if (g_taskbarCreated && msg == g_taskbarCreated) {
        AddIcon(hwnd);
        return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (!ClaimMutex()) return 0;
  g_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"zentray";
  RegisterClassExW(&wc);
  // A hidden top-level window (not message-only), so FindWindowW finds it.
  HWND hwnd = CreateWindowExW(0, L"zentray", L"zentray", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance,
                              nullptr);
  if (!hwnd) {
    DropMutex();
    return 1;
  }
  AddIcon(hwnd);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DropMutex();
  return 0;
}

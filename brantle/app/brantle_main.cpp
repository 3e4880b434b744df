// Brantle.exe: creates the main window, the start page and the progress
// window, and runs the message loop.
#include <windows.h>
#undef MessageBox
#undef TextOut

#include "brantle/shell/main_window.h"
#include "platform/host.h"
#include "platform/host_network.h"
#include "platform/win32/ui/win32_ui.h"
#include "platform/win32/win32_system_platform.h"

namespace {

// The executable's path with its extension replaced by ".ini".
platform::Text PreferencesPath() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  size_t dot = s.find_last_of(L'.');
  size_t slash = s.find_last_of(L"\\/");
  if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) s.erase(dot);
  s += L".ini";
  return platform::Text(s.begin(), s.end());
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  auto host = platform::OpenHostPlatform();
  auto profile = platform::win32::MakeProfile();
  auto desktop = platform::win32::MakeDesktop();
  brantle::FileHelpers helpers(host->Get());
  brantle::ShellContext context{host->Get(), *profile, *desktop, helpers, PreferencesPath()};

  auto network = platform::OpenHostNetwork();
  brantle::UpdateServices updates{
      *network, host->Get().files, host->Get().system, platform::StartHostProgram,
      [&host] { return platform::HostTempFolder(*host); },
      profile->ReadString(context.iniPath, u"Servers", u"Update", platform::Text())};

  platform::ui::win32::Win32Ui ui;
  auto& main = ui.CreateForm<brantle::TForm1>(context);
  main.SetUpdateServices(&updates);
  main.Show();
  // Let the main window lay out its MDI client first, so the start page is
  // measured against the client's real size (no scroll bars).
  for (MSG pending; PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE) && ui.PumpOne();) {
  }
  main.CreateChildren();
  // A click anywhere hides the key tips, as any key but theirs does (keys
  // reach the main window through its OnKeyPreview).
  ui.OnLoopMessage = [&main](uint32_t message) {
    switch (message) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
        main.Tips.Hide();
        break;
      default:
        break;
    }
  };
  ui.Run();
  return 0;
}

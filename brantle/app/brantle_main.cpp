// Brantle.exe: creates the main window, the start page and the progress
// window, and runs the message loop, which also gives the command area's
// keyboard shortcuts to the main window.
#include <windows.h>
#undef MessageBox
#undef TextOut

#include "brantle/shell/main_window.h"
#include "platform/host.h"
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

bool Down(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  auto host = platform::OpenHostPlatform();
  auto profile = platform::win32::MakeProfile();
  auto desktop = platform::win32::MakeDesktop();
  brantle::FileHelpers helpers(host->Get());
  brantle::ShellContext context{host->Get(), *profile, *desktop, helpers, PreferencesPath()};

  platform::ui::win32::Win32Ui ui;
  auto& main = ui.CreateForm<brantle::TForm1>(context);
  main.Show();
  // Let the main window lay out its MDI client first, so the start page is
  // measured against the client's real size (no scroll bars).
  for (MSG pending; PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE) && ui.PumpOne();) {
  }
  main.CreateChildren();

  while (!ui.Terminated()) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
      const bool alt = (msg.lParam & (1 << 29)) != 0;
      const auto key = static_cast<char16_t>(msg.wParam);
      const bool shift = Down(VK_SHIFT), ctrl = Down(VK_CONTROL);
      if (key >= u'A' && key <= u'Z' && (alt || ctrl)) {
        // Take the key off the queue before its command runs, so the
        // windows the command creates never see it again.
        MSG taken;
        if (PeekMessageW(&taken, nullptr, msg.message, msg.message, PM_REMOVE) && taken.wParam == msg.wParam) {
          if (!main.HandleShortCut(key, shift, ctrl, alt)) {
            TranslateMessage(&taken);
            DispatchMessageW(&taken);
          }
          continue;
        }
      }
    }
    if (!ui.PumpOne()) break;
  }
  return 0;
}

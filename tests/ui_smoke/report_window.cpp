// Shows the defrag report window with a sample run, in the language files
// beside the program, so that it can be looked at under Wine (a real run
// needs a file system that reports fragments).
#include <windows.h>
#undef MessageBox

#include "platform/win32/ui/win32_ui.h"
#include "platform/win32/win32_system_platform.h"
#include "zentura/app/form_report.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring exe(path, n);
  std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
  platform::Text lng(folder.begin(), folder.end());
  lng += u"Language\\English.lng";
  platform::win32::Win32SystemPlatform system;
  zentura::TMultiLan lan(system.Get().profile, lng);
  zentura::TDefragReport report;
  report.StartTime = 46000 + (13 * 3600 + 2 * 60 + 5) / 86400.0;
  report.EndTime = 46000 + (13 * 3600 + 4 * 60 + 17) / 86400.0;
  report.ElapsedTime = report.EndTime - report.StartTime;
  report.TotalFile = 1523;
  report.FragFile = 37;
  report.DefragedFile = 35;
  platform::ui::win32::Win32Ui ui;
  ui.SetTitle(u"Zentura");
  zentura::TFormReport window(ui, lan, report, u"Defrag finished. Enjoy now!");
  ui.ShowModal(window);
  return 0;
}

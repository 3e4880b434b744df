// Zentura.exe: the start-up checks (tray companion, running instance,
// settings file), then the main window and the message loop.
#include <windows.h>
#include <shellapi.h>
#undef MessageBox

#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/host_network.h"
#include "platform/win32/ui/win32_ui.h"
#include "platform/win32/win32_game_explorer.h"
#include "platform/win32/win32_system_platform.h"
#include "platform/win32/win32_volumes.h"
#include "zentura/app/form_main.h"

namespace {

using platform::Text;

Text FromWide(const std::wstring& s) { return Text(s.begin(), s.end()); }

// The arguments after the program name.
std::vector<Text> Arguments() {
  std::vector<Text> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.push_back(FromWide(argv[i]));
  LocalFree(argv);
  return args;
}

Text ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  return FromWide(s.substr(0, s.find_last_of(L"\\/") + 1));
}

// Creates the named mutex initially owned; reports whether it existed.
HANDLE CreateOwnedMutex(const wchar_t* name, bool* existed) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, name);
  *existed = GetLastError() == ERROR_ALREADY_EXISTS;
  return mutex;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // While the tray companion stands in for the program, it is asked to
  // start the program itself.
  bool trayRunning = false;
  if (HANDLE tray = CreateOwnedMutex(L"zentray", &trayRunning)) CloseHandle(tray);
  if (trayRunning) {
    if (HWND companion = FindWindowW(L"zentray", nullptr)) SendMessageW(companion, WM_SYSCOMMAND, 0, 0);
    return 0;
  }

  auto host = platform::OpenHostPlatform();
  platform::win32::Win32SystemPlatform system;
  zentura::ZenturaEnv env{host->Get(), system.Get(), ProgramFolder(), Arguments(), {}};

  // Held until the process ends: it marks the running instance.
  bool running = false;
  HANDLE instance = CreateOwnedMutex(L"Zentura", &running);
  if (running) {
    if (HWND main = FindWindowW(L"TFormMain", L"Zentura by Veltrane")) {
      SendMessageW(main, zentura::WM_ACTIVATE_INSTANCE, env.AutoGameMode() ? 1 : 0, 0);
      ShowWindow(main, SW_RESTORE);
      SetForegroundWindow(main);
    }
    if (instance) CloseHandle(instance);
    return 0;
  }

  platform::ui::win32::Win32Ui ui;
  auto volumes = platform::win32::MakeWin32Volumes();
  auto games = platform::win32::MakeWin32GameExplorer();
  env.volumes = volumes.get();
  env.games = games.get();
  if (!env.p.files.FileExists(env.SettingsFile())) {
    ui.MessageBox(u"Cannot find file Zentura.ini. Click OK to exit.", Text(), platform::ui::MsgButtons::Ok,
                  platform::ui::MsgIcon::Warning);
    if (instance) CloseHandle(instance);
    return 0;
  }

  // The games list's source follows the Windows version.
  zentura::ChooseGameSource(env.p.system.Version());

  // The update server may be another than the maker's ("[Servers]", "Update").
  Text updateHost = system.Get().profile.ReadString(env.SettingsFile(), u"Servers", u"Update", Text());
  if (!updateHost.empty()) env.hosts.update = updateHost;
  auto network = platform::OpenHostNetwork();
  env.net = network.get();
  env.askFromWorker = [](const Text& text, const Text& caption) {
    return MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()),
                       reinterpret_cast<const wchar_t*>(caption.c_str()), MB_YESNO | MB_SETFOREGROUND) == IDYES;
  };

  ui.SetTitle(u"Zentura");
  ui.ShowTitleOnTaskBar();
  zentura::TFormMain& form = ui.CreateForm<zentura::TFormMain>(env);
  ui.SetMainForm(&form);
  if (form.Created()) {
    form.Show();
    ui.Run();
  }
  return 0;
}

// Startup entries, version resources and folders against the real API.
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_system_platform.h"
#include "tests/zentura/contract/win32_test_support.h"
#include "zentura/gamemode/app_closing.h"
#include "zentura/gamemode/startup_entries.h"
#include "zentura/sysutil/system_paths.h"
#include "zentura/sysutil/version_info.h"

namespace zentura {
namespace {

using platform::win32::W;

const Text kRun = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool MakeShortcut(const Text& lnk, const Text& target) {
  HRESULT init = ::CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link));
  if (SUCCEEDED(hr)) hr = link->SetPath(W(target));
  if (SUCCEEDED(hr)) hr = link->SetArguments(L"-tray");
  if (SUCCEEDED(hr)) hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(hr)) hr = file->Save(W(lnk), TRUE);
  if (file) file->Release();
  if (link) link->Release();
  if (SUCCEEDED(init)) ::CoUninitialize();
  return SUCCEEDED(hr);
}

class StartupContract : public ::testing::Test {
 protected:
  platform::win32::Win32Platform win;
  platform::win32::Win32SystemPlatform sys;
  Text exe = zentura_test::ProgramFolder() + u"zentura_test_sleeper.exe";
  Text lnk;

  void SetValue(platform::RootKey root, const platform::RegValue& value) {
    std::unique_ptr<platform::RegKey> key;
    ASSERT_EQ(win.Get().registry.CreateKey(root, kRun, 0, platform::keyaccess::kAllAccess, &key), 0);
    ASSERT_EQ(win.Get().registry.SetValue(*key, value), 0);
  }
  void DeleteValue(platform::RootKey root, const Text& name) {
    std::unique_ptr<platform::RegKey> key;
    if (win.Get().registry.OpenKey(root, kRun, platform::keyaccess::kAllAccess, &key) == 0) {
      win.Get().registry.DeleteValue(*key, name);
    }
  }
  void TearDown() override {
    DeleteValue(platform::RootKey::kCurrentUser, u"ZenturaTestRun");
    DeleteValue(platform::RootKey::kCurrentUser, u"ZenturaTestExpand");
    DeleteValue(platform::RootKey::kLocalMachine, u"ZenturaTestMachine");
    if (!lnk.empty()) ::DeleteFileW(W(lnk));
  }
};

TEST_F(StartupContract, RunKeysAndStartupShortcutsAreReadBack) {
  wchar_t folder[MAX_PATH] = {};
  ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, TRUE));
  lnk = platform::win32::FromW(folder) + u"\\Zentura test sleeper.lnk";
  ASSERT_TRUE(MakeShortcut(lnk, exe));
  Text command = u"\"" + exe + u"\" /min";
  SetValue(platform::RootKey::kCurrentUser, platform::RegValue::String(u"ZenturaTestRun", command));
  SetValue(platform::RootKey::kCurrentUser,
           platform::RegValue::String(u"ZenturaTestExpand", exe, platform::regtype::kExpandSz));
  SetValue(platform::RootKey::kLocalMachine,
           platform::RegValue::String(u"ZenturaTestMachine", u"C:\\NoSuchFolder\\none.exe"));

  std::vector<Text> raw = GetStartupEntries(win.Get(), sys.Get());
  auto at = [&](const Text& entry) {
    for (size_t i = 0; i < raw.size(); ++i) {
      if (platform::SameText(raw[i], entry)) return static_cast<int>(i);
    }
    return -1;
  };
  int machine = at(u"C:\\NoSuchFolder\\none.exe");
  int user = at(command);
  int shortcut = at(exe);
  EXPECT_GE(machine, 0);
  EXPECT_GT(user, machine);
  EXPECT_GT(shortcut, user);
  EXPECT_EQ(std::count(raw.begin(), raw.end(), exe), 1);  // not the REG_EXPAND_SZ value

  // The missing program is dropped, and the shortcut repeats the Run value's program.
  std::vector<Text> loaded = LoadStartupEntries(win.Get(), sys.Get());
  auto count = [&](const Text& entry) {
    return std::count_if(loaded.begin(), loaded.end(),
                         [&](const Text& e) { return platform::SameText(e, entry); });
  };
  EXPECT_EQ(count(command), 1);
  EXPECT_EQ(count(exe), 0);
  EXPECT_EQ(count(u"C:\\NoSuchFolder\\none.exe"), 0);
}

TEST(DesktopContract, VersionResourcesAndFolders) {
  platform::win32::Win32SystemPlatform sys;
  Text system = SystemDir(sys.Get());
  ASSERT_FALSE(system.empty());
  Text dll = system + u"\\kernel32.dll";
  TFileInfo info;
  ASSERT_TRUE(ReadVersionInfo(sys.Get(), dll, &info, u""));
  EXPECT_FALSE(info.FileVersion.empty());
  EXPECT_EQ(info.FixedInfo[0], 0xFEEF04BDu);
  EXPECT_EQ(GetVersionInfoString(sys.Get(), dll, 3), info.FileVersion);
  EXPECT_EQ(GetVersionInfoString(sys.Get(), system + u"\\no-such-file.dll", 3), u"Unknown");

  TAppFrame frame(sys.Get());
  EXPECT_TRUE(platform::SameText(frame.AppPath, zentura_test::ProgramFolder()));
  EXPECT_FALSE(frame.AppDataPath.empty());
  EXPECT_NE(sys.Get().desktop.DecimalSeparator(), u'\0');
  uintptr_t icon = GetFileIcon(platform::win32::Win32Platform().Get(), sys.Get(), dll, true);
  EXPECT_NE(icon, 0u);
  sys.Get().desktop.DestroyIcon(icon);

  Text scratch = zentura_test::ScratchFolder("zdesktop") + u"temp.ini";
  ASSERT_TRUE(zentura_test::WriteRawFile(scratch, "[Info]\r\nMem=1\r\n"));
  EXPECT_TRUE(sys.Get().desktop.DeleteAtReboot(scratch));
  RefreshTrayIcons(sys.Get());  // no notification area here: returns quietly
}

}  // namespace
}  // namespace zentura

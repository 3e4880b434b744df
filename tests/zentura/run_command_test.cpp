#include "zentura/sysutil/command_path.h"

#include <gtest/gtest.h>

#include "tests/zentura/zentura_sim.h"
#include "zentura/sysutil/system_paths.h"
#include "zentura/sysutil/version_info.h"

namespace zentura {
namespace {

using zentura_test::ZenturaSim;

TEST(RunCommand, ExpandsMacrosAndRecognisesRunDll32) {
  struct Case {
    Text command, file, parameters;
  } cases[] = {
      {u"%APP%\\zentray.exe", u"C:\\Program Files\\Zentura\\zentray.exe", u""},
      {u"%APP%/help.chm", u"C:\\Program Files\\Zentura\\help.chm", u""},
      {u"%WINDOWS%\\notepad.exe", u"C:\\Windows\\notepad.exe", u""},
      {u"%SYSTEM%\\calc.exe", u"C:\\Windows\\system32\\calc.exe", u""},
      {u"rundll32.exe shell32.dll,Control_RunDLL", u"RunDll32.exe", u"shell32.dll,Control_RunDLL"},
      {u"RUNDLL32.EXE", u"RunDll32.exe", u""},
      {u"C:\\Games\\game.exe", u"C:\\Games\\game.exe", u""},
  };
  ZenturaSim sim;
  for (const Case& c : cases) {
    RunCommand(sim.p(), sim.sp(), c.command);
    ASSERT_FALSE(sim.sys.desktop.executed.empty());
    const platform::sim::SimShellExecute& e = sim.sys.desktop.executed.back();
    SCOPED_TRACE(platform::ToUtf8(c.command));
    EXPECT_EQ(e.verb, u"open");
    EXPECT_EQ(e.file, c.file);
    EXPECT_EQ(e.parameters, c.parameters);
    EXPECT_EQ(e.show, platform::sw::kShowNormal);
  }
  RunCommand(sim.p(), sim.sp(), u"rundll32.exe " + Text(300, u'p'));
  EXPECT_EQ(sim.sys.desktop.executed.back().parameters.size(), 255u);
}

TEST(VersionInfo, StringsOfTheFirstTranslation) {
  ZenturaSim sim;
  platform::sim::SimVersionInfo info;
  info.translation = 0x04E40407;
  info.strings = {{u"CompanyName", u"Maker"}, {u"FileVersion", u"1.2.3.4"},
                  {u"WOW Version", u"3.1"}, {u"Comments", u"none"}};
  info.fixedInfo[2] = 0x00020001;
  sim.sys.desktop.versionInfos[u"C:\\APP.EXE"] = info;
  TFileInfo read;
  ASSERT_TRUE(ReadVersionInfo(sim.sp(), u"C:\\app.exe", &read, u""));
  EXPECT_EQ(read.CompanyName, u"Maker");
  EXPECT_EQ(read.FixedInfo[0], 0xFEEF04BDu);
  EXPECT_EQ(read.FixedInfo[2], 0x00020001u);
  EXPECT_TRUE(read.Extra.empty());
  struct Case {
    int selector;
    Text text;
  } cases[] = {{0, u"none"}, {1, u"Maker"}, {3, u"1.2.3.4"}, {8, u""}, {10, u"3.1"}, {11, u""}, {-1, u""}};
  for (const Case& c : cases) {
    EXPECT_EQ(GetVersionInfoString(sim.sp(), u"C:\\app.exe", c.selector), c.text) << c.selector;
  }
  EXPECT_EQ(GetVersionInfoString(sim.sp(), u"C:\\none.exe", 1), u"Unknown");
  sim.sys.desktop.versionInfos[u"C:\\APP.EXE"].hasTranslation = false;
  EXPECT_EQ(GetVersionInfoString(sim.sp(), u"C:\\app.exe", 1), u"Unknown");
}

TEST(SystemPaths, ListFilesAndTheProgramFolder) {
  ZenturaSim sim;
  sim.WriteFile(u"C:\\Z\\Language\\English.lng", "x");
  sim.WriteFile(u"C:\\Z\\Language\\German.LNG", "x");
  sim.WriteFile(u"C:\\Z\\Language\\notes.txt", "x");
  std::vector<Text> names = ListFiles(sim.p(), u"C:\\Z\\Language\\", u"lng");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<Text>{u"English", u"German"}));
  sim.sys.desktop.specialFolders[26] = u"C:\\Users\\tester\\AppData\\Roaming";
  TAppFrame frame(sim.sp());
  EXPECT_EQ(frame.AppPath, u"C:\\Program Files\\Zentura\\");
  EXPECT_EQ(frame.AppDataPath, u"C:\\Users\\tester\\AppData\\Roaming");
  EXPECT_EQ(frame.CommonAppDataPath, u"");
  EXPECT_EQ(SpecialFolder(sim.sp(), 35), u"");
}

}  // namespace
}  // namespace zentura

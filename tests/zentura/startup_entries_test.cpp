#include "zentura/gamemode/startup_entries.h"

#include <gtest/gtest.h>

#include "tests/zentura/zentura_sim.h"

namespace zentura {
namespace {

using platform::RegValue;
using zentura_test::ZenturaSim;

const Text kRun = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void SetRunValues(platform::Platform& p, platform::RootKey root, const std::vector<RegValue>& values) {
  std::unique_ptr<platform::RegKey> key;
  ASSERT_EQ(p.registry.CreateKey(root, kRun, 0, platform::keyaccess::kAllAccess, &key), 0);
  for (const RegValue& v : values) ASSERT_EQ(p.registry.SetValue(*key, v), 0);
}

class StartupEntriesTest : public ::testing::Test {
 protected:
  const Text kUserStartup = u"C:\\Users\\tester\\Start Menu\\Programs\\Startup";
  const Text kCommonStartup = u"C:\\ProgramData\\Start Menu\\Programs\\Startup";
  ZenturaSim sim;

  void SetUp() override {
    sim.sys.desktop.specialFolders[7] = kUserStartup + u"\\";
    sim.sys.desktop.specialFolders[24] = kCommonStartup;
    for (const char16_t* f : {u"C:\\Program Files\\Tool\\Tool.exe", u"C:\\Tools\\sync.exe",
                          u"C:\\Apps\\chat.exe", u"C:\\Apps\\news.exe"}) {
      sim.WriteFile(f);
    }
    SetRunValues(sim.p(), platform::RootKey::kLocalMachine,
                 {RegValue::String(u"Tool", u"\"C:\\Program Files\\Tool\\Tool.exe\" /min"),
                  RegValue::String(u"Expand", u"%ProgramFiles%\\x.exe", platform::regtype::kExpandSz),
                  RegValue::Dword(u"Number", 1),
                  RegValue::String(u"Again", u"C:\\Program Files\\Tool\\tool.exe -quiet")});
    SetRunValues(sim.p(), platform::RootKey::kCurrentUser,
                 {RegValue::String(u"Sync", u"C:\\Tools\\sync.exe -hidden"),
                  RegValue::String(u"Gone", u"C:\\Missing\\gone.exe"),
                  RegValue::String(u"Slash", u"C:\\a\\b.exe /log C:\\x\\y")});
    AddShortcut(kUserStartup + u"\\Chat.lnk", u"C:\\Apps\\chat.exe");
    AddShortcut(kUserStartup + u"\\Broken.lnk", u"");
    sim.sys.desktop.shortcuts[platform::UpperCase(kUserStartup + u"\\Broken.lnk")].result = -1;
    AddShortcut(kCommonStartup + u"\\News.lnk", u"C:\\Apps\\news.exe");
    AddShortcut(kCommonStartup + u"\\Hidden.lnk", u"C:\\Apps\\hidden.exe");
    sim.p().files.SetAttributes(kCommonStartup + u"\\Hidden.lnk", platform::attr::kHidden);
  }
  void AddShortcut(const Text& lnk, const Text& target) {
    sim.WriteFile(lnk, "L");
    sim.sys.desktop.shortcuts[platform::UpperCase(lnk)] = {0, target, u"-x"};
  }
};

TEST_F(StartupEntriesTest, RawEntriesInSourceOrder) {
  std::vector<Text> expected = {u"\"C:\\Program Files\\Tool\\Tool.exe\" /min",
                                u"C:\\Program Files\\Tool\\tool.exe -quiet",
                                u"C:\\Tools\\sync.exe -hidden",
                                u"C:\\Missing\\gone.exe",
                                u"C:\\a\\b.exe /log C:\\x\\y",
                                u"C:\\Apps\\chat.exe",
                                u"C:\\Apps\\news.exe"};
  EXPECT_EQ(GetStartupEntries(sim.p(), sim.sp()), expected);
}

TEST_F(StartupEntriesTest, LoadDropsMissingExecutablesAndRepeatedPrograms) {
  std::vector<Text> expected = {u"\"C:\\Program Files\\Tool\\Tool.exe\" /min",
                                u"C:\\Tools\\sync.exe -hidden", u"C:\\Apps\\chat.exe",
                                u"C:\\Apps\\news.exe"};
  EXPECT_EQ(LoadStartupEntries(sim.p(), sim.sp()), expected);
}

TEST_F(StartupEntriesTest, MissingStartupFoldersAddNothing) {
  sim.sys.desktop.specialFolders.erase(7);
  sim.sys.desktop.specialFolders[24] = u"C:\\NoSuchFolder";
  std::vector<Text> entries = GetStartupEntries(sim.p(), sim.sp());
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries.back(), u"C:\\a\\b.exe /log C:\\x\\y");
}

TEST_F(StartupEntriesTest, AValueTooLongForTheBuffersEndsThatKey) {
  Text longData = u"C:\\Apps\\" + Text(250, u'a') + u".exe";
  Text longName(100, u'n');
  SetRunValues(sim.p(), platform::RootKey::kLocalMachine,
               {RegValue::String(u"TooLong", longData), RegValue::String(u"After", u"C:\\after.exe")});
  std::vector<Text> entries = GetStartupEntries(sim.p(), sim.sp());
  EXPECT_EQ(std::count(entries.begin(), entries.end(), Text(u"C:\\after.exe")), 0);
  EXPECT_EQ(entries[2], u"C:\\Tools\\sync.exe -hidden");  // the user's key still follows

  ZenturaSim fresh;
  SetRunValues(fresh.p(), platform::RootKey::kCurrentUser,
               {RegValue::String(Text(99, u'n'), u"C:\\fits.exe"),
                RegValue::String(longName, u"C:\\name.exe"), RegValue::String(u"x", u"C:\\x.exe")});
  EXPECT_EQ(GetStartupEntries(fresh.p(), fresh.sp()), std::vector<Text>{u"C:\\fits.exe"});
}

}  // namespace
}  // namespace zentura

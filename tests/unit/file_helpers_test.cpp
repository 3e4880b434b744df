#include "brantle/shell/file_helpers.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_windows.h"
#include "tests/unit/sim_fixture.h"

namespace {

using brantle::FileHelpers;
using platform::Text;
using namespace testing_support;

class FileHelpersTest : public ::testing::Test {
 protected:
  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  FileHelpers helpers{p};
};

TEST_F(FileHelpersTest, CopyDirIntoExistingFolderAddsSubFolderWithTree) {
  WriteFile(p, u"C:\\profile\\extensions\\a\\x.js", "x");
  WriteFile(p, u"C:\\profile\\extensions\\top.txt", "top");
  ASSERT_TRUE(p.files.CreateDir(u"C:\\staging"));
  WriteFile(p, u"C:\\staging\\extensions\\top.txt", "old");

  EXPECT_TRUE(helpers.CopyDir(u"C:\\profile\\extensions", u"C:\\staging"));

  EXPECT_EQ(ReadFile(p, u"C:\\staging\\extensions\\a\\x.js"), "x");
  EXPECT_EQ(ReadFile(p, u"C:\\staging\\extensions\\top.txt"), "top");
}

TEST_F(FileHelpersTest, DelTreeSendsFolderToRecycleBin) {
  WriteFile(p, u"C:\\backups\\default\\prefs.js", "p");
  EXPECT_TRUE(helpers.DelTree(u"C:\\backups\\default"));
  EXPECT_FALSE(p.files.Exists(u"C:\\backups\\default"));
  ASSERT_EQ(sim.sim().RecycledItems().size(), 1u);
  EXPECT_TRUE(p.files.DirExists(u"C:\\backups"));
}

TEST_F(FileHelpersTest, DelTreeWithoutRecycleBinDeletesPermanently) {
  sim.sim().MapDrive(u"D:", sim.root() + "/D", /*hasRecycleBin=*/false);
  WriteFile(p, u"D:\\stage\\a.txt", "a");
  EXPECT_TRUE(helpers.DelTree(u"D:\\stage"));
  EXPECT_FALSE(p.files.Exists(u"D:\\stage"));
  EXPECT_TRUE(sim.sim().RecycledItems().empty());
}

TEST_F(FileHelpersTest, GetSubDirectoriesListsVisibleFoldersOnly) {
  ASSERT_TRUE(p.files.ForceDirectories(u"C:\\root\\one"));
  ASSERT_TRUE(p.files.ForceDirectories(u"C:\\root\\hidden"));
  ASSERT_TRUE(p.files.ForceDirectories(u"C:\\root\\sys"));
  WriteFile(p, u"C:\\root\\file.txt", "f");
  p.files.SetAttributes(u"C:\\root\\hidden", platform::attr::kDirectory | platform::attr::kHidden);
  p.files.SetAttributes(u"C:\\root\\sys", platform::attr::kDirectory | platform::attr::kSystem);

  std::vector<Text> list{u"kept"};
  helpers.GetSubDirectories(u"C:\\root", list);
  EXPECT_EQ(list, (std::vector<Text>{u"kept", u"one"}));

  std::vector<Text> same;
  helpers.GetSubDirectories(u"C:\\root\\", same);
  EXPECT_EQ(same, (std::vector<Text>{u"one"}));

  std::vector<Text> none;
  helpers.GetSubDirectories(u"C:\\root\\one", none);
  helpers.GetSubDirectories(u"C:\\missing", none);
  EXPECT_TRUE(none.empty());
}

TEST_F(FileHelpersTest, SystemFacts) {
  EXPECT_EQ(helpers.GetSystemDrive(), u"C:");
  EXPECT_EQ(helpers.GetLoginName(), u"tester");
  EXPECT_FALSE(helpers.GetSpecialFolderPath(platform::csidl::kAppData).empty());
  EXPECT_EQ(helpers.GetSpecialFolderPath(5), u"");

  sim.sim().Config().userNameFails = true;
  EXPECT_EQ(helpers.GetLoginName(), u"");
  sim.sim().Config().windowsDirFails = true;
  EXPECT_THROW(helpers.GetSystemDrive(), platform::OsError);
}

class HiveTest : public FileHelpersTest {
 protected:
  void SetUp() override { ASSERT_TRUE(p.files.CreateDir(u"C:\\b")); }
  void SetValues(const Text& key, std::initializer_list<platform::RegValue> values) {
    std::unique_ptr<platform::RegKey> k;
    ASSERT_EQ(p.registry.CreateKey(platform::RootKey::kCurrentUser, key, 0, platform::keyaccess::kAllAccess, &k), 0);
    for (const auto& v : values) ASSERT_EQ(p.registry.SetValue(*k, v), 0);
  }
  bool HasValue(const Text& key, const Text& name) {
    std::unique_ptr<platform::RegKey> k;
    if (p.registry.OpenKey(platform::RootKey::kCurrentUser, key, platform::keyaccess::kRead, &k)) return false;
    platform::RegValue v;
    return p.registry.QueryValue(*k, name, &v) == 0;
  }
};

TEST_F(HiveTest, SaveOfMissingKeyKeepsOlderFileAndSaveOfKeyReplacesIt) {
  WriteFile(p, u"C:\\b\\key.reg", "older");
  helpers.SaveKeyToFile(u"Software\\Missing", u"C:\\b\\key.reg");
  EXPECT_EQ(ReadFile(p, u"C:\\b\\key.reg"), "older");

  SetValues(u"Software\\Test", {platform::RegValue::Dword(u"a", 1)});
  helpers.SaveKeyToFile(u"Software\\Test", u"C:\\b\\key.reg");
  EXPECT_NE(ReadFile(p, u"C:\\b\\key.reg"), "older");
}

TEST_F(HiveTest, ForcedRestoreReplacesValuesAndDisablesPrivileges) {
  SetValues(u"Software\\Test", {platform::RegValue::Dword(u"kept", 1)});
  helpers.SaveKeyToFile(u"Software\\Test", u"C:\\b\\key.reg");
  SetValues(u"Software\\Test", {platform::RegValue::String(u"added", u"later")});

  helpers.LoadKeyFromFile(u"Software\\Test", u"C:\\b\\key.reg");

  EXPECT_TRUE(HasValue(u"Software\\Test", u"kept"));
  EXPECT_FALSE(HasValue(u"Software\\Test", u"added"));
  EXPECT_FALSE(sim.sim().PrivilegeEnabled(u"SeRestorePrivilege"));
  EXPECT_FALSE(sim.sim().PrivilegeEnabled(u"SeBackupPrivilege"));
}

TEST_F(HiveTest, RestoreFromMissingFileChangesNothingAndBadHiveShowsSystemMessage) {
  SetValues(u"Software\\Test", {platform::RegValue::Dword(u"kept", 1)});
  std::vector<Text> shown;
  helpers.ShowMessage = [&](const Text& t) { shown.push_back(t); };

  helpers.LoadKeyFromFile(u"Software\\Test", u"C:\\b\\none.reg");
  EXPECT_TRUE(HasValue(u"Software\\Test", u"kept"));
  EXPECT_TRUE(shown.empty());

  WriteFile(p, u"C:\\b\\bad.reg", "not a hive");
  helpers.LoadKeyFromFile(u"Software\\Test", u"C:\\b\\bad.reg");
  EXPECT_TRUE(HasValue(u"Software\\Test", u"kept"));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_FALSE(shown[0].empty());
}

// The caller decides how to tell the user; the save itself only says why.
TEST_F(HiveTest, PrivilegeNotHeldSavesNothingAndSaysWhy) {
  sim.sim().Config().heldPrivileges.clear();
  SetValues(u"Software\\Test", {platform::RegValue::Dword(u"a", 1)});
  EXPECT_EQ(helpers.SaveKeyToFile(u"Software\\Test", u"C:\\b\\key.reg"),
            static_cast<long>(platform::err::kPrivilegeNotHeld));
  EXPECT_EQ(helpers.SaveKeyToFile(u"Software\\Missing", u"C:\\b\\key.reg"), 0);
  EXPECT_FALSE(p.files.Exists(u"C:\\b\\key.reg"));
}

}  // namespace

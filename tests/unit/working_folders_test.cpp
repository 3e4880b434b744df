// The working folders of every wizard: a run stages and extracts only in a
// folder it created, deletes only that, and refuses to work inside the
// folders it backs up or restores.
#include <gtest/gtest.h>

#include <functional>

#include "brantle/browsers/common/working_folders.h"
#include "tests/unit/mozilla_wizard_fixture.h"

namespace {

using namespace brantle;
using platform::Text;
using testing_support::MozillaWizardTest;
using testing_support::ReadFile;
using testing_support::WriteFile;
using Names = std::vector<Text>;

TEST(WorkingFolders, SameOrInsideComparesWholeNamesWithoutCase) {
  EXPECT_TRUE(SameOrInside(u"C:\\Prof", u"c:\\prof\\"));
  EXPECT_TRUE(SameOrInside(u"C:\\Prof\\Backups", u"C:\\PROF"));
  EXPECT_FALSE(SameOrInside(u"C:\\Profile2", u"C:\\Prof"));
  EXPECT_FALSE(SameOrInside(u"C:\\", u"C:\\Prof"));
  EXPECT_FALSE(SameOrInside(u"C:\\Prof", u""));
}

// Each way a run's working folder would meet the live profile: one message,
// and nothing written, copied or deleted.
TEST_F(MozillaWizardTest, WorkingFolderInsideTheProfileIsRefused) {
  struct Case {
    const char* name;
    bool restore;
    std::function<void(SelectiveChoice&, const Text& profile)> change;
  };
  const Case cases[] = {
      {"backup folder inside the profile", false,
       [](SelectiveChoice& c, const Text& profile) { c.backupLocation = profile + u"\\bk"; }},
      {"backup folder is the profile", false,
       [](SelectiveChoice& c, const Text& profile) { c.backupLocation = profile; }},
      // The custom profile C:\Backups\ff_custom would be its own staging folder.
      {"staging folder is the custom profile", false,
       [](SelectiveChoice& c, const Text&) { c.customProfile = u"C:\\Backups\\ff_custom"; }},
      {"restore from inside the profile", true,
       [](SelectiveChoice& c, const Text& profile) { c.backupLocation = profile + u"\\bk"; }},
      {"extraction folder is the custom profile", true,
       [](SelectiveChoice& c, const Text&) { c.customProfile = u"C:\\Backups\\default"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::sim::TempSimWindows s;
    platform::Platform& sp = s.Get();
    FileHelpers h(sp);
    HeadlessWizardHost wh;
    WriteFile(sp, Root(MozillaBrowser::kFirefox) + u"\\profiles.ini", "");
    const Text profile = ProfileDir(MozillaBrowser::kFirefox, u"x7k2m9qa.default");
    WriteFile(sp, profile + u"\\prefs.js", "p");
    WriteFile(sp, profile + u"\\bk\\default.dat", "");
    WriteFile(sp, u"C:\\Backups\\default.dat", "");
    WriteFile(sp, u"C:\\Backups\\ff_custom\\prefs.js", "custom");
    WriteFile(sp, u"C:\\Backups\\default\\prefs.js", "custom");
    MozillaSelectiveWizard w(MozillaBrowser::kFirefox, h, sp, wh);
    SelectiveChoice choice;
    w.Activate(choice.profiles);
    choice.profileIndex = 0;
    choice.backupLocation = u"C:\\Backups";
    choice.ticked = AllItems(MozillaBrowser::kFirefox);
    choice.backupFiles = {u"default.dat"};
    choice.backupFileIndex = 0;
    c.change(choice, profile);

    EXPECT_EQ(c.restore ? w.Restore(choice) : w.Backup(choice), NextResult::kStopped);
    ASSERT_EQ(wh.messages.size(), 1u);
    EXPECT_NE(wh.messages[0].find(u"inside"), Text::npos) << platform::ToUtf8(wh.messages[0]);
    EXPECT_FALSE(wh.progressVisible);
    EXPECT_TRUE(s.sim().RecycledItems().empty());
    auto listing = [&sp](const Text& dir) {
      Names names;
      for (const auto& e : sp.files.Find(dir + u"\\*"))
        if (e.name != u"." && e.name != u"..") names.push_back(e.name);
      std::sort(names.begin(), names.end());
      return names;
    };
    EXPECT_EQ(listing(profile), (Names{u"bk", u"prefs.js"}));
    EXPECT_EQ(listing(profile + u"\\bk"), Names{u"default.dat"});
    EXPECT_EQ(listing(u"C:\\Backups"), (Names{u"default", u"default.dat", u"ff_custom"}));
  }
}

// The reproduction: a user folder named like the archive survives a
// restore, which extracts beside it and deletes only its own folder.
TEST_F(MozillaWizardTest, RestoreLeavesAFolderNamedLikeTheArchiveAlone) {
  WriteFile(p, u"C:\\Portable\\prof\\prefs.js", "saved");
  MozillaSelectiveWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  SelectiveChoice choice = Choice(w);
  choice.customProfile = u"C:\\Portable\\prof";
  ASSERT_EQ(w.Backup(choice), NextResult::kFinished);
  p.files.Move(backups + u"\\ff_custom.dat", backups + u"\\mine.dat", false);
  WriteFile(p, backups + u"\\mine\\precious.txt", "the user's");
  WriteFile(p, u"C:\\Portable\\prof\\prefs.js", "changed");

  choice.backupFiles = {u"mine.dat"};
  choice.backupFileIndex = 0;
  ASSERT_EQ(w.Restore(choice), NextResult::kFinished);
  EXPECT_EQ(ReadFile(p, u"C:\\Portable\\prof\\prefs.js"), "saved");
  EXPECT_EQ(ReadFile(p, backups + u"\\mine\\precious.txt"), "the user's");
  EXPECT_EQ(sim.sim().RecycledItems().back(), u"C:\\Backups\\mine~1");
  EXPECT_EQ(Listing(backups), (Names{u"mine", u"mine.dat"}));
}

// A full backup into a folder inside the root would pack its own archives.
TEST_F(MozillaWizardTest, FullBackupIntoTheRootIsRefused) {
  MakeProfile(MozillaBrowser::kFirefox, u"x7k2m9qa.default", {u"prefs.js"});
  const Text inside = Root(MozillaBrowser::kFirefox) + u"\\Backups";
  p.files.ForceDirectories(inside);
  MozillaFullWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  ASSERT_TRUE(w.Activate());
  EXPECT_EQ(w.Backup(inside), NextResult::kStopped);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find(u"lies inside"), Text::npos);
  EXPECT_FALSE(p.files.Exists(inside + u"\\fbackup_firefox.dat"));
}

}  // namespace

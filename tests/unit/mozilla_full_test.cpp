#include <gtest/gtest.h>

#include "tests/unit/mozilla_wizard_fixture.h"

namespace {

using namespace brantle;
using platform::Text;
using testing_support::MozillaWizardTest;
using testing_support::ReadFile;
using testing_support::WriteFile;
using Names = std::vector<Text>;

class FullWizardTest : public MozillaWizardTest,
                       public ::testing::WithParamInterface<MozillaBrowser> {};

TEST_P(FullWizardTest, BacksUpTheWholeRootAndRestoresOverItWithoutDeleting) {
  const MozillaBrowser browser = GetParam();
  const Text word = browser == MozillaBrowser::kFlock ? u"flock" : u"firefox";
  MakeProfile(browser, u"x7k2m9qa.default", {u"prefs.js", u"extensions\\e\\install.rdf"});
  MozillaFullWizard backup(browser, helpers, p, host);
  ASSERT_TRUE(backup.Activate());
  EXPECT_EQ(backup.ffpath, Root(browser));

  ASSERT_EQ(backup.Backup(backups), NextResult::kFinished);
  EXPECT_EQ(backup.ArchiveFile(), backups + u"\\fbackup_" + word + u".dat");
  EXPECT_EQ(Stored(backup.ArchiveFile()),
            (Names{u"Profiles\\x7k2m9qa.default\\extensions\\e\\install.rdf",
                   u"Profiles\\x7k2m9qa.default\\prefs.js", u"profiles.ini"}));
  EXPECT_EQ(host.fileLabel, u"Finished");
  EXPECT_EQ(host.barPosition, 0);
  EXPECT_GT(host.repaints, 0);
  EXPECT_EQ(host.log, (std::vector<std::string>{"cursor busy", "cursor normal", "finish"}));

  // A changed file comes back; a profile made after the backup stays.
  const Text root = Root(browser);
  WriteFile(p, root + u"\\Profiles\\x7k2m9qa.default\\prefs.js", "changed");
  WriteFile(p, root + u"\\profiles.ini", "[Profile1]");
  WriteFile(p, root + u"\\Profiles\\newer000.later\\prefs.js", "new");
  MozillaFullWizard restore(browser, helpers, p, host);
  ASSERT_TRUE(restore.Activate());
  ASSERT_EQ(restore.Restore(backups), NextResult::kFinished);
  EXPECT_EQ(ReadFile(p, root + u"\\Profiles\\x7k2m9qa.default\\prefs.js"), "prefs.js");
  EXPECT_EQ(ReadFile(p, root + u"\\profiles.ini"), "[General]");
  EXPECT_EQ(ReadFile(p, root + u"\\Profiles\\newer000.later\\prefs.js"), "new");
  EXPECT_FALSE(host.busy);
}

TEST_P(FullWizardTest, RestoreWithoutTheArchiveNamesIt) {
  const MozillaBrowser browser = GetParam();
  MakeProfile(browser, u"x7k2m9qa.default", {u"prefs.js"});
  MozillaFullWizard w(browser, helpers, p, host);
  ASSERT_TRUE(w.Activate());
  EXPECT_EQ(w.Restore(backups), NextResult::kStopped);
  EXPECT_EQ(host.messages, Names{browser == MozillaBrowser::kFlock
                                     ? u"Backup File \"fbackup_flock.dat\" Not Found"
                                     : u"Backup File \"fbackup_firefox.dat\" Not Found"});
  EXPECT_FALSE(host.finishShown);
}

INSTANTIATE_TEST_SUITE_P(Browsers, FullWizardTest,
                         ::testing::Values(MozillaBrowser::kFirefox, MozillaBrowser::kFlock));

TEST_F(MozillaWizardTest, FullWizardsWithoutARootTouchNeitherTheCurrentFolderNorTheArchive) {
  WriteFile(p, u"C:\\work\\mine.txt", "the process's current folder");
  ASSERT_TRUE(p.files.SetCurrentDir(u"C:\\work"));
  MozillaFullWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  EXPECT_FALSE(w.Activate());
  EXPECT_EQ(w.Backup(backups), NextResult::kStopped);
  EXPECT_EQ(Listing(backups), Names{});

  // An archive from elsewhere is not unpacked into the current folder either.
  MakeProfile(MozillaBrowser::kFirefox, u"x7k2m9qa.default", {u"prefs.js"});
  MozillaFullWizard elsewhere(MozillaBrowser::kFirefox, helpers, p, host);
  ASSERT_TRUE(elsewhere.Activate());
  ASSERT_EQ(elsewhere.Backup(backups), NextResult::kFinished);
  EXPECT_EQ(w.Restore(backups), NextResult::kStopped);
  EXPECT_EQ(Listing(u"C:\\work"), Names{u"mine.txt"});
  EXPECT_EQ(host.messages, (Names{u"Settings Files Not Found.", u"Settings Files Not Found.",
                                  u"Settings Files Not Found."}));
  EXPECT_EQ(w.Backup(kBackupLocationPlaceholder), NextResult::kStopped);
  EXPECT_EQ(host.messages.back(), u"Please Select Backup Location");
}

TEST_F(MozillaWizardTest, DamagedArchiveEndsTheRestoreWithTheNormalCursor) {
  Text root = MakeProfile(MozillaBrowser::kFirefox, u"x7k2m9qa.default", {u"prefs.js"});
  WriteFile(p, backups + u"\\fbackup_firefox.dat", std::string("\x08\x00\x00\x00prefs.js", 12));
  MozillaFullWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  ASSERT_TRUE(w.Activate());
  EXPECT_ANY_THROW(w.Restore(backups));
  EXPECT_FALSE(host.busy);
  EXPECT_FALSE(host.finishShown);

  // The selective restore as well, and its staging folder stays for a look.
  WriteFile(p, backups + u"\\default.dat", std::string("\x08\x00\x00\x00prefs.js", 12));
  MozillaSelectiveWizard s(MozillaBrowser::kFirefox, helpers, p, host);
  SelectiveChoice choice = Choice(s);
  choice.backupFiles = {u"default.dat"};
  choice.backupFileIndex = 0;
  EXPECT_ANY_THROW(s.Restore(choice));
  EXPECT_FALSE(host.busy);
  EXPECT_TRUE(sim.sim().RecycledItems().empty());
  EXPECT_EQ(ReadFile(p, root + u"\\prefs.js"), "prefs.js");
}

}  // namespace

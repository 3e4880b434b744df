#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "tests/unit/mozilla_wizard_fixture.h"

namespace {

using namespace brantle;
using platform::Text;
using testing_support::MozillaWizardTest;
using testing_support::ReadFile;
using testing_support::WriteFile;
using Names = std::vector<Text>;

// Every file some item takes, a nested file in each item folder, and files
// that belong to no item.
const Names kFullProfile = {
    u"bookmarks.html", u"places.sqlite", u"cookies.sqlite", u"downloads.sqlite",
    u"extensions.ini", u"extensions\\helper@example.org\\install.rdf", u"prefs.js",
    u"preferences\\site.js", u"formhistory.sqlite", u"key3.db", u"signons3.txt",
    u"content-prefs.sqlite", u"mimeTypes.rdf", u"search.sqlite", u"searchplugins\\wiki.xml",
    u"sessionstore.js", u"persdict.dat", u"localstore.rdf", u"chrome\\userChrome.css",
    u"flock-data.sqlite", u"feedcontent.sqlite", u"parent.lock", u"cert8.db",
    u"Cache\\index.dat"};

struct ItemCase {
  MozillaBrowser browser;
  std::vector<int> ticked;
  Names stored;
};

class ItemContentTest : public MozillaWizardTest, public ::testing::WithParamInterface<ItemCase> {};

TEST_P(ItemContentTest, ArchiveHoldsExactlyTheTickedItemsFilesThatTheProfileHas) {
  const ItemCase& c = GetParam();
  MakeProfile(c.browser, u"x7k2m9qa.default", kFullProfile);
  MozillaSelectiveWizard w(c.browser, helpers, p, host);
  SelectiveChoice choice = Choice(w);
  choice.ticked = c.ticked;

  ASSERT_EQ(w.Backup(choice), NextResult::kFinished);
  EXPECT_EQ(w.ArchiveFile(), u"C:\\Backups\\default.dat");
  EXPECT_EQ(Stored(w.ArchiveFile()), c.stored);
  // The staging folder went to the recycle bin; only the archive is left.
  EXPECT_EQ(Listing(backups), Names{u"default.dat"});
  EXPECT_EQ(sim.sim().RecycledItems(), Names{u"C:\\Backups\\default"});
}

INSTANTIATE_TEST_SUITE_P(
    Items, ItemContentTest,
    ::testing::Values(
        ItemCase{MozillaBrowser::kFirefox, {1}, {u"bookmarks.html", u"places.sqlite"}},
        ItemCase{MozillaBrowser::kFirefox,
                 {4, 15},
                 {u"chrome\\userChrome.css", u"extensions.ini",
                  u"extensions\\helper@example.org\\install.rdf"}},
        ItemCase{MozillaBrowser::kFirefox, {8}, {u"key3.db", u"signons3.txt"}},
        ItemCase{MozillaBrowser::kFirefox,
                 {6, 11},
                 {u"preferences\\site.js", u"prefs.js", u"search.sqlite", u"searchplugins\\wiki.xml"}},
        // Flock's own items are unknown to Firefox, and the other way round.
        ItemCase{MozillaBrowser::kFirefox, {16, 17}, {}},
        ItemCase{MozillaBrowser::kFlock, {16, 17}, {u"feedcontent.sqlite", u"flock-data.sqlite"}},
        ItemCase{MozillaBrowser::kFlock,
                 {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
                 {u"bookmarks.html", u"chrome\\userChrome.css", u"content-prefs.sqlite",
                  u"cookies.sqlite", u"downloads.sqlite", u"extensions.ini",
                  u"extensions\\helper@example.org\\install.rdf", u"feedcontent.sqlite",
                  u"flock-data.sqlite", u"formhistory.sqlite", u"key3.db", u"localstore.rdf",
                  u"mimeTypes.rdf", u"persdict.dat", u"places.sqlite", u"preferences\\site.js",
                  u"prefs.js", u"search.sqlite", u"searchplugins\\wiki.xml", u"sessionstore.js",
                  u"signons3.txt"}}));

TEST_F(MozillaWizardTest, ProgressAdvancesPerItemExceptUserSetPreferences) {
  struct Case {
    MozillaBrowser browser;
    std::vector<int> ticked;
    int total;  // before the final 100
  };
  // Flock with all seventeen boxes: 5 + 16 * 5 + 9.
  for (const Case& c : {Case{MozillaBrowser::kFirefox, {15, 1}, 5 + 5 + 9},
                        Case{MozillaBrowser::kFlock, AllItems(MozillaBrowser::kFlock), 94}}) {
    HeadlessWizardHost h;
    MakeProfile(c.browser, u"x7k2m9qa.default", {u"prefs.js"});
    MozillaSelectiveWizard w(c.browser, helpers, p, h);
    SelectiveChoice choice = Choice(w);
    choice.ticked = c.ticked;
    ASSERT_EQ(w.Backup(choice), NextResult::kFinished);
    EXPECT_EQ(std::accumulate(h.progressSteps.begin(), h.progressSteps.end(), 0), c.total);
    EXPECT_EQ(h.log, (std::vector<std::string>{"progress show", "header: ", "profile list emptied",
                                               "progress 100", "progress hide", "finish"}));
    EXPECT_FALSE(h.progressVisible);
  }
}

TEST(MozillaNames, StagingAndRestoreFolderNames) {
  struct Case {
    const char16_t* in;
    const char16_t* out;
  };
  for (Case c : {Case{u"x7k2m9qa.default", u"default"}, Case{u"123456789ff_custom", u"ff_custom"},
                 Case{u"p3n8w1zt.work", u"work"}, Case{u"123456789", u"123456789"},
                 Case{u"work", u"work"}, Case{u"abcdefgh.x", u"x"},
                 // What is left would be the backup folder's parent.
                 Case{u"abcdefghi..", u"abcdefghi.."}, Case{u"abcdefghi  ", u"abcdefghi  "}})
    EXPECT_EQ(StagingName(c.in), c.out) << platform::ToUtf8(c.in);
  for (Case c : {Case{u"default.dat", u"default"}, Case{u"my.data.dat", u"mya"},
                 Case{u"FBACKUP_firefox.DAT", u"FBACKUP_firefox"}, Case{u".dat", u".dat_restore"},
                 Case{u"...dat", u"...dat_restore"}, Case{u".dat.dat", u".dat.dat_restore"}})
    EXPECT_EQ(RestoreStagingName(c.in), c.out) << platform::ToUtf8(c.in);
}

TEST_F(MozillaWizardTest, ShortProfileNameNeverStagesInTheBackupFolderItself) {
  MakeProfile(MozillaBrowser::kFirefox, u"work", {u"prefs.js"});
  WriteFile(p, backups + u"\\older.dat", "an earlier archive");
  MozillaSelectiveWizard w(MozillaBrowser::kFirefox, helpers, p, host);

  ASSERT_EQ(w.Backup(Choice(w)), NextResult::kFinished);
  EXPECT_EQ(w.datfile, u"\\work");
  EXPECT_EQ(Stored(backups + u"\\work.dat"), Names{u"prefs.js"});
  EXPECT_EQ(ReadFile(p, backups + u"\\older.dat"), "an earlier archive");
  EXPECT_EQ(sim.sim().RecycledItems(), Names{u"C:\\Backups\\work"});
}

// A folder of the staging folder's name is the user's: the run stages
// beside it, packs only its own copies and deletes only its own folder.
TEST_F(MozillaWizardTest, AnExistingFolderOfTheStagingNameIsLeftAloneAndTheArchiveIsReplaced) {
  MakeProfile(MozillaBrowser::kFirefox, u"x7k2m9qa.default", {u"prefs.js"});
  WriteFile(p, backups + u"\\default\\precious.txt", "the user's");
  WriteFile(p, backups + u"\\default.dat", "old");
  MozillaSelectiveWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  ASSERT_EQ(w.Backup(Choice(w)), NextResult::kFinished);
  EXPECT_EQ(w.ArchiveFile(), u"C:\\Backups\\default.dat");
  EXPECT_EQ(Stored(w.ArchiveFile()), Names{u"prefs.js"});
  EXPECT_EQ(ReadFile(p, backups + u"\\default\\precious.txt"), "the user's");
  EXPECT_EQ(sim.sim().RecycledItems(), Names{u"C:\\Backups\\default~1"});

  // The restore extracts beside it too, and the folder survives again.
  ASSERT_EQ(w.Restore(Choice(w)), NextResult::kFinished);
  EXPECT_EQ(w.backuploc, u"C:\\Backups\\default~1\\");
  EXPECT_EQ(Listing(backups), (Names{u"default", u"default.dat"}));
  EXPECT_EQ(Listing(backups + u"\\default"), Names{u"precious.txt"});
}

TEST_F(MozillaWizardTest, RestoreMergesTickedItemsWithoutDeletingAnything) {
  Text source = MakeProfile(MozillaBrowser::kFirefox, u"aaaaaaaa.default", kFullProfile);
  MozillaSelectiveWizard backup(MozillaBrowser::kFirefox, helpers, p, host);
  ASSERT_EQ(backup.Backup(Choice(backup)), NextResult::kFinished);

  // The target profile: older copies, and files of its own.
  Text target = ProfileDir(MozillaBrowser::kFirefox, u"zzzzzzzz.target");
  for (const char16_t* f : {u"prefs.js", u"cookies.sqlite", u"keep.txt", u"extensions\\other\\a.js"})
    WriteFile(p, target + u"\\" + f, "old");
  MozillaSelectiveWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  SelectiveChoice choice = Choice(w);
  choice.profileIndex = 1;
  ASSERT_EQ(choice.profiles, (Names{u"aaaaaaaa.default", u"zzzzzzzz.target"}));
  choice.ticked = {4, 6};  // Extensions, Preferences

  ASSERT_EQ(w.Restore(choice), NextResult::kFinished);
  EXPECT_EQ(w.atspaudziam, u"default.dat");
  EXPECT_EQ(w.backuploc, u"C:\\Backups\\default\\");
  EXPECT_EQ(ReadFile(p, target + u"\\prefs.js"), "prefs.js");
  EXPECT_EQ(ReadFile(p, target + u"\\preferences\\site.js"), "preferences\\site.js");
  EXPECT_EQ(ReadFile(p, target + u"\\extensions\\helper@example.org\\install.rdf"),
            "extensions\\helper@example.org\\install.rdf");
  EXPECT_EQ(ReadFile(p, target + u"\\extensions\\other\\a.js"), "old");
  EXPECT_EQ(ReadFile(p, target + u"\\keep.txt"), "old");
  EXPECT_EQ(ReadFile(p, target + u"\\cookies.sqlite"), "old");  // Cookies not ticked
  EXPECT_FALSE(p.files.Exists(target + u"\\key3.db"));
  EXPECT_EQ(Listing(backups), Names{u"default.dat"});
  EXPECT_EQ(host.busy, false);
  EXPECT_EQ(host.log.back(), "finish");
}

// A running browser holds some of its files: what cannot be read or
// replaced is named at the end, and the rest is still done.
TEST_F(MozillaWizardTest, FilesHeldByARunningBrowserAreNamedAndTheRestIsDone) {
  const Text dir = MakeProfile(MozillaBrowser::kFirefox, u"x7k2m9qa.default", {u"prefs.js", u"key3.db"});
  uint32_t error = 0;
  auto held = p.files.Open(dir + u"\\key3.db", platform::Access::kReadWrite, platform::Share::kExclusive,
                           platform::Disposition::kOpenExisting, &error);
  ASSERT_TRUE(held);
  const Text reason = p.system.ErrorMessage(platform::err::kSharingViolation);
  MozillaSelectiveWizard backup(MozillaBrowser::kFirefox, helpers, p, host);
  EXPECT_EQ(backup.Backup(Choice(backup)), NextResult::kLeftOut);
  EXPECT_EQ(Stored(backup.ArchiveFile()), Names{u"prefs.js"});  // signons3.txt is not in the profile
  EXPECT_EQ(host.reports, Names{u"These files were left out of the backup or changed while it read them:\n\n"
                                u"Cannot copy file \"" + dir + u"\\key3.db\". " + reason});
  held.reset();

  ASSERT_EQ(backup.Backup(Choice(backup)), NextResult::kFinished);
  WriteFile(p, dir + u"\\prefs.js", "changed");
  held = p.files.Open(dir + u"\\key3.db", platform::Access::kRead, platform::Share::kRead,
                      platform::Disposition::kOpenExisting, &error);
  host = HeadlessWizardHost();
  MozillaSelectiveWizard restore(MozillaBrowser::kFirefox, helpers, p, host);
  EXPECT_EQ(restore.Restore(Choice(restore)), NextResult::kLeftOut);
  EXPECT_EQ(ReadFile(p, dir + u"\\prefs.js"), "prefs.js");
  EXPECT_EQ(host.reports, Names{u"These files were left out of the restore:\n\nCannot restore file \"" + dir +
                                u"\\key3.db\". " + reason});
  EXPECT_TRUE(host.finishShown);
}

TEST_F(MozillaWizardTest, DeleteBackupFileSendsTheArchiveToTheRecycleBinAfterARestore) {
  MakeProfile(MozillaBrowser::kFirefox, u"x7k2m9qa.default", {u"prefs.js"});
  MozillaSelectiveWizard backup(MozillaBrowser::kFirefox, helpers, p, host);
  ASSERT_EQ(backup.Backup(Choice(backup)), NextResult::kFinished);
  MozillaSelectiveWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  SelectiveChoice choice = Choice(w);
  choice.deleteBackupFile = true;
  ASSERT_EQ(w.Restore(choice), NextResult::kFinished);
  EXPECT_EQ(Listing(backups), Names{});
  EXPECT_EQ(sim.sim().RecycledItems(),
            (Names{u"C:\\Backups\\default", u"C:\\Backups\\default", u"C:\\Backups\\default.dat"}));
}

TEST_F(MozillaWizardTest, CustomProfileBacksUpAsFfCustomAndRestoresIntoIt) {
  WriteFile(p, u"C:\\Portable\\prof\\cookies.sqlite", "c");
  WriteFile(p, u"C:\\Portable\\prof\\chrome\\userContent.css", "u");
  MozillaSelectiveWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  SelectiveChoice choice = Choice(w);  // no root: the list is empty
  EXPECT_EQ(host.messages, Names{u"Settings Files Not Found. Select Custom Profile."});
  choice.customProfile = u"C:\\Portable\\prof";

  ASSERT_EQ(w.Backup(choice), NextResult::kFinished);
  EXPECT_EQ(w.profile, u"123456789ff_custom");
  EXPECT_EQ(w.ArchiveFile(), u"C:\\Backups\\ff_custom.dat");
  EXPECT_EQ(Stored(w.ArchiveFile()), (Names{u"chrome\\userContent.css", u"cookies.sqlite"}));

  choice.customProfile = u"C:\\Other";
  p.files.ForceDirectories(u"C:\\Other");
  choice.backupFiles = ListBackupFiles(p.files, backups);
  choice.backupFileIndex = 0;
  ASSERT_EQ(w.Restore(choice), NextResult::kFinished);
  EXPECT_EQ(ReadFile(p, u"C:\\Other\\chrome\\userContent.css"), "u");
  EXPECT_EQ(ReadFile(p, u"C:\\Other\\cookies.sqlite"), "c");
}

TEST_F(MozillaWizardTest, BackupFileListShowsOnlyOrdinaryDatFiles) {
  for (const char16_t* f : {u"b.dat", u"A.DAT", u"hidden.dat", u"ro.dat", u"notes.txt"})
    WriteFile(p, backups + u"\\" + f, "x");
  p.files.ForceDirectories(backups + u"\\folder.dat");
  p.files.SetAttributes(backups + u"\\hidden.dat", platform::attr::kHidden);
  p.files.SetAttributes(backups + u"\\ro.dat", platform::attr::kReadOnly);
  EXPECT_EQ(ListBackupFiles(p.files, backups), (Names{u"A.DAT", u"b.dat"}));
  EXPECT_EQ(ListBackupFiles(p.files, u"C:\\Missing"), Names{});
}

// Each way Next can lack what it needs: one message, and nothing packed,
// extracted, copied or deleted.
TEST_F(MozillaWizardTest, NextWithoutWhatItNeedsChangesNothing) {
  struct Case {
    const char* name;
    bool restore;
    bool root;
    std::function<void(SelectiveChoice&)> change;
    const char16_t* message;
  };
  const Case cases[] = {
      {"placeholder", false, true, [](SelectiveChoice& c) { c.backupLocation = kBackupLocationPlaceholder; },
       u"Please Select Backup Location"},
      {"restore placeholder", true, true,
       [](SelectiveChoice& c) { c.backupLocation = kBackupLocationPlaceholder; },
       u"Please Select Backup Location"},
      {"no root", false, false, nullptr, u"Settings Files Not Found. Select Custom Profile."},
      {"restore no root", true, false, nullptr, u"Settings Files Not Found. Select Custom Profile."},
      {"empty list", false, true, [](SelectiveChoice& c) { c.profiles.clear(); c.profileIndex = -1; },
       mozilla_text::kNoProfileSelected},
      {"restore empty list", true, true,
       [](SelectiveChoice& c) { c.profiles.clear(); c.profileIndex = -1; }, mozilla_text::kNoProfileSelected},
      {"missing custom folder", false, true, [](SelectiveChoice& c) { c.customProfile = u"C:\\Nowhere"; },
       mozilla_text::kCustomProfileNotFound},
      {"missing backup folder", false, true, [](SelectiveChoice& c) { c.backupLocation = u"C:\\Nowhere"; },
       mozilla_text::kBackupLocationNotFound},
      {"no backup file", true, true, [](SelectiveChoice& c) { c.backupFiles.clear(); c.backupFileIndex = -1; },
       mozilla_text::kNoBackupFile},
      {"backup file gone", true, true, [](SelectiveChoice& c) { c.backupFiles = {u"gone.dat"}; },
       u"Backup File \"gone.dat\" Not Found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::sim::TempSimWindows s;
    platform::Platform& sp = s.Get();
    FileHelpers h(sp);
    HeadlessWizardHost wh;
    sp.files.ForceDirectories(backups);
    WriteFile(sp, backups + u"\\keep.dat", "archive");
    if (c.root) {
      WriteFile(sp, Root(MozillaBrowser::kFirefox) + u"\\profiles.ini", "");
      WriteFile(sp, ProfileDir(MozillaBrowser::kFirefox, u"x7k2m9qa.default") + u"\\prefs.js", "p");
    }
    MozillaSelectiveWizard w(MozillaBrowser::kFirefox, h, sp, wh);
    SelectiveChoice choice;
    w.Activate(choice.profiles);
    choice.profileIndex = choice.profiles.empty() ? -1 : 0;
    choice.backupLocation = backups;
    choice.ticked = AllItems(MozillaBrowser::kFirefox);
    choice.backupFiles = {u"keep.dat"};
    choice.backupFileIndex = 0;
    if (c.change) c.change(choice);
    wh.messages.clear();

    EXPECT_EQ(c.restore ? w.Restore(choice) : w.Backup(choice), NextResult::kStopped);
    EXPECT_EQ(wh.messages, Names{c.message});
    EXPECT_FALSE(wh.progressVisible);
    EXPECT_FALSE(wh.finishShown);
    EXPECT_TRUE(s.sim().RecycledItems().empty());
    std::vector<Text> listing;
    for (const auto& e : sp.files.Find(backups + u"\\*"))
      if (e.name != u"." && e.name != u"..") listing.push_back(e.name);
    EXPECT_EQ(listing, Names{u"keep.dat"});
  }
}

TEST_F(MozillaWizardTest, RepeatedNextFindsTheEmptiedListUntilTheWindowIsActivatedAgain) {
  MakeProfile(MozillaBrowser::kFirefox, u"x7k2m9qa.default", {u"prefs.js"});
  MozillaSelectiveWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  SelectiveChoice choice = Choice(w);
  ASSERT_EQ(w.Backup(choice), NextResult::kFinished);
  ASSERT_TRUE(host.profileListEmptied);
  choice.profiles.clear();  // what the window's list now holds
  choice.profileIndex = -1;

  EXPECT_EQ(w.Backup(choice), NextResult::kStopped);
  EXPECT_EQ(host.messages, Names{mozilla_text::kNoProfileSelected});
  EXPECT_EQ(sim.sim().RecycledItems().size(), 1u);

  // Activation refills the list instead of appending to what it held.
  choice.profiles = {u"stale"};
  ASSERT_TRUE(w.Activate(choice.profiles));
  EXPECT_EQ(choice.profiles, Names{u"x7k2m9qa.default"});
  choice.profileIndex = 0;
  WriteFile(p, ProfileDir(MozillaBrowser::kFirefox, u"x7k2m9qa.default") + u"\\key3.db", "k");
  ASSERT_EQ(w.Backup(choice), NextResult::kFinished);
  EXPECT_EQ(Stored(w.ArchiveFile()), (Names{u"key3.db", u"prefs.js"}));
}

TEST_F(MozillaWizardTest, AFlockArchiveRestoresThroughTheFirefoxWizardWithoutFlockItems) {
  MakeProfile(MozillaBrowser::kFlock, u"f1f1f1f1.default", {u"prefs.js", u"feedcontent.sqlite"});
  MozillaSelectiveWizard flock(MozillaBrowser::kFlock, helpers, p, host);
  ASSERT_EQ(flock.Backup(Choice(flock)), NextResult::kFinished);
  Text target = MakeProfile(MozillaBrowser::kFirefox, u"x7k2m9qa.default", {});
  MozillaSelectiveWizard w(MozillaBrowser::kFirefox, helpers, p, host);
  ASSERT_EQ(w.Restore(Choice(w)), NextResult::kFinished);
  EXPECT_EQ(Listing(target), Names{u"prefs.js"});
}

}  // namespace

// Chrome and Safari on the shared engine, on the simulated Windows: where
// their folders are looked for, what each catalogue puts into the archive
// and takes back, the progress steps, Safari's shared "Preferences" folder,
// the profile lists and the runs refused for want of anything to work on.
#include <gtest/gtest.h>

#include <algorithm>

#include "brantle/archive/zlib_multiple.h"
#include "brantle/browsers/chrome/chrome_browser.h"
#include "brantle/browsers/common/operations.h"
#include "brantle/browsers/safari/safari_browser.h"
#include "platform/sim/sim_windows.h"
#include "tests/unit/wizard_fixture.h"

namespace {

using namespace brantle;
using platform::Text;
using testing_support::Plus;
using testing_support::ReadFile;
using testing_support::Sorted;
using testing_support::WriteFile;

const Text kUserData = u"C:\\Users\\tester\\AppData\\Local\\Google\\Chrome\\User Data";
const Text kApple = u"C:\\Users\\tester\\AppData\\Roaming\\Apple Computer";

// Every file the Chrome catalogue names, as it lies in a profile.
const std::vector<Text> kChromeFiles = {
    u"Bookmarks",   u"Cookies", u"Current Session", u"Current Tabs", u"Extension Cookies",
    u"History",     u"Last Session", u"Last Tabs",  u"Preferences",  u"Thumbnails",
    u"Visited Links", u"Login Data", u"Web Data"};
const std::vector<Text> kSafariFiles = {u"Bookmarks.plist", u"Downloads.plist", u"Form Values.plist",
                                        u"History.plist", u"LastSession.plist", u"TopSites.plist"};

class ChromeSafariTest : public testing_support::WizardFixture {
 protected:
  // Files whose content is their own name.
  void Put(const Text& folder, const std::vector<Text>& files) {
    p.files.ForceDirectories(folder);
    for (const Text& f : files) WriteFile(p, folder + u"\\" + f, platform::ToUtf8(f));
  }

  // "User Data" with a full "Default" profile and the folders Chrome keeps
  // beside its profiles, listed before it.
  void MakeChrome() {
    Put(kUserData, {u"Local State"});
    Put(kUserData + u"\\AutofillStates", {u"states.bin"});
    Put(kUserData + u"\\Crashpad", {u"settings.dat"});
    Put(kUserData + u"\\Default", kChromeFiles);
    Put(kUserData + u"\\Default", {u"Favicons", u"Top Sites"});  // no item takes them
    Put(kUserData + u"\\Default\\Extensions\\abc", {u"manifest.json"});
    Put(kUserData + u"\\Default\\Plugin Data", {u"flash.sol"});
  }

  // "Apple Computer" with the profile "Safari", the shared "Preferences"
  // folder and a folder of another program.
  void MakeSafari(bool withPreferences = true) {
    Put(kApple + u"\\Logs", {u"update.log"});
    Put(kApple + u"\\Safari", kSafariFiles);
    Put(kApple + u"\\Safari", {u"WebpageIcons.db"});
    Put(kApple + u"\\Safari\\Cookies", {u"Cookies.plist"});
    Put(kApple + u"\\Safari\\PubSub\\Database", {u"Database.sqlite3"});
    if (withPreferences) Put(kApple + u"\\Preferences", {u"com.apple.Safari.plist"});
  }

  // What a freshly activated window offers: every box ticked, the
  // preselected profile and the first backup file.
  SelectiveChoice Choice(SelectiveOperation& op) {
    SelectiveChoice c;
    op.Activate(c.profiles);
    c.profileIndex = op.preselected;
    c.backupLocation = backups;
    c.ticked = op.catalogue.Tickable();
    c.backupFiles = ListBackupFiles(p.files, backups);
    c.backupFileIndex = c.backupFiles.empty() ? -1 : 0;
    return c;
  }

  std::vector<int> Ticked(const Catalogue& c, const std::vector<Text>& captions) {
    std::vector<int> ticked;
    for (const Text& caption : captions) ticked.push_back(c.FindCaption(caption)->checkBox);
    return ticked;
  }
};

struct Candidates {
  const BrowserDescription& (*browser)();
  unsigned major;
  const char16_t *dir1, *dir2, *dir3, *dir4;
};

TEST_F(ChromeSafariTest, CandidateFoldersFollowTheWindowsVersion) {
  const Candidates cases[] = {
      {Chrome, 5, u"C:\\Roam\\Google\\Chrome\\User Data\\Default",
       u"C:\\Documents and Settings\\tester\\Application Data\\Google\\Chrome\\User Data\\Default",
       u"C:\\Documents and Settings\\tester\\Local Settings\\Application Data\\Google\\Chrome\\User Data\\Default",
       u"C:\\Loc\\Google\\Chrome\\User Data\\Default"},
      {Chrome, 6, u"C:\\Roam\\Google\\Chrome\\User Data\\Default",
       u"C:\\Users\\tester\\AppData\\Local\\Google\\Chrome\\User Data\\Default",
       u"C:\\Users\\tester\\AppData\\Roaming\\Google\\Chrome\\User Data\\Default",
       u"C:\\Loc\\Google\\Chrome\\User Data\\Default"},
      {Chrome, 10, u"",
       u"C:\\Documents and Settings\\tester\\Application Data\\Google\\Chrome\\User Data\\Default",
       u"C:\\Documents and Settings\\tester\\Local Settings\\Application Data\\Google\\Chrome\\User Data\\Default",
       u"C:\\Loc\\Google\\Chrome\\User Data\\Default"},
      {Safari, 5, u"C:\\Roam\\Apple Computer\\Safari",
       u"C:\\Documents and Settings\\tester\\Application Data\\Apple Computer\\Safari",
       u"C:\\Documents and Settings\\tester\\Local Settings\\Application Data\\Apple Computer\\Safari",
       u"C:\\Loc\\Apple Computer\\Safari"},
      {Safari, 6, u"C:\\Roam\\Apple Computer\\Safari", u"C:\\Users\\tester\\AppData\\Local\\Apple Computer\\Safari",
       u"C:\\Users\\tester\\AppData\\Roaming\\Apple Computer\\Safari", u"C:\\Loc\\Apple Computer\\Safari"},
  };
  for (const Candidates& c : cases) {
    SCOPED_TRACE(platform::ToUtf8(c.browser().name) + " " + std::to_string(c.major));
    sim.sim().Config().version = {c.major, 1, 0};
    sim.sim().Config().specialFolders[platform::csidl::kAppData] = u"C:\\Roam";
    sim.sim().Config().specialFolders[platform::csidl::kLocalAppData] = u"C:\\Loc";
    Discovery d;
    EXPECT_FALSE(Discover(helpers, p, c.browser().search, DiscoveryForm::kSelective, d));
    EXPECT_EQ(d.dir1, c.dir1);
    EXPECT_EQ(d.dir2, c.dir2);
    EXPECT_EQ(d.dir3, c.dir3);
    EXPECT_EQ(d.dir4, c.dir4);
  }
}

TEST_F(ChromeSafariTest, FoundFoldersKeepATrailingBackslashOnlyInTheSelectiveForm) {
  MakeChrome();
  MakeSafari();
  const std::tuple<const BrowserDescription&, Text> cases[] = {{Chrome(), kUserData}, {Safari(), kApple}};
  for (const auto& [browser, root] : cases) {
    Discovery selective, full;
    ASSERT_TRUE(Discover(helpers, p, browser.search, DiscoveryForm::kSelective, selective));
    ASSERT_TRUE(Discover(helpers, p, browser.search, DiscoveryForm::kFull, full));
    EXPECT_EQ(selective.ffpath, root + u"\\");
    EXPECT_EQ(full.ffpath, root);
  }
}

TEST_F(ChromeSafariTest, ProfileListsHoldTheSubfoldersAndPreselectWhereTheMarkerWas) {
  MakeChrome();
  MakeSafari();
  HeadlessWizardHost h;
  SelectiveOperation chrome(Chrome(), helpers, p, h), safari(Safari(), helpers, p, h);
  std::vector<Text> profiles;
  ASSERT_TRUE(chrome.Activate(profiles));
  EXPECT_EQ(Sorted(profiles), (std::vector<Text>{u"AutofillStates", u"Crashpad", u"Default"}));
  ASSERT_GE(chrome.preselected, 0);
  EXPECT_EQ(profiles[static_cast<size_t>(chrome.preselected)], u"Default");

  // The shared "Preferences" folder is no profile; other folders are listed.
  ASSERT_TRUE(safari.Activate(profiles));
  EXPECT_EQ(Sorted(profiles), (std::vector<Text>{u"Logs", u"Safari"}));
  EXPECT_EQ(profiles[static_cast<size_t>(safari.preselected)], u"Safari");
  EXPECT_TRUE(h.messages.empty());
}

TEST_F(ChromeSafariTest, ChromeBacksUpTheTickedItemsOfThePreselectedProfileAndRestoresThem) {
  MakeChrome();
  // A folder of the user's that happens to have the staging folder's name.
  Put(backups + u"\\Default", {u"mine.txt"});
  SelectiveOperation backup(Chrome(), helpers, p, host);
  SelectiveChoice choice = Choice(backup);
  ASSERT_EQ(backup.Backup(choice), NextResult::kFinished);

  EXPECT_EQ(backup.ArchiveFile(), backups + u"\\Default.dat");
  EXPECT_EQ(Stored(backup.ArchiveFile()),
            Plus(kChromeFiles, {u"Extensions\\abc\\manifest.json", u"Plugin Data\\flash.sol"}));
  // Folders and the files whose box says so move the bar by 7.
  EXPECT_EQ(host.progressSteps, std::vector<int>(12, 7));
  EXPECT_EQ(Listing(backups), (std::vector<Text>{u"Default", u"Default.dat"}));
  EXPECT_EQ(Listing(backups + u"\\Default"), std::vector<Text>{u"mine.txt"});
  EXPECT_TRUE(host.finishShown);
  EXPECT_TRUE(host.messages.empty());

  // Restored into the profile after it lost everything but its marker.
  const Text profile = kUserData + u"\\Default";
  helpers.DelTree(profile);
  Put(profile, {u"Bookmarks"});
  WriteFile(p, profile + u"\\Bookmarks", "damaged");
  HeadlessWizardHost restoreHost;
  SelectiveOperation restore(Chrome(), helpers, p, restoreHost);
  choice = Choice(restore);
  ASSERT_EQ(choice.backupFiles, std::vector<Text>{u"Default.dat"});
  ASSERT_EQ(restore.Restore(choice), NextResult::kFinished);
  EXPECT_EQ(Listing(profile), Plus(kChromeFiles, {u"Extensions", u"Plugin Data"}));
  for (const Text& f : kChromeFiles) EXPECT_EQ(ReadFile(p, profile + u"\\" + f), platform::ToUtf8(f));
  EXPECT_EQ(ReadFile(p, profile + u"\\Extensions\\abc\\manifest.json"), "manifest.json");
  // The restore moves by 7 for other items than the backup: "Preferences"
  // does, "Last tabs" does not.
  std::vector<int> steps = {5};
  steps.insert(steps.end(), 10, 7);
  steps.push_back(9);
  EXPECT_EQ(restoreHost.progressSteps, steps);
  EXPECT_EQ(Listing(backups), (std::vector<Text>{u"Default", u"Default.dat"}));
}

TEST_F(ChromeSafariTest, ASelectiveArchiveHoldsOnlyTheTickedItems) {
  MakeChrome();
  SelectiveOperation op(Chrome(), helpers, p, host);
  SelectiveChoice choice = Choice(op);
  choice.ticked = Ticked(op.catalogue, {u"Extensions", u"Login Data", u"Last tabs"});
  ASSERT_EQ(op.Backup(choice), NextResult::kFinished);
  EXPECT_EQ(Stored(backups + u"\\Default.dat"),
            (std::vector<Text>{u"Extensions\\abc\\manifest.json", u"Last Tabs", u"Login Data"}));
  EXPECT_EQ(host.progressSteps, (std::vector<int>{7, 7, 7, 7}));

  // The "Cache" box is never read, whatever it shows.
  EXPECT_FALSE(op.catalogue.FindCaption(u"Cache")->enabled);
  const std::vector<int> tickable = op.catalogue.Tickable();
  EXPECT_EQ(std::count(tickable.begin(), tickable.end(), op.catalogue.FindCaption(u"Cache")->checkBox), 0);
}

TEST_F(ChromeSafariTest, ACustomProfileFolderIsNamedChCustom) {
  const Text source = u"C:\\Old Profile", target = u"C:\\New Profile";
  Put(source, {u"History", u"History.plist"});
  p.files.ForceDirectories(target);
  const std::pair<const BrowserDescription&, Text> cases[] = {{Chrome(), u"History"}, {Safari(), u"History.plist"}};
  for (const auto& [browser, file] : cases) {
    SCOPED_TRACE(platform::ToUtf8(browser.name));
    HeadlessWizardHost h;
    SelectiveOperation backup(browser, helpers, p, h);
    SelectiveChoice choice = Choice(backup);
    choice.customProfile = source;
    choice.ticked = Ticked(backup.catalogue, {u"History"});
    ASSERT_EQ(backup.Backup(choice), NextResult::kFinished);
    EXPECT_EQ(backup.ArchiveFile(), backups + u"\\ch_custom.dat");

    SelectiveOperation restore(browser, helpers, p, h);
    choice = Choice(restore);
    choice.customProfile = target;
    ASSERT_EQ(choice.backupFiles, std::vector<Text>{u"ch_custom.dat"});
    ASSERT_EQ(restore.Restore(choice), NextResult::kFinished);
    EXPECT_EQ(Listing(target), std::vector<Text>{file});
    p.files.Remove(target + u"\\" + file);
    p.files.Remove(backups + u"\\ch_custom.dat");
  }
}

TEST_F(ChromeSafariTest, SafariTakesPreferencesFromTheAppleComputerFolder) {
  MakeSafari();
  SelectiveOperation backup(Safari(), helpers, p, host);
  SelectiveChoice choice = Choice(backup);
  ASSERT_EQ(backup.Backup(choice), NextResult::kFinished);
  EXPECT_EQ(backup.ArchiveFile(), backups + u"\\Safari.dat");
  EXPECT_EQ(Stored(backup.ArchiveFile()),
            Plus(kSafariFiles, {u"Cookies\\Cookies.plist", u"Preferences\\com.apple.Safari.plist",
                                u"PubSub\\Database\\Database.sqlite3"}));
  // 8 for the folders and all files but "Downloads" and "Form values".
  EXPECT_EQ(host.progressSteps, std::vector<int>(9, 8));

  // A custom profile folder still takes the "Preferences" found on activation.
  const Text custom = u"C:\\Old Safari";
  Put(custom, {u"History.plist"});
  choice.customProfile = custom;
  choice.ticked = Ticked(backup.catalogue, {u"History", u"Preferences"});
  ASSERT_EQ(backup.Backup(choice), NextResult::kFinished);
  EXPECT_EQ(Stored(backups + u"\\ch_custom.dat"),
            (std::vector<Text>{u"History.plist", u"Preferences\\com.apple.Safari.plist"}));

  // Restored into the shared folder only where it is there already.
  WriteFile(p, kApple + u"\\Preferences\\com.apple.Safari.plist", "changed");
  HeadlessWizardHost restoreHost;
  SelectiveOperation restore(Safari(), helpers, p, restoreHost);
  choice = Choice(restore);
  choice.backupFiles = {u"Safari.dat"};
  choice.backupFileIndex = 0;
  ASSERT_EQ(restore.Restore(choice), NextResult::kFinished);
  EXPECT_EQ(ReadFile(p, kApple + u"\\Preferences\\com.apple.Safari.plist"), "com.apple.Safari.plist");
  std::vector<int> steps = {5};
  steps.insert(steps.end(), 7, 8);
  steps.push_back(9);
  EXPECT_EQ(restoreHost.progressSteps, steps);

  helpers.DelTree(kApple + u"\\Preferences");
  ASSERT_EQ(restore.Restore(choice), NextResult::kFinished);
  EXPECT_FALSE(p.files.Exists(kApple + u"\\Preferences"));
  EXPECT_TRUE(restoreHost.messages.empty());
}

TEST_F(ChromeSafariTest, SafariWithoutPreferencesFolderPacksTheRestSilently) {
  MakeSafari(false);
  SelectiveOperation op(Safari(), helpers, p, host);
  ASSERT_EQ(op.Backup(Choice(op)), NextResult::kFinished);
  EXPECT_EQ(Stored(backups + u"\\Safari.dat"),
            Plus(kSafariFiles, {u"Cookies\\Cookies.plist", u"PubSub\\Database\\Database.sqlite3"}));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ChromeSafariTest, SafariWithoutAppleComputerFolderTakesNoPreferencesAndSaysSo) {
  // A custom profile, and a "Preferences" folder of some other program in
  // the current folder.
  const Text custom = u"C:\\Old Safari";
  Put(custom, {u"History.plist"});
  Put(u"C:\\Work\\Preferences", {u"other.plist"});
  ASSERT_TRUE(p.files.SetCurrentDir(u"C:\\Work"));
  SelectiveOperation backup(Safari(), helpers, p, host);
  SelectiveChoice choice = Choice(backup);
  EXPECT_EQ(host.messages, std::vector<Text>{u"Settings Files Not Found. Select Custom Profile."});
  choice.customProfile = custom;
  EXPECT_EQ(backup.Backup(choice), NextResult::kIncomplete);
  EXPECT_EQ(Stored(backups + u"\\ch_custom.dat"), std::vector<Text>{u"History.plist"});
  EXPECT_EQ(host.messages.back(), u"Not backed up, as the folder that holds it was not found:\n\"Preferences\"");
  EXPECT_TRUE(host.finishShown);

  // The restore leaves that folder alone too.
  Put(u"C:\\Work\\Unpacked\\Preferences", {u"new.plist"});
  TZlibMultiple codec(p);
  codec.CompressDirectory(u"C:\\Work\\Unpacked", true, backups + u"\\prefs.dat");
  HeadlessWizardHost restoreHost;
  SelectiveOperation restore(Safari(), helpers, p, restoreHost);
  choice = Choice(restore);
  choice.customProfile = custom;
  choice.backupFiles = {u"prefs.dat"};
  choice.backupFileIndex = 0;
  EXPECT_EQ(restore.Restore(choice), NextResult::kIncomplete);
  EXPECT_EQ(Listing(u"C:\\Work\\Preferences"), std::vector<Text>{u"other.plist"});
  EXPECT_EQ(restoreHost.messages.back(), u"Not restored, as the folder it belongs in was not found:\n\"Preferences\"");
}

TEST_F(ChromeSafariTest, FullWizardsPackAndFillTheWholeRoot) {
  MakeChrome();
  MakeSafari();
  const std::tuple<const BrowserDescription&, Text, Text, Text> cases[] = {
      {Chrome(), kUserData, u"fbackup_chrome.dat", u"Default\\History"},
      {Safari(), kApple, u"fbackup_safari.dat", u"Safari\\History.plist"}};
  for (const auto& [browser, root, archive, lost] : cases) {
    SCOPED_TRACE(platform::ToUtf8(browser.name));
    HeadlessWizardHost h;
    FullOperation backup(browser, helpers, p, h);
    ASSERT_TRUE(backup.Activate());
    ASSERT_EQ(backup.Backup(backups), NextResult::kFinished);
    EXPECT_EQ(backup.ArchiveFile(), backups + u"\\" + archive);
    // Relative to the root: every profile and what lies beside them.
    std::vector<Text> stored = Stored(backup.ArchiveFile());
    EXPECT_EQ(std::count(stored.begin(), stored.end(), lost), 1);
    EXPECT_EQ(std::count(stored.begin(), stored.end(), browser.search.selectiveTails[0]), 1);
    EXPECT_EQ(h.fileLabel, u"Finished");

    // One file lost and one added since: the lost one is back, the added stays.
    p.files.Remove(root + u"\\" + lost);
    Put(root, {u"Added"});
    FullOperation restore(browser, helpers, p, h);
    ASSERT_TRUE(restore.Activate());
    ASSERT_EQ(restore.Restore(backups), NextResult::kFinished);
    EXPECT_EQ(ReadFile(p, root + u"\\" + lost), platform::ToUtf8(lost.substr(lost.find(u'\\') + 1)));
    EXPECT_TRUE(p.files.FileExists(root + u"\\Added"));
  }
}

TEST_F(ChromeSafariTest, NothingToWorkOnIsRefusedAndWritesNothing) {
  for (const auto* browser : {&Chrome(), &Safari()}) {
    SCOPED_TRACE(platform::ToUtf8(browser->name));
    // No root found: every wizard stops with its message.
    HeadlessWizardHost h;
    SelectiveOperation selective(*browser, helpers, p, h);
    SelectiveChoice choice = Choice(selective);
    EXPECT_EQ(selective.Backup(choice), NextResult::kStopped);
    EXPECT_EQ(h.messages.back(), u"Settings Files Not Found. Select Custom Profile.");
    FullOperation full(*browser, helpers, p, h);
    full.Activate();
    EXPECT_EQ(h.messages.back(), u"Settings Files Not Found.");
    EXPECT_EQ(full.Backup(backups), NextResult::kStopped);
    WriteFile(p, backups + u"\\" + browser->FullArchiveName(), "");
    EXPECT_EQ(full.Restore(backups), NextResult::kStopped);
    EXPECT_EQ(h.messages.back(), u"Settings Files Not Found.");
    p.files.Remove(backups + u"\\" + browser->FullArchiveName());

    // A restore with no backup file to choose.
    choice.customProfile = u"C:\\Users";
    EXPECT_EQ(selective.Restore(choice), NextResult::kStopped);
    EXPECT_EQ(h.messages.back(), u"No Backup File (*.dat) Found in the Backup Location");
    EXPECT_FALSE(h.progressVisible);
    EXPECT_FALSE(h.finishShown);
    EXPECT_TRUE(Listing(backups).empty());
  }
}

}  // namespace

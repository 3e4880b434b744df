// Internet Explorer's wizards on the simulated Windows: what each layout
// puts into the archives, the hive files' forced restore, and the ways a
// key, a privilege, the marker file or a staging folder can be missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "brantle/archive/zlib_multiple.h"
#include "brantle/browsers/ie/ie_browser.h"
#include "brantle/browsers/common/operations.h"
#include "brantle/shell/wizard_windows.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_windows.h"
#include "platform/ui/headless_ui.h"
#include "tests/unit/sim_fixture.h"

namespace {

using namespace brantle;
using platform::RegValue;
using platform::RootKey;
using platform::Text;
using testing_support::ArchiveEntry;
using testing_support::ReadFile;
using testing_support::WriteFile;
using Names = std::vector<Text>;

const Text kBackups = u"C:\\Backups";
const Names kAllHives = {u"autocomplete.reg", u"hist.reg",  u"links.reg", u"rec.reg",  u"search.reg",
                         u"set.reg",          u"set2.reg",  u"set3.reg",  u"set4.reg", u"set5.reg",
                         u"set6.reg",         u"set7.reg",  u"toolbar.reg"};

// Where one Windows layout keeps IE's data.
struct Layout {
  unsigned major;
  const char16_t* appData;   // CSIDL_APPDATA
  const char16_t* dataDir;   // the folder holding brndlog.txt
  const char16_t* cookies;   // the Cookies folder
  const char16_t* favorites;
};

const Layout kXp{5, u"C:\\Documents and Settings\\tester\\Application Data",
                 u"C:\\Documents and Settings\\tester\\Application Data\\Microsoft\\Internet Explorer",
                 u"C:\\Documents and Settings\\tester\\Cookies", u"C:\\Documents and Settings\\tester\\Favorites"};
// Vista/7 with the data folder under AppData\Local only: found by the second candidate.
const Layout kSeven{6, u"C:\\Users\\tester\\AppData\\Roaming",
                    u"C:\\Users\\tester\\AppData\\Local\\Microsoft\\Internet Explorer",
                    u"C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Cookies",
                    u"C:\\Users\\tester\\Favorites"};
// Any other major version: no roaming candidate, the 2000/XP forms.
const Layout kTen{10, u"C:\\Users\\tester\\AppData\\Roaming",
                  u"C:\\Documents and Settings\\tester\\Local Settings\\Application Data\\Microsoft\\Internet Explorer",
                  u"C:\\Documents and Settings\\tester\\Cookies", u"C:\\Documents and Settings\\tester\\Favorites"};

platform::sim::SimConfig ConfigOf(const Layout& l) {
  platform::sim::SimConfig c;
  c.version = {l.major, 1, 0};
  c.specialFolders[platform::csidl::kAppData] = l.appData;
  return c;
}

class IeTest : public ::testing::Test {
 protected:
  explicit IeTest(const Layout& layout = kSeven) : layout(layout), sim(ConfigOf(layout)) {
    p.files.ForceDirectories(kBackups);
  }

  const Layout layout;
  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  FileHelpers helpers{p};
  HeadlessWizardHost host;
  platform::sim::SimClock clock;

  // Values in every key, the marker, and a file in each folder.
  void Plant() {
    for (const IeKey& k : IeKeys()) SetValue(k.key, RegValue::String(u"v", k.file));
    WriteFile(p, Text(layout.dataDir) + u"\\brndlog.txt", "log");
    WriteFile(p, Text(layout.dataDir) + u"\\Recovery\\Active\\tab.dat", "tab");
    WriteFile(p, Text(layout.cookies) + u"\\tester@site.txt", "cookie");
    WriteFile(p, Text(layout.favorites) + u"\\Links\\site.url", "fav");
  }
  void SetValue(const Text& key, const RegValue& value) {
    std::unique_ptr<platform::RegKey> k;
    ASSERT_EQ(p.registry.CreateKey(RootKey::kCurrentUser, key, 0, platform::keyaccess::kAllAccess, &k), 0);
    ASSERT_EQ(p.registry.SetValue(*k, value), 0);
  }
  bool HasValue(const Text& key, const Text& name) {
    std::unique_ptr<platform::RegKey> k;
    if (p.registry.OpenKey(RootKey::kCurrentUser, key, platform::keyaccess::kRead, &k)) return false;
    RegValue v;
    return p.registry.QueryValue(*k, name, &v) == 0;
  }
  Names Stored(const Text& archive) {
    TZlibMultiple codec(p);
    Names files;
    codec.ListStoredFiles(archive, files);
    std::sort(files.begin(), files.end());
    return files;
  }
  Names Listing(const Text& dir) {
    Names names;
    for (const auto& e : p.files.Find(dir + u"\\*"))
      if (e.name != u"." && e.name != u"..") names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
  }
  SelectiveChoice Choice(std::vector<int> ticked = InternetExplorer().catalogue->Tickable()) {
    SelectiveChoice c;
    c.backupLocation = kBackups;
    c.ticked = std::move(ticked);
    return c;
  }
  SelectiveOperation Selective() { return SelectiveOperation(InternetExplorer(), helpers, p, host, clock); }
  FullOperation Full() { return FullOperation(InternetExplorer(), helpers, p, host, clock); }
};

Names WithFolders(Names hives) {
  for (const char16_t* f : {u"Cookies\\tester@site.txt", u"Favorites\\Links\\site.url", u"Recovery\\Active\\tab.dat"})
    hives.push_back(f);
  std::sort(hives.begin(), hives.end());
  return hives;
}

class IeLayoutTest : public IeTest, public ::testing::WithParamInterface<Layout> {
 protected:
  IeLayoutTest() : IeTest(GetParam()) {}
};

TEST_P(IeLayoutTest, EveryItemLandsInBothArchivesAndComesBack) {
  Plant();
  SelectiveOperation backup = Selective();
  ASSERT_EQ(backup.Backup(Choice()), NextResult::kFinished);
  EXPECT_EQ(backup.ffpath, Text(layout.dataDir) + u"\\");
  EXPECT_EQ(backup.ArchiveFile(), u"C:\\Backups\\backup_ie.dat");
  EXPECT_EQ(Stored(backup.ArchiveFile()), WithFolders(kAllHives));
  // Four one-second pauses, on the simulated clock; 9 per item, Settings twice,
  // once before and once after the items.
  EXPECT_EQ(clock.TotalSlept(), 4000u);
  EXPECT_EQ(std::accumulate(host.progressSteps.begin(), host.progressSteps.end(), 0), 9 * 12);
  EXPECT_EQ(host.log, (std::vector<std::string>{"progress show", "cursor busy", "header: ", "cursor normal",
                                                "progress 100", "progress hide", "finish"}));

  FullOperation full = Full();
  ASSERT_EQ(full.Backup(kBackups), NextResult::kFinished);
  EXPECT_EQ(full.ArchiveFile(), u"C:\\Backups\\fbackup_ie.dat");
  EXPECT_EQ(Stored(full.ArchiveFile()), WithFolders(kAllHives));
  EXPECT_EQ(host.barPosition, 0);  // the full wizards' bar ends empty
  EXPECT_EQ(Listing(kBackups), (Names{u"backup_ie.dat", u"fbackup_ie.dat"}));

  // Files deleted since come back from either archive.
  for (const auto& [restore, name] : {std::pair{false, "selective"}, std::pair{true, "full"}}) {
    SCOPED_TRACE(name);
    p.files.Remove(Text(layout.cookies) + u"\\tester@site.txt");
    p.files.Remove(Text(layout.favorites) + u"\\Links\\site.url");
    p.files.Remove(Text(layout.dataDir) + u"\\Recovery\\Active\\tab.dat");
    SelectiveOperation selective = Selective();
    FullOperation fullRestore = Full();
    ASSERT_EQ(restore ? fullRestore.Restore(kBackups) : selective.Restore(Choice()), NextResult::kFinished);
    EXPECT_EQ(ReadFile(p, Text(layout.cookies) + u"\\tester@site.txt"), "cookie");
    EXPECT_EQ(ReadFile(p, Text(layout.favorites) + u"\\Links\\site.url"), "fav");
    EXPECT_EQ(ReadFile(p, Text(layout.dataDir) + u"\\Recovery\\Active\\tab.dat"), "tab");
    EXPECT_EQ(Listing(kBackups), (Names{u"backup_ie.dat", u"fbackup_ie.dat"}));
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, IeLayoutTest, ::testing::Values(kXp, kSeven, kTen),
                         [](const auto& info) { return "Windows" + std::to_string(info.param.major); });

TEST_F(IeTest, ForcedRestoreGivesTheKeysExactlyTheSavedValues) {
  const Text main = u"Software\\Microsoft\\Internet Explorer\\Main\\";
  const Text typed = u"Software\\Microsoft\\Internet Explorer\\TypedURLs\\";
  Plant();
  SetValue(typed, RegValue::String(u"url1", u"http://example.org/"));
  SelectiveOperation backup = Selective();
  ASSERT_EQ(backup.Backup(Choice({4, 7})), NextResult::kFinished);  // History, Settings
  EXPECT_EQ(Stored(backup.ArchiveFile()), (Names{u"hist.reg", u"set.reg", u"set2.reg", u"set3.reg", u"set4.reg",
                                                 u"set5.reg", u"set6.reg", u"set7.reg"}));

  SetValue(main, RegValue::String(u"Start Page", u"http://changed.example/"));
  std::unique_ptr<platform::RegKey> k;
  ASSERT_EQ(p.registry.OpenKey(RootKey::kCurrentUser, typed, platform::keyaccess::kAllAccess, &k), 0);
  ASSERT_EQ(p.registry.DeleteValue(*k, u"url1"), 0);
  k.reset();

  SelectiveOperation restore = Selective();
  ASSERT_EQ(restore.Restore(Choice({4, 7})), NextResult::kFinished);
  EXPECT_FALSE(HasValue(main, u"Start Page"));
  EXPECT_TRUE(HasValue(main, u"v"));
  EXPECT_TRUE(HasValue(typed, u"url1"));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(IeTest, AnAbsentKeyIsNeitherSavedNorReportedNorCreated) {
  const Text links = u"Software\\Microsoft\\Internet Explorer\\LinksBar\\";
  Plant();
  ASSERT_EQ(p.registry.DeleteTree(RootKey::kCurrentUser, links), 0);
  SelectiveOperation backup = Selective();
  ASSERT_EQ(backup.Backup(Choice({1, 9})), NextResult::kFinished);  // Autocomplete, Links bar
  EXPECT_EQ(Stored(backup.ArchiveFile()), Names{u"autocomplete.reg"});
  SelectiveOperation restore = Selective();
  ASSERT_EQ(restore.Restore(Choice({1, 9})), NextResult::kFinished);
  EXPECT_TRUE(host.messages.empty());
  std::unique_ptr<platform::RegKey> k;
  EXPECT_NE(p.registry.OpenKey(RootKey::kCurrentUser, links, platform::keyaccess::kRead, &k), 0);
}

// Without the backup privilege (a Vista or 7 user without it) every save
// fails: the keys and the reason are told once, the rest is still done.
TEST_F(IeTest, KeysThatCannotBeSavedOrRestoredAreNamedOnce) {
  Plant();
  sim.sim().Config().heldPrivileges = {u"SeRestorePrivilege"};
  SelectiveOperation backup = Selective();
  EXPECT_EQ(backup.Backup(Choice({2, 4, 5})), NextResult::kIncomplete);  // Cookies, History, Search
  ASSERT_EQ(host.messages.size(), 1u);
  const Text& text = host.messages[0];
  EXPECT_NE(text.find(u"could not be saved"), Text::npos);
  EXPECT_NE(text.find(u"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs\\"), Text::npos);
  EXPECT_NE(text.find(u"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\SearchScopes\\"), Text::npos);
  EXPECT_NE(text.find(p.system.ErrorMessage(platform::err::kPrivilegeNotHeld)), Text::npos);
  EXPECT_EQ(Stored(backup.ArchiveFile()), Names{u"Cookies\\tester@site.txt"});
  EXPECT_TRUE(host.finishShown);

  // A restore whose imports fail says so the same way.
  sim.sim().Config().heldPrivileges = {u"SeBackupPrivilege", u"SeRestorePrivilege"};
  host = HeadlessWizardHost();
  ASSERT_EQ(Selective().Backup(Choice({4})), NextResult::kFinished);
  sim.sim().Config().heldPrivileges = {u"SeBackupPrivilege"};
  SelectiveOperation restore = Selective();
  EXPECT_EQ(restore.Restore(Choice({4})), NextResult::kIncomplete);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find(u"could not be restored"), Text::npos);
  EXPECT_NE(host.messages[0].find(u"TypedURLs"), Text::npos);
}

// No marker: the IE data folder is unknown, and a "C:\Recovery" of the
// current drive is not taken for its Recovery folder, either way.
// Favorites an older version stored with "?" for what the code page lacked
// come back under valid names, told as the archive holds them.
TEST_F(IeTest, FavoritesWithNamesWindowsRefusesAreRestoredAndNamed) {
  Plant();
  SelectiveOperation backup = Selective();
  ASSERT_EQ(backup.Backup(Choice()), NextResult::kFinished);
  WriteFile(p, backup.ArchiveFile(),
            ReadFile(p, backup.ArchiveFile()) + ArchiveEntry("Favorites\\", "??.url", "old") +
                ArchiveEntry("Favorites\\d?r\\", "CON.url", "device"));
  SelectiveOperation restore = Selective();
  EXPECT_EQ(restore.Restore(Choice()), NextResult::kLeftOut);
  EXPECT_EQ(ReadFile(p, Text(layout.favorites) + u"\\__.url"), "old");
  EXPECT_EQ(ReadFile(p, Text(layout.favorites) + u"\\d_r\\_CON.url"), "device");
  EXPECT_EQ(ReadFile(p, Text(layout.favorites) + u"\\Links\\site.url"), "fav");
  EXPECT_EQ(host.reports, Names{u"These names are not valid on Windows; the files were restored under other "
                                u"names:\n\nFavorites\\??.url as __.url\n"
                                u"Favorites\\d?r\\CON.url as Favorites\\d_r\\_CON.url"});
  EXPECT_TRUE(host.finishShown);
}

TEST_F(IeTest, WithoutTheMarkerSessionsKeepsItsKeyButNoFolder) {
  Plant();
  p.files.Remove(Text(layout.dataDir) + u"\\brndlog.txt");
  WriteFile(p, u"C:\\Recovery\\other.dat", "not IE's");
  ASSERT_TRUE(p.files.SetCurrentDir(u"C:\\"));

  SelectiveOperation backup = Selective();
  ASSERT_EQ(backup.Backup(Choice({6})), NextResult::kFinished);
  EXPECT_EQ(backup.ffpath, u"");
  EXPECT_EQ(Stored(backup.ArchiveFile()), Names{u"rec.reg"});
  EXPECT_EQ(host.unticked, std::vector<int>{6});

  // An archive that holds a Recovery folder is not restored into C:\.
  FullOperation full = Full();
  WriteFile(p, Text(layout.dataDir) + u"\\brndlog.txt", "log");
  ASSERT_EQ(full.Backup(kBackups), NextResult::kFinished);
  p.files.Remove(Text(layout.dataDir) + u"\\brndlog.txt");
  ASSERT_EQ(Full().Restore(kBackups), NextResult::kFinished);
  EXPECT_EQ(Listing(u"C:\\Recovery"), Names{u"other.dat"});
}

TEST_F(IeTest, MissingFoldersUntickTheirItemsWithoutAMessage) {
  Plant();
  ASSERT_TRUE(sim.sim().Get().shell.FileOperation(platform::ShellOp::kDelete, layout.cookies, Text(),
                                                 platform::fof::kNoConfirmation | platform::fof::kSilent) == 0);
  SelectiveOperation backup = Selective();
  ASSERT_EQ(backup.Backup(Choice()), NextResult::kFinished);
  EXPECT_EQ(host.unticked, std::vector<int>{2});
  Names stored = Stored(backup.ArchiveFile());
  EXPECT_EQ(std::count_if(stored.begin(), stored.end(), [](const Text& f) { return f.rfind(u"Cookies", 0) == 0; }),
            0);
  EXPECT_TRUE(host.messages.empty());

  // Restoring into a profile without a Recovery folder imports rec.reg only.
  ASSERT_EQ(p.registry.DeleteTree(RootKey::kCurrentUser, u"Software\\Microsoft\\Internet Explorer\\Recovery\\"), 0);
  p.files.Remove(Text(layout.dataDir) + u"\\Recovery\\Active\\tab.dat");
  p.files.RemoveDir(Text(layout.dataDir) + u"\\Recovery\\Active");
  p.files.RemoveDir(Text(layout.dataDir) + u"\\Recovery");
  host = HeadlessWizardHost();
  SelectiveOperation restore = Selective();
  ASSERT_EQ(restore.Restore(Choice({6})), NextResult::kFinished);
  EXPECT_EQ(host.unticked, std::vector<int>{6});
  EXPECT_TRUE(HasValue(u"Software\\Microsoft\\Internet Explorer\\Recovery\\", u"v"));
  EXPECT_FALSE(p.files.Exists(Text(layout.dataDir) + u"\\Recovery"));
}

// A left-over staging folder stops the backup with a message naming it;
// the restore extracts beside it. Either way it is left as it was.
TEST_F(IeTest, ALeftOverStagingFolderIsNeverUsedNorDeleted) {
  Plant();
  WriteFile(p, kBackups + u"\\backup_ie\\mine.txt", "the user's");
  WriteFile(p, kBackups + u"\\fbackup_ie\\mine.txt", "the user's");
  for (bool full : {false, true}) {
    host = HeadlessWizardHost();
    NextResult result = full ? Full().Backup(kBackups) : Selective().Backup(Choice());
    EXPECT_EQ(result, NextResult::kStopped);
    ASSERT_EQ(host.messages.size(), 1u);
    const Text folder = kBackups + (full ? u"\\fbackup_ie" : u"\\backup_ie");
    EXPECT_NE(host.messages[0].find(folder + u" already exists"), Text::npos);
    EXPECT_FALSE(host.progressVisible);
  }
  EXPECT_EQ(Listing(kBackups), (Names{u"backup_ie", u"fbackup_ie"}));

  p.files.Move(kBackups + u"\\backup_ie", kBackups + u"\\aside", false);
  host = HeadlessWizardHost();
  ASSERT_EQ(Selective().Backup(Choice()), NextResult::kFinished);
  p.files.Move(kBackups + u"\\aside", kBackups + u"\\backup_ie", false);
  SelectiveOperation restore = Selective();
  ASSERT_EQ(restore.Restore(Choice()), NextResult::kFinished);
  EXPECT_EQ(restore.staging, kBackups + u"\\backup_ie~1");
  EXPECT_EQ(Listing(kBackups + u"\\backup_ie"), Names{u"mine.txt"});
  EXPECT_EQ(Listing(kBackups), (Names{u"backup_ie", u"backup_ie.dat", u"fbackup_ie"}));
}

// The page: two columns, "Dialup" shown unticked and disabled and left out
// of Select All, the profile list holding only a disabled "Default".
TEST_F(IeTest, BackupWindowLaysOutTheCatalogue) {
  platform::ui::HeadlessUi ui;
  Tf_pBar& bar = ui.CreateForm<Tf_pBar>();
  auto& w = ui.CreateForm<Tfb_IE>(WizardContext{helpers, p, bar, &clock});
  w.Show();
  ui.Activate(w);
  EXPECT_EQ(w.Caption(), u"Backup Internet Explorer Web Browser");
  EXPECT_EQ(w.Label1->Caption(), u"Welcome to Internet Explorer Backup Wizard");
  ASSERT_EQ(w.CheckBoxes.size(), 10u);
  auto box = [&](const char16_t* caption) {
    for (auto* b : w.CheckBoxes)
      if (b->Caption() == caption) return b;
    throw std::runtime_error("no box");
  };
  const Names left = {u"Autocomplete", u"Cookies", u"Dialup", u"Favorites", u"History", u"Links bar",
                      u"Search providers"};
  const Names right = {u"Sessions", u"Settings", u"Toolbar"};
  for (size_t i = 0; i < left.size(); ++i) {
    EXPECT_EQ(box(left[i].c_str())->Left(), box(u"Autocomplete")->Left());
    if (i) {
      EXPECT_GT(box(left[i].c_str())->Top(), box(left[i - 1].c_str())->Top());
    }
  }
  for (size_t i = 0; i < right.size(); ++i) {
    EXPECT_GT(box(right[i].c_str())->Left(), box(u"Autocomplete")->Left());
    EXPECT_EQ(box(right[i].c_str())->Top(), box(left[i].c_str())->Top());
  }
  EXPECT_LE(box(u"Search providers")->Top() + box(u"Search providers")->Height(), w.Button4->Top());
  auto* dialup = box(u"Dialup");
  EXPECT_FALSE(dialup->Checked());
  EXPECT_FALSE(dialup->Enabled());
  w.Button6->Click();
  w.Button4->Click();
  EXPECT_FALSE(dialup->Checked());
  EXPECT_TRUE(box(u"Toolbar")->Checked());
  EXPECT_EQ(w.ListBox1->Items(), Names{u"Default"});
  EXPECT_FALSE(w.ListBox1->Enabled());

  // Next: the boxes as ticked; a missing folder clears its box.
  Plant();
  p.files.Remove(Text(layout.favorites) + u"\\Links\\site.url");
  p.files.RemoveDir(Text(layout.favorites) + u"\\Links");
  p.files.RemoveDir(layout.favorites);
  w.DirectoryEdit2->SetCaption(kBackups);
  w.Button2->Click();
  EXPECT_FALSE(box(u"Favorites")->Checked());
  EXPECT_TRUE(w.Button1->Visible());
  EXPECT_EQ(Stored(kBackups + u"\\backup_ie.dat"),
            (Names{u"Cookies\\tester@site.txt", u"Recovery\\Active\\tab.dat", u"autocomplete.reg", u"hist.reg",
                   u"links.reg", u"rec.reg", u"search.reg", u"set.reg", u"set2.reg", u"set3.reg", u"set4.reg",
                   u"set5.reg", u"set6.reg", u"set7.reg", u"toolbar.reg"}));
}

}  // namespace

// Opera on the shared engine, on the simulated Windows: the six candidates
// by Windows version and with a typed folder name, both profile layouts
// (each profile's own), every item with the local mail folder, custom
// locations, the full wizards' two archives, and the runs refused for want
// of anything to work on.
#include <gtest/gtest.h>

#include <algorithm>

#include "brantle/archive/zlib_multiple.h"
#include "brantle/browsers/common/operations.h"
#include "brantle/browsers/opera/opera_browser.h"
#include "brantle/browsers/opera/opera_search.h"
#include "platform/sim/sim_windows.h"
#include "tests/unit/wizard_fixture.h"

namespace {

using namespace brantle;
using platform::Text;
using testing_support::Plus;
using testing_support::ReadFile;
using testing_support::Sorted;
using testing_support::WriteFile;

const Text kRoot = u"C:\\Users\\tester\\AppData\\Roaming\\Opera";
const Text kLocal = u"C:\\Users\\tester\\AppData\\Local\\Opera";

// Every file the catalogue names and a file in each of its folders.
const std::vector<Text> kFiles = {
    u"opera6.adr",   u"bookmarks.adr", u"opcacrt6.dat",     u"opcert6.dat",       u"contacts.adr",
    u"cookies4.dat", u"download.dat",  u"global.dat",       u"global_history.dat", u"typed_history.xml",
    u"notes.adr",    u"adprefs.ini",   u"opera6.ini",       u"operaprefs.ini",    u"override_downloaded.ini",
    u"search.ini",   u"speeddial.ini", u"urlfilter.ini",    u"vlink4.dat",        u"wand.dat"};
const std::vector<Text> kFolderFiles = {
    u"sessions\\autosave.win", u"skin\\standard_skin.zip", u"toolbar\\standard_toolbar.ini",
    u"keyboard\\standard_keyboard.ini", u"mail\\index.ini", u"menu\\standard_menu.ini",
    u"mouse\\standard_mouse.ini", u"dictionaries\\en.dic"};

class OperaTest : public testing_support::WizardFixture {
 protected:
  // A profile whose files hold their own path, with an extra file no item takes.
  void MakeProfile(const Text& folder, const Text& tag) {
    for (const Text& f : Plus(kFiles, kFolderFiles)) WriteFile(p, folder + u"\\" + f, platform::ToUtf8(tag + f));
    WriteFile(p, folder + u"\\cache\\dcache4.url", "cache");
  }
  void MakeLocalMail(const Text& profile) {
    WriteFile(p, kLocal + u"\\" + profile + u"\\mail\\store\\account1\\1.mbs", "mail of " + platform::ToUtf8(profile));
  }

  SelectiveChoice Choice(SelectiveOperation& op, const Text& profile = u"Opera") {
    SelectiveChoice c;
    op.Activate(c.profiles);
    auto it = std::find(c.profiles.begin(), c.profiles.end(), profile);
    c.profileIndex = it == c.profiles.end() ? -1 : static_cast<int>(it - c.profiles.begin());
    c.backupLocation = backups;
    c.ticked = op.catalogue.Tickable();
    c.backupFiles = ListBackupFiles(p.files, backups);
    return c;
  }

  int Pick(SelectiveChoice& c, const Text& archive) {
    auto it = std::find(c.backupFiles.begin(), c.backupFiles.end(), archive);
    return c.backupFileIndex = it == c.backupFiles.end() ? -1 : static_cast<int>(it - c.backupFiles.begin());
  }
};

TEST_F(OperaTest, SixCandidatesByWindowsVersionAndTypedFolderName) {
  struct Case {
    unsigned major;
    const char16_t* name;
    std::vector<Text> candidates;
  } cases[] = {
      {6, u"Opera",
       {u"C:\\Roam\\Opera\\Opera", u"C:\\Users\\tester\\AppData\\Local\\Opera\\Opera", u"C:\\Roam\\Opera\\Opera\\profile",
        u"C:\\Users\\tester\\AppData\\Local\\Opera\\Opera\\profile",
        u"C:\\Users\\tester\\AppData\\Roaming\\Opera\\Opera\\profile", u"C:\\Loc\\Opera\\Opera\\profile"}},
      {5, u"Opera",
       {u"C:\\Roam\\Opera\\Opera", u"C:\\Documents and Settings\\tester\\Application Data\\Opera\\Opera",
        u"C:\\Roam\\Opera\\Opera\\profile",
        u"C:\\Documents and Settings\\tester\\Application Data\\Opera\\Opera\\profile",
        u"C:\\Documents and Settings\\tester\\Local Settings\\Application Data\\Opera\\Opera\\profile",
        u"C:\\Loc\\Opera\\Opera\\profile"}},
      {10, u"Opera 10",
       {u"", u"C:\\Documents and Settings\\tester\\Application Data\\Opera\\Opera 10",
        u"C:\\Roam\\Opera\\Opera 10\\profile",
        u"C:\\Documents and Settings\\tester\\Application Data\\Opera\\Opera 10\\profile",
        u"C:\\Documents and Settings\\tester\\Local Settings\\Application Data\\Opera\\Opera 10\\profile",
        u"C:\\Loc\\Opera\\Opera 10\\profile"}},
  };
  for (const Case& c : cases) {
    sim.sim().Config().version = {c.major, 1, 0};
    sim.sim().Config().specialFolders[platform::csidl::kAppData] = u"C:\\Roam";
    sim.sim().Config().specialFolders[platform::csidl::kLocalAppData] = u"C:\\Loc";
    Discovery d;
    EXPECT_FALSE(Discover(helpers, p, OperaSearch(c.name), DiscoveryForm::kSelective, d));
    EXPECT_EQ(d.candidates, c.candidates) << c.major;
  }
}

TEST_F(OperaTest, TheRootIsFoundInEitherLayoutAndListsEveryProfile) {
  struct Case {
    const char16_t* marker;  // under the root
    const char16_t* typed;
  } cases[] = {
      {u"Opera\\speeddial.ini", u""},
      {u"Opera\\profile\\speeddial.ini", u""},
      {u"Opera 10\\profile\\speeddial.ini", u"Opera 10"},
      {u"Opera 10\\speeddial.ini", u"Opera 10"},
  };
  for (const Case& c : cases) {
    platform::sim::TempSimWindows fresh;
    FileHelpers h(fresh.Get());
    WriteFile(fresh.Get(), kRoot + u"\\" + c.marker, "[Speed Dial 1]");
    fresh.Get().files.ForceDirectories(kRoot + u"\\Second");
    Discovery selective, full;
    const FolderSearch search = *c.typed ? OperaSearch(c.typed) : Opera().search;
    ASSERT_TRUE(Discover(h, fresh.Get(), search, DiscoveryForm::kSelective, selective));
    ASSERT_TRUE(Discover(h, fresh.Get(), search, DiscoveryForm::kFull, full));
    EXPECT_EQ(selective.ffpath, kRoot + u"\\");
    EXPECT_EQ(full.ffpath, kRoot);
  }
  WriteFile(p, kRoot + u"\\Opera\\speeddial.ini", "");
  p.files.ForceDirectories(kRoot + u"\\Second");
  SelectiveOperation op(Opera(), helpers, p, host);
  std::vector<Text> profiles;
  ASSERT_TRUE(op.Activate(profiles));
  EXPECT_EQ(Sorted(profiles), (std::vector<Text>{u"Opera", u"Second"}));
  EXPECT_EQ(op.preselected, 0);
}

TEST_F(OperaTest, BacksUpEveryItemWithTheLocalMailAndRestoresItByteForByte) {
  MakeProfile(kRoot + u"\\Opera", u"opera:");
  MakeLocalMail(u"Opera");
  SelectiveOperation backup(Opera(), helpers, p, host);
  ASSERT_EQ(backup.Backup(Choice(backup)), NextResult::kFinished);
  EXPECT_EQ(backup.ArchiveFile(), backups + u"\\Opera.dat");
  EXPECT_EQ(Stored(backup.ArchiveFile()),
            Plus(Plus(kFiles, kFolderFiles), {u"loc\\mail\\store\\account1\\1.mbs"}));
  // 5 on showing, 5 per item, 5 before packing.
  std::vector<int> steps(18, 5);
  EXPECT_EQ(host.progressSteps, steps);
  EXPECT_FALSE(p.files.Exists(backups + u"\\Opera"));

  // Into a fresh account: the profile and its local folder are made.
  platform::sim::TempSimWindows other;
  platform::Platform& q = other.Get();
  FileHelpers h2(q);
  HeadlessWizardHost host2;
  WriteFile(q, kRoot + u"\\Opera\\speeddial.ini", "old");
  WriteFile(q, kRoot + u"\\Opera\\keep.txt", "mine");
  q.files.ForceDirectories(backups);
  WriteFile(q, backups + u"\\Opera.dat", ReadFile(p, backup.ArchiveFile()));
  SelectiveOperation restore(Opera(), h2, q, host2);
  SelectiveChoice c;
  restore.Activate(c.profiles);
  c.profileIndex = 0;
  c.backupLocation = backups;
  c.ticked = restore.catalogue.Tickable();
  c.backupFiles = ListBackupFiles(q.files, backups);
  c.backupFileIndex = 0;
  ASSERT_EQ(restore.Restore(c), NextResult::kFinished);
  for (const Text& f : Plus(kFiles, kFolderFiles))
    EXPECT_EQ(ReadFile(q, kRoot + u"\\Opera\\" + f), ReadFile(p, kRoot + u"\\Opera\\" + f)) << platform::ToUtf8(f);
  EXPECT_EQ(ReadFile(q, kRoot + u"\\Opera\\keep.txt"), "mine");
  EXPECT_EQ(ReadFile(q, kLocal + u"\\Opera\\mail\\store\\account1\\1.mbs"), "mail of Opera");
  EXPECT_FALSE(q.files.Exists(kLocal + u"\\Opera\\mail\\mail"));
  EXPECT_FALSE(q.files.Exists(backups + u"\\Opera"));
  EXPECT_EQ(host2.progressSteps, (std::vector<int>{5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 9}));
}

TEST_F(OperaTest, EachProfileUsesItsOwnLayout) {
  // "Opera" in the "profile" sub-layout, "Second" flat, "Third" in the sub-layout.
  MakeProfile(kRoot + u"\\Opera\\profile", u"opera:");
  MakeProfile(kRoot + u"\\Second", u"second:");
  MakeProfile(kRoot + u"\\Third\\profile", u"third:");
  const Text cases[] = {u"Opera", u"Second", u"Third"};
  for (const Text& profile : cases) {
    SelectiveOperation backup(Opera(), helpers, p, host);
    SelectiveChoice choice = Choice(backup, profile);
    ASSERT_EQ(backup.Backup(choice), NextResult::kFinished);
    EXPECT_EQ(backup.ArchiveFile(), backups + u"\\" + profile + u".dat");
    EXPECT_EQ(Stored(backup.ArchiveFile()), Plus(kFiles, kFolderFiles)) << platform::ToUtf8(profile);
  }
  // Restoring "Third.dat" into "Third" writes into its "profile" folder.
  WriteFile(p, kRoot + u"\\Third\\profile\\wand.dat", "changed");
  SelectiveOperation restore(Opera(), helpers, p, host);
  SelectiveChoice choice = Choice(restore, u"Third");
  Pick(choice, u"Third.dat");
  ASSERT_EQ(restore.Restore(choice), NextResult::kFinished);
  EXPECT_EQ(ReadFile(p, kRoot + u"\\Third\\profile\\wand.dat"), "third:wand.dat");
  EXPECT_FALSE(p.files.Exists(kRoot + u"\\Third\\wand.dat"));
}

TEST_F(OperaTest, ACustomLocationIsOpCustomAndItsRestoreSaysTheLocalMailWasLeftOut) {
  MakeProfile(kRoot + u"\\Opera", u"opera:");
  MakeLocalMail(u"Opera");
  SelectiveOperation backup(Opera(), helpers, p, host);
  ASSERT_EQ(backup.Backup(Choice(backup)), NextResult::kFinished);

  const Text custom = u"C:\\Portable\\Opera\\profile";
  p.files.ForceDirectories(custom);
  SelectiveOperation restore(Opera(), helpers, p, host);
  SelectiveChoice choice = Choice(restore);
  choice.customProfile = custom;
  Pick(choice, u"Opera.dat");
  host.messages.clear();
  EXPECT_EQ(restore.Restore(choice), NextResult::kIncomplete);
  EXPECT_EQ(restore.profile, u"op_custom");
  EXPECT_EQ(ReadFile(p, custom + u"\\mail\\index.ini"), "opera:mail\\index.ini");
  EXPECT_FALSE(p.files.Exists(kLocal + u"\\op_custom"));
  EXPECT_EQ(host.messages, std::vector<Text>{u"Not restored, as the folder it belongs in was not found:\n"
                                             u"\"Mail and feeds\" (loc\\mail)"});

  MakeLocalMail(u"op_custom");  // never taken for a custom folder
  SelectiveOperation customBackup(Opera(), helpers, p, host);
  SelectiveChoice c = Choice(customBackup);
  c.customProfile = custom;
  ASSERT_EQ(customBackup.Backup(c), NextResult::kFinished);
  EXPECT_EQ(customBackup.ArchiveFile(), backups + u"\\op_custom.dat");
  EXPECT_EQ(Stored(customBackup.ArchiveFile()), Plus(kFiles, kFolderFiles));
}

TEST_F(OperaTest, WithoutALocalFolderOrMailNothingOfThemIsStored) {
  MakeProfile(kRoot + u"\\Opera", u"opera:");
  p.files.Remove(kRoot + u"\\Opera\\mail\\index.ini");
  p.files.RemoveDir(kRoot + u"\\Opera\\mail");
  SelectiveOperation backup(Opera(), helpers, p, host);
  ASSERT_EQ(backup.Backup(Choice(backup)), NextResult::kFinished);
  std::vector<Text> stored = Stored(backup.ArchiveFile());
  EXPECT_EQ(std::count_if(stored.begin(), stored.end(), [](const Text& f) { return f.rfind(u"mail", 0) == 0 || f.rfind(u"loc", 0) == 0; }), 0);

  // An unreadable local folder: the mail folder would be "\Opera\Opera\mail" on the current drive.
  WriteFile(p, u"C:\\Opera\\Opera\\mail\\stray.mbs", "not Opera's");
  sim.sim().Config().specialFolders.erase(platform::csidl::kLocalAppData);
  SelectiveOperation again(Opera(), helpers, p, host);
  ASSERT_EQ(again.Backup(Choice(again)), NextResult::kFinished);
  stored = Stored(again.ArchiveFile());
  EXPECT_EQ(std::find(stored.begin(), stored.end(), u"loc\\mail\\stray.mbs"), stored.end());
}

TEST_F(OperaTest, SelectiveRunsWithNothingToWorkOnWriteNothing) {
  SelectiveOperation none(Opera(), helpers, p, host);
  SelectiveChoice c = Choice(none);
  EXPECT_EQ(host.messages, std::vector<Text>{u"Settings Files Not Found. Select Custom Profile."});
  EXPECT_EQ(none.Backup(c), NextResult::kStopped);
  EXPECT_EQ(none.Restore(c), NextResult::kStopped);
  MakeProfile(kRoot + u"\\Opera", u"opera:");
  SelectiveOperation noArchive(Opera(), helpers, p, host);
  c = Choice(noArchive);
  EXPECT_EQ(noArchive.Restore(c), NextResult::kStopped);
  EXPECT_EQ(host.messages.back(), wizard_text::kNoBackupFile);
  EXPECT_TRUE(ListBackupFiles(p.files, backups).empty());
  std::vector<platform::FindEntry> left = p.files.Find(backups + u"\\*");
  EXPECT_EQ(left.size(), 2u);  // "." and ".."
}

TEST_F(OperaTest, FullBackupWritesBothArchivesAndTheRestorePutsThemBack) {
  MakeProfile(kRoot + u"\\Opera", u"opera:");
  MakeProfile(kRoot + u"\\Second", u"second:");
  MakeLocalMail(u"Opera");
  FullOperation backup(Opera(), helpers, p, host);
  ASSERT_TRUE(backup.Activate());
  ASSERT_EQ(backup.Backup(backups), NextResult::kFinished);
  std::vector<Text> root;
  for (const Text& f : Plus(Plus(kFiles, kFolderFiles), {u"cache\\dcache4.url"})) {
    root.push_back(u"Opera\\" + f);
    root.push_back(u"Second\\" + f);
  }
  EXPECT_EQ(Stored(backups + u"\\fbackup_opera.dat"), Sorted(root));
  EXPECT_EQ(Stored(backups + u"\\fbackup_opera2.dat"), std::vector<Text>{u"store\\account1\\1.mbs"});
  EXPECT_EQ(host.fileLabel, u"Finished");

  WriteFile(p, kRoot + u"\\Second\\wand.dat", "changed");
  WriteFile(p, kRoot + u"\\Second\\new.txt", "mine");
  p.files.Remove(kLocal + u"\\Opera\\mail\\store\\account1\\1.mbs");
  FullOperation restore(Opera(), helpers, p, host);
  ASSERT_TRUE(restore.Activate());
  ASSERT_EQ(restore.Restore(backups), NextResult::kFinished);
  EXPECT_EQ(ReadFile(p, kRoot + u"\\Second\\wand.dat"), "second:wand.dat");
  EXPECT_EQ(ReadFile(p, kRoot + u"\\Second\\new.txt"), "mine");
  EXPECT_EQ(ReadFile(p, kLocal + u"\\Opera\\mail\\store\\account1\\1.mbs"), "mail of Opera");
}

TEST_F(OperaTest, FullWizardsTakeATypedFolderNameWhenOperaIsNotFound) {
  MakeProfile(kRoot + u"\\Opera 10\\profile", u"ten:");
  MakeLocalMail(u"Opera 10");
  FullOperation backup(Opera(), helpers, p, host);
  EXPECT_FALSE(backup.Activate());
  EXPECT_EQ(host.messages, std::vector<Text>{u"Settings Files Not Found. Please Type Folder Name."});
  EXPECT_TRUE(host.folderNameAsked);
  // Nothing typed: nothing is packed.
  EXPECT_EQ(backup.Backup(backups), NextResult::kStopped);
  host.folderNameAsked = false;
  EXPECT_EQ(backup.Backup(backups, u"Opera 9"), NextResult::kStopped);
  EXPECT_EQ(host.messages.back(), u"Settings Files Not Found. Please Re-Check Folder Name.");
  EXPECT_TRUE(host.folderNameAsked);
  EXPECT_FALSE(p.files.Exists(backups + u"\\fbackup_opera.dat"));

  ASSERT_EQ(backup.Backup(backups, u"Opera 10"), NextResult::kFinished);
  EXPECT_EQ(backup.ffpath, kRoot);
  EXPECT_EQ(Stored(backups + u"\\fbackup_opera2.dat"), std::vector<Text>{u"store\\account1\\1.mbs"});
  std::vector<Text> stored = Stored(backups + u"\\fbackup_opera.dat");
  EXPECT_EQ(stored.size(), kFiles.size() + kFolderFiles.size() + 1);
  EXPECT_NE(std::find(stored.begin(), stored.end(), u"Opera 10\\profile\\wand.dat"), stored.end());

  FullOperation restore(Opera(), helpers, p, host);
  restore.Activate();
  WriteFile(p, kRoot + u"\\Opera 10\\profile\\wand.dat", "changed");
  ASSERT_EQ(restore.Restore(backups, u"Opera 10"), NextResult::kFinished);
  EXPECT_EQ(ReadFile(p, kRoot + u"\\Opera 10\\profile\\wand.dat"), "ten:wand.dat");
}

TEST_F(OperaTest, FullBackupWithoutMailWritesAnEmptyMailArchive) {
  MakeProfile(kRoot + u"\\Opera", u"opera:");
  WriteFile(p, backups + u"\\fbackup_opera2.dat", ReadFile(p, kRoot + u"\\Opera\\wand.dat"));
  FullOperation backup(Opera(), helpers, p, host);
  ASSERT_TRUE(backup.Activate());
  ASSERT_EQ(backup.Backup(backups), NextResult::kFinished);
  EXPECT_EQ(ReadFile(p, backups + u"\\fbackup_opera2.dat"), "");

  FullOperation restore(Opera(), helpers, p, host);
  ASSERT_TRUE(restore.Activate());
  p.files.Remove(backups + u"\\fbackup_opera.dat");
  EXPECT_EQ(restore.Restore(backups), NextResult::kStopped);
  EXPECT_EQ(host.messages.back(), u"Backup File \"fbackup_opera.dat\" Not Found");
}

}  // namespace

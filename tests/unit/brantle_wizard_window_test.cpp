// The wizard windows over their operations, driven through their controls
// on the headless Ui.
#include <gtest/gtest.h>

#include "brantle/shell/wizard_windows.h"
#include "platform/ui/headless_ui.h"
#include "tests/unit/mozilla_wizard_fixture.h"

namespace {

using brantle::MozillaBrowser;
using platform::Text;
using platform::ui::HeadlessUi;
using testing_support::ReadFile;
using testing_support::WriteFile;

class WizardWindowTest : public testing_support::MozillaWizardTest {
 protected:
  HeadlessUi ui;
  brantle::Tf_pBar& pBar = ui.CreateForm<brantle::Tf_pBar>();
  brantle::WizardContext context{helpers, p, pBar};
  int pBarShown = 0;

  WizardWindowTest() {
    pBar.OnShow = [this](platform::ui::Form&) { ++pBarShown; };
    MakeProfile(MozillaBrowser::kFirefox, u"abcd1234.default",
                {u"bookmarks.html", u"places.sqlite", u"cookies.sqlite", u"prefs.js", u"sessionstore.js"});
  }

  template <class W>
  W& Open() {
    W& w = ui.CreateForm<W>(context);
    w.Show();
    ui.Activate(w);
    return w;
  }
};

TEST_F(WizardWindowTest, ActivationListsProfilesAndNextWithoutLocationOnlyAsks) {
  auto& w = Open<brantle::Tfb_Firefox>();
  EXPECT_EQ(w.Caption(), u"Backup Firefox Web Browser");
  EXPECT_EQ(w.Label1->Caption(), u"Welcome to Firefox Backup Wizard");
  EXPECT_EQ(w.ListBox1->Items(), std::vector<Text>{u"abcd1234.default"});
  EXPECT_EQ(w.ListBox1->ItemIndex(), 0);
  EXPECT_EQ(w.CheckBoxes.size(), 15u);

  w.Button2->Click();
  EXPECT_EQ(ui.Messages(), std::vector<Text>{u"Please Select Backup Location"});
  EXPECT_EQ(pBarShown, 0);
  EXPECT_FALSE(w.Button1->Visible());
  EXPECT_TRUE(w.Button2->Enabled());
}

TEST_F(WizardWindowTest, SelectiveBackupThroughTheWindowPacksWhatTheOperationPacks) {
  auto& w = Open<brantle::Tfb_Firefox>();
  w.Button6->Click();
  w.CheckBoxes[0]->Click();   // Bookmarks
  w.CheckBoxes[11]->Click();  // Sessions
  w.DirectoryEdit2->SetText(backups);
  w.Button2->Click();

  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_TRUE(w.Button1->Visible());
  EXPECT_FALSE(pBar.Visible());
  EXPECT_EQ(pBar.ProgressBar1->Position(), 100);
  EXPECT_GT(ui.Repaints(w), 0);

  const Text other = u"C:\\Direct";
  p.files.ForceDirectories(other);
  brantle::MozillaSelectiveWizard direct(MozillaBrowser::kFirefox, helpers, p, host);
  brantle::SelectiveChoice c;
  direct.Activate(c.profiles);
  c.profileIndex = 0;
  c.backupLocation = other;
  c.ticked = {1, 12};
  ASSERT_EQ(direct.Backup(c), brantle::NextResult::kFinished);
  EXPECT_EQ(Stored(w.operation.ArchiveFile()), Stored(direct.ArchiveFile()));
  EXPECT_EQ(Stored(w.operation.ArchiveFile()),
            (std::vector<Text>{u"bookmarks.html", u"places.sqlite", u"sessionstore.js"}));
}

TEST_F(WizardWindowTest, FilledListAndListClicksPutTheFocusOnNextWhileNextIsShown) {
  MakeProfile(MozillaBrowser::kFirefox, u"wxyz9876.work", {u"prefs.js"});
  WriteFile(p, backups + u"\\default.dat", "");
  auto& w = Open<brantle::Tfr_Firefox>();
  ASSERT_EQ(w.ListBox1->Count(), 2);
  EXPECT_EQ(w.ListBox1->ItemIndex(), 0);
  EXPECT_TRUE(w.Button2->Focused());
  w.DirectoryEdit2->SetText(backups);
  ASSERT_EQ(w.ListBox2->Items(), std::vector<Text>{u"default.dat"});

  // A click in either list, from wherever the focus was.
  for (platform::ui::ListBox* list : {w.ListBox2, w.ListBox1}) {
    w.DirectoryEdit2->SetFocus();
    list->Select(list == w.ListBox1 ? 1 : 0);
    EXPECT_TRUE(w.Button2->Focused()) << platform::ToUtf8(list->Name());
  }
  EXPECT_EQ(w.ListBox1->ItemIndex(), 1);

  // Once Finish stands in Next's place, a hidden Next cannot take the focus.
  w.DirectoryEdit2->SetFocus();
  w.ShowFinish();
  w.ListBox1->Select(0);
  EXPECT_TRUE(w.DirectoryEdit2->Focused());
}

TEST_F(WizardWindowTest, FinishAndCancelEndTheProgram) {
  for (bool finish : {true, false}) {
    HeadlessUi own;
    auto& bar = own.CreateForm<brantle::Tf_pBar>();
    auto& w = own.CreateForm<brantle::Tffb_Firefox>(brantle::WizardContext{helpers, p, bar});
    (finish ? w.Button1 : w.Button3)->Click();
    EXPECT_TRUE(own.Terminated()) << (finish ? "Finish" : "Cancel");
  }
}

TEST_F(WizardWindowTest, TwoWizardsKeepTheirOwnFieldsButShareTheProgressWindow) {
  MakeProfile(MozillaBrowser::kFlock, u"wxyz9876.default", {u"bookmarks.html", u"feedcontent.sqlite"});
  p.files.ForceDirectories(u"C:\\FlockBackups");
  auto& firefox = Open<brantle::Tfb_Firefox>();
  auto& flock = Open<brantle::Tfb_Flock>();
  EXPECT_EQ(flock.CheckBoxes.size(), 17u);
  EXPECT_EQ(firefox.ListBox1->Items(), std::vector<Text>{u"abcd1234.default"});
  EXPECT_EQ(flock.ListBox1->Items(), std::vector<Text>{u"wxyz9876.default"});
  firefox.DirectoryEdit2->SetText(backups);
  flock.DirectoryEdit2->SetText(u"C:\\FlockBackups");
  ui.Activate(firefox);
  firefox.Button2->Click();
  ui.Activate(flock);
  flock.Button2->Click();

  EXPECT_EQ(firefox.operation.ArchiveFile(), u"C:\\Backups\\default.dat");
  EXPECT_EQ(flock.operation.ArchiveFile(), u"C:\\FlockBackups\\default.dat");
  EXPECT_EQ(Stored(flock.operation.ArchiveFile()),
            (std::vector<Text>{u"bookmarks.html", u"feedcontent.sqlite"}));
  EXPECT_EQ(pBarShown, 2);
}

TEST_F(WizardWindowTest, RestoreWindowListsBackupFilesAndCustomProfileEmptiesTheProfileList) {
  auto& backup = Open<brantle::Tfb_Firefox>();
  backup.DirectoryEdit2->SetText(backups);
  backup.Button2->Click();

  auto& w = Open<brantle::Tfr_Firefox>();
  EXPECT_EQ(w.Label3->Caption(), u"Backup file:");
  ASSERT_NE(w.CheckBoxDelete, nullptr);
  w.DirectoryEdit2->SetText(backups);
  EXPECT_EQ(w.ListBox2->Items(), std::vector<Text>{u"default.dat"});
  EXPECT_EQ(w.ListBox2->ItemIndex(), 0);

  WriteFile(p, ProfileDir(MozillaBrowser::kFirefox, u"abcd1234.default") + u"\\prefs.js", "changed");
  w.Button2->Click();
  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_TRUE(w.Button1->Visible());
  EXPECT_EQ(ReadFile(p, ProfileDir(MozillaBrowser::kFirefox, u"abcd1234.default") + u"\\prefs.js"), "prefs.js");

  w.DirectoryEdit1->SetText(u"D:\\Portable\\Profile");
  EXPECT_EQ(w.ListBox1->Count(), 0);
  EXPECT_FALSE(w.ListBox1->Enabled());
  EXPECT_TRUE(Open<brantle::Tfr_Flock>().CheckBoxDelete == nullptr);
}

TEST_F(WizardWindowTest, FullBackupShowsFinishedAndTheArchiveHoldsTheRoot) {
  auto& w = Open<brantle::Tffb_Firefox>();
  EXPECT_EQ(w.Label1->Caption(), u"Welcome to Firefox Full Backup Wizard");
  EXPECT_EQ(w.ProgressBar1->Width(), 522);
  w.DirectoryEdit2->SetText(backups);
  w.Button2->Click();
  EXPECT_EQ(w.lblFilename->Caption(), u"Finished");
  EXPECT_TRUE(w.Button1->Visible());
  auto stored = Stored(backups + u"\\fbackup_firefox.dat");
  EXPECT_NE(std::find(stored.begin(), stored.end(), u"profiles.ini"), stored.end());
  EXPECT_EQ(ui.BusyDepth(), 0);
}

}  // namespace

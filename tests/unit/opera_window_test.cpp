// Opera's windows on the headless Ui: the selective wizard's columns, the
// full wizard's folder-name edit, and Tfc_Opera: its texts and system
// information, Next enabled by a method, a conversion shown and saved, and
// the runs that end with a message and no Finish.
#include <gtest/gtest.h>

#include <map>

#include "brantle/shell/convert_window.h"
#include "platform/sim/sim_windows.h"
#include "platform/ui/headless_ui.h"
#include "tests/unit/sim_fixture.h"

namespace {

using platform::Text;
using platform::ui::HeadlessUi;
using testing_support::ReadFile;
using testing_support::WriteFile;

const Text kPrefs = u"C:\\Users\\tester\\AppData\\Roaming\\Opera\\Opera\\operaprefs.ini";
const char kXpPrefs[] =
    "\xEF\xBB\xBFOpera Preferences version 2.1\r\n[User Prefs]\r\n"
    "Opera Directory=C:\\Documents and Settings\\tester\\Application Data\\Opera\\Opera\r\n";

struct ConvertWindow {
  explicit ConvertWindow(platform::sim::SimConfig config = {}) : sim(config) {}
  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  brantle::FileHelpers helpers{p};
  HeadlessUi ui;
  brantle::Tf_pBar& pBar = ui.CreateForm<brantle::Tf_pBar>();
  brantle::WizardContext context{helpers, p, pBar};

  template <class W = brantle::Tfc_Opera>
  W& Open() {
    auto& w = ui.CreateForm<W>(context);
    w.Show();
    ui.Activate(w);
    return w;
  }
};

TEST(OperaWizardWindows, BoxesStandInThreeColumnsAndTheFolderNameEditWaitsForAFailedSearch) {
  ConvertWindow t;
  auto& b = t.Open<brantle::Tfb_Opera>();
  EXPECT_EQ(b.Caption(), u"Backup Opera Web Browser");
  EXPECT_EQ(b.Label1->Caption(), u"Welcome to Opera Backup Wizard");
  std::map<int, std::map<int, Text>> byLeft;
  for (const auto* box : b.CheckBoxes) byLeft[box->Left()][box->Top()] = box->Caption();
  std::vector<std::vector<Text>> columns;
  for (const auto& [left, column] : byLeft) {
    columns.emplace_back();
    for (const auto& [top, caption] : column) columns.back().push_back(caption);
  }
  EXPECT_EQ(columns, (std::vector<std::vector<Text>>{
                         {u"Bookmarks", u"Certificate data", u"Contacts", u"Cookies", u"History",
                          u"Keyboard configuration", u"Mail and feeds"},
                         {u"Menu configuration", u"Mouse configuration", u"Notes", u"Preferences", u"Sessions",
                          u"Skins", u"Toolbar configuration"},
                         {u"Visited links", u"Wand data (passwords)"}}));
  for (const auto* box : b.CheckBoxes) EXPECT_TRUE(box->Checked());

  WriteFile(t.p, u"C:\\Users\\tester\\AppData\\Roaming\\Opera\\Opera 10\\profile\\speeddial.ini", "[Speed Dial]");
  t.p.files.ForceDirectories(u"C:\\Backups");
  auto& f = t.Open<brantle::Tffr_Opera>();
  EXPECT_EQ(f.Caption(), u"Restore Opera Web Browser");
  EXPECT_EQ(f.Label1->Caption(), u"Welcome to Opera Full Restore Wizard");
  auto& w = t.Open<brantle::Tffb_Opera>();
  EXPECT_EQ(w.Label1->Caption(), u"Welcome to Opera Full Backup Wizard");
  EXPECT_TRUE(w.Label4->Visible());
  EXPECT_TRUE(w.Edit1->Visible());
  EXPECT_EQ(t.ui.Messages().back(), u"Settings Files Not Found. Please Type Folder Name.");
  w.DirectoryEdit2->SetCaption(u"C:\\Backups");
  w.Edit1->SetCaption(u"Opera 10");
  w.Button2->Click();
  EXPECT_TRUE(w.Button1->Visible());
  EXPECT_EQ(w.lblFilename->Caption(), u"Finished");
  EXPECT_TRUE(t.p.files.FileExists(u"C:\\Backups\\fbackup_opera.dat"));
  EXPECT_TRUE(t.p.files.FileExists(u"C:\\Backups\\fbackup_opera2.dat"));
}

TEST(OperaWizardWindows, TheFullWizardsHideTheFolderNameEditWhileOperaIsFound) {
  ConvertWindow t;
  WriteFile(t.p, u"C:\\Users\\tester\\AppData\\Roaming\\Opera\\Opera\\speeddial.ini", "[Speed Dial]");
  auto& w = t.Open<brantle::Tffb_Opera>();
  EXPECT_FALSE(w.Label4->Visible());
  EXPECT_FALSE(w.Edit1->Visible());
  EXPECT_TRUE(t.ui.Messages().empty());
}

TEST(OperaConvertWindow, ShowsItsTextsAndConvertsTheFileOnNext) {
  ConvertWindow t;
  WriteFile(t.p, kPrefs, kXpPrefs);
  auto& w = t.Open();
  EXPECT_EQ(w.Caption(), u"Convert Opera Profile");
  EXPECT_EQ(w.Label1->Caption(), u"Welcome to Opera 10 Profile Conversion Wizard");
  EXPECT_EQ(w.RadioGroup1->Caption(), u"Option");
  EXPECT_EQ(w.RadioGroup1->Items(), brantle::ConversionMethods());
  EXPECT_EQ(w.RadioGroup1->ItemIndex(), -1);
  EXPECT_EQ(w.Edit1->Caption(), u"Olduser");
  EXPECT_EQ(w.Edit2->Caption(), u"D:\\");
  EXPECT_EQ(w.lblName->Caption(), u"7/Vista");
  EXPECT_EQ(w.lblType->Caption(), u"32 bit");
  EXPECT_EQ(w.lblUser->Caption(), u"tester");
  EXPECT_EQ(w.ffpath, kPrefs);
  EXPECT_FALSE(w.Button2->Enabled());
  EXPECT_FALSE(w.Button1->Visible());
  EXPECT_TRUE(t.ui.Messages().empty());

  w.RadioGroup1->Select(0);
  EXPECT_TRUE(w.Button2->Enabled());
  w.Button2->Click();
  const std::string converted =
      "Opera Preferences version 2.1\r\n[User Prefs]\r\n"
      "Opera Directory=C:\\Users\\tester\\AppData\\Roaming\\Opera\\Opera\r\n";
  EXPECT_EQ(ReadFile(t.p, kPrefs), converted);
  EXPECT_EQ(w.Memo1->Lines(), (std::vector<Text>{u"Opera Preferences version 2.1", u"[User Prefs]",
                                                 u"Opera Directory=C:\\Users\\tester\\AppData\\Roaming\\Opera\\Opera"}));
  EXPECT_TRUE(w.Button1->Visible());
  EXPECT_FALSE(w.Button2->Visible());
  EXPECT_EQ(t.ui.BusyDepth(), 0);
  EXPECT_TRUE(t.ui.Messages().empty());
}

TEST(OperaConvertWindow, ARefusedOrFailedRunShowsWhyAndNoFinish) {
  ConvertWindow t;
  auto& w = t.Open();
  EXPECT_EQ(t.ui.Messages(), std::vector<Text>{u"Settings Files Not Found."});
  w.RadioGroup1->Select(0);
  w.Button2->Click();
  EXPECT_EQ(t.ui.Messages().back(), u"Settings Files Not Found.");
  EXPECT_FALSE(w.Button1->Visible());

  WriteFile(t.p, kPrefs, kXpPrefs);
  t.ui.Activate(w);
  w.Edit1->SetCaption(Text());
  w.RadioGroup1->Select(brantle::kUserChangeMethod);
  w.Button2->Click();
  EXPECT_EQ(t.ui.Messages().back(), u"Please Enter Old Username");
  EXPECT_EQ(ReadFile(t.p, kPrefs), kXpPrefs);
  EXPECT_FALSE(w.Button1->Visible());
  EXPECT_TRUE(w.Button2->Visible());
}

TEST(OperaConvertWindow, AFailingWow64QueryEndsTheActivationWithItsReport) {
  platform::sim::SimConfig config;
  config.wow64Fails = true;
  ConvertWindow t(config);
  WriteFile(t.p, kPrefs, kXpPrefs);
  auto& w = t.Open();
  EXPECT_EQ(t.ui.Messages(), std::vector<Text>{u"IsWow64: bad process handle"});
  EXPECT_EQ(w.ffpath, Text());
  EXPECT_EQ(w.lblType->Caption(), Text());
}

}  // namespace

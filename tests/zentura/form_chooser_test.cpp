#include "zentura/app/form_chooser.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/ui/headless_ui.h"
#include "tests/zentura/zentura_sim.h"

namespace zentura {
namespace {

using namespace platform::ui;
using platform::RegValue;
using zentura_test::ZenturaSim;

const Text kDir = u"C:\\Zentura\\";
const Text kSettings = kDir + u"Zentura.ini";

// Three startup programs, of which tool and sync run; notes.exe does not.
class ChooserTest : public ::testing::Test {
 protected:
  ZenturaSim sim;
  HeadlessUi ui;
  ZenturaEnv env{sim.p(), sim.sp(), kDir, {}, {}};
  LanguageSession language{sim.p(), sim.sp().profile, kDir};
  TForm2* form = nullptr;

  ChooserTest() {
    sim.p().files.CreateDir(u"C:\\Zentura");
    sim.p().files.CreateDir(u"C:\\Zentura\\Language");
    sim.WriteFile(kDir + u"Language\\English.lng",
                  "[Zentura_Form2]\r\nListViewApp.Columns0.Caption=Program\r\n"
                  "[Zentura_M_form2]\r\nMsg00=Everything\r\n");
    for (const char16_t* f : {u"C:\\Tools\\Tool.exe", u"C:\\Tools\\sync.exe", u"C:\\Tools\\notes.exe",
                              u"C:\\Other\\editor.exe"}) {
      sim.WriteFile(f);
    }
    std::unique_ptr<platform::RegKey> key;
    sim.p().registry.CreateKey(platform::RootKey::kCurrentUser,
                               u"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                               platform::keyaccess::kAllAccess, &key);
    sim.p().registry.SetValue(*key, RegValue::String(u"Tool", u"\"C:\\Tools\\Tool.exe\" /min"));
    sim.p().registry.SetValue(*key, RegValue::String(u"Sync", u"C:\\Tools\\sync.exe -hidden"));
    sim.p().registry.SetValue(*key, RegValue::String(u"Notes", u"C:\\Tools\\notes.exe"));
    sim.sys.desktop.versionInfos[u"C:\\TOOLS\\TOOL.EXE"].strings[u"CompanyName"] = u"Toolmakers";
    sim.Run(u"Tool.exe", u"C:\\Tools\\Tool.exe", 3 << 20);
    sim.Run(u"sync.exe", u"C:\\Tools\\sync.exe", 1 << 20);
  }

  void Create(const std::string& settings) {
    sim.WriteFile(kSettings, settings);
    ui.CreateForm<Form>(Text(u"TFormMain"));
    ASSERT_TRUE(language.LoadLanguage(*ui.MainForm()));
    form = &ui.CreateForm<TForm2>(env, language);
  }
  std::vector<Text> Names() const {
    std::vector<Text> names;
    for (int i = 0; i < form->ListViewApp->Count(); ++i) names.push_back(form->ListViewApp->Item(i).Caption());
    return names;
  }
  ListItem& Row(const Text& name) const {
    for (int i = 0; i < form->ListViewApp->Count(); ++i) {
      if (form->ListViewApp->Item(i).Caption() == name) return form->ListViewApp->Item(i);
    }
    throw std::runtime_error("no row " + platform::ToUtf8(name));
  }
  // The user ticks a row's check box: the press, then the toggle.
  void TickRow(const Text& name) {
    MouseEvent press;
    press.item = Row(name).Index();
    press.onStateIcon = true;
    form->ListViewApp->MouseDown(press);
    form->ListViewApp->ToggleCheckByUser(press.item);
  }
  Text Setting(const Text& section, const Text& key) {
    return sim.sp().profile.ReadString(kSettings, section, key, u"<none>");
  }
};

TEST_F(ChooserTest, CreationListsAllStartupProgramsAndShowingOnlyRunningOnes) {
  Create("[Main]\r\n");
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(Names(), (std::vector<Text>{u"Tool.exe", u"sync.exe", u"notes.exe"}));
  EXPECT_TRUE(ui.RunningTimers().empty());

  form->Show();
  EXPECT_EQ(Names(), (std::vector<Text>{u"Tool.exe", u"sync.exe"}));
  EXPECT_EQ(form->ListViewApp->Columns()[0].caption, u"Program");
  ListItem& tool = Row(u"Tool.exe");
  EXPECT_EQ(tool.SubItems(), (std::vector<Text>{u"Toolmakers", u"3.00 MB", u"00:00:00",
                                                u"\"C:\\Tools\\Tool.exe\" /min"}));
  EXPECT_EQ(Row(u"sync.exe").SubItem(0), u"Unknown");
  // Usage refreshes every second while shown; icons of dropped rows are freed.
  sim.sys.processes.table[0].workingSet = 5 << 20;
  ui.AdvanceTime(1000);
  EXPECT_EQ(tool.SubItem(1), u"5.00 MB");
  EXPECT_EQ(sim.sys.desktop.liveIcons, 2);
  form->Hide();
  EXPECT_TRUE(ui.RunningTimers().empty());
}

TEST_F(ChooserTest, ARowWhoseFileHasNoIconShowsNoneAndLaterRowsKeepTheirOwn) {
  sim.sys.desktop.iconless.insert(u"C:\\TOOLS\\SYNC.EXE");
  Create("[Main]\r\n");
  ASSERT_EQ(form->ListViewApp->SmallIcons().size(), 2u);
  EXPECT_EQ(Row(u"Tool.exe").ImageIndex(), 0);
  EXPECT_EQ(Row(u"sync.exe").ImageIndex(), -1);
  EXPECT_EQ(Row(u"notes.exe").ImageIndex(), 1);
  EXPECT_EQ(Row(u"sync.exe").SubItem(3), u"C:\\Tools\\sync.exe -hidden");
}

TEST_F(ChooserTest, WithoutRememberOkWritesChoiceClosingErasesItRowsStayChecked) {
  Create("[Main]\r\nRememberApps=0\r\n[CheckedApps]\r\nsync.exe=1\r\n");
  bool cancelled = false;
  form->OnCancelApps = [&] { cancelled = true; };
  ui.onModal = [&](Form&) {
    EXPECT_FALSE(form->CheckBox3->Checked());
    EXPECT_FALSE(Row(u"sync.exe").Checked());  // only remembered when Remember is on
    TickRow(u"Tool.exe");
    form->btnOK->Click();
  };
  EXPECT_EQ(form->ShowModal(), ModalResult::Ok);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(Setting(u"CheckedApps", u"Tool.exe"), u"<none>");
  EXPECT_EQ(Setting(u"Main", u"RememberApps"), u"0");
  AppChooserView& view = form->View();
  EXPECT_FALSE(view.OnScreen());
  EXPECT_FALSE(view.RememberChecked());
  ASSERT_EQ(view.RowCount(), 2u);
  EXPECT_TRUE(view.RowChecked(0));
  EXPECT_EQ(view.RowCommandLine(0), u"\"C:\\Tools\\Tool.exe\" /min");
  EXPECT_FALSE(view.RowChecked(1));

  ui.onModal = [&](Form&) { form->BtnCancel->Click(); };
  EXPECT_EQ(form->ShowModal(), ModalResult::Cancel);
  EXPECT_TRUE(cancelled);
}

// With Remember on, remembered programs are checked as their rows appear,
// also among all the user's processes (token way, and WMI on 64-bit Windows).
class ChooserAllProcessesTest : public ChooserTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ChooserAllProcessesTest, RememberRestoresChecksAlsoInTheListOfAllUserProcesses) {
  sim.sys.processes.isWow64 = GetParam();
  sim.Run(u"editor.exe", u"C:\\Other\\editor.exe");
  sim.Run(u"zentura.exe", u"C:\\Zentura\\Zentura.exe").processId = sim.sys.processes.currentProcessId;
  // Missing from WMI's answer: listed only when the token way is taken.
  sim.WriteFile(u"C:\\Other\\tokenonly.exe");
  sim.Run(u"tokenonly.exe", u"C:\\Other\\tokenonly.exe").inWmi = false;
  Create("[Main]\r\n[CheckedApps]\r\nTOOL.EXE=1\r\nsync.exe=0\r\neditor.exe=1\r\n");
  form->Show();
  EXPECT_TRUE(Row(u"Tool.exe").Checked());
  EXPECT_FALSE(Row(u"sync.exe").Checked());

  form->CheckBox2->Click();
  EXPECT_EQ(form->ListViewApp->Columns()[0].caption, u"Everything");
  std::vector<Text> all{u"Tool.exe", u"sync.exe", u"editor.exe"};
  if (!GetParam()) all.push_back(u"tokenonly.exe");
  EXPECT_EQ(Names(), all);
  EXPECT_TRUE(Row(u"Tool.exe").Checked());
  EXPECT_TRUE(Row(u"editor.exe").Checked());
  EXPECT_FALSE(Row(u"sync.exe").Checked());
  EXPECT_EQ(Row(u"editor.exe").SubItem(3), u"C:\\Other\\editor.exe");

  form->CheckBox2->Click();
  EXPECT_EQ(form->ListViewApp->Columns()[0].caption, u"Program");
  EXPECT_EQ(Names(), (std::vector<Text>{u"Tool.exe", u"sync.exe"}));

  // Closed while showing everything: the next opening starts from the
  // startup programs under the list's own caption, also when the language
  // file no longer names it.
  form->CheckBox2->Click();
  form->Close();
  sim.WriteFile(kDir + u"Language\\English.lng", "[Zentura_M_form2]\r\nMsg00=Everything\r\n");
  form->Show();
  EXPECT_FALSE(form->CheckBox2->Checked());
  EXPECT_EQ(form->ListViewApp->Columns()[0].caption, u"Program");
  EXPECT_EQ(Names(), (std::vector<Text>{u"Tool.exe", u"sync.exe"}));
}

INSTANTIATE_TEST_SUITE_P(TokenAndWmi, ChooserAllProcessesTest, ::testing::Bool());

TEST_F(ChooserTest, ColumnClicksSortDescendingFirstThenAscending) {
  sim.Run(u"notes.exe", u"C:\\Tools\\notes.exe", 2 << 20);
  Create("[Main]\r\n");
  form->Show();
  form->ListViewApp->ColumnClick(0);
  EXPECT_EQ(Names(), (std::vector<Text>{u"Tool.exe", u"sync.exe", u"notes.exe"}));
  form->ListViewApp->ColumnClick(0);
  EXPECT_EQ(Names(), (std::vector<Text>{u"notes.exe", u"sync.exe", u"Tool.exe"}));
  // 3 MB, 1 MB, 2 MB, and a row whose process cannot be read.
  form->ListViewApp->Item(1).SetSubItem(1, u"");
  form->ListViewApp->ColumnClick(2);
  EXPECT_EQ(Names(), (std::vector<Text>{u"Tool.exe", u"notes.exe", u"sync.exe"}));
  form->ListViewApp->ColumnClick(2);
  EXPECT_EQ(Names(), (std::vector<Text>{u"sync.exe", u"notes.exe", u"Tool.exe"}));
  // The manufacturer column compares as text; "Unknown" sorts after "Toolmakers".
  form->ListViewApp->ColumnClick(1);
  EXPECT_EQ(Names().front(), u"sync.exe");
}

TEST(ChooserMemoryCompare, ReadsTheNumberBeforeTheFirstBlank) {
  struct Case {
    Text a, b;
    char16_t separator;
    int expected;
  } cases[] = {
      {u"1.50 MB", u"1.49 MB", u'.', 10},
      {u"2,5 MB", u"2,25 MB", u',', 250},
      {u"0.0004 MB", u"0 MB", u'.', 0},
      {u"12.00 MB", u"3.00 MB", u'.', 9000},
      {u"", u"0.00 MB", u'.', -1},
      {u"n/a", u"", u'.', 0},
      {u"5.00 MB", u"MB", u'.', 1},
      {u"99999999999 MB", u"0 MB", u'.', INT_MAX},
      {u"0 MB", u"99999999999 MB", u'.', INT_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::ToUtf8(c.a + u" vs " + c.b));
    EXPECT_EQ(CompareMemoryTexts(c.a, c.b, c.separator), c.expected);
  }
}

TEST_F(ChooserTest, CheckAllIsDisarmedByTickingOneRow) {
  sim.Run(u"notes.exe", u"C:\\Tools\\notes.exe");
  Create("[Main]\r\n");
  form->Show();
  auto checks = [&] {
    std::vector<bool> on;
    for (int i = 0; i < form->ListViewApp->Count(); ++i) on.push_back(form->ListViewApp->Item(i).Checked());
    return on;
  };
  form->CheckBox1->Click();
  EXPECT_EQ(checks(), (std::vector<bool>{true, true, true}));
  // Unticking one row unticks "Check All" but no other row.
  TickRow(u"sync.exe");
  EXPECT_FALSE(form->CheckBox1->Checked());
  EXPECT_TRUE(form->CheckAllArmed());
  EXPECT_EQ(checks(), (std::vector<bool>{true, false, true}));
  // Armed again: ticking and unticking "Check All" acts on every row.
  form->CheckBox1->Click();
  EXPECT_EQ(checks(), (std::vector<bool>{true, true, true}));
  form->CheckBox1->Click();
  EXPECT_EQ(checks(), (std::vector<bool>{false, false, false}));
  // A press elsewhere in the list changes nothing.
  form->CheckBox1->Click();
  form->ListViewApp->MouseDown(MouseEvent{});
  EXPECT_TRUE(form->CheckBox1->Checked());
  // Opening the window unticks "Check All".
  form->Close();
  form->Show();
  EXPECT_FALSE(form->CheckBox1->Checked());
}

}  // namespace
}  // namespace zentura

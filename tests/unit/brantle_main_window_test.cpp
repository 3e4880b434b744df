// The main window: preferences, shortcuts, links and the start page, on the
// headless Ui and the simulated system.
#include <gtest/gtest.h>

#include "brantle/shell/main_window.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_profile.h"
#include "platform/ui/headless_ui.h"
#include "tests/unit/sim_fixture.h"

namespace {

using brantle::Scheme;
using platform::Text;
using platform::ui::HeadlessUi;

// Ini writes fail, as in a read-only program folder.
class ReadOnlyProfile : public platform::sim::SimProfile {
 public:
  using SimProfile::SimProfile;
  bool WriteString(const Text&, const Text&, const Text&, const Text&) override { return false; }
};

class MainWindowTest : public ::testing::Test {
 protected:
  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  brantle::FileHelpers helpers{p};
  platform::sim::MemoryProfileStore store;
  platform::sim::SimProfile profile{store};
  platform::sim::SimDesktop desktop;
  const Text ini = u"C:\\Program Files\\Brantle\\Brantle.ini";
  brantle::ShellContext context{p, profile, desktop, helpers, ini};
  HeadlessUi ui;

  brantle::TForm1& Start() {
    auto& main = ui.CreateForm<brantle::TForm1>(context);
    main.CreateChildren();
    main.Show();
    ui.Activate(main);
    return main;
  }
};

TEST_F(MainWindowTest, LayoutIsReadOnActivationWithExactNames) {
  const std::pair<const char16_t*, Scheme> cases[] = {
      {u"Silver", Scheme::Silver}, {u"Obsidian", Scheme::Obsidian}, {u"silver", Scheme::Luna}, {u"", Scheme::Luna}};
  for (const auto& [value, expected] : cases) {
    profile.WriteString(ini, u"Preferences", u"Layout", value);
    HeadlessUi own;
    auto& main = own.CreateForm<brantle::TForm1>(context);
    main.CreateChildren();
    own.Activate(main);
    EXPECT_EQ(main.CurrentScheme(), expected) << platform::ToUtf8(value);
  }
}

TEST_F(MainWindowTest, SchemeCommandSwitchesAndRemembersOrReportsTheFailedWrite) {
  auto& main = Start();
  const auto luna = main.Ribbon->GetColor();
  main.FindCommand(u"btnObsidian")->button->Click();
  EXPECT_EQ(main.CurrentScheme(), Scheme::Obsidian);
  EXPECT_NE(main.Ribbon->GetColor(), luna);
  EXPECT_EQ(profile.ReadString(ini, u"Preferences", u"Layout", Text()), u"Obsidian");

  ReadOnlyProfile readOnly{store};
  brantle::ShellContext roContext{p, readOnly, desktop, helpers, ini};
  HeadlessUi own;
  auto& ro = own.CreateForm<brantle::TForm1>(roContext);
  ro.CreateChildren();
  ro.FindCommand(u"btnSilver")->button->Click();
  EXPECT_EQ(ro.CurrentScheme(), Scheme::Silver);
  EXPECT_EQ(own.Messages(), std::vector<Text>{u"Unable to write to " + ini});
}

TEST_F(MainWindowTest, ActivationDeletesUpdateExeInTheCurrentFolder) {
  p.files.ForceDirectories(u"C:\\Work");
  p.files.SetCurrentDir(u"C:\\Work");
  testing_support::WriteFile(p, u"C:\\Work\\Update.exe", "x");
  testing_support::WriteFile(p, u"C:\\Program Files\\Brantle\\Update.exe", "x");
  Start();
  EXPECT_FALSE(p.files.Exists(u"C:\\Work\\Update.exe"));
  EXPECT_TRUE(p.files.Exists(u"C:\\Program Files\\Brantle\\Update.exe"));
}

TEST_F(MainWindowTest, ShortcutsOpenTheirWizards) {
  auto& main = Start();
  struct Case {
    char16_t key;
    bool shift, ctrl, alt;
    const char16_t* opens;
  };
  const Case cases[] = {
      {u'F', false, true, false, u"Tfb_Firefox"},  {u'L', false, true, false, u"Tfb_Flock"},
      {u'F', false, false, true, u"Tfr_Firefox"},  {u'L', false, false, true, u"Tfr_Flock"},
      {u'F', true, true, false, u"Tffb_Firefox"},  {u'L', true, true, false, u"Tffb_Flock"},
      {u'F', true, false, true, u"Tffr_Firefox"},  {u'L', true, false, true, u"Tffr_Flock"},
      {u'I', false, true, false, u"Tfb_IE"},       {u'I', false, false, true, u"Tfr_IE"},
      {u'I', true, true, false, u"Tffb_IE"},       {u'I', true, false, true, u"Tffr_IE"},
      {u'U', false, true, false, u"Tf_NotAvailable"},
      {u'C', false, true, false, u"Tfb_Chrome"},   {u'S', true, false, true, u"Tffr_Safari"},
  };
  for (const Case& c : cases) {
    main.LastOpened = nullptr;
    EXPECT_TRUE(main.HandleShortCut(c.key, c.shift, c.ctrl, c.alt));
    ASSERT_NE(main.LastOpened, nullptr);
    EXPECT_EQ(main.LastOpened->ClassName(), c.opens);
  }
  EXPECT_FALSE(main.HandleShortCut(u'F', false, true, true));
  EXPECT_FALSE(main.HandleShortCut(u'Q', false, true, false));
  EXPECT_EQ(main.FindCommand(u"btn_b_Firefox")->button->Caption(), u"&Firefox");
  EXPECT_EQ(main.FindCommand(u"btn_r_Flock")->button->Hint(), u"Restore Flock web browser.");
}

TEST_F(MainWindowTest, LinksOpenTheMakersPagesAndCancelEndsTheProgram) {
  auto& main = Start();
  main.FindCommand(u"btnWWW")->button->Click();
  main.FindCommand(u"btnDonate")->button->Click();
  main.FindCommand(u"btnEmail")->button->Click();
  main.Start->lblHelp->Click();
  ASSERT_EQ(desktop.executed.size(), 4u);
  EXPECT_EQ(desktop.executed[0].file, u"http://www.example.com/backup/");
  EXPECT_EQ(desktop.executed[1].file, u"http://www.example.com/donate/");
  EXPECT_EQ(desktop.executed[2].file, u"mailto:contact@example.com");
  EXPECT_EQ(desktop.executed[3].file, u"http://www.example.com/help/");
  EXPECT_EQ(desktop.executed[0].verb, u"open");
  EXPECT_FALSE(ui.Terminated());
  main.Start->Button1->Click();
  EXPECT_TRUE(ui.Terminated());
}

TEST_F(MainWindowTest, WebHostAndMailAddressComeFromTheServersSection) {
  profile.WriteString(ini, u"Servers", u"Web", u"mirror.test:8080");
  profile.WriteString(ini, u"Servers", u"Mail", u"help@mirror.test");
  auto& main = Start();
  main.FindCommand(u"btnWWW")->button->Click();
  main.FindCommand(u"btnDonate")->button->Click();
  main.FindCommand(u"btnEmail")->button->Click();
  main.Start->lblHelp->Click();
  auto& about = ui.CreateForm<brantle::Tf_About>(context);
  EXPECT_EQ(about.lblSite->Caption(), u"mirror.test:8080");
  about.lblSite->Click();
  std::vector<Text> opened;
  for (const auto& e : desktop.executed) opened.push_back(e.file);
  EXPECT_EQ(opened, (std::vector<Text>{u"http://mirror.test:8080/backup/", u"http://mirror.test:8080/donate/",
                                       u"mailto:help@mirror.test", u"http://mirror.test:8080/help/",
                                       u"http://mirror.test:8080/"}));

  // A blank value is no host: the maker's is used.
  profile.WriteString(ini, u"Servers", u"Web", u"");
  main.FindCommand(u"btnWWW")->button->Click();
  EXPECT_EQ(desktop.executed.back().file, u"http://www.example.com/backup/");
}

// Key presses as the window's message loop hands them over.
struct Keys {
  brantle::TForm1& main;
  bool Down(int key, bool alt = false, bool ctrl = false, bool shift = false) {
    platform::ui::KeyEvent k;
    k.key = key;
    k.alt = alt;
    k.ctrl = ctrl;
    k.shift = shift;
    return main.KeyPreview(k);
  }
  bool Up(int key) {
    platform::ui::KeyEvent k;
    k.key = key;
    k.down = false;
    return main.KeyPreview(k);
  }
  bool TapAlt() {
    Down(platform::ui::kKeyAlt);
    return Up(platform::ui::kKeyAlt);
  }
  // Alt held while `key` is pressed; returns whether the Alt release was
  // swallowed.
  bool AltWith(int key) {
    Down(platform::ui::kKeyAlt);
    Down(key, true);
    Up(key);
    return Up(platform::ui::kKeyAlt);
  }
};

// The key-tip letters shown now, in creation order.
std::vector<Text> ShownTips(const brantle::TForm1& main) {
  std::vector<Text> shown;
  for (auto* c : main.Components()) {
    const Text& name = c->Name();
    bool tip = name.find(u"Tip") != Text::npos || name.find(u"_tip") != Text::npos;
    if (tip && c->GetKind() == platform::ui::Kind::Label && c->Visible()) shown.push_back(c->Caption());
  }
  return shown;
}

TEST_F(MainWindowTest, KeyTipLettersAreDataOfTabsAndCommands) {
  auto& main = Start();
  EXPECT_EQ(main.TabKeyTips, (std::vector<Text>{u"B", u"R", u"A", u"E", u"C", u"P", u"H"}));
  const std::pair<int, const char16_t*> tabs[] = {{0, u"IFCOSL"}, {1, u"IFCOSL"}, {2, u"IFCOSL"}, {3, u"IFCOSL"},
                                                  {4, u"O"},      {5, u"LOS"},    {6, u"AUEWD"}};
  for (const auto& [tab, letters] : tabs) {
    Text onTab;
    for (const auto& c : main.Commands)
      if (c.tab == tab) onTab += c.keyTip;
    EXPECT_EQ(onTab, letters) << tab;
  }
  EXPECT_TRUE(ShownTips(main).empty());
}

TEST_F(MainWindowTest, KeyTipsChooseTabsThenCommands) {
  struct Case {
    std::vector<int> keys;  // pressed after a tap of Alt
    const char16_t* opens;  // class of the window they open
  };
  const Case cases[] = {
      {{'B', 'L'}, u"Tfb_Flock"},
      {{'R', 'F'}, u"Tfr_Firefox"},
      {{'A', 'L'}, u"Tffb_Flock"},
      {{'E', 'F'}, u"Tffr_Firefox"},
      {{'1'}, u"Tf_NotAvailable"},  // Updates on the quick-access toolbar
      {{'C', 'O'}, u"Tfc_Opera"},
      {{'B', 'Z', 'F'}, u"Tfb_Firefox"},  // a letter of no tip changes nothing
      {{'B', platform::ui::kKeyEscape, 'A', 'F'}, u"Tffb_Firefox"},
  };
  for (const Case& c : cases) {
    HeadlessUi own;
    auto& main = own.CreateForm<brantle::TForm1>(context);
    main.CreateChildren();
    own.Activate(main);
    Keys keys{main};
    EXPECT_TRUE(keys.TapAlt());
    for (int key : c.keys) EXPECT_TRUE(keys.Down(key));
    ASSERT_NE(main.LastOpened, nullptr) << platform::ToUtf8(c.opens);
    EXPECT_EQ(main.LastOpened->ClassName(), c.opens);
    EXPECT_TRUE(ShownTips(main).empty());
    EXPECT_EQ(main.Tips.Current(), brantle::KeyTips::Level::Off);
  }

  // The levels as they show: the top level, then one tab's commands.
  auto& main = Start();
  Keys keys{main};
  keys.TapAlt();
  EXPECT_EQ(ShownTips(main), (std::vector<Text>{u"B", u"R", u"A", u"E", u"C", u"P", u"H", u"F", u"1", u"2"}));
  keys.Down('P');
  EXPECT_EQ(main.Ribbon->ActivePageIndex(), 5);
  EXPECT_EQ(ShownTips(main), (std::vector<Text>{u"L", u"O", u"S"}));
  keys.Down('O');
  EXPECT_EQ(main.CurrentScheme(), Scheme::Obsidian);
  // Alt+H goes straight to the Help tab's letters; its release opens nothing.
  EXPECT_TRUE(keys.AltWith('H'));
  EXPECT_EQ(main.Ribbon->ActivePageIndex(), 6);
  keys.Down('A');
  ASSERT_FALSE(ui.Dialogs().empty());
  EXPECT_EQ(ui.Dialogs().back().text, u"Tf_About");
}

TEST_F(MainWindowTest, KeysOutsideTheTipsPassOrEndThem) {
  using platform::ui::kKeyEscape;
  auto& main = Start();
  Keys keys{main};
  EXPECT_FALSE(keys.Down('B'));  // typing, with no letters shown
  keys.TapAlt();
  keys.Down('B');
  EXPECT_TRUE(keys.Down(kKeyEscape));
  EXPECT_EQ(main.Tips.Current(), brantle::KeyTips::Level::Top);
  EXPECT_TRUE(keys.Down(kKeyEscape));
  EXPECT_EQ(main.Tips.Current(), brantle::KeyTips::Level::Off);
  keys.TapAlt();
  EXPECT_TRUE(keys.TapAlt());  // a second tap hides them
  EXPECT_TRUE(ShownTips(main).empty());
  keys.TapAlt();
  EXPECT_FALSE(keys.Down(0x09));  // Tab: not a letter, the tips go
  EXPECT_EQ(main.Tips.Current(), brantle::KeyTips::Level::Off);
  keys.Down(platform::ui::kKeyF10);
  EXPECT_EQ(main.Tips.Current(), brantle::KeyTips::Level::Top);
  main.Deactivated();
  EXPECT_EQ(main.Tips.Current(), brantle::KeyTips::Level::Off);

  // Alt's release after a used Alt+key is swallowed (the system would take
  // it for a tap), after an unused one it is not; a shortcut ends the tips.
  main.Activated();
  EXPECT_TRUE(keys.AltWith('F'));
  EXPECT_EQ(main.LastOpened->ClassName(), u"Tfr_Firefox");
  EXPECT_FALSE(keys.AltWith('Q'));
  keys.TapAlt();
  EXPECT_TRUE(keys.Down('L', false, true));
  EXPECT_EQ(main.LastOpened->ClassName(), u"Tfb_Flock");
  EXPECT_EQ(main.Tips.Current(), brantle::KeyTips::Level::Off);
}

TEST_F(MainWindowTest, ApplicationMenuExitAndQuickAccess) {
  auto& main = Start();
  EXPECT_EQ(main.mnuExit->Caption(), u"&Exit");
  EXPECT_EQ(main.mnuExit->ShortCut(), u"Alt+F4");
  EXPECT_EQ(main.mnuExit->Hint(), u"Close Brantle");
  ASSERT_EQ(main.QuickAccessButtons.size(), 2u);
  EXPECT_EQ(main.QuickAccessButtons[0]->Hint(), u"Checks for new program version.");
  EXPECT_EQ(main.QuickAccessButtons[1]->Hint(), u"Visit Brantle home page.");
  main.QuickAccessButtons[1]->Click();
  ASSERT_EQ(desktop.executed.size(), 1u);
  EXPECT_EQ(desktop.executed[0].file, u"http://www.example.com/backup/");

  ui.AnswerPopup(Text());  // the menu closed without a choice
  main.btnApp->Click();
  EXPECT_FALSE(ui.Terminated());

  const std::function<void(brantle::TForm1&, Keys&)> exits[] = {
      [](brantle::TForm1& m, Keys&) { m.btnApp->Click(); },
      [](brantle::TForm1&, Keys& k) {
        k.TapAlt();
        k.Down('F');
      },
      [](brantle::TForm1&, Keys& k) { k.AltWith(platform::ui::kKeyF4); },
  };
  for (const auto& exit : exits) {
    HeadlessUi own;
    auto& m = own.CreateForm<brantle::TForm1>(context);
    m.CreateChildren();
    own.Activate(m);
    own.AnswerPopup(u"mnuExit");
    Keys keys{m};
    exit(m, keys);
    EXPECT_TRUE(own.Terminated());
  }
}

}  // namespace

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
      {u'I', false, true, false, u"Tf_NotAvailable"}, {u'U', false, true, false, u"Tf_NotAvailable"},
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
  EXPECT_EQ(desktop.executed[2].file.substr(0, 7), u"mailto:");
  EXPECT_EQ(desktop.executed[3].file, u"http://www.example.com/help/");
  EXPECT_EQ(desktop.executed[0].verb, u"open");
  EXPECT_FALSE(ui.Terminated());
  main.Start->Button1->Click();
  EXPECT_TRUE(ui.Terminated());
}

}  // namespace

// The Chrome and Safari wizard windows on the headless Ui: texts, the
// columns of boxes, Select All and Deselect, the preselected profile.
#include <gtest/gtest.h>

#include <map>

#include "brantle/shell/wizard_windows.h"
#include "platform/sim/sim_windows.h"
#include "platform/ui/headless_ui.h"
#include "tests/unit/sim_fixture.h"

namespace {

using platform::Text;
using platform::ui::HeadlessUi;
using testing_support::WriteFile;

class ChromeSafariWindowTest : public ::testing::Test {
 protected:
  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  brantle::FileHelpers helpers{p};
  HeadlessUi ui;
  brantle::Tf_pBar& pBar = ui.CreateForm<brantle::Tf_pBar>();
  brantle::WizardContext context{helpers, p, pBar};

  ChromeSafariWindowTest() {
    const Text local = u"C:\\Users\\tester\\AppData\\Local\\Google\\Chrome\\User Data\\";
    WriteFile(p, local + u"Crashpad\\settings.dat", "x");
    WriteFile(p, local + u"Default\\Bookmarks", "{}");
    const Text apple = u"C:\\Users\\tester\\AppData\\Roaming\\Apple Computer\\";
    WriteFile(p, apple + u"Safari\\Bookmarks.plist", "<plist/>");
    WriteFile(p, apple + u"Preferences\\com.apple.Safari.plist", "<plist/>");
  }

  template <class W>
  W& Open() {
    W& w = ui.CreateForm<W>(context);
    w.Show();
    ui.Activate(w);
    return w;
  }

  // Captions by column (left edge), each column from top to bottom.
  static std::vector<std::vector<Text>> Columns(const brantle::Tfb_IE& w) {
    std::map<int, std::map<int, Text>> byLeft;
    for (const auto* box : w.CheckBoxes) byLeft[box->Left()][box->Top()] = box->Caption();
    std::vector<std::vector<Text>> columns;
    for (const auto& [left, column] : byLeft) {
      columns.emplace_back();
      for (const auto& [top, caption] : column) columns.back().push_back(caption);
    }
    return columns;
  }

  static std::map<Text, bool> Ticks(const brantle::Tfb_IE& w) {
    std::map<Text, bool> ticks;
    for (const auto* box : w.CheckBoxes) ticks[box->Caption()] = box->Checked();
    return ticks;
  }
};

TEST_F(ChromeSafariWindowTest, ChromeShowsThreeColumnsAndSelectAllLeavesLoginDataAlone) {
  auto& w = Open<brantle::Tfb_Chrome>();
  EXPECT_EQ(w.Caption(), u"Backup Chrome Web Browser");
  EXPECT_EQ(w.Label1->Caption(), u"Welcome to Chrome Backup Wizard");
  EXPECT_EQ(Columns(w), (std::vector<std::vector<Text>>{
                            {u"Bookmarks", u"Cache", u"Cookies", u"Current session", u"Current tabs",
                             u"Extensions", u"Extension cookies"},
                            {u"History", u"Last session", u"Last tabs", u"Plugin data", u"Preferences",
                             u"Thumbnails", u"Visited links"},
                            {u"Web data", u"Login Data"}}));
  for (const auto& [caption, ticked] : Ticks(w)) EXPECT_TRUE(ticked) << platform::ToUtf8(caption);
  auto* cache = static_cast<platform::ui::CheckBox*>(w.Find(u"CheckBox16"));
  EXPECT_EQ(cache->Caption(), u"Cache");
  EXPECT_FALSE(cache->Enabled());

  w.Button6->Click();  // Deselect
  auto ticks = Ticks(w);
  EXPECT_TRUE(ticks[u"Login Data"]);
  EXPECT_FALSE(ticks[u"Cache"]);
  EXPECT_FALSE(ticks[u"Bookmarks"]);
  w.CheckBoxes[13]->Click();  // the user clears "Login Data"
  w.Button4->Click();         // Select All
  ticks = Ticks(w);
  EXPECT_FALSE(ticks[u"Login Data"]);
  EXPECT_TRUE(ticks[u"Cache"]);
  EXPECT_TRUE(ticks[u"Web data"]);

  // "Default" is chosen, though "Crashpad" is listed too.
  ASSERT_EQ(w.ListBox1->Items().size(), 2u);
  EXPECT_EQ(w.ListBox1->Items().at(static_cast<size_t>(w.ListBox1->ItemIndex())), u"Default");
}

TEST_F(ChromeSafariWindowTest, SafariShowsTwoColumnsAndSelectAllTakesEveryBox) {
  auto& w = Open<brantle::Tfb_Safari>();
  EXPECT_EQ(w.Caption(), u"Backup Safari Web Browser");
  EXPECT_EQ(w.Label1->Caption(), u"Welcome to Safari Backup Wizard");
  EXPECT_EQ(Columns(w), (std::vector<std::vector<Text>>{
                            {u"Bookmarks", u"Cache", u"Cookies", u"Downloads", u"Feeds", u"Form values",
                             u"History"},
                            {u"Last session", u"Preferences", u"Top sites"}}));
  EXPECT_EQ(w.DirectoryEdit1->Caption(), u"Custom profile location (optional):");
  EXPECT_EQ(w.ListBox1->Items(), std::vector<Text>{u"Safari"});
  EXPECT_EQ(w.ListBox1->ItemIndex(), 0);
  w.Button6->Click();
  for (const auto& [caption, ticked] : Ticks(w)) EXPECT_FALSE(ticked) << platform::ToUtf8(caption);
  w.Button4->Click();
  for (const auto& [caption, ticked] : Ticks(w)) EXPECT_TRUE(ticked) << platform::ToUtf8(caption);
}

TEST_F(ChromeSafariWindowTest, RestoreAndFullWindowsCarryTheirTexts) {
  struct Case {
    platform::ui::Form& window;
    const char16_t *caption, *header;
  };
  auto& restore = Open<brantle::Tfr_Chrome>();
  const Case cases[] = {
      {restore, u"Restore Chrome Web Browser", u"Welcome to Chrome Restore Wizard"},
      {Open<brantle::Tffb_Chrome>(), u"Backup Chrome Web Browser", u"Welcome to Chrome Full Backup Wizard"},
      {Open<brantle::Tffr_Chrome>(), u"Restore Chrome Web Browser", u"Welcome to Chrome Full Restore Wizard"},
      {Open<brantle::Tfr_Safari>(), u"Restore Safari Web Browser", u"Welcome to Safari Restore Wizard"},
      {Open<brantle::Tffb_Safari>(), u"Backup Safari Web Browser", u"Welcome to Safari Full Backup Wizard"},
      {Open<brantle::Tffr_Safari>(), u"Restore Safari Web Browser", u"Welcome to Safari Full Restore Wizard"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.window.Caption(), c.caption);
    EXPECT_EQ(static_cast<platform::ui::Label*>(c.window.Find(u"Label1"))->Caption(), c.header);
  }
  EXPECT_EQ(restore.Label18->Caption(), u"Restore the following:");
  EXPECT_EQ(restore.Label3->Caption(), u"Backup file:");
  EXPECT_EQ(restore.Label4->Caption(), u"Restore to the following profile:");
  EXPECT_EQ(restore.CheckBoxDelete, nullptr);
}

}  // namespace

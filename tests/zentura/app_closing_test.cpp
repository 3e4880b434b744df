#include "zentura/gamemode/app_closing.h"

#include <gtest/gtest.h>

#include "tests/zentura/zentura_sim.h"

namespace zentura {
namespace {

using zentura_test::ZenturaSim;

class FakeChooser : public AppChooserView {
 public:
  struct Row {
    bool checked;
    Text commandLine;
  };
  bool RememberChecked() override { return remember; }
  size_t RowCount() override { return rows.size(); }
  bool RowChecked(size_t row) override { return rows[row].checked; }
  Text RowCommandLine(size_t row) override { return rows[row].commandLine; }
  bool OnScreen() override { return onScreen; }
  void Close() override { closed = true; }
  void ShowInformation(const Text& text) override { shown.push_back(text); }

  bool remember = true;
  bool onScreen = false;
  std::vector<Row> rows;
  bool closed = false;
  std::vector<Text> shown;
};

class AppClosingTest : public ::testing::Test {
 protected:
  const Text kSettings = u"C:\\Zentura\\Zentura.ini";
  const Text kRecord = u"C:\\Zentura\\temp.ini";
  ZenturaSim sim;
  FakeChooser chooser;
  TIniFile settings{sim.sys.profile(), kSettings};
  TIniFile record{sim.sys.profile(), kRecord};
  std::vector<Text> closed{u"stale"};

  void SetUp() override { sim.WriteFile(kSettings, "[Main]\r\nCountdown=5\r\n"); }
  void Close() {
    AppClosingContext ctx{sim.p(), sim.sp(), settings, record, chooser, u"Nothing chosen.", u"Tick a program."};
    CloseChosenApplications(ctx, &closed);
  }
};

TEST_F(AppClosingTest, RememberedProgramsThatRunAreClosedAndRecorded) {
  sim.WriteFile(kSettings,
                "[CheckedApps]\r\ngame.exe=1\r\nidle.exe=1\r\noff.exe=0\r\nstuck.exe=1\r\n"
                "odd.exe=yes\r\n");
  sim.Run(u"game.exe", u"C:\\Games\\game.exe");
  sim.Run(u"game.exe", u"C:\\Games\\game.exe");
  sim.Run(u"off.exe", u"C:\\off.exe");
  sim.Run(u"odd.exe", u"C:\\odd.exe");
  sim.Run(u"stuck.exe", u"C:\\Stuck\\stuck.exe").terminateFails = true;
  Close();
  // Both game processes end, one entry; a failed termination is listed, not recorded.
  EXPECT_EQ(closed, (std::vector<Text>{u"C:\\Games\\game.exe", u"C:\\Stuck\\stuck.exe"}));
  EXPECT_EQ(record.ReadSection(u"Apps"), std::vector<Text>{u"C:\\Games\\game.exe"});
  EXPECT_EQ(sim.sys.processes.CountNamed(u"game.exe"), 0u);
  EXPECT_EQ(sim.sys.processes.CountNamed(u"off.exe"), 1u);
  EXPECT_EQ(sim.sys.processes.CountNamed(u"odd.exe"), 1u);
  EXPECT_EQ(sim.sys.desktop.deleteAtReboot, std::vector<Text>{kRecord});
  EXPECT_FALSE(sim.sys.desktop.mouseMoves.empty());
  EXPECT_TRUE(chooser.closed);
}

TEST_F(AppClosingTest, CheckedRowsAreClosedByProgramName) {
  sim.WriteFile(u"C:\\Tools\\sync.exe");
  sim.WriteFile(u"C:\\Apps\\chat.exe");
  sim.Run(u"sync.exe", u"C:\\Tools\\sync.exe");
  sim.Run(u"chat.exe", u"C:\\Apps\\chat.exe");
  chooser.remember = false;
  chooser.onScreen = true;
  chooser.rows = {{true, u"C:\\Tools\\sync.exe -hidden"},
                  {false, u"\"C:\\Apps\\chat.exe\" /tray"},
                  {true, u"C:\\Apps\\notrunning.exe"}};
  Close();
  EXPECT_EQ(closed, std::vector<Text>{u"C:\\Tools\\sync.exe -hidden"});
  EXPECT_EQ(record.ReadSection(u"Apps"), std::vector<Text>{u"C:\\Tools\\sync.exe -hidden"});
  EXPECT_EQ(sim.sys.processes.CountNamed(u"chat.exe"), 1u);
  EXPECT_TRUE(chooser.closed);
  EXPECT_TRUE(chooser.shown.empty());
}

TEST_F(AppClosingTest, AnOpenChooserWithNothingCheckedExplains) {
  sim.Run(u"chat.exe", u"C:\\Apps\\chat.exe");
  chooser.remember = false;
  chooser.onScreen = true;
  chooser.rows = {{false, u"C:\\Apps\\chat.exe"}};
  Close();
  EXPECT_TRUE(closed.empty());
  EXPECT_EQ(chooser.shown, std::vector<Text>{u"Nothing chosen.\n\rTick a program."});
  EXPECT_FALSE(chooser.closed);
  EXPECT_TRUE(sim.sys.desktop.deleteAtReboot.empty());
  EXPECT_FALSE(sim.p().files.Exists(kRecord));
}

TEST(RefreshTrayIcons, MovesOverEveryIconSixTimesFromTheLast) {
  zentura_test::ZenturaSim sim;
  sim.sys.desktop.trayWidth = 40;   // 2 columns of 16, the rest unused
  sim.sys.desktop.trayHeight = 32;  // 2 rows
  RefreshTrayIcons(sim.sp());
  auto& moves = sim.sys.desktop.mouseMoves;
  ASSERT_EQ(moves.size(), 24u);
  EXPECT_EQ(moves[0], std::make_pair(24, 24));
  EXPECT_EQ(moves[3], std::make_pair(8, 8));
  EXPECT_EQ(moves[4], std::make_pair(24, 24));
  sim.sys.desktop.mouseMoves.clear();
  sim.sys.desktop.smallIconWidth = 0;
  RefreshTrayIcons(sim.sp());
  sim.sys.desktop.hasTray = false;
  RefreshTrayIcons(sim.sp());
  EXPECT_TRUE(moves.empty());
}

}  // namespace
}  // namespace zentura

#include "zentura/app/form_main.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/sim/sim_network.h"
#include "platform/ui/headless_ui.h"
#include "tests/zentura/zentura_sim.h"

namespace zentura {
namespace {

using namespace platform::ui;
using platform::ToUtf8;
using platform::sim::SimService;
namespace ss = platform::svcstate;

std::string ShippedFile(const std::string& relative) {
  std::ifstream in(std::string(ZENTURA_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A program folder on the simulated drive with the shipped English file, a
// settings file, and the main window on a headless Ui. Members are destroyed
// window first, so the window's worker ends before the simulation goes.
struct Rig {
  const Text dir = u"C:\\Zentura\\";
  zentura_test::ZenturaSim sim;
  ZenturaEnv env{sim.p(), sim.sp(), dir, {}, {}};
  std::unique_ptr<HeadlessUi> ui = std::make_unique<HeadlessUi>();
  TFormMain* form = nullptr;

  explicit Rig(const std::string& settings = "") {
    sim.WriteFile(dir + u"Language\\English.lng", ShippedFile("Language/English.lng"));
    Settings(settings);
  }
  void Settings(const std::string& content) { sim.WriteFile(dir + u"Zentura.ini", content); }
  Text Setting(const Text& section, const Text& key) {
    return sim.sp().profile.ReadString(dir + u"Zentura.ini", section, key, u"?");
  }
  TIniFile Record() { return TIniFile(sim.sp().profile, env.RecordFile()); }
  bool RecordExists() { return sim.p().files.FileExists(env.RecordFile()); }

  void Service(const Text& key, uint32_t state = ss::kRunning, SimService extra = {}) {
    extra.keyName = key;
    extra.displayName = key + u" Service";
    extra.state = state;
    sim.sys.services.Add(extra);
  }
  TFormMain& Create() {
    form = &ui->CreateForm<TFormMain>(env);
    return *form;
  }
  void WaitIdle() { ASSERT_TRUE(ui->RunUntil([this] { return !form->Busy; })); }
  void Switch() {
    form->BtnSwitch->Click();
    WaitIdle();
  }
  // Rows as "caption|status".
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < form->ListView1->Count(); ++i) {
      ListItem& row = form->ListView1->Item(i);
      rows.push_back(ToUtf8(row.Caption()) + "|" + ToUtf8(row.SubItem(0)));
    }
    return rows;
  }
  std::vector<bool> Checks() const {
    std::vector<bool> checks;
    for (int i = 0; i < form->ListView1->Count(); ++i) checks.push_back(form->ListView1->Item(i).Checked());
    return checks;
  }
  // Aborts once the status line shows `status` (the worker is then at most
  // at its next handed-over step, so what it handles next is certain).
  void AbortAtStatus(const std::string& status) {
    ASSERT_TRUE(ui->RunUntil([&] { return ToUtf8(form->LabelStat->Caption()) == status; }));
    form->LabelAbort->Click();
    WaitIdle();
  }
};

const char kServices[] = "[servicelist_win7]\r\n";

TEST(FormMainCreation, MissingLanguageFileEndsWithoutWindow) {
  Rig rig(std::string("[Main]\r\nLanguage=Klingon\r\n"));
  TFormMain& form = rig.Create();
  EXPECT_FALSE(form.Created());
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(rig.ui->Dialogs().empty());
}

TEST(FormMainCreation, NormalModeListsRunningCandidatesWithStoredSelection) {
  Rig rig(std::string("[Main]\r\n") + kServices + "Spooler=1\r\nIdle=1\r\nThemes=0\r\nBits=1\r\n");
  rig.Service(u"Spooler");
  rig.Service(u"Idle", ss::kStopped);
  rig.Service(u"Themes");
  rig.Service(u"Bits");
  TFormMain& form = rig.Create();
  ASSERT_TRUE(form.Created());
  EXPECT_EQ(form.Caption(), u"Zentura by Veltrane");
  EXPECT_EQ(form.BtnSwitch->Caption(), u"Switch to Gaming Mode!");
  EXPECT_EQ(form.BtnExit->Caption(), u"Exit");
  EXPECT_EQ(rig.Rows(), (std::vector<std::string>{"Spooler Service|Running", "Themes Service|Running",
                                                  "Bits Service|Running"}));
  EXPECT_EQ(rig.Checks(), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(form.ListView1->Columns()[0].caption, u"      Service");
  EXPECT_FALSE(form.CheckBox1->Checked());
  EXPECT_TRUE(form.CheckBox1->Visible());
  EXPECT_FALSE(form.GameMode);
  EXPECT_FALSE(form.SummaryShown);
  // The chooser exists, hidden, and the main window stays the main form.
  ASSERT_NE(form.Chooser(), nullptr);
  EXPECT_FALSE(form.Chooser()->Visible());
  EXPECT_EQ(rig.ui->MainForm(), &form);
}

// Switching on closes the chosen program, stops services in passes (one
// that only runs once another has stopped, one that refuses, one that stops
// later than the wait), empties working sets and records all of it; switching
// back starts what was recorded in reverse order and relaunches the program.
TEST(FormMainSwitch, OnAndBack) {
  Rig rig(std::string("[Main]\r\nAutoMinimize=0\r\n[CheckedApps]\r\nchat.exe=1\r\n") + kServices +
          "After=1\r\nSpool=1\r\nSlow=1\r\nStubborn=1\r\nLate=1\r\nIdle=1\r\n");
  SimService after;
  after.startsWhenStopped = u"Spool";
  rig.Service(u"After", ss::kStopped, after);
  rig.Service(u"Spool");
  SimService slow;
  slow.stop.durationMs = 300;
  slow.stop.waitHint = 2000;
  rig.Service(u"Slow", ss::kRunning, slow);
  SimService stubborn;
  stubborn.acceptsStop = false;
  rig.Service(u"Stubborn", ss::kRunning, stubborn);
  SimService late;
  late.stop.durationMs = 5000;
  late.stop.waitHint = 8000;
  rig.Service(u"Late", ss::kRunning, late);
  rig.Service(u"Idle", ss::kStopped);
  rig.sim.Run(u"chat.exe", u"C:\\Apps\\chat.exe", 8 << 20);
  rig.sim.Run(u"big.exe", u"C:\\big.exe", 64 << 20);
  TFormMain& form = rig.Create();

  rig.Switch();
  EXPECT_TRUE(form.GameMode);
  EXPECT_EQ(rig.Rows(), (std::vector<std::string>{"chat.exe|Closed", "Spool Service|Stopped",
                                                  "Slow Service|Stopped", "After Service|Stopped",
                                                  "Physical memory released|72 MB"}));
  EXPECT_EQ(form.StoppedServices, (std::vector<Text>{u"Spool", u"Slow", u"Stubborn", u"Late", u"After"}));
  TIniFile record = rig.Record();
  EXPECT_EQ(record.ReadSection(u"Services"), form.StoppedServices);
  EXPECT_EQ(record.ReadSection(u"Apps"), std::vector<Text>{u"C:\\Apps\\chat.exe"});
  EXPECT_EQ(record.ReadString(u"Info", u"Mem", u""), u"72");
  EXPECT_EQ(rig.sim.sys.desktop.deleteAtReboot, (std::vector<Text>{rig.env.RecordFile(), rig.env.RecordFile()}));
  EXPECT_EQ(form.BtnSwitch->Caption(), u"Switch to Normal Mode!");
  EXPECT_EQ(form.BtnExit->Caption(), u"Minimize");
  EXPECT_TRUE(form.BtnSwitch->Enabled() && form.BtnExit->Enabled());
  EXPECT_FALSE(form.ProgressBar1->Visible() || form.LabelAbort->Visible());
  EXPECT_FALSE(form.CheckBox1->Visible());
  EXPECT_EQ(form.ListView1->Columns()[0].caption, u"Closed applications and stopped services");
  EXPECT_TRUE(form.ListView1->DrawStyle(form.ListView1->Count() - 1).bold);
  EXPECT_FALSE(form.ListView1->DrawStyle(0).bold);
  EXPECT_FALSE(form.tmrCountDown->Enabled() || form.Timer_AutoGame->Enabled());

  rig.sim.sys.clock.Advance(10000);  // the late stop has ended by now
  rig.Switch();
  EXPECT_FALSE(form.GameMode);
  EXPECT_FALSE(rig.RecordExists());
  ASSERT_EQ(rig.sim.sys.desktop.executed.size(), 1u);
  EXPECT_EQ(rig.sim.sys.desktop.executed[0].file, u"C:\\Apps\\chat.exe");
  // The normal list again: every candidate runs, the stubborn one never stopped.
  EXPECT_EQ(rig.Rows(), (std::vector<std::string>{"After Service|Running", "Spool Service|Running",
                                                  "Slow Service|Running", "Stubborn Service|Running",
                                                  "Late Service|Running"}));
  EXPECT_EQ(form.BtnSwitch->Caption(), u"Switch to Gaming Mode!");
  EXPECT_EQ(form.BtnExit->Caption(), u"Exit");
  EXPECT_TRUE(form.CheckBox1->Visible());
  EXPECT_FALSE(form.SummaryShown);
}

TEST(FormMainSwitch, UncheckedRowIsKeptRunningAndStored) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\nB=1\r\n");
  rig.Service(u"A");
  rig.Service(u"B");
  TFormMain& form = rig.Create();
  form.ListView1->Item(0).SetChecked(false);
  rig.Switch();
  EXPECT_EQ(form.StoppedServices, std::vector<Text>{u"B"});
  EXPECT_EQ(rig.sim.sys.services.StateOf(u"A"), ss::kRunning);
  EXPECT_EQ(rig.Setting(u"servicelist_win7", u"A"), u"0");
  EXPECT_EQ(rig.Setting(u"servicelist_win7", u"B"), u"1");
}

TEST(FormMainSwitch, SecondSwitchRecordsOnlyItsOwnServices) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\nB=1\r\n");
  rig.Service(u"A");
  rig.Service(u"B");
  TFormMain& form = rig.Create();
  rig.Switch();
  rig.Switch();
  form.ListView1->Item(0).SetChecked(false);
  rig.Switch();
  EXPECT_EQ(form.StoppedServices, std::vector<Text>{u"B"});
  EXPECT_EQ(rig.Rows(), (std::vector<std::string>{"B Service|Stopped", "Physical memory released|0 MB"}));
}

TEST(FormMainSwitch, NothingToDoRecordsOnlyTheMemory) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\n");
  rig.Service(u"A", ss::kStopped);
  TFormMain& form = rig.Create();
  rig.Switch();
  EXPECT_EQ(rig.Rows(), std::vector<std::string>{"Physical memory released|0 MB"});
  TIniFile record = rig.Record();
  EXPECT_EQ(record.ReadSections(), std::vector<Text>{u"Info"});
  EXPECT_TRUE(form.GameMode);
}

TEST(FormMainSwitch, MemorySummaryTruncatesAndShowsLossAsZero) {
  struct Case {
    uint64_t trimmed;
    uint64_t takenMeanwhile;
    std::string shown;
  } cases[] = {
      {(3u << 20) + (512u << 10), 0, "3 MB"},
      {1u << 20, 200u << 20, "0 MB"},
  };
  for (const Case& c : cases) {
    Rig rig(std::string("[Main]\r\n[CheckedApps]\r\nchat.exe=1\r\n"));
    rig.sim.Run(u"chat.exe", u"C:\\chat.exe", 0);
    rig.sim.Run(u"big.exe", u"C:\\big.exe", c.trimmed);
    TFormMain& form = rig.Create();
    // Another program takes memory while the switch runs (on the UI thread,
    // while the worker waits for its row).
    form.ListView1->OnSelectItem = [&](Component&) {
      if (form.ListView1->Count() == 1) rig.sim.sys.memory.status.availPhys -= c.takenMeanwhile;
    };
    rig.Switch();
    EXPECT_EQ(rig.Rows().back(), "Physical memory released|" + c.shown) << c.shown;
    EXPECT_EQ(rig.Record().ReadString(u"Info", u"Mem", u""), platform::FromUtf8(c.shown.substr(0, 1)));
  }
}

TEST(FormMainAbort, DuringSwitchStopsBeforeTheNextService) {
  Rig rig(std::string("[Main]\r\nAutoMinimize=1\r\n") + kServices + "A=1\r\nB=1\r\nC=1\r\n");
  rig.Service(u"A");
  rig.Service(u"B");
  rig.Service(u"C");
  rig.sim.Run(u"big.exe", u"C:\\big.exe", 64 << 20);
  TFormMain& form = rig.Create();
  form.BtnSwitch->Click();
  rig.AbortAtStatus("Stopping service: B Service ...");
  EXPECT_TRUE(form.GameMode);
  EXPECT_EQ(rig.sim.sys.services.StateOf(u"C"), ss::kRunning);
  EXPECT_EQ(form.StoppedServices, (std::vector<Text>{u"A", u"B"}));
  EXPECT_EQ(rig.Record().ReadSection(u"Services"), form.StoppedServices);
  EXPECT_EQ(rig.Rows(), (std::vector<std::string>{"A Service|Stopped", "B Service|Stopped",
                                                  "Physical memory released|0 MB"}));
  EXPECT_EQ(rig.Record().ReadString(u"Info", u"Mem", u""), u"0");
  // Working sets stay as they were and no countdown starts.
  EXPECT_EQ(rig.sim.sys.processes.table.back().workingSet, 64u << 20);
  EXPECT_FALSE(form.tmrCountDown->Enabled());
  EXPECT_TRUE(form.BtnSwitch->Enabled());
}

// An aborted restore keeps temp.ini with what was not restored, so the next
// start is in game mode with exactly that.
TEST(FormMainAbort, DuringRestoreKeepsTheRestForTheNextStart) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\nB=1\r\nC=1\r\n");
  rig.Service(u"A", ss::kStopped);
  rig.Service(u"B", ss::kStopped);
  rig.Service(u"C", ss::kStopped);
  rig.sim.WriteFile(rig.env.RecordFile(),
                    "[Apps]\r\nC:\\Games\\tool.exe=\r\n[Services]\r\nA=\r\nB=\r\nC=\r\n[Info]\r\nMem=37\r\n");
  TFormMain& form = rig.Create();
  EXPECT_TRUE(form.GameMode);
  EXPECT_EQ(rig.Rows(), (std::vector<std::string>{"C:\\Games\\tool.exe|Closed", "A Service|Stopped",
                                                  "B Service|Stopped", "C Service|Stopped",
                                                  "Physical memory released|37 MB"}));
  EXPECT_TRUE(form.SummaryShown);

  form.BtnSwitch->Click();
  rig.AbortAtStatus("Restoring B Service ...");
  EXPECT_FALSE(form.GameMode);
  EXPECT_EQ(rig.sim.sys.services.StateOf(u"A"), ss::kStopped);
  EXPECT_TRUE(rig.sim.sys.desktop.executed.empty());
  EXPECT_EQ(rig.Record().ReadSection(u"Services"), std::vector<Text>{u"A"});
  EXPECT_EQ(rig.Record().ReadSection(u"Apps"), std::vector<Text>{u"C:\\Games\\tool.exe"});
  EXPECT_EQ(form.BtnSwitch->Caption(), u"Switch to Gaming Mode!");

  rig.ui = std::make_unique<HeadlessUi>();  // the program ends and starts again
  TFormMain& again = rig.Create();
  EXPECT_TRUE(again.GameMode);
  EXPECT_EQ(rig.Rows(), (std::vector<std::string>{"C:\\Games\\tool.exe|Closed", "A Service|Stopped",
                                                  "Physical memory released|37 MB"}));
  EXPECT_EQ(again.BtnExit->Caption(), u"Minimize");
}

// A restore aborted and game mode switched on again in the same run: the
// service the aborted restore left stopped is still restored at the end.
TEST(FormMainAbort, ServicesAnAbortedRestoreLeftStoppedAreRestoredByTheNextOne) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\nB=1\r\nC=1\r\n");
  for (const char16_t* key : {u"A", u"B", u"C"}) rig.Service(key, ss::kStopped);
  rig.sim.WriteFile(rig.env.RecordFile(), "[Services]\r\nA=\r\nB=\r\nC=\r\n[Info]\r\nMem=1\r\n");
  TFormMain& form = rig.Create();
  form.BtnSwitch->Click();
  rig.AbortAtStatus("Restoring B Service ...");
  ASSERT_EQ(rig.sim.sys.services.StateOf(u"A"), ss::kStopped);

  rig.Switch();  // B and C run again and are stopped again; A stays recorded
  EXPECT_EQ(form.StoppedServices, (std::vector<Text>{u"A", u"B", u"C"}));
  EXPECT_EQ(rig.Record().ReadSection(u"Services"), form.StoppedServices);
  rig.Switch();
  for (const char16_t* key : {u"A", u"B", u"C"}) EXPECT_EQ(rig.sim.sys.services.StateOf(key), ss::kRunning);
  EXPECT_FALSE(rig.RecordExists());
}

// A service the user deselected is never stopped, even when it was not
// running (and so not listed) when the list was built.
TEST(FormMainSwitch, ADeselectedServiceThatStartsLaterIsNotStopped) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=0\r\nB=1\r\n");
  rig.Service(u"A", ss::kStopped);
  rig.Service(u"B");
  TFormMain& form = rig.Create();
  rig.sim.sys.services.Find(u"A")->state = ss::kRunning;
  rig.Switch();
  EXPECT_EQ(rig.sim.sys.services.StateOf(u"A"), ss::kRunning);
  EXPECT_EQ(form.StoppedServices, std::vector<Text>{u"B"});
}

// Every shipped list stops all its services when they depend on each other
// as on Windows: a service is refused (1051) while one that needs it runs.
TEST(FormMainSwitch, ShippedListsStopDependentServicesFirst) {
  const std::pair<const char16_t*, const char16_t*> needs[] = {
      {u"upnphost", u"SSDPSRV"}, {u"Browser", u"LanmanServer"}, {u"Fax", u"Spooler"}, {u"WMPNetworkSvc", u"WSearch"}};
  const struct {
    platform::OsVersion version;
    const char16_t* section;
  } cases[] = {{{5, 1, 2600}, u"servicelist_xp"},
               {{6, 0, 6002}, u"servicelist_vista"},
               {{6, 1, 7601}, u"servicelist_win7"},
               {{6, 2, 9200}, u"servicelist_win10"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.section));
    Rig rig(ShippedFile("zentura/dist/Zentura.ini"));
    rig.sim.win.sim().Config().version = c.version;
    TIniFile shipped(rig.sim.sp().profile, rig.dir + u"Zentura.ini");
    const std::vector<Text> keys = shipped.ReadSection(c.section);
    ASSERT_GE(keys.size(), 10u);
    for (const Text& key : keys) {
      SimService s;
      for (const auto& [dependent, needed] : needs) {
        if (platform::SameText(key, dependent)) s.dependsOn.push_back(needed);
      }
      rig.Service(key, ss::kRunning, s);
    }
    TFormMain& form = rig.Create();
    rig.Switch();
    for (const Text& key : keys) EXPECT_EQ(rig.sim.sys.services.StateOf(key), ss::kStopped) << ToUtf8(key);
    EXPECT_EQ(form.StoppedServices.size(), keys.size());
  }
}

TEST(FormMainAbort, ClosingTheWindowEndsTheWorkerCleanly) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\nB=1\r\n");
  rig.Service(u"A");
  rig.Service(u"B");
  TFormMain& form = rig.Create();
  form.BtnSwitch->Click();
  ASSERT_TRUE(rig.ui->RunUntil([&] { return ToUtf8(form.LabelStat->Caption()) == "Stopping service: A Service ..."; }));
  rig.ui.reset();
  EXPECT_EQ(rig.sim.sys.services.StateOf(u"B"), ss::kRunning);
}

TEST(FormMainCountdown, ClosesAfterTheConfiguredSeconds) {
  struct Case {
    std::string countdown;
    int seconds;
    bool tray;
  } cases[] = {{"3", 3, true}, {"0", 1, false}, {"soon", 5, true}};
  for (const Case& c : cases) {
    Rig rig("[Main]\r\nAutoMinimize=1\r\nCountdown=" + c.countdown + "\r\n");
    if (c.tray) rig.sim.WriteFile(rig.dir + u"zentray.exe");
    TFormMain& form = rig.Create();
    rig.Switch();
    ASSERT_TRUE(form.tmrCountDown->Enabled()) << c.countdown;
    rig.ui->AdvanceTime((c.seconds - 1) * 1000);
    EXPECT_FALSE(rig.ui->Terminated()) << c.countdown;
    if (c.seconds > 1) EXPECT_EQ(form.BtnExit->Caption(), u"Minimize (1)");
    rig.ui->AdvanceTime(1000);
    EXPECT_TRUE(rig.ui->Terminated()) << c.countdown;
    EXPECT_EQ(rig.sim.sys.desktop.created.size(), c.tray ? 1u : 0u) << c.countdown;
    if (c.tray) {
      EXPECT_EQ(rig.sim.sys.desktop.created[0], std::make_pair(rig.dir + u"zentray.exe", Text(u" tray")));
    }
    EXPECT_TRUE(rig.RecordExists());
  }
}

TEST(FormMainCountdown, MousePressStopsAndResetsIt) {
  Rig rig(std::string("[Main]\r\nAutoMinimize=1\r\nCountdown=2\r\n"));
  TFormMain& form = rig.Create();
  rig.Switch();
  rig.ui->AdvanceTime(1000);
  EXPECT_EQ(form.BtnExit->Caption(), u"Minimize (1)");
  rig.ui->OnLoopMessage(0x200);  // a mouse move changes nothing
  EXPECT_TRUE(form.tmrCountDown->Enabled());
  rig.ui->OnLoopMessage(kWmLButtonDown);
  EXPECT_FALSE(form.tmrCountDown->Enabled());
  EXPECT_EQ(form.BtnExit->Caption(), u"Minimize");
  EXPECT_EQ(form.CountDown, 2);
  rig.ui->AdvanceTime(5000);
  EXPECT_FALSE(rig.ui->Terminated());
}

TEST(FormMainCommandLine, GameModeAndLaunch) {
  struct Case {
    std::vector<Text> args;
    bool launched;
    bool countdown;
  } cases[] = {
      {{u"-gm", u"-path", u"C:\\Games\\game.exe"}, true, false},
      {{u"-gm", u"-path"}, false, false},
      {{u"-gm"}, false, true},
      {{u"-GM"}, false, false},
  };
  for (const Case& c : cases) {
    Rig rig(std::string("[Main]\r\nAutoMinimize=1\r\n"));
    rig.env.args = c.args;
    TFormMain& form = rig.Create();
    form.Show();
    const bool switched = c.args[0] == u"-gm";
    if (switched) rig.WaitIdle();
    EXPECT_EQ(form.GameMode, switched) << ToUtf8(c.args[0]);
    rig.ui->AdvanceTime(100);
    EXPECT_EQ(rig.sim.sys.desktop.executed.size(), c.launched ? 1u : 0u) << c.args.size();
    if (c.launched) EXPECT_EQ(rig.sim.sys.desktop.executed[0].file, u"C:\\Games\\game.exe");
    EXPECT_EQ(rig.ui->Terminated(), c.launched) << c.args.size();
    EXPECT_EQ(form.tmrCountDown->Enabled(), c.countdown) << c.args.size();
    EXPECT_FALSE(form.Timer_AutoGame->Enabled());
  }
}

TEST(FormMainMessages, ActivationAndLogoff) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\n");
  rig.Service(u"A");
  TFormMain& form = rig.Create();
  EXPECT_TRUE(form.Message(WM_ACTIVATE_INSTANCE, 0, 0));
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(form.GameMode);
  form.Message(WM_ACTIVATE_INSTANCE, 1, 0);
  rig.WaitIdle();
  EXPECT_TRUE(form.GameMode);
  form.Message(WM_ACTIVATE_INSTANCE, 1, 0);  // already in game mode: only shown
  EXPECT_FALSE(form.Busy);

  // The end of the logon switches back and lets the window close while the
  // restore runs.
  EXPECT_FALSE(form.Message(kWmQueryEndSession, 0, 0));
  EXPECT_TRUE(form.ShutdownPending);
  EXPECT_FALSE(form.GameMode);
  EXPECT_TRUE(form.Busy);
  EXPECT_TRUE(form.Close());
  EXPECT_TRUE(rig.ui->Terminated());
  rig.WaitIdle();
  EXPECT_EQ(rig.sim.sys.services.StateOf(u"A"), ss::kRunning);
  EXPECT_FALSE(rig.RecordExists());
}

TEST(FormMainMessages, BusyWindowRefusesToClose) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\n");
  rig.Service(u"A");
  TFormMain& form = rig.Create();
  form.BtnSwitch->Click();
  EXPECT_TRUE(form.Busy);
  EXPECT_FALSE(form.Close());
  form.BtnSwitchClick();  // ignored while busy
  rig.WaitIdle();
  EXPECT_TRUE(form.GameMode);
  EXPECT_TRUE(form.Close());
  EXPECT_TRUE(rig.ui->Terminated());
}

TEST(FormMainList, SortingByHeaderClicks) {
  Rig rig;
  TFormMain& form = rig.Create();
  form.ListView1->ClearItems();
  const char16_t* rows[][2] = {{u"beta", u"2"}, {u"Alpha", u"3"}, {u"gamma", u"1"}};
  for (auto& row : rows) form.ListView1->AddItem(row[0]).AddSubItem(row[1]);
  auto order = [&] {
    std::string s;
    for (int i = 0; i < form.ListView1->Count(); ++i) s += ToUtf8(form.ListView1->Item(i).Caption()) + " ";
    return s;
  };
  form.ListView1->ColumnClick(1);
  EXPECT_EQ(order(), "gamma beta Alpha ");  // status ascending
  form.ListView1->ColumnClick(1);
  EXPECT_EQ(order(), "Alpha beta gamma ");  // status descending
  form.ListView1->ColumnClick(0);
  EXPECT_EQ(order(), "gamma beta Alpha ");  // service descending: its flag was set by the first click
  form.ListView1->ColumnClick(0);
  EXPECT_EQ(order(), "Alpha beta gamma ");
}

TEST(FormMainList, CheckAllBox) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\nB=0\r\nC=1\r\n");
  rig.Service(u"A");
  rig.Service(u"B");
  rig.Service(u"C");
  TFormMain& form = rig.Create();
  EXPECT_EQ(rig.Checks(), (std::vector<bool>{true, false, true}));
  EXPECT_FALSE(form.CheckBox1->Checked());

  form.CheckBox1->Click();
  EXPECT_EQ(rig.Checks(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(rig.Setting(u"servicelist_win7", u"B"), u"1");
  form.CheckBox1->Click();
  EXPECT_EQ(rig.Checks(), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(rig.Setting(u"servicelist_win7", u"A"), u"0");
  form.CheckBox1->Click();

  // A press on one row's check box unchecks the box, not the other rows.
  MouseEvent press;
  press.item = 1;
  press.onStateIcon = true;
  form.ListView1->MouseDown(press);
  form.ListView1->ToggleCheckByUser(1);
  EXPECT_FALSE(form.CheckBox1->Checked());
  EXPECT_EQ(rig.Checks(), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(rig.Setting(u"servicelist_win7", u"B"), u"1");  // single rows are stored at the switch
  MouseEvent onText = press;
  onText.onStateIcon = false;
  form.CheckBox1->SetChecked(true);
  form.ListView1->MouseDown(onText);
  EXPECT_TRUE(form.CheckBox1->Checked());
}

TEST(FormMainLanguage, SwitchRecaptionsTheWindow) {
  Rig rig(std::string("[Main]\r\n") + kServices + "A=1\r\n");
  rig.Service(u"A");
  std::string pirate =
      "[Zentura_Form1]\r\nCaption=Zentura ahoy\r\nLabelOptions.Caption=Riggings\r\nGroupBox1.Caption=Log\r\n"
      "[Zentura_M_form1]\r\nM0=Hoist the flag!\r\nM1=Strike the flag!\r\nM2=Abandon ship\r\nM3=Drop anchor\r\n"
      "M4=Crew\r\nM5=Mood\r\nM6=Awake\r\n";
  rig.sim.WriteFile(rig.dir + u"Language\\Pirate.lng", pirate);
  TFormMain& form = rig.Create();

  rig.ui->AnswerPopup(u"");
  form.LabelLang->MouseUp(MouseEvent{});
  MenuItem* item = nullptr;
  for (MenuItem* i : form.LangMenu->Items()) {
    if (i->Caption() == u"Pirate") item = i;
  }
  ASSERT_NE(item, nullptr);
  item->Click();
  EXPECT_EQ(form.Caption(), u"Zentura ahoy");
  EXPECT_EQ(form.GroupBox1->Caption(), u"Log");
  EXPECT_EQ(form.BtnSwitch->Caption(), u"Hoist the flag!");
  EXPECT_EQ(form.BtnExit->Caption(), u"Abandon ship");
  EXPECT_EQ(form.ListView1->Columns()[0].caption, u"      Crew");
  EXPECT_EQ(rig.Rows(), std::vector<std::string>{"A Service|Awake"});
  EXPECT_EQ(rig.Setting(u"Main", u"Language"), u"Pirate");
  // Header links line up from the right with the new widths.
  EXPECT_EQ(form.LabelLang->Left() + form.LabelLang->Width() + 10, form.LabelOptions->Left());
  EXPECT_EQ(form.LabelSupport->Left() + form.LabelSupport->Width() + 10, form.LabelLang->Left());
  // Messages the language lacks come from English.
  rig.Switch();
  EXPECT_EQ(form.BtnSwitch->Caption(), u"Strike the flag!");
  EXPECT_EQ(rig.Rows().back(), "Physical memory released|0 MB");
}

TEST(FormMainLinks, MenusAndLinksOpenTheirAddresses) {
  Rig rig(std::string("[Main]\r\nAutoMinimize=1\r\n"));
  TFormMain& form = rig.Create();
  rig.ui->AnswerPopup(u"Menu_AutoMinimize");
  form.LabelOptions->MouseUp(MouseEvent{});
  EXPECT_EQ(rig.Setting(u"Main", u"AutoMinimize"), u"0");
  EXPECT_TRUE(form.Menu_AutoMinimize->Checked());  // the mark follows at the next opening
  rig.ui->AnswerPopup(u"Menu_CheckUpdate");
  form.LabelOptions->MouseUp(MouseEvent{});
  EXPECT_FALSE(form.Menu_AutoMinimize->Checked());
  form.LabelSupport->Click();
  form.LabelTell->Click();
  std::vector<Text> opened;
  for (const auto& e : rig.sim.sys.desktop.executed) opened.push_back(e.file);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0], u"http://www.veltrane.com/zentura.html?Str=download");
  EXPECT_EQ(opened[1], u"http://forum.veltrane.com/forumdisplay.php?f=15");
  EXPECT_EQ(opened[2].substr(0, 74),
            u"mailto:?SUBJECT=Zentura: one button to get your PC ready for games&BODY=Hi");
  // The shipped text carries the product link.
  EXPECT_NE(opened[2].find(u"Have a look: %0a%0d%0a%0dhttp://www.veltrane.com/zentura.html%0a%0d%0a%0d"), Text::npos);
}

TEST(FormMainLinks, TellAFriendWithoutMailSectionUsesTheBuiltInText) {
  Rig rig(std::string("[Main]\r\nLanguage=Bare\r\n"));
  rig.sim.WriteFile(rig.dir + u"Language\\Bare.lng", "[Zentura_M_form1]\r\nM0=Go\r\n");
  TFormMain& form = rig.Create();
  form.LabelTell->Click();
  ASSERT_EQ(rig.sim.sys.desktop.executed.size(), 1u);
  const std::string address = ToUtf8(rig.sim.sys.desktop.executed[0].file);
  EXPECT_EQ(address.rfind("mailto:?SUBJECT=Freeware Recommended: Zentura&BODY=Hi,", 0), 0u);
  EXPECT_NE(address.find("%0a%0d%0a%0dhttp://www.veltrane.com/zentura.html %0a%0d%0a%0dIt speeds up"),
            std::string::npos);
}

TEST(FormMainUpdate, CreationStartsTheCheckWithMessage17) {
  Rig rig;
  platform::sim::SimNetwork net(rig.sim.p().files);
  platform::sim::SimHttpAnswer answer;
  answer.body = "[Zentura]\r\nnewVersion=99.0.0.0\r\nURL=http://www.example/dl\r\n";
  net.Answer(u"upd.example:81/infofiles/zenupdate.upt", answer);
  rig.sim.WriteFile(rig.dir + u"Zentura.exe");
  rig.sim.sys.desktop.versionInfos[platform::UpperCase(rig.dir + u"Zentura.exe")].strings[u"FileVersion"] = u"1.6.0.103";
  rig.env.net = &net;
  rig.env.hosts.update = u"upd.example:81";
  std::atomic<int> asked{0};
  Text question;
  rig.env.askFromWorker = [&](const Text& text, const Text& caption) {
    question = caption + u": " + text;
    ++asked;
    return false;
  };
  rig.Create();
  for (int i = 0; i < 500 && asked == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(asked, 1);
  EXPECT_EQ(question, u"Zentura Update: A new version of Zentura is available. Do you want to download it now?");
  EXPECT_EQ(net.downloads, std::vector<Text>{u"http://upd.example:81/infofiles/zenupdate.upt"});
}

}  // namespace
}  // namespace zentura

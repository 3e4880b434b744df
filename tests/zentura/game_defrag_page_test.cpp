// The Game Defrag page on a headless Ui: the games view, the analysis and
// defrag runs with real workers on a simulated volume, stopping, the report
// window and the page's boxes.
#include "zentura/app/game_defrag_page.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <mutex>

#include "platform/sim/sim_game_explorer.h"
#include "platform/sim/sim_volume.h"
#include "platform/ui/headless_ui.h"
#include "tests/zentura/zentura_sim.h"
#include "zentura/app/form_main.h"
#include "zentura/app/form_report.h"
#include "zentura/sysutil/text_routines.h"

namespace zentura {
namespace {

using namespace platform::ui;
using platform::RegValue;
using platform::ToUtf8;
using platform::sim::SimExtent;

std::string ShippedFile(const std::string& relative) {
  std::ifstream in(std::string(ZENTURA_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const Text kUninstall = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const Text kDocuments = u"C:\\Users\\me\\Documents";

struct PageRig {
  const Text dir = u"C:\\Zentura\\";
  zentura_test::ZenturaSim sim;
  platform::sim::SimVolume volume{u'C', 4096, 100000};
  platform::sim::SimGameExplorer explorer;
  ZenturaEnv env{sim.p(), sim.sp(), dir, {}, {}};
  std::unique_ptr<HeadlessUi> ui = std::make_unique<HeadlessUi>();
  TFormMain* form = nullptr;
  TGameDefragPage* page = nullptr;
  std::vector<std::vector<Text>> reports;  // the report window's six values, per showing

  PageRig() {
    sim.WriteFile(dir + u"Language\\English.lng", ShippedFile("Language/English.lng"));
    sim.WriteFile(dir + u"Zentura.ini", "");
    sim.sys.desktop.specialFolders[5] = kDocuments;
    env.volumes = &volume;
    env.games = &explorer;
    UseGameExplorer = false;
    ui->onModal = [this](Form& f) {
      if (auto* report = dynamic_cast<TFormReport*>(&f)) {
        reports.push_back({report->Value_StartTime->Caption(), report->Value_EndTime->Caption(),
                           report->Value_ElapsedTime->Caption(), report->Value_TotalFile->Caption(),
                           report->Value_FragFile->Caption(), report->Value_DefragedFile->Caption(),
                           report->Label_Report_Cng->Caption(), report->Label_EndTime->Caption()});
        report->BtnOK->Click();
      }
    };
  }
  ~PageRig() { UseGameExplorer = false; }

  void Game(const Text& key, const Text& name, const Text& location, const Text& uninstall = u"C:\\x\\unins000.exe",
            const Text& icon = Text()) {
    std::unique_ptr<platform::RegKey> k;
    ASSERT_EQ(sim.p().registry.CreateKey(platform::RootKey::kLocalMachine, kUninstall + key, 0,
                                         platform::keyaccess::kAllAccess, &k), 0);
    sim.p().registry.SetValue(*k, RegValue::String(u"DisplayName", name));
    sim.p().registry.SetValue(*k, RegValue::String(u"UninstallString", uninstall));
    if (!location.empty()) sim.p().registry.SetValue(*k, RegValue::String(u"InstallLocation", location));
    if (!icon.empty()) sim.p().registry.SetValue(*k, RegValue::String(u"DisplayIcon", icon));
  }
  void Open() {
    form = &ui->CreateForm<TFormMain>(env);
    ASSERT_TRUE(form->Created());
    page = form->DefragPage();
    form->PageControl1->SelectPage(1);
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (int i = 0; i < page->ListViewGame->Count(); ++i) out.push_back(ToUtf8(page->ListViewGame->Item(i).Caption()));
    return out;
  }
  int Index(const std::string& caption) const {
    auto c = Captions();
    return static_cast<int>(std::find(c.begin(), c.end(), caption) - c.begin());
  }
  void WaitState(int state) {
    ASSERT_TRUE(ui->RunUntil([&] { return page->DefragState == state; })) << "state " << page->DefragState;
  }
  Text Msg(int i) { return form->Language().Message(i); }
};

TEST(GameDefragPage, GamesViewFromTheUninstallEntriesAndMyGames) {
  PageRig rig;
  rig.sim.WriteFile(u"C:\\Games\\Beta\\beta.exe");
  rig.sim.WriteFile(u"C:\\Games\\Gamma\\gamma.exe");
  rig.sim.p().files.ForceDirectories(kDocuments + u"\\My Games");
  rig.Game(u"{beta}", u"Beta", u"C:\\Games\\Beta", u"C:\\x\\unins.exe", u"C:\\\\Games\\\\Beta\\\\beta.exe,0");
  rig.Game(u"kbgamma", u"gamma", u"C:\\Games\\Gamma", u"\"C:\\Games\\Gamma\\gamma.exe\"");
  rig.Game(u"alpha", u"alpha", u"C:\\Games\\Alpha", u"\"C:\\Games\\Alpha\\missing.exe");
  rig.Game(u"zeta", u"Zeta", u"C:\\Games\\Zeta", u"msiexec.exe /x{1}");  // other letter case: kept
  rig.Game(u"KB123456", u"Update", u"C:\\Windows");
  rig.Game(u"{msi}", u"Msi", u"C:\\Games\\Msi", u"MsiExec.exe /X{2}");
  rig.Game(u"{reg}", u"Reg", u"C:\\Games\\Reg", u"regsvr32 /u x.dll");
  rig.Game(u"{nowhere}", u"No location", Text());
  rig.Game(u"{empty}", u"Empty uninstall", u"C:\\Games\\E", Text());
  // One game's icon cannot be had: the others keep their own.
  rig.sim.sys.desktop.iconless.insert(u"C:\\GAMES\\BETA\\BETA.EXE");
  rig.Open();
  TGameDefragPage& page = *rig.page;
  EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"alpha", "Beta", "gamma", "Zeta", "My Games"}));
  EXPECT_TRUE(page.ListViewGame->IconView());
  EXPECT_EQ(page.Games[1].IconPath, u"C:\\Games\\Beta\\beta.exe");
  EXPECT_EQ(page.Games[2].IconPath, u"C:\\Games\\Gamma\\gamma.exe");
  EXPECT_EQ(page.Games[0].IconPath, Text());  // quoted at the start only: no such file
  EXPECT_EQ(page.Games[4].InstallPath, kDocuments + u"\\My Games\\");
  std::vector<int> images;
  for (int i = 0; i < page.ListViewGame->Count(); ++i) images.push_back(page.ListViewGame->Item(i).ImageIndex());
  ASSERT_EQ(page.ListViewGame->LargeIcons().size(), 4u);
  EXPECT_EQ(images, (std::vector<int>{0, -1, 1, 2, 3}));
  EXPECT_EQ(rig.sim.sys.desktop.liveIcons, 0);  // every icon destroyed once added
  EXPECT_EQ(page.Label2->Caption(), rig.Msg(20));
  EXPECT_EQ(page.Label3->Left(), page.Label2->Left() + page.Label2->Width() + 6);
  EXPECT_FALSE(page.BtnDefrag->Enabled());
  EXPECT_FALSE(page.BtnBack->Visible());

  // Defrag without a selection asks for one; a selection enables it.
  page.BtnDefrag->SetEnabled(true);
  page.BtnDefrag->Click();
  ASSERT_EQ(rig.ui->Dialogs().size(), 1u);
  EXPECT_EQ(rig.ui->Dialogs()[0].text, rig.Msg(20));
  EXPECT_EQ(rig.ui->Dialogs()[0].caption, u"Game Defrag");
  EXPECT_EQ(rig.ui->Dialogs()[0].icon, MsgIcon::Information);
  page.ListViewGame->SetItemIndex(1);
  EXPECT_TRUE(page.BtnDefrag->Enabled());
  page.ListViewGame->SetItemIndex(-1);
  EXPECT_FALSE(page.BtnDefrag->Enabled());
}

TEST(GameDefragPage, GameExplorerReplacesTheUninstallEntries) {
  PageRig rig;
  UseGameExplorer = true;
  rig.Game(u"{beta}", u"Beta", u"C:\\Games\\Beta");
  rig.explorer.games = {{u"C:\\Games\\B", u"Bravo", u"C:\\Games\\B\\b.exe"},
                        {Text(), u"No folder", u"C:\\x.exe"},
                        {u"C:\\Games\\A", u"Alpha", Text()}};
  rig.Open();
  EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"Alpha", "Bravo"}));
  EXPECT_EQ(rig.page->Games[1].InstallPath, u"C:\\Games\\B");
}

TEST(GameDefragPage, AnalyseDefragAndReport) {
  PageRig rig;
  rig.Game(u"x", u"Xenon", u"C:\\Games\\X");
  rig.volume.MarkUsed(0, 100);
  rig.volume.AddFile(u"C:\\Games\\X\\a.pak", 40960, {{100, 4}, {200, 6}});
  rig.volume.AddFile(u"C:\\Games\\X\\b.pak", 8192, {{300, 1}, {400, 1}});
  rig.volume.AddFile(u"C:\\Games\\X\\c.pak", 8192, {{500, 2}});
  rig.Open();
  TGameDefragPage& page = *rig.page;
  // Double-clicking empty space does nothing; over the game it analyses.
  page.ListViewGame->MouseMove(MouseEvent{MouseButton::Left, 300, 150, -1});
  page.ListViewGame->DblClick();
  EXPECT_EQ(page.ListViewGame->Count(), 1);
  page.ListViewGame->SetItemIndex(0);
  page.BtnDefrag->Click();
  EXPECT_EQ(page.DefragState, 1);
  EXPECT_EQ(page.BtnDefrag->Caption(), rig.Msg(26));
  rig.WaitState(2);
  EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"C:\\Games\\X\\a.pak", "C:\\Games\\X\\b.pak"}));
  EXPECT_EQ(page.ListViewGame->Item(0).SubItems(), (std::vector<Text>{SizeText(40960), u"2"}));
  ASSERT_EQ(page.ListViewGame->Columns().size(), 3u);
  EXPECT_EQ(page.ListViewGame->Columns()[0].caption, rig.Msg(32));
  EXPECT_EQ(page.ListViewGame->Columns()[0].width, 280);
  EXPECT_EQ(page.ListViewGame->Columns()[2].alignment, Alignment::Right);
  EXPECT_FALSE(page.ListViewGame->IconView());
  EXPECT_EQ(page.Label2->Caption(), rig.Msg(21));
  EXPECT_EQ(page.Label3->Caption(), rig.Msg(23));
  EXPECT_EQ(page.LabelCurFile->Caption(), rig.Msg(29));
  EXPECT_EQ(page.BtnDefrag->Caption(), rig.Msg(25));
  EXPECT_TRUE(page.BtnDefrag->Enabled());
  EXPECT_TRUE(page.BtnBack->Visible());

  page.BtnDefrag->Click();
  EXPECT_EQ(page.DefragState, 3);
  EXPECT_FALSE(page.BtnBack->Enabled());
  rig.WaitState(0);
  ASSERT_EQ(rig.reports.size(), 1u);
  const auto& report = rig.reports[0];
  EXPECT_EQ(report[3], u"3");
  EXPECT_EQ(report[4], u"2");
  EXPECT_EQ(report[5], u"2");
  EXPECT_EQ(report[6], rig.Msg(38));
  EXPECT_EQ(report[7], u"Elapsed Time:");
  EXPECT_EQ(report[2].size(), 8u);  // hh:mm:ss
  // After the run the results are empty: all went to the run.
  EXPECT_EQ(rig.Captions(), (std::vector<std::string>{ToUtf8(rig.Msg(35))}));
  EXPECT_FALSE(page.BtnDefrag->Enabled());
  EXPECT_EQ(page.LabelCurFile->Caption(), rig.Msg(31));
  EXPECT_EQ(page.ProgressBar2->Position(), 0);
  EXPECT_TRUE(rig.volume.Verify().empty());
  // The run went from the last result to the first.
  ASSERT_FALSE(rig.volume.Moves().empty());
  EXPECT_EQ(rig.volume.Moves().front().path, u"C:\\Games\\X\\b.pak");

  // Back to the games.
  page.Label3->Click();
  EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"Xenon"}));
  EXPECT_EQ(page.DefragState, 0);
}

TEST(GameDefragPage, NothingFoundAndAChosenFolder) {
  PageRig rig;
  rig.volume.AddFile(u"C:\\Tools\\one.dat", 4096, {{10, 1}});
  rig.Open();
  TGameDefragPage& page = *rig.page;
  rig.ui->AnswerFolder(u"C:\\Tools");
  page.Label3->Click();
  EXPECT_EQ(rig.ui->Dialogs().back().caption, rig.Msg(36));
  ASSERT_TRUE(rig.ui->RunUntil([&] { return page.ResultsView; }));
  EXPECT_EQ(rig.Captions(), (std::vector<std::string>{ToUtf8(rig.Msg(35))}));
  EXPECT_FALSE(page.BtnDefrag->Enabled());
  // Nothing to move: the state is left as it was and a later Defrag says so.
  EXPECT_EQ(page.DefragState, 1);
  page.BtnDefrag->SetEnabled(true);
  page.DefragState = 2;
  page.BtnDefrag->Click();
  EXPECT_EQ(rig.ui->Messages().back(), rig.Msg(37));
  EXPECT_EQ(page.DefragState, 2);
}

// Holds the first move until the test lets it go.
struct Gate {
  std::mutex m;
  std::condition_variable cv;
  bool entered = false, open = false;
  void Wait() {
    std::unique_lock<std::mutex> lock(m);
    entered = true;
    cv.notify_all();
    cv.wait(lock, [&] { return open; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(m);
    open = true;
    cv.notify_all();
  }
};

TEST(GameDefragPage, StoppingADefragReturnsToTheGamesAtOnce) {
  PageRig rig;
  rig.Game(u"x", u"Xenon", u"C:\\Games\\X");
  rig.volume.AddFile(u"C:\\Games\\X\\a.pak", 1, {{100, 12000}, {12200, 1}});
  rig.volume.AddFile(u"C:\\Games\\X\\b.pak", 1, {{20000, 1}, {20010, 1}});
  Gate gate;
  rig.volume.beforeMove = [&](const platform::sim::SimMove&) {
    if (!gate.open) gate.Wait();
  };
  rig.Open();
  TGameDefragPage& page = *rig.page;
  page.ListViewGame->SetItemIndex(0);
  page.BtnDefrag->Click();
  rig.WaitState(2);
  page.BtnDefrag->Click();
  ASSERT_TRUE(rig.ui->RunUntil([&] {
    std::lock_guard<std::mutex> lock(gate.m);
    return gate.entered;
  }));
  // Stop while the first move is under way: the page resets itself at once.
  page.BtnDefrag->Click();
  EXPECT_EQ(page.DefragState, 0);
  EXPECT_FALSE(page.ResultsView);
  EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"Xenon"}));
  gate.Open();
  // A new analysis waits for the stopped worker, which sends nothing more.
  page.ListViewGame->SetItemIndex(0);
  page.BtnDefrag->Click();
  rig.WaitState(2);
  EXPECT_TRUE(rig.reports.empty());
  EXPECT_EQ(rig.volume.Moves().size(), 1u);  // the move in flight completed; nothing after it
  EXPECT_TRUE(rig.volume.Verify().empty());
}

TEST(GameDefragPage, ClosingDuringARunAsksFirst) {
  PageRig rig;
  rig.Game(u"x", u"Xenon", u"C:\\Games\\X");
  rig.volume.AddFile(u"C:\\Games\\X\\a.pak", 1, {{100, 2}, {200, 2}});
  Gate gate;
  rig.volume.beforeMove = [&](const platform::sim::SimMove&) {
    if (!gate.open) gate.Wait();
  };
  rig.Open();
  TGameDefragPage& page = *rig.page;
  page.ListViewGame->SetItemIndex(0);
  page.BtnDefrag->Click();
  rig.WaitState(2);
  page.BtnDefrag->Click();
  rig.form->PageControl1->SelectPage(0);
  rig.ui->AnswerMessage(ModalResult::No);
  EXPECT_FALSE(rig.form->Close());
  EXPECT_EQ(rig.ui->Messages().back(), rig.Msg(39));
  EXPECT_EQ(rig.form->PageControl1->ActivePage(), rig.form->TabSheet2);
  gate.Open();
  rig.WaitState(0);
  EXPECT_EQ(rig.reports.size(), 1u);
}

TEST(GameDefragPage, StatusLineAndProgress) {
  PageRig rig;
  rig.Open();
  TGameDefragPage& page = *rig.page;
  TDefragReport report;
  Text longPath = u"C:\\Program Files\\Some Publisher\\Some Very Long Game Name\\data\\levels\\level-07.pak";
  page.OnDefragNotify(longPath, report, 200, 0);
  Text shown = page.LabelCurFile->Caption();
  Text prefix = rig.Msg(30).substr(0, rig.Msg(30).find(u"%s"));
  ASSERT_EQ(shown.compare(0, prefix.size(), prefix), 0);
  Text path = shown.substr(prefix.size());
  EXPECT_LE(path.size(), 59u);
  EXPECT_NE(path.find(u"..."), Text::npos);
  EXPECT_NE(path.find(u"level-07.pak"), Text::npos);
  page.OnDefragNotify(Text(), report, 0, 50);
  EXPECT_EQ(page.ProgressBar2->Position(), 25);
  page.OnDefragNotify(Text(), report, 0, 150);
  EXPECT_EQ(page.ProgressBar2->Position(), 100);
  // A file without clusters: no share to step by, and no fault.
  page.OnDefragNotify(u"C:\\g\\empty.dat", report, 0, 0);
  page.OnDefragNotify(Text(), report, 0, 5);
  EXPECT_EQ(page.ProgressBar2->Position(), 0);
}

TEST(GameDefragPage, DescriptionLinkLaunchesTheDefragmenter) {
  PageRig rig;
  rig.Open();
  TGameDefragPage& page = *rig.page;
  Text text = page.RichEditURL1->Caption();
  EXPECT_EQ(text, page.LabelComment3->Caption());
  EXPECT_EQ(page.RichEditURL1->LinkText(), u"Dravik");
  EXPECT_EQ(static_cast<size_t>(page.RichEditURL1->LinkStart()), text.find(u"Dravik"));
  page.RichEditURL1->ClickLink();
  ASSERT_EQ(rig.sim.sys.desktop.executed.size(), 1u);
  EXPECT_EQ(rig.sim.sys.desktop.executed[0].file, rig.env.hosts.download + kDefraggerDownloadPath);
  std::unique_ptr<platform::RegKey> k;
  rig.sim.p().registry.CreateKey(platform::RootKey::kLocalMachine, kDefraggerKey, 0, platform::keyaccess::kAllAccess, &k);
  rig.sim.p().registry.SetValue(*k, RegValue::String(u"Inno Setup: App Path", u"C:\\Program Files\\Dravik"));
  page.RichEditURL1->ClickLink();
  ASSERT_EQ(rig.sim.sys.desktop.executed.size(), 2u);
  EXPECT_EQ(rig.sim.sys.desktop.executed[1].file, u"C:\\Program Files\\Dravik\\Veltrane Dravik.exe");
  EXPECT_EQ(rig.sim.sys.desktop.executed[1].verb, u"open");
}

}  // namespace
}  // namespace zentura

namespace zentura {
namespace {

TEST(GameDefragPage, EngineWarningsAreOwnerlessBoxesFromTheWorker) {
  PageRig rig;
  rig.volume.AddFile(u"C:\\Games\\X\\a.pak", 1, {{100, 2}, {200, 2}});
  rig.Open();
  TGameDefragPage& page = *rig.page;
  // The file went away between the analysis and the run.
  page.FragList = std::make_shared<FragmentList>(FragmentList{{u"C:\\Games\\X\\gone.pak", 1, 2, 4}});
  page.DefragState = 2;
  page.BtnDefrag->SetEnabled(true);
  page.BtnDefrag->Click();
  rig.WaitState(0);
  ASSERT_FALSE(rig.ui->Dialogs().empty());
  const ShownDialog& box = rig.ui->Dialogs().front();
  EXPECT_EQ(box.text, u"Failed to open file: C:\\Games\\X\\gone.pak");
  EXPECT_EQ(box.caption, Text());
  EXPECT_EQ(box.icon, MsgIcon::Warning);
  ASSERT_EQ(rig.reports.size(), 1u);
  EXPECT_EQ(rig.reports[0][4], u"1");  // handed to the run, not defragmented
}

}  // namespace
}  // namespace zentura

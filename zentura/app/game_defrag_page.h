// The "Game Defrag" page of the main window: the games list, the analysis
// of a game's folder, its results, the defrag run and its report.
//
// DefragState: 0 games view, 1 analysing, 2 results shown, 3 defragmenting.
// At most one worker is alive at a time: a stopped worker is let finish
// (it sends nothing more) before the next one starts.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/list_view.h"
#include "zentura/app/zentura_env.h"
#include "zentura/defrag/defrag_engine.h"
#include "zentura/defrag/games_list.h"
#include "zentura/lang/multi_lan.h"

namespace zentura {

class TFormMain;

// Where the defragmenter of the whole disk is offered for download.
const Text kDefraggerDownloadPath = u"/dravik/dravik-setup.exe";
const Text kDefraggerKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dravik_is1";

class TGameDefragPage {
 public:
  // Creates the page's controls on `sheet` of `form`.
  TGameDefragPage(platform::ui::Form& form, platform::ui::TabSheet& sheet, ZenturaEnv& env,
                  LanguageSession& language);
  ~TGameDefragPage();
  TGameDefragPage(const TGameDefragPage&) = delete;
  TGameDefragPage& operator=(const TGameDefragPage&) = delete;

  platform::ui::RichEditUrl* RichEditURL1;
  platform::ui::Label* Label2;
  platform::ui::Label* Label3;
  platform::ui::ListView* ListViewGame;
  platform::ui::Button* BtnDefrag;
  platform::ui::Button* BtnBack;
  platform::ui::ProgressBar* ProgressBar2;
  platform::ui::Label* LabelCurFile;
  platform::ui::Label* LabelComment3;

  int DefragState = 0;
  bool ResultsView = true;
  bool GamesLoaded = false;
  std::shared_ptr<FragmentList> FragList;
  uint64_t FileTotal = 0;
  uint64_t FileDone = 0;
  int MouseX = 0, MouseY = 0;
  int MouseItem = -1;  // the item under the pointer when it last moved
  std::vector<TGameInfo> Games;  // item i of the games view shows Games[Data]

  // --- handlers
  void PageShown();  // the tab became the active page
  void ShowGames();
  void LoadGames();
  void StartAnalysis(const Text& folder);
  void ChooseFolder();
  void ShowResults(const FragmentList& list);
  void StartDefrag();
  void OnDefragNotify(const Text& text, TDefragReport& report, int64_t total, int64_t done);
  void BtnDefragClick();
  void BtnBackClick() { ShowGames(); }
  void Label3Click();
  void ListViewGameSelectItem();
  void ListViewGameDblClick();
  void ListViewGameMouseMove(const platform::ui::MouseEvent& event);
  void LaunchDefragger(const Text& link);
  // The language was applied: the description and its link follow it.
  void LanguageApplied();
  // A worker (scan or defrag) is running.
  bool Running() const { return DefragState == 1 || DefragState == 3; }
  // Stops the running worker: it sends nothing more from now on.
  void StopAtOnce();
  // The same, then waits until every stopped worker has ended.
  void StopWorkers();

  // The report window's modal run; tests may look at it.
  std::function<void(const TDefragReport& report)> OnReportShown;

 private:
  DefragEnv Env();
  void Box(const Text& text);
  // Lets stopped workers end before anything new starts.
  void RetireWorkers();
  void PlaceLinkLabel();
  Text Msg(int index) const { return language_.Message(index); }
  void Bind(platform::ui::Component& control, int index) {
    language_.Captions().Bind(control, language_.Messages(), index);
  }

  platform::ui::Form& form_;
  ZenturaEnv& env_;
  LanguageSession& language_;
  std::unique_ptr<TThreadAnalyze> AnalyzeWorker;
  std::unique_ptr<TThreadDefrag> DefragWorker;
  std::vector<std::unique_ptr<TThreadDefrag>> retired_;
};

}  // namespace zentura

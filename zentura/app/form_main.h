// TFormMain: the optimiser's main window. Its "Main" page switches game mode
// on and off through two worker threads, its header links open the options
// and language menus, and it hands over to the tray companion when it closes
// in game mode.
//
// The program entry creates it as the first form and ends silently when the
// language could not be loaded:
//
//   TFormMain& form = ui.CreateForm<TFormMain>(env);
//   if (!form.Created()) return 0;   // no window, no message
//   form.Show();
//   ui.Run();
//
// The form joins its worker before it is destroyed, so `ui` must outlive it
// (as it does when the Ui owns the form).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/list_view.h"
#include "platform/ui/menu.h"
#include "platform/ui/ui.h"
#include "zentura/app/form_chooser.h"
#include "zentura/app/game_defrag_page.h"
#include "zentura/app/image_note.h"
#include "zentura/app/zentura_env.h"
#include "zentura/lang/multi_lan.h"
#include "zentura/shell/ini_file.h"
#include "zentura/update/update_thread.h"

namespace zentura {

// Sent by a second instance: wParam 1 asks for game mode, 0 only to show.
constexpr uint32_t WM_ACTIVATE_INSTANCE = 0x4C8;
// The busy wheel: eight pictures, a new one every 100 ms.
constexpr int kBusyFrames = 8;
constexpr int kBusyFrameMs = 100;

constexpr uint32_t kWmQueryEndSession = 0x11;
constexpr uint32_t kWmLButtonDown = 0x201;

class TFormMain;

// What both game-mode workers share: a thread that hands every window step
// to the main thread and waits for it, and a stop request that the worker
// honours at its next safe point (between services and applications, never
// inside a write of temp.ini).
class GameModeWorker {
 public:
  // Created on the main thread, which it copies the messages from.
  explicit GameModeWorker(TFormMain& form);
  GameModeWorker(const GameModeWorker&) = delete;
  GameModeWorker& operator=(const GameModeWorker&) = delete;
  virtual ~GameModeWorker();

  void Start();
  // Abort: no further service or application is handled.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Finished() const { return finished_; }
  void Join();

  // The next row to add (none when ItemCaption is empty) and the status line.
  Text ItemCaption;
  Text ItemStatus;
  Text StatusText;

 protected:
  virtual void Execute() = 0;
  // Runs `step` on the main thread and waits; skipped once the window closes.
  void Synchronize(const std::function<void()>& step);
  void AddRowAndStatus();
  void StepProgress();
  Text Message(int index, const std::vector<FormatArg>& args = {}) const;

  TFormMain& form_;

 private:
  // A language switch on the main thread replaces the window's list.
  TMessageList messages_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

// Switching on: lists the closed applications, stops the candidate services
// in passes, empties the working sets, then finishes the switch.
class TThreadServiceStop : public GameModeWorker {
 public:
  using GameModeWorker::GameModeWorker;
  std::vector<Text> Pending;

 protected:
  void Execute() override;

 private:
  bool StopServices();  // false when aborted
};

// Switching back: starts the stopped services in reverse order, relaunches
// the closed applications, deletes temp.ini, then finishes the restore.
class TThreadServiceRun : public GameModeWorker {
 public:
  using GameModeWorker::GameModeWorker;

 protected:
  void Execute() override;

 private:
  bool Restore();  // false when aborted
};

class TFormMain : public platform::ui::Form {
 public:
  TFormMain(platform::ui::Ui& ui, ZenturaEnv& env);
  ~TFormMain() override;

  // False when the configured language has no file: the program must end.
  bool Created() const { return created_; }

  // --- header
  platform::ui::Image* ImageLogo;
  platform::ui::Label* LabelTitle;
  platform::ui::Label* LabelVersion;
  platform::ui::Label* LabelDescription;
  platform::ui::Label* LabelMaker;
  platform::ui::Label* LabelOptions;
  platform::ui::Label* LabelLang;
  platform::ui::Label* LabelSupport;
  // --- pages
  platform::ui::PageControl* PageControl1;
  platform::ui::TabSheet* TabSheet1;  // "Main"
  platform::ui::TabSheet* TabSheet2;  // "Game Defrag"
  platform::ui::Label* LabelComment2;
  platform::ui::Button* BtnSwitch;
  platform::ui::Label* LabelConfig;
  platform::ui::GroupBox* GroupBox1;  // "Details"
  platform::ui::ListView* ListView1;
  platform::ui::CheckBox* CheckBox1;  // check-all, over the first column header
  platform::ui::ProgressBar* ProgressBar1;
  platform::ui::Label* LabelStat;
  TImageNote* Image2;                 // busy animation
  platform::ui::Label* LabelAbort;
  // --- footer
  platform::ui::Button* BtnExit;
  platform::ui::Label* LabelTell;
  TImageNote* ImagePromo;      // one picture per PromoState
  TImageNote* ImagePromoAnim;  // six frames
  platform::ui::Label* LabelPromo;
  // --- timers and menus
  platform::ui::Timer* tmrCountDown;
  platform::ui::Timer* Timer_AutoGame;
  platform::ui::Timer* TimerPromo;
  platform::ui::Timer* TimerBusy;
  platform::ui::PopupMenu* OptionMenu;
  platform::ui::MenuItem* Menu_AutoMinimize;
  platform::ui::MenuItem* Menu_EditServicelist;
  platform::ui::MenuItem* Menu_CheckUpdate;
  platform::ui::PopupMenu* LangMenu;
  platform::ui::MenuItem* Menu_Translate;
  platform::ui::MenuItem* Menu_Separator;

  // --- game-mode state (main thread; workers only append to StoppedServices)
  bool GameMode = false;
  bool Busy = false;
  bool SummaryShown = false;
  bool ShutdownPending = false;
  std::vector<Text> CandidateServices;
  std::vector<Text> StoppedServices;
  std::vector<Text> ClosedApps;
  uint64_t PhysicalFreeBefore = 0;
  // Seconds left of the auto-minimize countdown.
  int CountDown = 5;
  int PromoState = 0;  // 0 normal, 1 hovered or released, 2 pressed
  int PromoFrame = 0;  // 0..5

  // --- handlers
  void FormShow();
  void FormCloseQuery(bool& canClose);
  void FormClose(platform::ui::CloseAction& action);
  void BtnExitClick();
  void BtnSwitchClick();
  void CheckBox1Click();
  void ListView1MouseDown(const platform::ui::MouseEvent& event);
  void ListView1ColumnClick(int column);
  int ListView1Compare(platform::ui::ListItem& a, platform::ui::ListItem& b) const;
  void ListView1AdvancedCustomDrawItem(platform::ui::ListItem& item, platform::ui::ItemDrawStyle& style);
  void LabelOptionsMouseUp(const platform::ui::MouseEvent& event);
  void LabelLangMouseUp(const platform::ui::MouseEvent& event);
  void OptionMenuPopup();
  void Menu_AutoMinimizeClick();
  void Menu_EditServicelistClick();
  void Menu_CheckUpdateClick();
  void Menu_TranslateClick();
  void LabelSupportClick();
  void LabelMakerClick();
  void LabelTellClick();
  void LabelConfigClick();
  void LabelAbortClick();
  void PromoClick();
  void SetPromoState(int state);
  void TimerPromoTimer();
  void tmrCountDownTimer();
  void InitCntDnTimer();
  void Timer_AutoGameTimer();
  void exitwin();
  // Every message of the program's loop: a left press stops the countdown.
  void aplctnvnts1Message(uint32_t message);
  void ActivateInstance(uintptr_t wParam);

  // Rows: running candidates (normal mode) or what game mode did.
  void BuildMainList();
  LanguageSession& Language() { return language_; }
  TForm2* Chooser() const { return chooser_.get(); }
  TGameDefragPage* DefragPage() const { return defragPage_.get(); }
  const Text& ServiceSection() const { return serviceSection_; }
  bool CheckAllArmed() const { return checkAllArmed_; }
  int SortColumn() const { return sortColumn_; }

 private:
  friend class GameModeWorker;
  friend class TThreadServiceStop;
  friend class TThreadServiceRun;

  void CreateComponents();
  void CreateMenus();
  void WireEvents();
  void StartInGameMode();
  void StartUpdateCheck();
  void LayoutHeaderLinks();
  void PlaceCheckAllBox();
  void LanguageChanged();
  void SwitchOn();
  void SwitchBack();
  void StartWorker(std::unique_ptr<GameModeWorker> worker);
  void JoinWorker();
  void PopupAtLabel(platform::ui::PopupMenu& menu, platform::ui::Label& label,
                    const platform::ui::MouseEvent& event);
  void OpenLink(const Text& address);
  void SetListShorter(bool shorter);
  void ShowProgress(bool shown);
  bool AutoLaunchRequested() const;
  int ReadCountdown();
  Text Msg(int index) const { return language_.Message(index); }
  Text Msg(int index, const std::vector<FormatArg>& args) const { return language_.Message(index, args); }

  // Steps the workers hand over.
  void PrepareSwitch(int steps);
  void PrepareRestore(int steps);
  void AddRow(const Text& caption, const Text& status, const Text& statusText);
  void FinishSwitch();
  void AfterSwitch();
  void FinishRestore();

  ZenturaEnv& env_;
  TIniFile settings_;
  TIniFile record_;
  LanguageSession language_;
  Text serviceSection_;
  bool created_ = false;
  bool checkAllArmed_ = true;
  int sortColumn_ = 0;
  bool descending_[2] = {false, false};
  int promoTicks_ = 0;
  // The service key of each normal-mode row, by the row's Data.
  std::vector<Text> rowKeys_;
  std::unique_ptr<TForm2> chooser_;
  std::unique_ptr<TGameDefragPage> defragPage_;
  std::unique_ptr<GameModeWorker> worker_;
  std::unique_ptr<TUpdateThread> updateThread_;
  // Set while the window is destroyed: handed-over steps no longer run.
  std::atomic<bool> closing_{false};
};

}  // namespace zentura

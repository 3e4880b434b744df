// The Ui of tests: no windows. Dialogs take their answers from a script and
// every one shown is recorded; timers run when the test advances time;
// calls from worker threads run when the test's thread lets them.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "platform/ui/ui.h"

namespace platform::ui {

// One dialog as the user saw it, and how it was answered.
struct ShownDialog {
  enum class Type { MessageBox, FolderDialog, PopupMenu, ModalForm };
  Type type = Type::MessageBox;
  Text text;     // message; folder dialog: the starting folder; pop-up: menu name; form: class
  Text caption;  // box or dialog caption
  MsgButtons buttons = MsgButtons::Ok;
  MsgIcon icon = MsgIcon::None;
  ModalResult result = ModalResult::None;
  Text answer;   // the folder chosen or the menu item picked (empty: cancelled / none)
};

// A dialog came that the script did not answer.
class UnscriptedDialog : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class HeadlessUi : public Ui {
 public:
  HeadlessUi();
  ~HeadlessUi() override;

  // --- the script, answered in order (boxes with only OK need no answer)
  void AnswerMessage(ModalResult result);
  void AnswerFolder(const Text& folder);
  void CancelFolder();
  // The item (by component name) chosen from the next pop-up menu; empty
  // closes it without a choice.
  void AnswerPopup(const Text& itemName);
  // Drives a modal form while it is shown (clicks its buttons...); without
  // it a modal form ends with Cancel.
  std::function<void(Form& form)> onModal;
  bool ScriptDone() const { return answers_.empty(); }

  // --- what was shown
  const std::vector<ShownDialog>& Dialogs() const { return dialogs_; }
  // The texts of the message boxes, in order.
  std::vector<Text> Messages() const;
  int BusyDepth() const { return busyDepth_; }
  int BusyPushes() const { return busyPushes_; }
  int Repaints(const Form& form) const;

  // --- the test's main loop
  // Runs the calls that workers handed over so far.
  bool RunPending() { return calls_.RunPending(); }
  // Runs handed-over calls until `done` holds; false after `timeoutMs`.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000);

  // The user switches to another window: it is activated, the last one
  // deactivated.
  void Activate(Form& form);
  Form* ActiveForm() const { return active_; }

  // --- timers
  std::vector<Timer*> RunningTimers() const;
  // Moves the clock on, firing each running timer once per elapsed interval.
  void AdvanceTime(int milliseconds);

  // Ui
  void Run() override;
  void Terminate() override { SetTerminated(); }
  ModalResult MessageBox(const Text& text, const Text& caption, MsgButtons buttons, MsgIcon icon) override;
  // Recorded and answered like any box, from whichever thread.
  ModalResult WorkerMessageBox(const Text& text, const Text& caption, MsgButtons buttons, MsgIcon icon) override;
  bool SelectDirectory(const Text& caption, Text* folder) override;
  MenuItem* TrackPopup(PopupMenu& menu, int screenX, int screenY) override;
  void PushBusyCursor() override;
  void PopBusyCursor() override;
  void UpdateNow(Form& form) override;
  Point CursorPos() override { return cursor_; }
  void SetCursorPos(Point p) { cursor_ = p; }
  void ShowForm(Form& form) override;
  void HideForm(Form& form) override;
  ModalResult ShowModal(Form& form) override;
  void FormDestroying(Form& form) override;
  void TimerChanged(Timer& timer) override;
  void TimerRemoved(Timer& timer) override;

 private:
  struct Answer {
    ShownDialog::Type type;
    ModalResult result = ModalResult::None;
    Text text;
    bool accept = true;
  };
  Answer NextAnswer(ShownDialog::Type type, const Text& what);

  // Guards the script and the record: workers show boxes too.
  mutable std::recursive_mutex mutex_;
  std::deque<Answer> answers_;
  std::vector<ShownDialog> dialogs_;
  std::map<const Form*, int> repaints_;
  std::map<Timer*, long long> timers_;  // running timer -> time of its next tick
  long long now_ = 0;
  int busyDepth_ = 0;
  int busyPushes_ = 0;
  Point cursor_;
  Form* active_ = nullptr;
};

}  // namespace platform::ui

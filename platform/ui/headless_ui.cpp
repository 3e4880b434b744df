#include "platform/ui/headless_ui.h"

#include <chrono>

#include "platform/ui/controls.h"
#include "platform/ui/menu.h"

namespace platform::ui {

namespace {
const char* TypeName(ShownDialog::Type type) {
  switch (type) {
    case ShownDialog::Type::MessageBox: return "message box";
    case ShownDialog::Type::FolderDialog: return "folder dialog";
    case ShownDialog::Type::PopupMenu: return "pop-up menu";
    case ShownDialog::Type::ModalForm: return "modal form";
  }
  return "dialog";
}
}  // namespace

HeadlessUi::HeadlessUi() = default;

HeadlessUi::~HeadlessUi() { DestroyForms(); }

void HeadlessUi::AnswerMessage(ModalResult result) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  answers_.push_back(Answer{ShownDialog::Type::MessageBox, result, Text(), true});
}

void HeadlessUi::AnswerFolder(const Text& folder) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  answers_.push_back(Answer{ShownDialog::Type::FolderDialog, ModalResult::Ok, folder, true});
}

void HeadlessUi::CancelFolder() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  answers_.push_back(Answer{ShownDialog::Type::FolderDialog, ModalResult::Cancel, Text(), false});
}

void HeadlessUi::AnswerPopup(const Text& itemName) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  answers_.push_back(Answer{ShownDialog::Type::PopupMenu, ModalResult::None, itemName, !itemName.empty()});
}

HeadlessUi::Answer HeadlessUi::NextAnswer(ShownDialog::Type type, const Text& what) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (answers_.empty() || answers_.front().type != type) {
    throw UnscriptedDialog(std::string("unscripted ") + TypeName(type) + ": " + ToUtf8(what));
  }
  Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::vector<Text> HeadlessUi::Messages() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<Text> texts;
  for (const auto& d : dialogs_) {
    if (d.type == ShownDialog::Type::MessageBox) texts.push_back(d.text);
  }
  return texts;
}

int HeadlessUi::Repaints(const Form& form) const {
  auto it = repaints_.find(&form);
  return it == repaints_.end() ? 0 : it->second;
}

bool HeadlessUi::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    if (!calls_.RunPending()) calls_.WaitForCall(10);
  }
  return true;
}

std::vector<Timer*> HeadlessUi::RunningTimers() const {
  std::vector<Timer*> running;
  for (const auto& [timer, due] : timers_) running.push_back(timer);
  return running;
}

void HeadlessUi::AdvanceTime(int milliseconds) {
  const long long end = now_ + milliseconds;
  for (;;) {
    Timer* next = nullptr;
    long long nextDue = end + 1;
    for (const auto& [timer, due] : timers_) {
      if (due < nextDue || (due == nextDue && next && timer->CreationIndex() < next->CreationIndex())) {
        next = timer;
        nextDue = due;
      }
    }
    if (!next) break;
    now_ = nextDue;
    timers_[next] = nextDue + next->Interval();
    next->Tick();  // may stop, restart or free timers
  }
  now_ = end;
}

void HeadlessUi::Run() {
  while (!Terminated()) {
    if (!calls_.RunPending()) calls_.WaitForCall(10);
  }
}

ModalResult HeadlessUi::WorkerMessageBox(const Text& text, const Text& caption, MsgButtons buttons,
                                         MsgIcon icon) {
  return MessageBox(text, caption, buttons, icon);
}

ModalResult HeadlessUi::MessageBox(const Text& text, const Text& caption, MsgButtons buttons, MsgIcon icon) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  dialogs_.push_back(ShownDialog{ShownDialog::Type::MessageBox, text, caption, buttons, icon, ModalResult::Ok, Text()});
  // A box with only OK offers no choice, so it takes nothing from the script.
  if (buttons == MsgButtons::Ok) return ModalResult::Ok;
  ModalResult result = NextAnswer(ShownDialog::Type::MessageBox, text).result;
  dialogs_.back().result = result;
  return result;
}

bool HeadlessUi::SelectDirectory(const Text& caption, Text* folder) {
  dialogs_.push_back(ShownDialog{ShownDialog::Type::FolderDialog, *folder, caption, MsgButtons::OkCancel,
                                 MsgIcon::None, ModalResult::Cancel, Text()});
  Answer answer = NextAnswer(ShownDialog::Type::FolderDialog, caption);
  if (!answer.accept) return false;
  dialogs_.back().result = ModalResult::Ok;
  dialogs_.back().answer = answer.text;
  *folder = answer.text;
  return true;
}

MenuItem* HeadlessUi::TrackPopup(PopupMenu& menu, int screenX, int screenY) {
  dialogs_.push_back(ShownDialog{ShownDialog::Type::PopupMenu, menu.Name(), Text(), MsgButtons::Ok,
                                 MsgIcon::None, ModalResult::None, Text()});
  if (answers_.empty() || answers_.front().type != ShownDialog::Type::PopupMenu) return nullptr;
  Answer answer = NextAnswer(ShownDialog::Type::PopupMenu, menu.Name());
  if (!answer.accept) return nullptr;
  auto* item = menu.Owner().FindAs<MenuItem>(answer.text);
  if (!item) throw UnscriptedDialog("no menu item " + ToUtf8(answer.text) + " in " + ToUtf8(menu.Name()));
  dialogs_.back().answer = answer.text;
  return item;
}

void HeadlessUi::PushBusyCursor() {
  ++busyDepth_;
  ++busyPushes_;
}

void HeadlessUi::PopBusyCursor() {
  if (busyDepth_ > 0) --busyDepth_;
}

void HeadlessUi::UpdateNow(Form& form) { ++repaints_[&form]; }

void HeadlessUi::Activate(Form& form) {
  if (active_ && active_ != &form) active_->Deactivated();
  active_ = &form;
  form.Activated();
}

// The window shown last becomes the active one, as on the desktop.
void HeadlessUi::ShowForm(Form& form) { Activate(form); }

void HeadlessUi::HideForm(Form& form) {
  if (active_ == &form) active_ = nullptr;
}

ModalResult HeadlessUi::ShowModal(Form& form) {
  dialogs_.push_back(ShownDialog{ShownDialog::Type::ModalForm, form.ClassName(), form.Caption(), MsgButtons::Ok,
                                 MsgIcon::None, ModalResult::None, Text()});
  size_t record = dialogs_.size() - 1;
  form.Show();
  if (onModal) onModal(form);
  if (form.GetModalResult() == ModalResult::None) form.SetModalResult(ModalResult::Cancel);
  form.Hide();
  dialogs_[record].result = form.GetModalResult();
  return form.GetModalResult();
}

void HeadlessUi::FormDestroying(Form& form) {
  repaints_.erase(&form);
  if (active_ == &form) active_ = nullptr;
}

void HeadlessUi::TimerChanged(Timer& timer) {
  if (timer.Enabled() && timer.Interval() > 0) {
    timers_[&timer] = now_ + timer.Interval();
  } else {
    timers_.erase(&timer);
  }
}

void HeadlessUi::TimerRemoved(Timer& timer) { timers_.erase(&timer); }

}  // namespace platform::ui


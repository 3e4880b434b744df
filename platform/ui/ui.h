// What windows ask of the user interface beyond their own components:
// message boxes, the folder dialog, the busy cursor, repainting, timers,
// hand-over from worker threads, and the program's end. HeadlessUi answers
// from a script in tests; Win32Ui shows real windows.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/call_queue.h"
#include "platform/ui/form.h"
#include "platform/ui/ui_types.h"

namespace platform::ui {

class Timer;
class PopupMenu;
class MenuItem;

class Ui {
 public:
  Ui() = default;
  Ui(const Ui&) = delete;
  Ui& operator=(const Ui&) = delete;
  virtual ~Ui();

  // --- the application
  const Text& Title() const { return title_; }
  void SetTitle(const Text& title) { title_ = title; }
  // Creates a form the Ui owns; the first one becomes the main form.
  template <class T, class... Args>
  T& CreateForm(Args&&... args) {
    auto form = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T& raw = *form;
    Adopt(std::move(form));
    return raw;
  }
  void Adopt(std::unique_ptr<Form> form);
  Form* MainForm() const { return mainForm_; }
  void SetMainForm(Form* form) { mainForm_ = form; }
  // Frees an owned form once the current event has returned.
  void Release(Form& form);
  // Runs the message loop until Terminate.
  virtual void Run() = 0;
  virtual void Terminate() = 0;
  bool Terminated() const { return terminated_; }
  // Sees every message that passes through the program's message loop (the
  // optimiser watches mouse presses this way).
  std::function<void(uint32_t message)> OnLoopMessage;

  // --- dialogs
  virtual ModalResult MessageBox(const Text& text, const Text& caption, MsgButtons buttons,
                                 MsgIcon icon) = 0;
  // A box without owner window that a worker thread may show itself (it
  // waits there until the user answers; the UI thread runs on).
  virtual ModalResult WorkerMessageBox(const Text& text, const Text& caption, MsgButtons buttons,
                                       MsgIcon icon) = 0;
  // A plain box with the application title and OK.
  void ShowMessage(const Text& text) { MessageBox(text, title_, MsgButtons::Ok, MsgIcon::None); }
  // The standard error dialog for an error no handler caught.
  void ShowError(const Text& message) { MessageBox(message, title_, MsgButtons::Ok, MsgIcon::Error); }
  // Runs an event handler the way the message loop does: an escaping error
  // ends the handler and is shown in the standard error dialog.
  void Guard(const std::function<void()>& handler);
  // The system's folder-selection dialog, starting at *folder; false when
  // cancelled (then *folder is unchanged).
  virtual bool SelectDirectory(const Text& caption, Text* folder) = 0;
  // Shows a pop-up menu and returns the chosen item (null: none).
  virtual MenuItem* TrackPopup(PopupMenu& menu, int screenX, int screenY) = 0;

  // --- cursor and painting
  // The hour-glass while at least one push is outstanding.
  virtual void PushBusyCursor() = 0;
  virtual void PopBusyCursor() = 0;
  // Long work on the UI thread lets the interface handle what is pending
  // (input, painting, handed-over calls) and goes on.
  virtual void ProcessMessages() { RunPending(); }
  // Paints the form's pending changes now (long work on the UI thread).
  virtual void UpdateNow(Form& form) = 0;
  virtual Point CursorPos() = 0;
  // Where point (x, y) of a control lies on the screen (a menu drops down
  // from its button there). Without windows: from the model's bounds.
  virtual Point ScreenPoint(const Component& control, int x, int y);
  // How wide a text is in a font, in layout units (pixels at 96 DPI), so
  // that texts in a row can follow each other at every DPI. Without
  // windows: an estimate from the number of characters.
  virtual int TextWidth(const Font& font, const Text& text);

  // --- threads
  // From a worker: runs `call` on the UI thread and waits for it; errors it
  // raises come back to the worker. On the UI thread it runs at once.
  void Synchronize(std::function<void()> call) { calls_.Send(std::move(call)); }
  // Queues `call` for the UI thread without waiting.
  void Post(std::function<void()> call) { calls_.Post(std::move(call)); }
  // On the UI thread: runs the calls handed over so far, so that a window
  // waiting for its worker to end keeps the worker's synchronous calls going.
  bool RunPending() { return calls_.RunPending(); }

  // --- for the form model
  virtual void ShowForm(Form& form) = 0;
  virtual void HideForm(Form& form) = 0;
  virtual ModalResult ShowModal(Form& form) = 0;
  virtual void FormDestroying(Form& form) = 0;
  virtual void TimerChanged(Timer& timer) = 0;
  virtual void TimerRemoved(Timer& timer) = 0;

 protected:
  void SetTerminated() { terminated_ = true; }
  // Frees the owned forms (derived destructors call it while their
  // realisation still exists).
  void DestroyForms();

  CallQueue calls_;

 private:
  Text title_;
  Form* mainForm_ = nullptr;
  std::vector<std::unique_ptr<Form>> forms_;
  bool terminated_ = false;
};

// Shows the hour-glass for the lifetime of the object, also when an error
// escapes.
class BusyCursor {
 public:
  explicit BusyCursor(Ui& ui) : ui_(ui) { ui_.PushBusyCursor(); }
  ~BusyCursor() { ui_.PopBusyCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Ui& ui_;
};

}  // namespace platform::ui

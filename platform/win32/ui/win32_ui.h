// The form model realised with real windows and common controls, and the
// program's message loop.
#pragma once

#include <map>
#include <memory>

#include "platform/ui/ui.h"

namespace platform::ui::win32 {

class Win32Ui : public Ui {
 public:
  Win32Ui();
  ~Win32Ui() override;

  // Creates the form's window (hidden) if it has none yet, so that other
  // programs find it by its class name.
  void Realize(Form& form);
  // The window of a realised form (an HWND), 0 otherwise.
  uintptr_t WindowOf(const Form& form) const;

  void Run() override;
  void Terminate() override;
  ModalResult MessageBox(const Text& text, const Text& caption, MsgButtons buttons, MsgIcon icon) override;
  ModalResult WorkerMessageBox(const Text& text, const Text& caption, MsgButtons buttons, MsgIcon icon) override;
  bool SelectDirectory(const Text& caption, Text* folder) override;
  MenuItem* TrackPopup(PopupMenu& menu, int screenX, int screenY) override;
  void PushBusyCursor() override;
  void PopBusyCursor() override;
  void UpdateNow(Form& form) override;
  void ProcessMessages() override;
  Point CursorPos() override;
  Point ScreenPoint(const Component& control, int x, int y) override;
  int TextWidth(const Font& font, const Text& text) override;
  void ShowForm(Form& form) override;
  void HideForm(Form& form) override;
  ModalResult ShowModal(Form& form) override;
  void FormDestroying(Form& form) override;
  void TimerChanged(Timer& timer) override;
  void TimerRemoved(Timer& timer) override;

  // The task bar names the program by its title (Ui::Title), from a window
  // of its own that owns the program's unowned windows, rather than by the
  // main window's caption. Call before the first window is made.
  void ShowTitleOnTaskBar();
  // That window (an HWND), 0 without it.
  uintptr_t TaskBarWindow() const;
  // Minimises the program to its task-bar button, hiding its windows.
  void MinimizeToTaskBar();
  // Shows again what MinimizeToTaskBar hid.
  void RestoreFromTaskBar();

  bool Busy() const { return busyDepth_ > 0; }
  // Handles one message of the loop; false on WM_QUIT.
  bool PumpOne();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int busyDepth_ = 0;
};

}  // namespace platform::ui::win32

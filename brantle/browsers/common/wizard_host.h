// What a wizard window does for its operation while Next runs: message
// boxes, the shared progress window, repaints, the cursor, and the full
// wizards' own bar and file label. The operations call only this, so a
// window is a thin layer over them and tests and the command line can stand
// in for it.
#pragma once

#include <string>
#include <vector>

#include "platform/text.h"

namespace brantle {

using platform::Text;

class WizardHost {
 public:
  virtual ~WizardHost() = default;

  // A plain message box with a fixed text.
  virtual void ShowMessage(const Text& text) = 0;
  // A message at the end of a run naming what it could not do in full.
  virtual void ShowReport(const Text& text) { ShowMessage(text); }

  // The one progress window of the selective wizards (0 to 100); showing it
  // sets its bar to 0.
  virtual void ProgressShow() = 0;
  virtual void ProgressAdvance(int step) = 0;
  virtual void ProgressSet(int position) = 0;
  virtual void ProgressHide() = 0;

  // Redraws the window while the codec keeps the thread busy.
  virtual void Repaint() = 0;
  virtual void BusyCursor(bool busy) = 0;

  virtual void SetHeader(const Text& text) = 0;
  // The selective wizards empty their profile list after an operation.
  virtual void EmptyProfileList() = 0;

  // The full wizards' bar (ProgressBar1) and file label (lblFilename).
  virtual void SetBar(int position, int max) = 0;
  virtual void SetFileLabel(const Text& text) = 0;

  // Finish takes the place of Next.
  virtual void ShowFinish() = 0;

  // An item's box loses its tick: its folder is missing.
  virtual void UntickItem(int /*checkBox*/) {}

  // A full wizard whose folder was not found shows its folder-name edit.
  virtual void AskFolderName() {}
};

// Sets the busy cursor for its lifetime, so the normal cursor comes back
// also when an error leaves the operation.
class BusyCursorScope {
 public:
  explicit BusyCursorScope(WizardHost& host) : host_(host) { host_.BusyCursor(true); }
  ~BusyCursorScope() { host_.BusyCursor(false); }
  BusyCursorScope(const BusyCursorScope&) = delete;
  BusyCursorScope& operator=(const BusyCursorScope&) = delete;

 private:
  WizardHost& host_;
};

// A host without windows: keeps the state a window would show and a log of
// every call, for tests and for the command line.
class HeadlessWizardHost : public WizardHost {
 public:
  void ShowMessage(const Text& text) override;
  void ShowReport(const Text& text) override;
  void ProgressShow() override;
  void ProgressAdvance(int step) override;
  void ProgressSet(int position) override;
  void ProgressHide() override;
  void Repaint() override;
  void BusyCursor(bool busy) override;
  void SetHeader(const Text& text) override;
  void EmptyProfileList() override;
  void SetBar(int position, int max) override;
  void SetFileLabel(const Text& text) override;
  void ShowFinish() override;
  void UntickItem(int checkBox) override;
  void AskFolderName() override;

  std::vector<Text> messages;  // reports too
  std::vector<Text> reports;
  std::vector<int> unticked;
  bool progressVisible = false;
  int progress = 0;
  std::vector<int> progressSteps;  // every advance since the window was last shown
  int repaints = 0;
  bool busy = false;
  Text header = u"unset";
  bool profileListEmptied = false;
  int barPosition = 0, barMax = 100;
  Text fileLabel;
  bool finishShown = false;
  bool folderNameAsked = false;
  // One line per call except repaints and bar moves ("message: ...", "progress show", ...).
  std::vector<std::string> log;
};

}  // namespace brantle

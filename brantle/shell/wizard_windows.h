// The wizard windows: the progress window, the two base windows (selective
// and full) and each browser's four wizards. A window is a thin layer over
// its browser's description: it builds its boxes from the catalogue, reads
// its controls into a choice, calls its operation and shows what the
// operation asks for through WizardHost.
#pragma once

#include "brantle/browsers/common/operations.h"
#include "brantle/shell/file_helpers.h"
#include "platform/platform.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace brantle {

namespace ui = platform::ui;

// The one progress window of the selective wizards.
class Tf_pBar : public ui::Form {
 public:
  explicit Tf_pBar(ui::Ui& ui);
  ui::ProgressBar* ProgressBar1;
};

// What every wizard is given: the file routines, the system, the shared
// progress window and the clock its pauses run on (null: real time).
struct WizardContext {
  FileHelpers& helpers;
  platform::Platform& p;
  Tf_pBar& pBar;
  platform::Clock* clock = nullptr;

  platform::Clock& Clock() const { return clock ? *clock : RealClock(); }
};

// "Backup Firefox Web Browser", "Welcome to Firefox Full Restore Wizard".
Text WizardCaption(const BrowserDescription& browser, WizardKind kind);
Text WizardHeader(const BrowserDescription& browser, WizardKind kind);

// The frame every wizard and the Opera converter have: the banner with the
// badge and the header, Next, Cancel and Finish, and for the wizards the
// backup-location edit.
class WizardFrame : public ui::Form {
 public:
  ui::Image *Image1, *Image5, *Image6;
  ui::Label* Label1;
  ui::DirectoryEdit* DirectoryEdit2 = nullptr;
  ui::Button *Button2, *Button3, *Button1;

  virtual void FormActivate();
  virtual void Button2Click() = 0;
  // Finish and Cancel end the whole program.
  void Button1Click();
  void Button3Click();

 protected:
  WizardFrame(ui::Ui& ui, Text className, WizardContext context, const Text& caption, const Text& header,
              uint32_t badgeColor, bool backupLocation);
  // A section bar (a tinted label across the page).
  ui::Label* SectionBar(const Text& name, const Text& text, int left, int top, int width);
  // Finish takes Next's place.
  void ShowFinishButton();
  // The header the window shows on activation.
  Text header_;
  WizardContext context_;
};

// The frame of a browser's wizard and the host its operation talks to.
class WizardWindow : public WizardFrame, public WizardHost {
 public:
  // WizardHost
  void ShowMessage(const Text& text) override;
  void ProgressShow() override;
  void ProgressAdvance(int step) override;
  void ProgressSet(int position) override;
  void ProgressHide() override;
  void Repaint() override;
  void BusyCursor(bool busy) override;
  void SetHeader(const Text& text) override;
  void EmptyProfileList() override {}
  void SetBar(int, int) override {}
  void SetFileLabel(const Text&) override {}
  void ShowFinish() override { ShowFinishButton(); }

  const BrowserDescription& description;
  const WizardKind kind;

 protected:
  WizardWindow(ui::Ui& ui, Text className, WizardContext context, const BrowserDescription& browser,
               WizardKind kind);

 private:
  int busy_ = 0;
};

// Selective base window (and Internet Explorer's backup): the catalogue's
// boxes, the backup location and the profile list.
class Tfb_IE : public WizardWindow {
 public:
  Tfb_IE(ui::Ui& ui, WizardContext context);
  ui::Label *Label18, *Label2, *Label3;
  ui::Button *Button4, *Button6;
  ui::ListBox* ListBox1;
  std::vector<ui::CheckBox*> CheckBoxes;  // CheckBox1 first
  SelectiveOperation operation;

  void FormActivate() override;
  void Button2Click() override;
  // Tick or clear the boxes the catalogue puts under Select All.
  virtual void Button4Click();
  virtual void Button6Click();
  // A click in the profile list moves the focus to Next.
  void ListBox1Click();
  void EmptyProfileList() override;
  void UntickItem(int checkBox) override;
  // The choice the controls hold now.
  virtual SelectiveChoice Choice() const;

 protected:
  Tfb_IE(ui::Ui& ui, Text className, WizardContext context, const BrowserDescription& browser, bool restore);
  const bool restore_;
  // Owner drawing of the profile and backup-file lists: a radio glyph and the text.
  void MakeRadioList(ui::ListBox* list);

 private:
  void AddItemBoxes();
};

class Tfr_IE : public Tfb_IE {
 public:
  Tfr_IE(ui::Ui& ui, WizardContext context);
  // Sets the header only: a Finish shown stays until the next run.
  void FormActivate() override;
};

// Full base window (and Internet Explorer's full backup): backup location
// and a progress bar.
class Tffb_IE : public WizardWindow {
 public:
  Tffb_IE(ui::Ui& ui, WizardContext context);
  ui::Label *Label18, *Label3;
  ui::ProgressBar* ProgressBar1;
  FullOperation operation;

  void FormActivate() override;
  void Button2Click() override;
  void SetBar(int position, int max) override;
  // The folder name typed for a browser whose folder was not found.
  virtual Text FolderName() const { return Text(); }

 protected:
  Tffb_IE(ui::Ui& ui, Text className, WizardContext context, const BrowserDescription& browser, bool restore);
  const bool restore_;
};

class Tffr_IE : public Tffb_IE {
 public:
  Tffr_IE(ui::Ui& ui, WizardContext context);
};

// Selective wizard of a browser with profiles: the custom profile edit and,
// restoring, the backup-file list, "Restore to the following profile:" and
// the delete box where the catalogue has one.
class Tfb_Firefox : public Tfb_IE {
 public:
  Tfb_Firefox(ui::Ui& ui, WizardContext context);
  ui::DirectoryEdit* DirectoryEdit1;
  ui::ListBox* ListBox2 = nullptr;          // restore: the backup files
  ui::Label* Label4 = nullptr;              // restore: over the profile list
  ui::CheckBox* CheckBoxDelete = nullptr;   // "Delete backup file when finished"

  void FormActivate() override;
  void Button2Click() override;
  SelectiveChoice Choice() const override;

 protected:
  Tfb_Firefox(ui::Ui& ui, Text className, WizardContext context, const BrowserDescription& browser,
              bool restore);

 private:
  void FillBackupFiles();
};

class Tfr_Firefox : public Tfb_Firefox {
 public:
  Tfr_Firefox(ui::Ui& ui, WizardContext context);
};

class Tfb_Flock : public Tfb_Firefox {
 public:
  Tfb_Flock(ui::Ui& ui, WizardContext context);

 protected:
  Tfb_Flock(ui::Ui& ui, Text className, WizardContext context, bool restore);
};

class Tfr_Flock : public Tfb_Flock {
 public:
  Tfr_Flock(ui::Ui& ui, WizardContext context);
};

// Full wizard that packs a folder as it is: adds the file label.
class Tffb_Firefox : public Tffb_IE {
 public:
  Tffb_Firefox(ui::Ui& ui, WizardContext context);
  ui::Label* lblFilename;

  void SetFileLabel(const Text& text) override;

 protected:
  Tffb_Firefox(ui::Ui& ui, Text className, WizardContext context, const BrowserDescription& browser,
               bool restore);
};

class Tffr_Firefox : public Tffb_Firefox {
 public:
  Tffr_Firefox(ui::Ui& ui, WizardContext context);
};

class Tffb_Flock : public Tffb_Firefox {
 public:
  Tffb_Flock(ui::Ui& ui, WizardContext context);

 protected:
  Tffb_Flock(ui::Ui& ui, Text className, WizardContext context, bool restore);
};

class Tffr_Flock : public Tffb_Flock {
 public:
  Tffr_Flock(ui::Ui& ui, WizardContext context);
};

// Chrome: the profile list holds the sub-folders of "User Data".
class Tfb_Chrome : public Tfb_Firefox {
 public:
  Tfb_Chrome(ui::Ui& ui, WizardContext context);

 protected:
  Tfb_Chrome(ui::Ui& ui, Text className, WizardContext context, bool restore);
};

class Tfr_Chrome : public Tfb_Chrome {
 public:
  Tfr_Chrome(ui::Ui& ui, WizardContext context);
};

class Tffb_Chrome : public Tffb_Firefox {
 public:
  Tffb_Chrome(ui::Ui& ui, WizardContext context);

 protected:
  Tffb_Chrome(ui::Ui& ui, Text className, WizardContext context, bool restore);
};

class Tffr_Chrome : public Tffb_Chrome {
 public:
  Tffr_Chrome(ui::Ui& ui, WizardContext context);
};

// Safari: the profiles of "Apple Computer", with the custom profile edit
// and the backup-file list of the Firefox layout.
class Tfb_Safari : public Tfb_Firefox {
 public:
  Tfb_Safari(ui::Ui& ui, WizardContext context);

 protected:
  Tfb_Safari(ui::Ui& ui, Text className, WizardContext context, bool restore);
};

class Tfr_Safari : public Tfb_Safari {
 public:
  Tfr_Safari(ui::Ui& ui, WizardContext context);
};

class Tffb_Safari : public Tffb_Firefox {
 public:
  Tffb_Safari(ui::Ui& ui, WizardContext context);

 protected:
  Tffb_Safari(ui::Ui& ui, Text className, WizardContext context, bool restore);
};

class Tffr_Safari : public Tffb_Safari {
 public:
  Tffr_Safari(ui::Ui& ui, WizardContext context);
};

// Opera: the profiles of its root folder, with the custom profile edit and
// the backup-file list of the Firefox layout.
class Tfb_Opera : public Tfb_Firefox {
 public:
  Tfb_Opera(ui::Ui& ui, WizardContext context);

 protected:
  Tfb_Opera(ui::Ui& ui, Text className, WizardContext context, bool restore);
};

class Tfr_Opera : public Tfb_Opera {
 public:
  Tfr_Opera(ui::Ui& ui, WizardContext context);
};

// Opera's full wizards: the hint and the folder-name edit, hidden until the
// search finds no profile folder named "Opera".
class Tffb_Opera : public Tffb_Firefox {
 public:
  Tffb_Opera(ui::Ui& ui, WizardContext context);
  ui::Label* Label4;
  ui::Edit* Edit1;

  void AskFolderName() override;
  Text FolderName() const override;

 protected:
  Tffb_Opera(ui::Ui& ui, Text className, WizardContext context, bool restore);
};

class Tffr_Opera : public Tffb_Opera {
 public:
  Tffr_Opera(ui::Ui& ui, WizardContext context);
};

// The window a ribbon command opens, by wizard kind and browser id; null
// when the browser's windows are not part of this build.
using WizardOpener = ui::Form& (*)(ui::Ui& ui, WizardContext context);
WizardOpener FindWizardWindow(WizardKind kind, const Text& browserId);

}  // namespace brantle

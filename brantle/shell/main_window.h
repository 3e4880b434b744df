// Brantle's main window: an MDI parent with a tabbed command area (one tab
// per group of commands, in three colour schemes), the start page, the
// About dialog and the preferences file that keeps the chosen scheme.
#pragma once

#include <functional>
#include <vector>

#include "brantle/shell/key_tips.h"
#include "brantle/shell/wizard_windows.h"
#include "brantle/update/update_windows.h"
#include "platform/desktop.h"
#include "platform/profile.h"
#include "platform/ui/ui.h"
#include "platform/ui/controls.h"
#include "platform/ui/menu.h"

namespace brantle {

extern const char16_t kProductCaption[];  // "Brantle 2.0.2"

// The maker's web host and mail address, where the web and mail commands
// lead unless the preferences file names others ("[Servers]", "Web" and
// "Mail", beside "Update").
extern const char16_t kDefaultWebHost[];
extern const char16_t kDefaultMailAddress[];

// What the main window needs from the system besides the file routines.
struct ShellContext {
  platform::Platform& p;
  platform::Profile& profile;
  platform::Desktop& desktop;
  FileHelpers& helpers;
  Text iniPath;  // the executable's name with ".ini"
  platform::Clock* clock = nullptr;  // the wizards' pauses; null: real time

  // "http://" + the web host (optional ":port") + path ("/help/").
  Text SiteLink(const Text& path) const;
  Text WebHost() const;
  // "mailto:" + the mail address.
  Text MailLink() const;
};

// One command of the command area.
struct RibbonCommand {
  Text name;      // component name of its button (or menu item)
  Text caption;   // with the accelerator's "&"
  Text hint;
  Text shortCut;  // "Ctrl+F", "Shift+Alt+L", "Alt+F4"..., or empty
  Text keyTip;    // the letter that chooses it while its tab shows its letters
  std::function<void()> run;
  ui::Button* button = nullptr;
  int tab = -1;              // index of its tab; -1 outside the tabs
  ui::Label* tip = nullptr;  // its key tip, shown over the button
};

enum class Scheme { Luna, Silver, Obsidian };

class TFStart : public ui::Form {
 public:
  TFStart(ui::Ui& ui, ShellContext& context);
  ui::Button* Button1;  // Cancel
  ui::Label* lblHelp;   // "help page"
};

class Tf_About : public ui::Form {
 public:
  Tf_About(ui::Ui& ui, ShellContext& context);
  ui::Button* Button1;  // OK
  ui::Label* lblSite;
};

// A command whose window is not part of this build.
class Tf_NotAvailable : public ui::Form {
 public:
  Tf_NotAvailable(ui::Ui& ui, const Text& feature);
  ui::Label* Label1;
  ui::Button* Button1;
};

class TForm1 : public ui::Form {
 public:
  TForm1(ui::Ui& ui, ShellContext& context);

  // Creates the start page and the hidden progress window (start-up order).
  void CreateChildren();

  // Above the tabs: the application menu's button and the quick-access
  // toolbar (Updates, WWW).
  ui::Panel* QuickAccess;
  ui::Button* btnApp;
  ui::PopupMenu* AppMenu;
  ui::MenuItem* mnuExit;
  std::vector<ui::ToolButton*> QuickAccessButtons;
  ui::PageControl* Ribbon;
  std::vector<ui::TabSheet*> Tabs;
  std::vector<Text> TabKeyTips;  // by tab
  std::vector<ui::GroupBox*> Groups;
  std::vector<ui::Label*> ShortCutLabels;
  std::vector<RibbonCommand> Commands;
  KeyTips Tips;
  TFStart* Start = nullptr;
  Tf_pBar* PBar = nullptr;
  // The window the last command opened.
  ui::Form* LastOpened = nullptr;

  void FormActivate();
  Scheme CurrentScheme() const { return scheme_; }
  // The scheme commands: switch, then remember in the preferences file.
  void ChooseScheme(Scheme scheme);
  // A key with its modifiers ('A'..'Z', or ui::kKeyF4...); runs the command
  // with that shortcut.
  bool HandleShortCut(int key, bool shift, bool ctrl, bool alt);
  // Every key pressed in the main window or a page inside it: shortcuts
  // and key tips; returns whether the key was used.
  bool FormKeyPreview(const ui::KeyEvent& key);
  // Drops the application menu down from its button.
  void ShowAppMenu();
  RibbonCommand* FindCommand(const Text& name);
  // What the Updates command checks with; without it the command says that
  // updates are not available.
  void SetUpdateServices(UpdateServices* services) { updates_ = services; }
  // The Updates command: a new update window, which checks while it is made.
  void CheckForUpdates();

  template <class W>
  W& OpenWizard() {
    W& w = GetUi().template CreateForm<W>(Context());
    w.Show();
    LastOpened = &w;
    return w;
  }
  void OpenWizard(WizardOpener open);
  WizardContext Context() { return WizardContext{context_.helpers, context_.p, *PBar, context_.clock}; }

 private:
  void ApplyScheme(Scheme scheme);
  void AddTab(const Text& name, const Text& caption, std::vector<std::pair<Text, std::vector<RibbonCommand>>> groups);
  void AddQuickAccess();
  ui::Label* AddKeyTip(const Text& name, const Text& letter, ui::Component* parent, int centreX, int top);
  // `run` as the message loop runs a handler: an escaping error is shown.
  std::function<void()> Guarded(std::function<void()> run);
  void NotAvailable(const Text& feature);
  void OpenLink(const Text& target);

  ShellContext& context_;
  UpdateServices* updates_ = nullptr;
  bool updateRunning_ = false;
  Scheme scheme_ = Scheme::Luna;
  bool altAlone_ = false;  // Alt is down and no other key came since
  bool altTook_ = false;   // a key pressed with Alt held was used
};

// Whether a shortcut text ("Shift+Ctrl+F", "Alt+F4") names this key and
// modifiers.
bool ShortCutMatches(const Text& shortCut, int key, bool shift, bool ctrl, bool alt);

}  // namespace brantle

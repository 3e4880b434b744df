// Brantle's main window: an MDI parent with a tabbed command area (one tab
// per group of commands, in three colour schemes), the start page, the
// About dialog and the preferences file that keeps the chosen scheme.
#pragma once

#include <functional>
#include <vector>

#include "brantle/shell/wizard_windows.h"
#include "platform/desktop.h"
#include "platform/profile.h"
#include "platform/ui/ui.h"
#include "platform/ui/controls.h"

namespace brantle {

extern const char16_t kProductCaption[];  // "Brantle 2.0.2"

// Where the web and mail commands lead. Hosts are configuration.
namespace links {
extern const char16_t kSite[];     // the maker's web site, without a trailing slash
extern const char16_t kContact[];  // mailto: link
}  // namespace links

// What the main window needs from the system besides the file routines.
struct ShellContext {
  platform::Platform& p;
  platform::Profile& profile;
  platform::Desktop& desktop;
  FileHelpers& helpers;
  Text iniPath;  // the executable's name with ".ini"
};

// One command of the command area.
struct RibbonCommand {
  Text name;      // component name of its button
  Text caption;   // with the accelerator's "&"
  Text hint;
  Text shortCut;  // "Ctrl+F", "Shift+Alt+L"..., or empty
  std::function<void()> run;
  ui::Button* button = nullptr;
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

  ui::PageControl* Ribbon;
  std::vector<ui::TabSheet*> Tabs;
  std::vector<ui::GroupBox*> Groups;
  std::vector<ui::Label*> ShortCutLabels;
  std::vector<RibbonCommand> Commands;
  TFStart* Start = nullptr;
  Tf_pBar* PBar = nullptr;
  // The window the last command opened.
  ui::Form* LastOpened = nullptr;

  void FormActivate();
  Scheme CurrentScheme() const { return scheme_; }
  // The scheme commands: switch, then remember in the preferences file.
  void ChooseScheme(Scheme scheme);
  // A key with its modifiers; runs the command with that shortcut.
  bool HandleShortCut(char16_t key, bool shift, bool ctrl, bool alt);
  RibbonCommand* FindCommand(const Text& name);

  template <class W>
  W& OpenWizard() {
    W& w = GetUi().template CreateForm<W>(WizardContext{context_.helpers, context_.p, *PBar});
    w.Show();
    LastOpened = &w;
    return w;
  }

 private:
  void ApplyScheme(Scheme scheme);
  void AddTab(const Text& name, const Text& caption, std::vector<std::pair<Text, std::vector<RibbonCommand>>> groups);
  void NotAvailable(const Text& feature);
  void OpenLink(const Text& target);

  ShellContext& context_;
  Scheme scheme_ = Scheme::Luna;
};

// Whether a shortcut text ("Shift+Ctrl+F") names this key and modifiers.
bool ShortCutMatches(const Text& shortCut, char16_t key, bool shift, bool ctrl, bool alt);

}  // namespace brantle

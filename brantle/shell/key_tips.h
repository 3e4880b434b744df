// The command area's access keys. Alt (or F10) pressed and released alone
// shows a letter over each tab, the application menu and the quick-access
// commands; a tab's letter selects the tab and shows the letters of its
// commands; a command's letter runs it. Escape goes back one level; any
// other key, a click or leaving the window hides the letters.
#pragma once

#include <functional>
#include <vector>

#include "platform/ui/controls.h"

namespace brantle {

namespace ui = platform::ui;
using platform::Text;

class KeyTips {
 public:
  enum class Level { Off, Top, Tab };

  // A letter of the top level: a tab (choosing it opens the tab's level)
  // or a command outside the tabs.
  void AddTab(const Text& letter, ui::Label* label, int tab, std::function<void()> select);
  void AddTop(const Text& letter, ui::Label* label, std::function<void()> run);
  // The letter of a command on tab `tab`.
  void AddCommand(const Text& letter, ui::Label* label, int tab, std::function<void()> run);

  Level Current() const { return level_; }
  // The tab whose commands show their letters (Level::Tab), else -1.
  int CurrentTab() const { return level_ == Level::Tab ? tab_ : -1; }
  // Shows the letters of one level and hides all others.
  void Show(Level level, int tab = -1);
  void Hide() { Show(Level::Off); }

  // A key pressed while letters are shown (no Ctrl, no Alt): chooses a
  // letter, goes back one level on Escape, and swallows letters that match
  // nothing; another key hides the letters and is not used.
  bool Key(int key);
  // Alt+letter while no letters are shown: a tab's letter opens that tab's
  // level, as if Alt had been tapped first.
  bool AltLetter(int key);

 private:
  enum class Kind { Tab, Top, Command };
  struct Tip {
    Text letter;
    ui::Label* label;
    Kind kind;
    int tab;
    std::function<void()> action;
  };
  const Tip* Find(int key, Level level) const;
  void Choose(const Tip& tip);

  std::vector<Tip> tips_;
  Level level_ = Level::Off;
  int tab_ = -1;
};

}  // namespace brantle

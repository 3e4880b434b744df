#include "brantle/shell/key_tips.h"

namespace brantle {

using platform::ui::kKeyEscape;

namespace {

bool IsLetterOrDigit(int key) { return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'); }

bool SameLetter(const Text& letter, int key) {
  if (letter.size() != 1) return false;
  int c = letter[0];
  if (c >= 'a' && c <= 'z') c -= 32;
  return c == key;
}

}  // namespace

void KeyTips::AddTab(const Text& letter, ui::Label* label, int tab, std::function<void()> select) {
  tips_.push_back({letter, label, Kind::Tab, tab, std::move(select)});
}

void KeyTips::AddTop(const Text& letter, ui::Label* label, std::function<void()> run) {
  tips_.push_back({letter, label, Kind::Top, -1, std::move(run)});
}

void KeyTips::AddCommand(const Text& letter, ui::Label* label, int tab, std::function<void()> run) {
  tips_.push_back({letter, label, Kind::Command, tab, std::move(run)});
}

void KeyTips::Show(Level level, int tab) {
  level_ = level;
  tab_ = level == Level::Tab ? tab : -1;
  for (const Tip& tip : tips_) {
    bool on = tip.kind == Kind::Command ? level == Level::Tab && tip.tab == tab : level == Level::Top;
    if (tip.label) tip.label->SetVisible(on);
  }
}

const KeyTips::Tip* KeyTips::Find(int key, Level level) const {
  for (const Tip& tip : tips_) {
    bool inLevel = tip.kind == Kind::Command ? level == Level::Tab && tip.tab == tab_ : level == Level::Top;
    if (inLevel && SameLetter(tip.letter, key)) return &tip;
  }
  return nullptr;
}

void KeyTips::Choose(const Tip& tip) {
  if (tip.kind == Kind::Tab) {
    int tab = tip.tab;
    tip.action();
    Show(Level::Tab, tab);
    return;
  }
  // The letters go before the command runs: it may open a window or a menu.
  std::function<void()> run = tip.action;
  Hide();
  run();
}

bool KeyTips::Key(int key) {
  if (level_ == Level::Off) return false;
  if (key == kKeyEscape) {
    level_ == Level::Tab ? Show(Level::Top) : Hide();
    return true;
  }
  if (!IsLetterOrDigit(key)) {
    Hide();
    return false;
  }
  if (const Tip* tip = Find(key, level_)) Choose(*tip);
  return true;
}

bool KeyTips::AltLetter(int key) {
  if (level_ != Level::Off) return false;
  const Tip* tip = Find(key, Level::Top);
  if (!tip || tip->kind != Kind::Tab) return false;
  Choose(*tip);
  return true;
}

}  // namespace brantle

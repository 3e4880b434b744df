#include "platform/ui/menu.h"

#include "platform/ui/form.h"
#include "platform/ui/ui.h"

namespace platform::ui {

namespace {
std::vector<MenuItem*> ItemsOf(const Component& menu) {
  std::vector<MenuItem*> items;
  for (Component* c : menu.Owner().Children(&menu)) {
    if (c->GetKind() == Kind::MenuItem) items.push_back(static_cast<MenuItem*>(c));
  }
  return items;
}
}  // namespace

std::vector<MenuItem*> Menu::Items() const { return ItemsOf(*this); }

void PopupMenu::Popup(int screenX, int screenY) {
  if (OnPopup) OnPopup(*this);
  if (MenuItem* chosen = Owner().GetUi().TrackPopup(*this, screenX, screenY)) chosen->Click();
}

std::vector<MenuItem*> MenuItem::Items() const { return ItemsOf(*this); }

void MenuItem::SetShortCut(const Text& shortCut) {
  if (shortCut_ == shortCut) return;
  shortCut_ = shortCut;
  Changed(Prop::ShortCut);
}

void MenuItem::SetChecked(bool checked) {
  if (checked_ == checked) return;
  if (checked && radioItem_) {
    for (Component* c : Owner().Children(Parent())) {
      auto* other = dynamic_cast<MenuItem*>(c);
      if (other && other != this && other->radioItem_ && other->groupIndex_ == groupIndex_) {
        other->SetChecked(false);
      }
    }
  }
  checked_ = checked;
  Changed(Prop::Checked);
}

void MenuItem::SetRadioItem(bool radio) {
  if (radioItem_ == radio) return;
  radioItem_ = radio;
  Changed(Prop::Style);
}

void MenuItem::Click() {
  if (Enabled()) Component::Click();
}

}  // namespace platform::ui

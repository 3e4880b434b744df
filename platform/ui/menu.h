// Menus: a form's menu bar and pop-up menus, made of menu items that are
// components of the form like any control (the language binding sets their
// captions by name).
#pragma once

#include <vector>

#include "platform/ui/component.h"

namespace platform::ui {

class MenuItem;

class Menu : public Component {
 public:
  // The items directly under this menu, in creation order.
  std::vector<MenuItem*> Items() const;
  bool IsContainer() const override { return true; }

 protected:
  using Component::Component;
};

class MainMenu : public Menu {
 public:
  MainMenu(Form& owner, Text name, Component* parent) : Menu(owner, Kind::MainMenu, std::move(name), parent) {}
};

class PopupMenu : public Menu {
 public:
  PopupMenu(Form& owner, Text name, Component* parent) : Menu(owner, Kind::PopupMenu, std::move(name), parent) {}
  // Runs OnPopup, shows the menu at the screen point and runs the chosen
  // item's OnClick after the menu has closed.
  void Popup(int screenX, int screenY);
  Notify OnPopup;
};

// A caption of "-" makes a separator. Items may hold items (a submenu).
class MenuItem : public Component {
 public:
  MenuItem(Form& owner, Text name, Component* parent) : Component(owner, Kind::MenuItem, std::move(name), parent) {}
  std::vector<MenuItem*> Items() const;
  bool IsContainer() const override { return true; }
  bool IsSeparator() const { return Caption() == u"-"; }

  // Shown beside the caption ("Ctrl+U", "Alt+F4"); the window's accelerators
  // come from the same text.
  const Text& ShortCut() const { return shortCut_; }
  void SetShortCut(const Text& shortCut);
  bool Checked() const { return checked_; }
  // Checking a radio item clears the radio items of its group beside it.
  void SetChecked(bool checked);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool radio);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int group) { groupIndex_ = group; }
  // A menu item runs OnClick only while enabled.
  void Click() override;

 private:
  Text shortCut_;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
};

}  // namespace platform::ui

// The base of every component a form owns: a name, a kind, a parent, a
// place in the creation order, and the properties all controls share.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/ui_types.h"

namespace platform::ui {

class Form;
class Component;

// The kinds the windows of both programs use. The language binding applies
// captions by kind, so a kind is part of a component's identity.
enum class Kind {
  Label, StaticText, Button, ToolButton, CheckBox, RadioButton, Edit, DirectoryEdit,
  ComboBox, ListBox, ListView, ProgressBar, PageControl, TabSheet, GroupBox, RadioGroup,
  Panel, Memo, Image, Timer, MainMenu, PopupMenu, MenuItem
};

const char* KindName(Kind kind);

// Which property changed, so that a realisation updates only that.
enum class Prop {
  Caption, Hint, Enabled, Visible, Bounds, Font, Color, Checked, Items, ItemIndex,
  Range, Position, Columns, ListItem, ListItems, ActivePage, Picture, Interval, Redraw,
  ScrollTo, ShortCut, Style, Focus, TabSize
};

// The other side of a component: its window, when the form is realised.
class ComponentPeer {
 public:
  virtual ~ComponentPeer() = default;
  // `index` names the row, column or item for list properties, -1 for all.
  virtual void Changed(Component& component, Prop prop, int index) = 0;
};

using Notify = std::function<void(Component& sender)>;
using MouseNotify = std::function<void(Component& sender, const MouseEvent& event)>;

class Component {
 public:
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;
  virtual ~Component();

  const Text& Name() const { return name_; }
  Kind GetKind() const { return kind_; }
  Form& Owner() const { return owner_; }
  // The container (group box, panel, tab sheet, page control, menu) or null
  // for a component placed directly on the form.
  Component* Parent() const { return parent_; }
  // Serial number in the form's creation order.
  int CreationIndex() const { return creationIndex_; }

  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  // Caption and Text are one property, as on Windows controls.
  const Text& Caption() const { return text_; }
  virtual void SetCaption(const Text& text);
  const Text& GetText() const { return text_; }
  void SetText(const Text& text) { SetCaption(text); }

  const Text& Hint() const { return hint_; }
  void SetHint(const Text& hint);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Visible itself and every container up to the form.
  bool Showing() const;
  // Gives the control the keyboard focus; one that is hidden or disabled
  // cannot take it, and the focus stays where it is.
  void SetFocus();
  bool Focused() const;

  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  const Rect& Bounds() const { return bounds_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

  // The form's font until a property of the component's own is set.
  Font GetFont() const;
  void SetFont(const Font& font);
  bool ParentFont() const { return parentFont_; }
  void SetBold(bool bold);
  void SetFontColor(Color color);

  // Background; kDefaultColor means the parent's.
  Color GetColor() const { return color_; }
  void SetColor(Color color);

  // A container gives its children their coordinate origin.
  virtual bool IsContainer() const { return false; }

  Notify OnClick;
  Notify OnDblClick;
  MouseNotify OnMouseDown;
  MouseNotify OnMouseUp;
  Notify OnMouseEnter;
  Notify OnMouseLeave;

  // Entry points for the user's actions (a realisation or a test calls them).
  virtual void Click();
  void DblClick();
  void MouseDown(const MouseEvent& event);
  void MouseUp(const MouseEvent& event);
  void MouseEnter();
  void MouseLeave();

  ComponentPeer* Peer() const { return peer_; }
  void SetPeer(ComponentPeer* peer) { peer_ = peer; }

 protected:
  Component(Form& owner, Kind kind, Text name, Component* parent);
  void Changed(Prop prop, int index = -1);
  // For kinds that act on their own changes (a timer restarts).
  virtual void PropertyChanged(Prop prop) {}

 private:
  friend class Form;
  Form& owner_;
  Kind kind_;
  Text name_;
  Component* parent_;
  int creationIndex_ = 0;
  int tag_ = 0;
  Text text_;
  Text hint_;
  bool enabled_ = true;
  bool visible_ = true;
  Rect bounds_;
  bool parentFont_ = true;
  Font font_;
  Color color_ = kDefaultColor;
  ComponentPeer* peer_ = nullptr;
};

}  // namespace platform::ui

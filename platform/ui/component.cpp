#include "platform/ui/component.h"

#include "platform/ui/form.h"

namespace platform::ui {

const char* KindName(Kind kind) {
  static const char* const names[] = {
      "Label",    "StaticText",  "Button",     "ToolButton", "CheckBox", "RadioButton",
      "Edit",     "DirectoryEdit", "ComboBox", "ListBox",    "ListView", "ProgressBar",
      "PageControl", "TabSheet", "GroupBox",   "RadioGroup", "Panel",    "Memo",
      "Image",    "Timer",       "MainMenu",   "PopupMenu",  "MenuItem"};
  return names[static_cast<int>(kind)];
}

Component::Component(Form& owner, Kind kind, Text name, Component* parent)
    : owner_(owner), kind_(kind), name_(std::move(name)), parent_(parent) {}

Component::~Component() = default;

void Component::Changed(Prop prop, int index) {
  PropertyChanged(prop);
  if (peer_) peer_->Changed(*this, prop, index);
}

void Component::SetCaption(const Text& text) {
  if (text_ == text) return;
  text_ = text;
  Changed(Prop::Caption);
}

void Component::SetFocus() {
  if (!Showing() || !Enabled()) return;
  owner_.SetActiveControl(this);
}

bool Component::Focused() const { return owner_.ActiveControl() == this; }

void Component::SetHint(const Text& hint) {
  if (hint_ == hint) return;
  hint_ = hint;
  Changed(Prop::Hint);
}

void Component::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed(Prop::Enabled);
}

void Component::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed(Prop::Visible);
}

bool Component::Showing() const {
  for (const Component* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

void Component::SetBounds(int left, int top, int width, int height) {
  Rect r{left, top, left + width, top + height};
  if (r.left == bounds_.left && r.top == bounds_.top && r.right == bounds_.right &&
      r.bottom == bounds_.bottom) {
    return;
  }
  bounds_ = r;
  Changed(Prop::Bounds);
}

Font Component::GetFont() const {
  if (!parentFont_) return font_;
  return parent_ ? parent_->GetFont() : owner_.GetFont();
}

void Component::SetFont(const Font& font) {
  parentFont_ = false;
  font_ = font;
  Changed(Prop::Font);
}

void Component::SetBold(bool bold) {
  Font f = GetFont();
  f.bold = bold;
  SetFont(f);
}

void Component::SetFontColor(Color color) {
  Font f = GetFont();
  f.color = color;
  SetFont(f);
}

void Component::SetColor(Color color) {
  if (color_ == color) return;
  color_ = color;
  Changed(Prop::Color);
}

void Component::Click() {
  if (OnClick) OnClick(*this);
}

void Component::DblClick() {
  if (OnDblClick) OnDblClick(*this);
}

void Component::MouseDown(const MouseEvent& event) {
  if (OnMouseDown) OnMouseDown(*this, event);
}

void Component::MouseUp(const MouseEvent& event) {
  if (OnMouseUp) OnMouseUp(*this, event);
}

void Component::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(*this);
}

void Component::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(*this);
}

}  // namespace platform::ui

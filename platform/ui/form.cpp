#include "platform/ui/form.h"

#include <algorithm>

#include "platform/ui/controls.h"
#include "platform/ui/menu.h"
#include "platform/ui/ui.h"

namespace platform::ui {

Form::Form(Ui& ui, Text className) : ui_(ui), className_(std::move(className)), color_(0xF0F0F0) {}

Form::~Form() {
  ui_.FormDestroying(*this);
  // Children before their containers.
  while (!components_.empty()) components_.pop_back();
}

void Form::Adopt(std::unique_ptr<Component> component) {
  component->creationIndex_ = nextIndex_++;
  Component* raw = component.get();
  components_.push_back(std::move(component));
  if (peer_) peer_->ComponentAdded(*raw);
  if (raw->GetKind() == Kind::Timer) static_cast<Timer*>(raw)->Started();
}

void Form::Remove(Component* component) {
  if (!component) return;
  std::vector<Component*> doomed{component};
  for (const auto& c : components_) {
    for (Component* p = c->Parent(); p; p = p->Parent()) {
      if (p == component) {
        doomed.push_back(c.get());
        break;
      }
    }
  }
  for (auto it = components_.rbegin(); it != components_.rend();) {
    if (std::find(doomed.begin(), doomed.end(), it->get()) == doomed.end()) {
      ++it;
      continue;
    }
    if (peer_) peer_->ComponentRemoving(**it);
    if (it->get() == menu_) menu_ = nullptr;
    if (it->get() == activeControl_) activeControl_ = nullptr;
    it = decltype(it)(components_.erase(std::next(it).base()));
  }
}

Component* Form::Find(std::u16string_view name) const {
  for (const auto& c : components_) {
    if (SameText(c->Name(), name)) return c.get();
  }
  return nullptr;
}

std::vector<Component*> Form::Components() const {
  std::vector<Component*> all;
  all.reserve(components_.size());
  for (const auto& c : components_) all.push_back(c.get());
  return all;
}

std::vector<Component*> Form::Children(const Component* parent) const {
  std::vector<Component*> children;
  for (const auto& c : components_) {
    if (c->Parent() == parent) children.push_back(c.get());
  }
  return children;
}

void Form::Changed(FormProp prop) {
  if (peer_) peer_->FormChanged(*this, prop);
}

void Form::SetCaption(const Text& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed(FormProp::Caption);
}

void Form::SetOrigin(int left, int top) {
  left_ = left;
  top_ = top;
  Changed(FormProp::Bounds);
}

void Form::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  Changed(FormProp::Bounds);
}

void Form::SetColor(Color color) {
  color_ = color;
  Changed(FormProp::Color);
}

void Form::SetFont(const Font& font) {
  font_ = font;
  Changed(FormProp::Font);
}

void Form::SetBorderStyle(BorderStyle style) {
  borderStyle_ = style;
  Changed(FormProp::Style);
}

void Form::SetBorderIcons(BorderIcons icons) {
  borderIcons_ = icons;
  Changed(FormProp::Style);
}

void Form::SetNoCaption(bool noCaption) {
  noCaption_ = noCaption;
  Changed(FormProp::Style);
}

void Form::SetStyle(FormStyle style) {
  style_ = style;
  Changed(FormProp::Style);
}

void Form::SetMenu(MainMenu* menu) {
  menu_ = menu;
  Changed(FormProp::Menu);
}

void Form::Show() {
  if (!visible_) {
    visible_ = true;
    if (OnShow) OnShow(*this);
  }
  ui_.ShowForm(*this);
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  if (OnHide) OnHide(*this);
  ui_.HideForm(*this);
  Deactivated();
}

ModalResult Form::ShowModal() {
  modalResult_ = ModalResult::None;
  return ui_.ShowModal(*this);
}

void Form::SetModalResult(ModalResult result) { modalResult_ = result; }

bool Form::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(*this, canClose);
  if (!canClose) return false;
  CloseAction action = style_ == FormStyle::MdiChild ? CloseAction::Minimize : CloseAction::Hide;
  if (OnClose) OnClose(*this, action);
  if (action == CloseAction::None) return false;
  if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
  if (ui_.MainForm() == this) {
    ui_.Terminate();
    return true;
  }
  switch (action) {
    case CloseAction::Hide:
      Hide();
      break;
    case CloseAction::Free:
      Hide();
      Release();
      break;
    default:
      break;
  }
  return true;
}

void Form::Release() { ui_.Release(*this); }

bool Form::KeyPreview(const KeyEvent& key) { return OnKeyPreview && OnKeyPreview(*this, key); }

void Form::SetActiveControl(Component* control) {
  activeControl_ = control;
  if (control) control->Changed(Prop::Focus);
}

void Form::Activated() {
  if (active_) return;
  active_ = true;
  if (OnActivate) OnActivate(*this);
}

void Form::Deactivated() {
  if (!active_) return;
  active_ = false;
  if (OnDeactivate) OnDeactivate(*this);
}

bool Form::Message(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  return OnMessage && OnMessage(*this, msg, wParam, lParam);
}

}  // namespace platform::ui

#include "platform/ui/ui.h"

#include <algorithm>
#include <exception>

namespace platform::ui {

Ui::~Ui() = default;

void Ui::Adopt(std::unique_ptr<Form> form) {
  if (!mainForm_) mainForm_ = form.get();
  forms_.push_back(std::move(form));
}

void Ui::Release(Form& form) {
  Form* target = &form;
  Post([this, target] {
    auto it = std::find_if(forms_.begin(), forms_.end(), [&](const auto& f) { return f.get() == target; });
    if (it == forms_.end()) return;
    std::unique_ptr<Form> doomed = std::move(*it);
    forms_.erase(it);
    if (mainForm_ == target) mainForm_ = nullptr;
  });
}

void Ui::DestroyForms() {
  while (!forms_.empty()) forms_.pop_back();
  mainForm_ = nullptr;
}

int Ui::TextWidth(const Font& font, const Text& text) {
  return static_cast<int>(text.size()) * (font.bold ? 7 : 6);
}

Point Ui::ScreenPoint(const Component& control, int x, int y) {
  Point p{x + control.Left(), y + control.Top()};
  for (const Component* c = control.Parent(); c; c = c->Parent()) {
    p.x += c->Left();
    p.y += c->Top();
  }
  p.x += control.Owner().Left();
  p.y += control.Owner().Top();
  return p;
}

void Ui::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowError(FromUtf8(e.what()));
  }
}

}  // namespace platform::ui

// A window as data: its own properties and events, and the components it
// owns in creation order. Window classes of the programs derive from Form.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/ui/component.h"

namespace platform::ui {

class Ui;
class MainMenu;

enum class BorderStyle { Sizeable, Single, Dialog, None };
enum class FormStyle { Normal, MdiForm, MdiChild };
enum class FormPosition { Designed, ScreenCenter, OwnerCenter };
enum class CloseAction { None, Hide, Free, Minimize };
enum class FormProp { Caption, Bounds, Color, Font, Style, Menu };

// The window of a realised form.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void FormChanged(Form& form, FormProp prop) = 0;
  virtual void ComponentAdded(Component& component) = 0;
  virtual void ComponentRemoving(Component& component) = 0;
};

class Form {
 public:
  // `className` is the window class name, the name of the C++ class.
  Form(Ui& ui, Text className);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  Ui& GetUi() const { return ui_; }
  const Text& ClassName() const { return className_; }

  // Creates a component of kind T named `name` inside `parent` (null: the
  // form). The form owns it.
  template <class T>
  T* Add(Text name, Component* parent = nullptr) {
    static_assert(std::is_base_of_v<Component, T>, "forms own components");
    auto component = std::make_unique<T>(*this, std::move(name), parent);
    T* raw = component.get();
    Adopt(std::move(component));
    return raw;
  }
  // Frees the component and everything inside it.
  void Remove(Component* component);
  // By name without regard to letter case; null when there is none.
  Component* Find(std::u16string_view name) const;
  template <class T>
  T* FindAs(std::u16string_view name) const {
    return dynamic_cast<T*>(Find(name));
  }
  // Every component, in creation order.
  std::vector<Component*> Components() const;
  // The components directly inside `parent` (null: the form), in creation order.
  std::vector<Component*> Children(const Component* parent) const;

  const Text& Caption() const { return caption_; }
  void SetCaption(const Text& caption);
  int Left() const { return left_; }
  int Top() const { return top_; }
  void SetOrigin(int left, int top);
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);
  FormPosition Position() const { return position_; }
  void SetPosition(FormPosition position) { position_ = position; }
  Color GetColor() const { return color_; }
  void SetColor(Color color);
  const Font& GetFont() const { return font_; }
  void SetFont(const Font& font);

  BorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(BorderStyle style);
  struct BorderIcons {
    bool systemMenu = true;
    bool minimize = true;
    bool maximize = true;
  };
  const BorderIcons& GetBorderIcons() const { return borderIcons_; }
  void SetBorderIcons(BorderIcons icons);
  // No title bar: the window loses its caption bits when it is created.
  bool NoCaption() const { return noCaption_; }
  void SetNoCaption(bool noCaption);
  FormStyle Style() const { return style_; }
  // An MDI child lives in the client area of the Ui's main form.
  void SetStyle(FormStyle style);
  // Top of the MDI client area inside a parent form's client area (space
  // above it belongs to the form's own controls).
  int MdiClientTop() const { return mdiClientTop_; }
  void SetMdiClientTop(int top) { mdiClientTop_ = top; }
  // Whose window this centres on (OwnerCenter) and stays above.
  Form* OwnerForm() const { return ownerForm_; }
  void SetOwnerForm(Form* owner) { ownerForm_ = owner; }
  MainMenu* Menu() const { return menu_; }
  void SetMenu(MainMenu* menu);

  bool Visible() const { return visible_; }
  bool Active() const { return active_; }
  void Show();
  void Hide();
  // Shows the window modally and returns how it ended.
  ModalResult ShowModal();
  ModalResult GetModalResult() const { return modalResult_; }
  // A modal window ends when its result is set.
  void SetModalResult(ModalResult result);
  // Asks OnCloseQuery, runs OnClose and does what it chose. Closing the
  // main form ends the program. Returns whether the window closed.
  bool Close();
  // Frees the form once the current event has returned.
  void Release();

  // Entry points for the system's (or a test's) notifications.
  void Activated();
  void Deactivated();
  // A window message the realisation does not handle itself (messages
  // between instances); returns whether it was handled.
  bool Message(uint32_t msg, uintptr_t wParam, intptr_t lParam);
  // A key pressed or released in this window or in any window inside it
  // (MDI children too), before the focused control sees it; returns whether
  // OnKeyPreview took it (then the control never sees it).
  bool KeyPreview(const KeyEvent& key);
  // The system moved the keyboard focus to `control`.
  void ControlFocused(Component* control) { activeControl_ = control; }

  // The control with the keyboard focus, or null.
  Component* ActiveControl() const { return activeControl_; }
  // Moves the focus (Component::SetFocus checks that the control can take it).
  void SetActiveControl(Component* control);

  using FormNotify = std::function<void(Form& sender)>;
  FormNotify OnShow;
  FormNotify OnHide;
  FormNotify OnActivate;
  FormNotify OnDeactivate;
  std::function<void(Form& sender, bool& canClose)> OnCloseQuery;
  std::function<void(Form& sender, CloseAction& action)> OnClose;
  std::function<bool(Form& sender, uint32_t msg, uintptr_t wParam, intptr_t lParam)> OnMessage;
  std::function<bool(Form& sender, const KeyEvent& key)> OnKeyPreview;

  FormPeer* Peer() const { return peer_; }
  void SetPeer(FormPeer* peer) { peer_ = peer; }

 private:
  void Adopt(std::unique_ptr<Component> component);
  void Changed(FormProp prop);

  Ui& ui_;
  Text className_;
  std::vector<std::unique_ptr<Component>> components_;
  int nextIndex_ = 0;
  Text caption_;
  int left_ = 0;
  int top_ = 0;
  int clientWidth_ = 320;
  int clientHeight_ = 240;
  FormPosition position_ = FormPosition::Designed;
  Color color_ = kDefaultColor;
  Font font_;
  BorderStyle borderStyle_ = BorderStyle::Sizeable;
  BorderIcons borderIcons_;
  bool noCaption_ = false;
  FormStyle style_ = FormStyle::Normal;
  int mdiClientTop_ = 0;
  Form* ownerForm_ = nullptr;
  MainMenu* menu_ = nullptr;
  Component* activeControl_ = nullptr;
  bool visible_ = false;
  bool active_ = false;
  ModalResult modalResult_ = ModalResult::None;
  FormPeer* peer_ = nullptr;
};

}  // namespace platform::ui

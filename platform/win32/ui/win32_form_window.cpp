#include "platform/win32/ui/win32_ui_internal.h"

#include <set>

namespace platform::ui::win32 {

namespace {

const wchar_t kFormProp[] = L"BzForm";

void RegisterFormClass(const Text& name) {
  static std::set<Text> registered;
  if (!registered.insert(name).second) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = FormWindow::Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The program's own icon (resource MAINICON) where it carries one.
  HINSTANCE self = GetModuleHandleW(nullptr);
  wc.hIcon = static_cast<HICON>(LoadImageW(self, L"MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  wc.hIconSm = static_cast<HICON>(LoadImageW(self, L"MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.lpszClassName = W(name);
  RegisterClassExW(&wc);
}

}  // namespace

FormWindow::FormWindow(Win32Ui& ui, Form& form) : ui_(ui), form_(form) {}

FormWindow::~FormWindow() {
  for (auto& [component, peer] : controls_) component->SetPeer(nullptr);
  controls_.clear();
  // Owned by the top-level window, so it would outlive an MDI child.
  if (tooltip_) DestroyWindow(tooltip_);
  if (hwnd_) {
    RemovePropW(hwnd_, kFormProp);
    HWND parent = GetParent(hwnd_);
    if (form_.Style() == FormStyle::MdiChild && parent) {
      SendMessageW(parent, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd_), 0);
    } else {
      DestroyWindow(hwnd_);
    }
  }
  if (menu_) DestroyMenu(menu_);
}

DWORD FormWindow::Style() const {
  DWORD style = WS_CLIPCHILDREN;
  switch (form_.GetBorderStyle()) {
    case BorderStyle::Sizeable: style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME; break;
    case BorderStyle::Single: style |= WS_OVERLAPPED | WS_CAPTION | WS_BORDER; break;
    case BorderStyle::Dialog: style |= WS_POPUP | WS_CAPTION | WS_DLGFRAME; break;
    case BorderStyle::None: style |= WS_POPUP; break;
  }
  const auto& icons = form_.GetBorderIcons();
  if (form_.GetBorderStyle() != BorderStyle::None && icons.systemMenu) {
    style |= WS_SYSMENU;
    if (form_.GetBorderStyle() != BorderStyle::Dialog) {
      if (icons.minimize) style |= WS_MINIMIZEBOX;
      if (icons.maximize) style |= WS_MAXIMIZEBOX;
    }
  }
  if (form_.Style() == FormStyle::MdiChild) style |= WS_CHILD;
  // Windows without a title bar lose the caption bits as they are created.
  if (form_.NoCaption()) style &= ~WS_CAPTION;
  return style;
}

DWORD FormWindow::ExStyle() const {
  DWORD ex = 0;
  if (form_.GetBorderStyle() == BorderStyle::Dialog) ex |= WS_EX_DLGMODALFRAME;
  if (form_.Style() == FormStyle::MdiChild) ex |= WS_EX_MDICHILD;
  return ex;
}

void FormWindow::Create() {
  RegisterFormClass(form_.ClassName());
  HWND parent = nullptr;
  if (form_.Style() == FormStyle::MdiChild) {
    Form* main = ui_.MainForm();
    if (main && main != &form_) {
      ui_.Realize(*main);
      if (auto* frame = dynamic_cast<FormWindow*>(main->Peer())) parent = frame->MdiClient();
    }
  } else if (form_.OwnerForm()) {
    ui_.Realize(*form_.OwnerForm());
    parent = reinterpret_cast<HWND>(ui_.WindowOf(*form_.OwnerForm()));
  }
  // Owned by the task bar's window, the program's windows leave the button to it.
  if (!parent && form_.Style() != FormStyle::MdiChild) parent = reinterpret_cast<HWND>(ui_.TaskBarWindow());
  DWORD style = Style();
  if (form_.Style() == FormStyle::MdiChild && !parent) style &= ~WS_CHILD;
  hwnd_ = CreateWindowExW(style & WS_CHILD ? ExStyle() : ExStyle() & ~WS_EX_MDICHILD, W(form_.ClassName()),
                          W(form_.Caption()), style, CW_USEDEFAULT, CW_USEDEFAULT, Scaled(form_.ClientWidth()),
                          Scaled(form_.ClientHeight()), parent, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) return;
  if (form_.NoCaption()) {
    // The MDI client gives its children a caption whatever they asked for.
    LONG_PTR created = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    LONG_PTR wanted = created & ~static_cast<LONG_PTR>(WS_CAPTION);
    // ...and a sizing frame, which a single border does not have.
    if (form_.GetBorderStyle() == BorderStyle::Single) wanted = (wanted & ~static_cast<LONG_PTR>(WS_THICKFRAME)) | WS_BORDER;
    if (wanted != created) {
      SetWindowLongPtrW(hwnd_, GWL_STYLE, wanted);
      SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
  }
  if (form_.Style() == FormStyle::MdiForm) {
    CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
    mdiClient_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                 WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                                 nullptr, GetModuleHandleW(nullptr), &ccs);
  }
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(form_.GetFont())), FALSE);
  RebuildMenu();
  ApplyBounds();
  for (Component* c : form_.Components()) ComponentAdded(*c);
}

void FormWindow::ApplyBounds() {
  RECT r{0, 0, Scaled(form_.ClientWidth()), Scaled(form_.ClientHeight())};
  DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  AdjustWindowRectEx(&r, style, menu_ != nullptr, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  int width = r.right - r.left, height = r.bottom - r.top;
  int x = Scaled(form_.Left()), y = Scaled(form_.Top());
  RECT area{};
  if (form_.Position() == FormPosition::ScreenCenter) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  } else if (form_.Position() == FormPosition::OwnerCenter && form_.OwnerForm()) {
    GetWindowRect(reinterpret_cast<HWND>(ui_.WindowOf(*form_.OwnerForm())), &area);
  }
  if (area.right > area.left) {
    x = area.left + (area.right - area.left - width) / 2;
    y = area.top + (area.bottom - area.top - height) / 2;
  }
  SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::FormChanged(Form& form, FormProp prop) {
  if (!hwnd_) return;
  switch (prop) {
    case FormProp::Caption: SetWindowTextW(hwnd_, W(form_.Caption())); break;
    case FormProp::Bounds: ApplyBounds(); break;
    case FormProp::Color: InvalidateRect(hwnd_, nullptr, TRUE); break;
    case FormProp::Font:
      for (auto& [c, peer] : controls_) peer->Changed(*c, Prop::Font, -1);
      break;
    case FormProp::Style:
      SetWindowLongPtrW(hwnd_, GWL_STYLE, (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) | Style());
      SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
      break;
    case FormProp::Menu: RebuildMenu(); break;
  }
}

HWND FormWindow::ParentHandleOf(const Component& component) const {
  if (ControlPeer* peer = PeerOf(component.Parent())) {
    if (peer->Handle()) return peer->Handle();
  }
  return hwnd_;
}

ControlPeer* FormWindow::PeerOf(const Component* component) const {
  auto it = controls_.find(const_cast<Component*>(component));
  return it == controls_.end() ? nullptr : it->second.get();
}

void FormWindow::ComponentAdded(Component& component) {
  if (!hwnd_ || controls_.count(&component)) return;
  auto peer = std::make_unique<ControlPeer>(*this, component);
  ControlPeer* raw = peer.get();
  controls_[&component] = std::move(peer);
  component.SetPeer(raw);
  raw->Create(ParentHandleOf(component));
  if (component.GetKind() == Kind::MenuItem) RebuildMenu();
}

void FormWindow::ComponentRemoving(Component& component) {
  auto it = controls_.find(&component);
  if (it == controls_.end()) return;
  component.SetPeer(nullptr);
  bool menuItem = component.GetKind() == Kind::MenuItem;
  controls_.erase(it);
  if (menuItem) RebuildMenu();
}

HWND FormWindow::Tooltip() {
  if (!tooltip_ && hwnd_) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (tooltip_) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Scaled(300));
  }
  return tooltip_;
}

void FormWindow::RebuildMenu() {
  if (!hwnd_ || form_.Style() == FormStyle::MdiChild) return;
  HMENU old = menu_;
  menu_ = nullptr;
  menuIds_.clear();
  if (MainMenu* main = form_.Menu()) {
    menu_ = CreateMenu();
    UINT next = 1;
    FillMenu(menu_, main->Items(), &next, &menuIds_);
  }
  SetMenu(hwnd_, menu_);
  if (old) DestroyMenu(old);
  DrawMenuBar(hwnd_);
}

bool FormWindow::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_COMMAND:
      if (lParam) {
        if (ControlPeer* peer = PeerOfWindow(reinterpret_cast<HWND>(lParam))) {
          peer->Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
          *result = 0;
          return true;
        }
      }
      return false;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      ControlPeer* peer = PeerOfWindow(header->hwndFrom);
      if (!peer) peer = PeerOfWindow(GetParent(header->hwndFrom));  // the list view's header
      return peer && peer->Notify(header, result);
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      ControlPeer* peer = PeerOfWindow(item->hwndItem);
      if (!peer) return false;
      peer->DrawItem(*item);
      *result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      ControlPeer* peer = PeerOfWindow(reinterpret_cast<HWND>(lParam));
      if (!peer) return false;
      HBRUSH brush = peer->ControlColor(reinterpret_cast<HDC>(wParam));
      if (!brush) return false;
      *result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    case WM_SETCURSOR:
      if (!ui_.Busy()) return false;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      *result = TRUE;
      return true;
    default:
      return false;
  }
}

LRESULT FormWindow::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (form_.Style() == FormStyle::MdiForm) return DefFrameProcW(hwnd_, mdiClient_, msg, wParam, lParam);
  if ((GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0) {
    return DefMDIChildProcW(hwnd_, msg, wParam, lParam);
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == TextExtentMessage()) return MeasureText(hwnd_, wParam, lParam);
  LRESULT result = 0;
  if (Dispatch(msg, wParam, lParam, &result)) return result;
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd_, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, BrushHandle(form_.GetColor()));
      return 1;
    }
    case WM_SIZE:
      if (mdiClient_) {
        int top = Scaled(form_.MdiClientTop());
        MoveWindow(mdiClient_, 0, top, LOWORD(lParam), HIWORD(lParam) - top, TRUE);
        return 0;
      }
      break;
    case WM_ACTIVATE:
      if ((GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_MDICHILD) == 0) {
        bool on = LOWORD(wParam) != WA_INACTIVE;
        ui_.Guard([&] { on ? form_.Activated() : form_.Deactivated(); });
      }
      break;
    case WM_MDIACTIVATE: {
      bool on = reinterpret_cast<HWND>(lParam) == hwnd_;
      ui_.Guard([&] { on ? form_.Activated() : form_.Deactivated(); });
      break;
    }
    case WM_CLOSE:
      ui_.Guard([&] { form_.Close(); });
      return 0;
    case WM_SYSCOMMAND:
      // An owned window cannot go to the task bar alone: the program does.
      if ((wParam & 0xFFF0) == SC_MINIMIZE && ui_.TaskBarWindow() &&
          GetWindow(hwnd_, GW_OWNER) == reinterpret_cast<HWND>(ui_.TaskBarWindow())) {
        ui_.MinimizeToTaskBar();
        return 0;
      }
      break;
    default:
      if (msg == WM_COMMAND && lParam == 0 && HIWORD(wParam) == 0) {
        auto it = menuIds_.find(LOWORD(wParam));
        if (it != menuIds_.end()) {
          MenuItem* item = it->second;
          ui_.Guard([item] { item->Click(); });
          return 0;
        }
      }
      if (msg == WM_QUERYENDSESSION) {
        // The form learns of the logoff; the answer stays the default one.
        ui_.Guard([&] { form_.Message(msg, wParam, static_cast<intptr_t>(lParam)); });
        break;
      }
      if (msg >= WM_USER && msg < 0xC000) {
        bool handled = false;
        ui_.Guard([&] { handled = form_.Message(msg, wParam, static_cast<intptr_t>(lParam)); });
        if (handled) return 0;
      }
  }
  return Default(msg, wParam, lParam);
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<FormWindow*>(GetPropW(hwnd, kFormProp));
  if (!self && (msg == WM_NCCREATE || msg == WM_CREATE)) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    void* param = cs->lpCreateParams;
    if (cs->dwExStyle & WS_EX_MDICHILD) param = reinterpret_cast<MDICREATESTRUCTW*>(param)->lParam
                                                    ? reinterpret_cast<void*>(reinterpret_cast<MDICREATESTRUCTW*>(param)->lParam)
                                                    : nullptr;
    self = static_cast<FormWindow*>(param);
    if (self) {
      self->hwnd_ = hwnd;
      SetPropW(hwnd, kFormProp, self);
    }
  }
  if (!self) {
    if (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) return DefMDIChildProcW(hwnd, msg, wParam, lParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  return self->Handle(msg, wParam, lParam);
}

}  // namespace platform::ui::win32

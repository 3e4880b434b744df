#include "platform/win32/ui/win32_ui_internal.h"

#include <shlobj.h>

#include <algorithm>
#include <string>

#undef MessageBox

namespace platform::ui::win32 {

namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
Win32Ui* g_ui = nullptr;
std::map<UINT_PTR, Timer*> g_timers;

LRESULT CALLBACK WakeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kWakeMessage) return 0;  // the loop runs the calls after each message
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = g_timers.find(id);
  if (it == g_timers.end()) return;
  Timer* timer = it->second;
  g_ui->Guard([timer] { timer->Tick(); });
}

UINT_PTR TimerIdOf(const Timer& timer) {
  for (const auto& [id, t] : g_timers) {
    if (t == &timer) return id;
  }
  return 0;
}

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM data) {
  auto* list = reinterpret_cast<std::vector<HWND>*>(data);
  if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) list->push_back(hwnd);
  return TRUE;
}

HWND ActiveOwner() {
  HWND active = GetActiveWindow();
  return active ? GetAncestor(active, GA_ROOT) : nullptr;
}

// Offers a key message to the OnKeyPreview of the form whose window holds
// the focused control (an MDI child's keys belong to its frame); true when
// the form took it.
bool PreviewKey(Ui& ui, Form* form, const MSG& msg) {
  const UINT m = msg.message;
  if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return false;
  if (!form || !form->OnKeyPreview) return false;
  KeyEvent key;
  key.key = static_cast<int>(msg.wParam);
  key.down = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
  key.repeat = key.down && (msg.lParam & (1 << 30)) != 0;
  key.alt = (msg.lParam & (1 << 29)) != 0;
  key.shift = GetKeyState(VK_SHIFT) < 0;
  key.ctrl = GetKeyState(VK_CONTROL) < 0;
  bool taken = false;
  ui.Guard([&] { taken = form->KeyPreview(key); });
  return taken;
}

constexpr UINT kPassActivation = WM_APP + 2;

// The task bar's window: its button activates it, and the window the user
// last worked in takes over; restored, it shows what its minimising hid.
LRESULT CALLBACK TaskBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(hwnd, kPassActivation, 0, 0);
      break;
    case kPassActivation: {
      if (IsIconic(hwnd)) return 0;
      HWND last = GetLastActivePopup(hwnd);
      if (last && last != hwnd && IsWindowVisible(last) && IsWindowEnabled(last)) SetActiveWindow(last);
      return 0;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_RESTORE) {
        LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
        if (g_ui) g_ui->RestoreFromTaskBar();
        return r;
      }
      break;
    case WM_CLOSE:
      // The button's Close closes the main window, with its questions.
      if (g_ui && g_ui->MainForm()) {
        if (HWND main = reinterpret_cast<HWND>(g_ui->WindowOf(*g_ui->MainForm()))) PostMessageW(main, WM_CLOSE, 0, 0);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

struct Win32Ui::Impl {
  HWND wake = nullptr;
  HWND taskBar = nullptr;
  std::vector<HWND> hiddenByMinimize;
  std::map<const Form*, std::unique_ptr<FormWindow>> windows;

  Form* FormOf(HWND hwnd) const {
    for (const auto& [form, window] : windows) {
      if (hwnd && window->Handle() == hwnd) return const_cast<Form*>(form);
    }
    return nullptr;
  }
};

Win32Ui::Win32Ui() : impl_(std::make_unique<Impl>()) {
  g_ui = this;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                           ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  OleInitialize(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WakeProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BzUiWake";
  RegisterClassExW(&wc);
  impl_->wake = CreateWindowExW(0, L"BzUiWake", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  HWND wake = impl_->wake;
  calls_.SetWake([wake] { PostMessageW(wake, kWakeMessage, 0, 0); });
}

Win32Ui::~Win32Ui() {
  calls_.SetWake(nullptr);
  DestroyForms();
  impl_->windows.clear();
  if (impl_->taskBar) DestroyWindow(impl_->taskBar);
  if (impl_->wake) DestroyWindow(impl_->wake);
  OleUninitialize();
  g_ui = nullptr;
}

void Win32Ui::ShowTitleOnTaskBar() {
  if (impl_->taskBar) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = TaskBarProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.lpszClassName = L"BzTaskBar";
  RegisterClassExW(&wc);
  // Visible but without size, in the middle of the screen, as the minimise
  // animation starts from it.
  impl_->taskBar = CreateWindowExW(0, L"BzTaskBar", W(Title()), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                   GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                                   nullptr, nullptr, wc.hInstance, nullptr);
  if (impl_->taskBar) ShowWindow(impl_->taskBar, SW_SHOWNOACTIVATE);
}

uintptr_t Win32Ui::TaskBarWindow() const { return reinterpret_cast<uintptr_t>(impl_->taskBar); }

void Win32Ui::MinimizeToTaskBar() {
  HWND bar = impl_->taskBar;
  if (!bar || IsIconic(bar)) return;
  // Owned windows follow their owner on Windows, not everywhere: hidden by hand.
  for (const auto& [form, window] : impl_->windows) {
    HWND hwnd = window->Handle();
    if (hwnd && GetWindow(hwnd, GW_OWNER) && IsWindowVisible(hwnd) && !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) {
      ShowWindow(hwnd, SW_HIDE);
      impl_->hiddenByMinimize.push_back(hwnd);
    }
  }
  ShowWindow(bar, SW_MINIMIZE);
}

void Win32Ui::RestoreFromTaskBar() {
  std::vector<HWND> hidden;
  hidden.swap(impl_->hiddenByMinimize);
  for (HWND hwnd : hidden)
    if (IsWindow(hwnd)) ShowWindow(hwnd, SW_SHOW);
  PostMessageW(impl_->taskBar, kPassActivation, 0, 0);
}

void Win32Ui::Realize(Form& form) {
  auto& window = impl_->windows[&form];
  if (window) return;
  window = std::make_unique<FormWindow>(*this, form);
  form.SetPeer(window.get());
  window->Create();
}

uintptr_t Win32Ui::WindowOf(const Form& form) const {
  auto it = impl_->windows.find(&form);
  return it == impl_->windows.end() ? 0 : reinterpret_cast<uintptr_t>(it->second->Handle());
}

bool Win32Ui::PumpOne() {
  MSG msg;
  if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return false;
  Guard([&] {
    if (OnLoopMessage) OnLoopMessage(msg.message);
  });
  if (PreviewKey(*this, impl_->FormOf(GetAncestor(msg.hwnd, GA_ROOT)), msg)) {
    Guard([&] { calls_.RunPending(); });
    return true;
  }
  Form* main = MainForm();
  HWND client = nullptr;
  if (main && main->Style() == FormStyle::MdiForm) {
    auto it = impl_->windows.find(main);
    if (it != impl_->windows.end()) client = it->second->MdiClient();
  }
  if (!client || !TranslateMDISysAccel(client, &msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Guard([&] { calls_.RunPending(); });
  return true;
}

Point Win32Ui::ScreenPoint(const Component& control, int x, int y) {
  auto* peer = dynamic_cast<ControlPeer*>(control.Peer());
  if (!peer || !peer->Handle()) return Ui::ScreenPoint(control, x, y);
  POINT p{Scaled(x), Scaled(y)};
  ClientToScreen(peer->Handle(), &p);
  return Point{p.x, p.y};
}

int Win32Ui::TextWidth(const Font& font, const Text& text) {
  HDC dc = GetDC(nullptr);
  if (!dc) return Ui::TextWidth(font, text);
  HGDIOBJ old = SelectObject(dc, FontHandle(font));
  SIZE size{};
  GetTextExtentPoint32W(dc, W(text), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // Rounded up: scaled back, the width still holds the text.
  return (size.cx * 96 + ScreenDpi() - 1) / ScreenDpi();
}

void Win32Ui::Run() {
  while (!Terminated() && PumpOne()) {
  }
}

void Win32Ui::ProcessMessages() {
  RunPending();
  for (MSG pending; !Terminated() && PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE) && PumpOne();) {
  }
}

void Win32Ui::Terminate() {
  SetTerminated();
  PostQuitMessage(0);
}

ModalResult Win32Ui::MessageBox(const Text& text, const Text& caption, MsgButtons buttons, MsgIcon icon) {
  static const UINT kButtons[] = {MB_OK, MB_OKCANCEL, MB_ABORTRETRYIGNORE, MB_YESNOCANCEL, MB_YESNO, MB_RETRYCANCEL};
  static const UINT kIcons[] = {0, MB_ICONERROR, MB_ICONQUESTION, MB_ICONWARNING, MB_ICONINFORMATION};
  UINT flags = kButtons[static_cast<int>(buttons)] | kIcons[static_cast<int>(icon)];
  return static_cast<ModalResult>(::MessageBoxW(ActiveOwner(), W(text), W(caption), flags));
}

ModalResult Win32Ui::WorkerMessageBox(const Text& text, const Text& caption, MsgButtons buttons, MsgIcon icon) {
  // No owner: a worker's box must not wait on the UI thread's windows.
  static const UINT kButtons[] = {MB_OK, MB_OKCANCEL, MB_ABORTRETRYIGNORE, MB_YESNOCANCEL, MB_YESNO, MB_RETRYCANCEL};
  static const UINT kIcons[] = {0, MB_ICONERROR, MB_ICONQUESTION, MB_ICONWARNING, MB_ICONINFORMATION};
  UINT flags = kButtons[static_cast<int>(buttons)] | kIcons[static_cast<int>(icon)];
  return static_cast<ModalResult>(::MessageBoxW(nullptr, W(text), W(caption), flags));
}

bool Win32Ui::SelectDirectory(const Text& caption, Text* folder) {
  BROWSEINFOW info{};
  info.hwndOwner = ActiveOwner();
  info.lpszTitle = W(caption);
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(W(*folder));
  PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
  if (!list) return false;
  wchar_t path[MAX_PATH] = {};
  bool ok = SHGetPathFromIDListW(list, path) != FALSE;
  CoTaskMemFree(list);
  if (ok) *folder = FromW(path);
  return ok;
}

MenuItem* Win32Ui::TrackPopup(PopupMenu& menu, int screenX, int screenY) {
  HMENU hmenu = CreatePopupMenu();
  std::map<UINT, MenuItem*> ids;
  UINT next = 1;
  FillMenu(hmenu, menu.Items(), &next, &ids);
  HWND owner = ActiveOwner();
  if (!owner) owner = reinterpret_cast<HWND>(WindowOf(menu.Owner()));
  UINT chosen = static_cast<UINT>(
      TrackPopupMenuEx(hmenu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, screenX, screenY, owner, nullptr));
  DestroyMenu(hmenu);
  auto it = ids.find(chosen);
  return it == ids.end() ? nullptr : it->second;
}

void Win32Ui::PushBusyCursor() {
  if (busyDepth_++ == 0) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void Win32Ui::PopBusyCursor() {
  if (busyDepth_ > 0 && --busyDepth_ == 0) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void Win32Ui::UpdateNow(Form& form) {
  if (HWND hwnd = reinterpret_cast<HWND>(WindowOf(form))) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
}

Point Win32Ui::CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return Point{p.x, p.y};
}

void Win32Ui::ShowForm(Form& form) {
  Realize(form);
  HWND hwnd = reinterpret_cast<HWND>(WindowOf(form));
  if (form.Style() == FormStyle::MdiChild && GetParent(hwnd)) {
    ShowWindow(hwnd, SW_SHOW);
    SendMessageW(GetParent(hwnd), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
    // A page that lost its title bar after creation keeps stray pixels of
    // its first frame until it is painted whole.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return;
  }
  if (impl_->taskBar && IsIconic(impl_->taskBar)) {
    ShowWindow(impl_->taskBar, SW_RESTORE);
    RestoreFromTaskBar();
  }
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
}

void Win32Ui::HideForm(Form& form) {
  if (HWND hwnd = reinterpret_cast<HWND>(WindowOf(form))) ShowWindow(hwnd, SW_HIDE);
}

ModalResult Win32Ui::ShowModal(Form& form) {
  Realize(form);
  HWND self = reinterpret_cast<HWND>(WindowOf(form));
  // Every other window of the program waits while the modal one is up.
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
  disabled.erase(std::remove(disabled.begin(), disabled.end(), self), disabled.end());
  for (HWND hwnd : disabled) EnableWindow(hwnd, FALSE);
  form.Show();
  while (form.GetModalResult() == ModalResult::None && form.Visible() && !Terminated() && PumpOne()) {
  }
  for (HWND hwnd : disabled) EnableWindow(hwnd, TRUE);
  if (form.GetModalResult() == ModalResult::None) form.SetModalResult(ModalResult::Cancel);
  form.Hide();
  return form.GetModalResult();
}

void Win32Ui::FormDestroying(Form& form) {
  auto it = impl_->windows.find(&form);
  if (it == impl_->windows.end()) return;
  form.SetPeer(nullptr);
  impl_->windows.erase(it);
}

void Win32Ui::TimerChanged(Timer& timer) {
  if (UINT_PTR id = TimerIdOf(timer)) {
    KillTimer(nullptr, id);
    g_timers.erase(id);
  }
  if (!timer.Enabled() || timer.Interval() <= 0) return;
  UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(timer.Interval()), TimerProc);
  if (id) g_timers[id] = &timer;
}

void Win32Ui::TimerRemoved(Timer& timer) {
  if (UINT_PTR id = TimerIdOf(timer)) {
    KillTimer(nullptr, id);
    g_timers.erase(id);
  }
}

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    int d = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return dpi;
}

UINT TextExtentMessage() {
  static const UINT message = RegisterWindowMessageW(L"BzTextExtent");
  return message;
}

LRESULT MeasureText(HWND hwnd, WPARAM wrapWidth, LPARAM atom) {
  std::wstring text;
  if (atom) {
    wchar_t name[256] = {};
    UINT n = GlobalGetAtomNameW(static_cast<ATOM>(atom), name, 256);
    text.assign(name, n);
  } else {
    int length = GetWindowTextLengthW(hwnd);
    text.resize(static_cast<size_t>(length) + 1);
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  }
  // What shows: an accelerator's "&" is drawn as an underline.
  std::wstring shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    shown.push_back(text[i]);
  }
  HDC dc = GetDC(hwnd);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  SIZE size{};
  if (wrapWidth > 0) {
    RECT r{0, 0, static_cast<LONG>(wrapWidth), 0};
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    size = SIZE{r.right - r.left, r.bottom - r.top};
  } else {
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return MAKELRESULT(std::min<LONG>(size.cx, 0xFFFF), std::min<LONG>(size.cy, 0xFFFF));
}

HFONT FontHandle(const Font& font) {
  static std::vector<std::pair<Font, HFONT>> cache;
  for (const auto& [f, h] : cache) {
    if (f.name == font.name && f.points == font.points && f.bold == font.bold && f.italic == font.italic &&
        f.underline == font.underline && f.pixelHeight == font.pixelHeight) {
      return h;
    }
  }
  int height = font.pixelHeight ? -Scaled(font.pixelHeight) : -MulDiv(font.points, ScreenDpi(), 72);
  HFONT h = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, W(font.name));
  cache.emplace_back(font, h);
  return h;
}

HBRUSH BrushHandle(Color color) {
  static std::map<Color, HBRUSH> cache;
  auto& brush = cache[color];
  if (!brush) brush = CreateSolidBrush(color);
  return brush;
}

void FillMenu(HMENU hmenu, const std::vector<MenuItem*>& items, UINT* nextId, std::map<UINT, MenuItem*>* ids) {
  for (MenuItem* item : items) {
    if (!item->Visible()) continue;
    if (item->IsSeparator()) {
      AppendMenuW(hmenu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    Text caption = item->Caption();
    if (!item->ShortCut().empty()) caption += u"\t" + item->ShortCut();
    UINT flags = MF_STRING | (item->Enabled() ? 0 : MF_GRAYED) | (item->Checked() ? MF_CHECKED : 0);
    auto children = item->Items();
    if (!children.empty()) {
      HMENU sub = CreatePopupMenu();
      FillMenu(sub, children, nextId, ids);
      AppendMenuW(hmenu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), W(caption));
      continue;
    }
    UINT id = (*nextId)++;
    (*ids)[id] = item;
    AppendMenuW(hmenu, flags, id, W(caption));
    if (item->RadioItem() && item->Checked()) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_RADIOCHECK;
      SetMenuItemInfoW(hmenu, id, FALSE, &info);
    }
  }
}

}  // namespace platform::ui::win32

#include <windowsx.h>
#include <richedit.h>

#include <algorithm>
#include <cstdlib>

#include "platform/win32/ui/win32_ui_internal.h"

namespace platform::ui::win32 {

namespace {

const wchar_t kPeerProp[] = L"BzPeer";
const wchar_t kIndexProp[] = L"BzIndex";
constexpr int kBrowseWidth = 23;

// A row's painting as the model lays it out (at 96 DPI): its coordinates
// are offsets from the row's corner, scaled; the row's own edges map onto
// the row's real edges, so nothing is left unpainted by rounding.
class DcCanvas : public Canvas {
 public:
  DcCanvas(HDC dc, const RECT& row)
      : dc_(dc), row_(row), model_{Unscaled(row.left), Unscaled(row.top), Unscaled(row.right), Unscaled(row.bottom)} {
    SetBkMode(dc_, TRANSPARENT);
  }
  const Rect& ModelRow() const { return model_; }
  void SetBrushColor(Color color) override { brush_ = color; }
  void SetTextColor(Color color) override { ::SetTextColor(dc_, color); }
  void SetFont(const Font& font) override { SelectObject(dc_, FontHandle(font)); }
  void FillRect(const Rect& rect) override {
    RECT r = ToDevice(rect);
    ::FillRect(dc_, &r, BrushHandle(brush_));
  }
  void TextOut(int x, int y, const Text& text) override {
    TextOutW(dc_, X(x), Y(y), W(text), static_cast<int>(text.size()));
  }
  void DrawRadio(const Rect& rect, bool checked) override {
    RECT r = ToDevice(rect);
    DrawFrameControl(dc_, &r, DFC_BUTTON, DFCS_BUTTONRADIO | (checked ? DFCS_CHECKED : 0));
  }

 private:
  int X(int x) const { return x == model_.right ? row_.right : row_.left + Scaled(x - model_.left); }
  int Y(int y) const { return y == model_.bottom ? row_.bottom : row_.top + Scaled(y - model_.top); }
  RECT ToDevice(const Rect& r) const { return RECT{X(r.left), Y(r.top), X(r.right), Y(r.bottom)}; }

  HDC dc_;
  RECT row_;
  Rect model_;
  Color brush_ = kWhite;
};

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  return reinterpret_cast<ControlPeer*>(data)->Subclassed(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) {
    ControlPeer* peer = PeerOfWindow(hwnd);
    Color color = kWhite;
    if (peer) {
      Component& c = peer->GetComponent();
      color = c.GetColor() != kDefaultColor ? c.GetColor() : c.Owner().GetColor();
    }
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(reinterpret_cast<HDC>(wParam), &r, BrushHandle(color));
    return 1;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

DWORD AlignStyle(Alignment a) {
  switch (a) {
    case Alignment::Right: return SS_RIGHT;
    case Alignment::Center: return SS_CENTER;
    default: return SS_LEFT;
  }
}

// The colour a control is drawn on: its own, else the nearest parent's,
// else its form's, else the system's face colour.
COLORREF BackgroundOf(const Component& component) {
  for (const Component* c = &component; c; c = c->Parent()) {
    if (c->GetColor() != kDefaultColor) return c->GetColor();
  }
  Color form = component.Owner().GetColor();
  return form != kDefaultColor ? form : GetSysColor(COLOR_BTNFACE);
}

// A 32-bit bitmap with straight alpha, blended onto `background` in place:
// a STATIC control blits the pixels and knows no transparency.
void BlendOnto(HBITMAP bitmap, COLORREF background) {
  DIBSECTION dib{};
  if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits) return;
  auto* px = static_cast<uint8_t*>(dib.dsBm.bmBits);
  const size_t count = static_cast<size_t>(dib.dsBm.bmWidth) * static_cast<size_t>(std::abs(dib.dsBm.bmHeight));
  bool anyAlpha = false;
  for (size_t i = 0; i < count && !anyAlpha; ++i) anyAlpha = px[i * 4 + 3] != 0;
  if (!anyAlpha) return;  // a bitmap without alpha is opaque
  const uint8_t bg[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
  for (size_t i = 0; i < count; ++i) {
    uint8_t* p = px + i * 4;
    const unsigned a = p[3];
    for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((p[k] * a + bg[k] * (255 - a) + 127) / 255);
    p[3] = 255;
  }
}

HBITMAP BitmapOf(const Picture& picture, COLORREF background) {
  if (!picture.resource.empty()) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), W(picture.resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BlendOnto(bitmap, background);
    return bitmap;
  }
  if (picture.pixels.empty()) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) std::copy(picture.pixels.begin(), picture.pixels.end(), static_cast<uint32_t*>(bits));
  return bitmap;
}

// The control as a tool of its form's tooltip.
TOOLINFOW ToolOf(HWND control) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  return tool;
}

}  // namespace

const wchar_t* PanelClass() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"BzPanel";
    RegisterClassExW(&wc);
    registered = true;
  }
  return L"BzPanel";
}

ControlPeer* PeerOfWindow(HWND hwnd) { return hwnd ? static_cast<ControlPeer*>(GetPropW(hwnd, kPeerProp)) : nullptr; }

ControlPeer::ControlPeer(FormWindow& form, Component& component) : form_(form), component_(component) {}

ControlPeer::~ControlPeer() {
  for (HWND radio : radios_) DestroyWindow(radio);
  if (browse_) DestroyWindow(browse_);
  if (hwnd_) {
    if (hinted_) {
      TOOLINFOW tool = ToolOf(hwnd_);
      SendMessageW(form_.Tooltip(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    RemoveWindowSubclass(hwnd_, SubclassProc, 1);
    RemovePropW(hwnd_, kPeerProp);
    DestroyWindow(hwnd_);
  }
  if (images_) ImageList_Destroy(images_);
  if (largeImages_) ImageList_Destroy(largeImages_);
  if (bitmap_) DeleteObject(bitmap_);
  if (component_.GetKind() == Kind::TabSheet) {
    if (ControlPeer* pages = form_.PeerOf(component_.Parent())) pages->Apply(Prop::Items, -1);
  }
}

Rect ControlPeer::ClientBounds() const { return Scaled(component_.Bounds()); }

void ControlPeer::Create(HWND parent) {
  const wchar_t* cls = nullptr;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD ex = 0;
  const Text& text = component_.Caption();
  switch (component_.GetKind()) {
    case Kind::Label:
    case Kind::StaticText: {
      auto& label = static_cast<Label&>(component_);
      cls = L"STATIC";
      bool plainLeft = label.GetAlignment() == Alignment::Left && !label.WordWrap();
      style |= SS_NOTIFY | (plainLeft ? SS_LEFTNOWORDWRAP : AlignStyle(label.GetAlignment()));
      break;
    }
    case Kind::Button:
    case Kind::ToolButton:
      cls = L"BUTTON";
      // A caption too long for one line takes a second where the button is high enough.
      style |= WS_TABSTOP | BS_MULTILINE |
               (static_cast<Button&>(component_).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case Kind::CheckBox: cls = L"BUTTON"; style |= WS_TABSTOP | BS_AUTOCHECKBOX; break;
    case Kind::RadioButton: cls = L"BUTTON"; style |= WS_TABSTOP | BS_AUTORADIOBUTTON; break;
    case Kind::Edit:
    case Kind::DirectoryEdit:
      cls = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL | (static_cast<Edit&>(component_).ReadOnly() ? ES_READONLY : 0);
      ex = WS_EX_CLIENTEDGE;
      break;
    case Kind::Memo:
      if (dynamic_cast<RichEditUrl*>(&component_)) {
        // Read-only and borderless on the parent's colour: a description with a link.
        static HMODULE richEdit = LoadLibraryW(L"msftedit.dll");
        cls = richEdit ? L"RICHEDIT50W" : L"EDIT";
        style |= WS_VSCROLL | ES_MULTILINE | ES_READONLY;
        break;
      }
      cls = L"EDIT";
      style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
               (static_cast<Memo&>(component_).ReadOnly() ? ES_READONLY : 0) |
               (static_cast<Memo&>(component_).WordWrap() ? 0 : (ES_AUTOHSCROLL | WS_HSCROLL));
      ex = WS_EX_CLIENTEDGE;
      break;
    case Kind::ComboBox:
      cls = L"COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | (static_cast<ComboBox&>(component_).DropDownList() ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
      break;
    case Kind::ListBox:
      cls = L"LISTBOX";
      style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
               (static_cast<ListBox&>(component_).OwnerDraw() ? (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS) : 0);
      ex = WS_EX_CLIENTEDGE;
      break;
    case Kind::ListView:
      cls = WC_LISTVIEWW;
      style |= WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
      ex = WS_EX_CLIENTEDGE;
      break;
    case Kind::ProgressBar:
      cls = PROGRESS_CLASSW;
      style |= static_cast<ProgressBar&>(component_).Smooth() ? PBS_SMOOTH : 0;
      break;
    case Kind::PageControl: cls = WC_TABCONTROLW; style |= WS_TABSTOP | WS_CLIPCHILDREN; break;
    case Kind::GroupBox:
    case Kind::RadioGroup: cls = L"BUTTON"; style |= BS_GROUPBOX | WS_CLIPCHILDREN; break;
    case Kind::TabSheet:
    case Kind::Panel: cls = PanelClass(); style |= WS_CLIPCHILDREN; break;
    case Kind::Image: cls = L"STATIC"; style |= SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL; break;
    default: return;  // timers and menus have no window of their own
  }
  Rect b = ClientBounds();
  int width = b.Width();
  if (component_.GetKind() == Kind::DirectoryEdit) width -= Scaled(kBrowseWidth);
  UINT id = 1000 + static_cast<UINT>(component_.CreationIndex());
  hwnd_ = CreateWindowExW(ex, cls, W(text), style, b.left, b.top, width, b.Height(), parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) return;
  SetPropW(hwnd_, kPeerProp, this);
  SetWindowSubclass(hwnd_, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
  if (component_.GetKind() == Kind::DirectoryEdit) {
    browse_ = CreateWindowExW(0, L"BUTTON", L"...", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, b.left + width, b.top,
                              Scaled(kBrowseWidth), b.Height(), parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(browse_, kPeerProp, this);
  }
  if (component_.GetKind() == Kind::ListView) {
    ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_DOUBLEBUFFER);
    Apply(Prop::Style, -1);
    RebuildColumns();
    Apply(Prop::Picture, -1);
  }
  if (dynamic_cast<RichEditUrl*>(&component_)) {
    LRESULT mask = SendMessageW(hwnd_, EM_GETEVENTMASK, 0, 0);
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, mask | ENM_LINK);
    Color back = kDefaultColor;
    for (const Component* c = component_.Parent(); c && back == kDefaultColor; c = c->Parent()) back = c->GetColor();
    if (back == kDefaultColor) back = component_.Owner().GetColor();
    SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(back));
  }
  if (component_.GetKind() == Kind::ComboBox) {
    // A combo box's height includes its drop-down list.
    SetWindowPos(hwnd_, nullptr, 0, 0, width, b.Height() * 8, SWP_NOMOVE | SWP_NOZORDER);
  }
  for (Prop p : {Prop::Font, Prop::Items, Prop::ItemIndex, Prop::Checked, Prop::Range, Prop::Position,
                 Prop::ListItems, Prop::Picture, Prop::Enabled, Prop::Style, Prop::Hint, Prop::TabSize}) {
    Apply(p, -1);
  }
  if (component_.GetKind() == Kind::TabSheet) {
    if (ControlPeer* pages = form_.PeerOf(component_.Parent())) pages->Apply(Prop::Items, -1);
  }
  Apply(Prop::Visible, -1);
}

void ControlPeer::Changed(Component& component, Prop prop, int index) {
  if (syncing_) return;
  if (component_.GetKind() == Kind::MenuItem || component_.GetKind() == Kind::MainMenu) {
    form_.RebuildMenu();
    return;
  }
  Apply(prop, index);
}

void ControlPeer::Apply(Prop prop, int index) {
  if (!hwnd_) return;
  const Kind kind = component_.GetKind();
  switch (prop) {
    case Prop::Caption:
      if (kind == Kind::TabSheet) {
        if (ControlPeer* pages = form_.PeerOf(component_.Parent())) pages->Apply(Prop::Items, -1);
      } else if (kind == Kind::ComboBox && !static_cast<ComboBox&>(component_).DropDownList()) {
        SetWindowTextW(hwnd_, W(component_.Caption()));
      } else if (kind != Kind::ComboBox && kind != Kind::ListBox && kind != Kind::ListView &&
                 kind != Kind::PageControl) {
        SetWindowTextW(hwnd_, W(component_.Caption()));
        if (dynamic_cast<RichEditUrl*>(&component_)) ApplyLink();
      }
      break;
    case Prop::Enabled:
      EnableWindow(hwnd_, component_.Enabled());
      if (browse_) EnableWindow(browse_, component_.Enabled());
      break;
    case Prop::Visible: {
      bool show = component_.Visible();
      if (kind == Kind::TabSheet) show = show && static_cast<TabSheet&>(component_).Pages().ActivePage() == &component_;
      ShowWindow(hwnd_, show ? SW_SHOWNA : SW_HIDE);
      if (browse_) ShowWindow(browse_, show ? SW_SHOWNA : SW_HIDE);
      break;
    }
    case Prop::Bounds: {
      if (kind == Kind::TabSheet) break;
      Rect b = ClientBounds();
      int width = browse_ ? b.Width() - Scaled(kBrowseWidth) : b.Width();
      int height = kind == Kind::ComboBox ? b.Height() * 8 : b.Height();
      MoveWindow(hwnd_, b.left, b.top, width, height, TRUE);
      if (browse_) MoveWindow(browse_, b.left + width, b.top, Scaled(kBrowseWidth), b.Height(), TRUE);
      if (kind == Kind::PageControl) PlacePages();
      if (kind == Kind::RadioGroup) RebuildRadios();
      break;
    }
    case Prop::Font:
      SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(component_.GetFont())), TRUE);
      if (browse_) SendMessageW(browse_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(component_.GetFont())), TRUE);
      for (HWND radio : radios_) SendMessageW(radio, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(component_.GetFont())), TRUE);
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case Prop::Color: InvalidateRect(hwnd_, nullptr, TRUE); break;
    case Prop::Hint: {
      const Text& hint = component_.Hint();
      if (hint.empty() && !hinted_) break;
      TOOLINFOW tool = ToolOf(hwnd_);
      tool.lpszText = const_cast<wchar_t*>(W(hint));
      HWND tip = form_.Tooltip();
      if (hint.empty()) {
        SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        hinted_ = false;
      } else if (hinted_) {
        SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
      } else {
        hinted_ = SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
      }
      break;
    }
    case Prop::Focus: ::SetFocus(hwnd_); break;
    case Prop::TabSize:
      if (kind == Kind::PageControl) {
        auto& pages = static_cast<PageControl&>(component_);
        LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        bool fixed = pages.TabWidth() > 0;
        SetWindowLongPtrW(hwnd_, GWL_STYLE, fixed ? (style | TCS_FIXEDWIDTH) : (style & ~TCS_FIXEDWIDTH));
        if (fixed) SendMessageW(hwnd_, TCM_SETITEMSIZE, 0, MAKELPARAM(Scaled(pages.TabWidth()), Scaled(pages.TabHeight())));
        PlacePages();
      }
      break;
    case Prop::Checked:
      if (kind == Kind::CheckBox || kind == Kind::RadioButton) {
        Button_SetCheck(hwnd_, static_cast<CheckBox&>(component_).Checked() ? BST_CHECKED : BST_UNCHECKED);
      }
      break;
    case Prop::Items:
    case Prop::ItemIndex: RebuildItems(); break;
    case Prop::Range:
    case Prop::Position:
      if (kind == Kind::ProgressBar) {
        auto& bar = static_cast<ProgressBar&>(component_);
        SendMessageW(hwnd_, PBM_SETRANGE32, bar.Min(), bar.Max());
        SendMessageW(hwnd_, PBM_SETPOS, bar.Position(), 0);
      }
      break;
    case Prop::Columns: RebuildColumns(); break;
    case Prop::ListItem:
      if (kind == Kind::ListView) SetRow(index, false);
      break;
    case Prop::ListItems:
      if (kind == Kind::ListView) {
        auto& list = static_cast<ListView&>(component_);
        syncing_ = true;
        ListView_DeleteAllItems(hwnd_);
        for (int i = 0; i < list.Count(); ++i) SetRow(i, true);
        syncing_ = false;
      }
      break;
    case Prop::ActivePage:
      if (kind == Kind::PageControl) RebuildItems();
      break;
    case Prop::Picture:
      if (kind == Kind::ListView) {
        auto& list = static_cast<ListView&>(component_);
        // Large icons: one added (index) or all again (-1). The image list
        // keeps a copy, so the caller's icon may be destroyed.
        if (!largeImages_) {
          largeImages_ = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 8, 8);
          ListView_SetImageList(hwnd_, largeImages_, LVSIL_NORMAL);
        }
        if (index >= 0 && index < static_cast<int>(list.LargeIcons().size())) {
          if (ImageList_GetImageCount(largeImages_) == index) {
            ImageList_AddIcon(largeImages_, reinterpret_cast<HICON>(list.LargeIcons()[index]));
          }
          break;
        }
        if (static_cast<int>(list.LargeIcons().size()) != ImageList_GetImageCount(largeImages_)) {
          ImageList_RemoveAll(largeImages_);
          for (uintptr_t icon : list.LargeIcons()) ImageList_AddIcon(largeImages_, reinterpret_cast<HICON>(icon));
        }
        if (images_) ImageList_RemoveAll(images_);
        if (!list.SmallIcons().empty()) {
          if (!images_) {
            images_ = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       ILC_COLOR32 | ILC_MASK, 8, 8);
          }
          for (uintptr_t icon : list.SmallIcons()) ImageList_AddIcon(images_, reinterpret_cast<HICON>(icon));
          ListView_SetImageList(hwnd_, images_, LVSIL_SMALL);
        }
      } else if (kind == Kind::Image) {
        HBITMAP old = bitmap_;
        bitmap_ = BitmapOf(static_cast<Image&>(component_).GetPicture(), BackgroundOf(component_));
        SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_));
        Rect b = ClientBounds();
        MoveWindow(hwnd_, b.left, b.top, b.Width(), b.Height(), TRUE);
        if (old) DeleteObject(old);
      }
      break;
    case Prop::Redraw:
      if (kind == Kind::ListView) {
        bool on = !static_cast<ListView&>(component_).Updating();
        SendMessageW(hwnd_, WM_SETREDRAW, on, 0);
        if (on) InvalidateRect(hwnd_, nullptr, TRUE);
      }
      break;
    case Prop::ScrollTo:
      if (kind == Kind::ListView && index >= 0) ListView_EnsureVisible(hwnd_, index, FALSE);
      break;
    case Prop::Style:
      if (kind == Kind::ListView) {
        auto& list = static_cast<ListView&>(component_);
        DWORD ex = LVS_EX_DOUBLEBUFFER | (list.Checkboxes() ? LVS_EX_CHECKBOXES : 0) |
                   (list.GridLines() ? LVS_EX_GRIDLINES : 0) | (list.RowSelect() ? LVS_EX_FULLROWSELECT : 0);
        ListView_SetExtendedListViewStyle(hwnd_, ex);
        LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        style = list.ReadOnly() ? (style & ~LVS_EDITLABELS) : (style | LVS_EDITLABELS);
        style = (style & ~LVS_TYPEMASK) | (list.IconView() ? (LVS_ICON | LVS_AUTOARRANGE) : LVS_REPORT);
        if (!list.IconView()) style &= ~LVS_AUTOARRANGE;
        SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
      } else if (kind == Kind::ListBox) {
        SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, Scaled(static_cast<ListBox&>(component_).ItemHeight()));
      } else if (kind == Kind::ProgressBar) {
        LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        auto& bar = static_cast<ProgressBar&>(component_);
        style = bar.Smooth() ? (style | PBS_SMOOTH) : (style & ~PBS_SMOOTH);
        style = bar.Marquee() ? (style | PBS_MARQUEE) : (style & ~PBS_MARQUEE);
        SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
        SendMessageW(hwnd_, PBM_SETMARQUEE, bar.Marquee(), 30);
      } else if (kind == Kind::RadioGroup) {
        RebuildRadios();
      } else if (dynamic_cast<RichEditUrl*>(&component_)) {
        ApplyLink();
      } else if (kind == Kind::Edit || kind == Kind::DirectoryEdit || kind == Kind::Memo) {
        bool readOnly = kind == Kind::Memo ? static_cast<Memo&>(component_).ReadOnly()
                                           : static_cast<Edit&>(component_).ReadOnly();
        SendMessageW(hwnd_, EM_SETREADONLY, readOnly, 0);
      }
      break;
    default: break;
  }
}

void ControlPeer::ApplyLink() {
  auto& rich = static_cast<RichEditUrl&>(component_);
  syncing_ = true;
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_LINK;
  format.dwEffects = 0;
  CHARRANGE all{0, -1};
  SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  if (rich.LinkLength() > 0) {
    CHARRANGE link{rich.LinkStart(), rich.LinkStart() + rich.LinkLength()};
    SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&link));
    format.dwEffects = CFE_LINK;
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  }
  CHARRANGE none{0, 0};
  SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
  syncing_ = false;
}

void ControlPeer::RebuildItems() {
  const Kind kind = component_.GetKind();
  syncing_ = true;
  if (kind == Kind::ListBox || kind == Kind::ComboBox) {
    auto& items = static_cast<ItemsControl&>(component_);
    bool list = kind == Kind::ListBox;
    SendMessageW(hwnd_, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    for (const Text& item : items.Items()) {
      SendMessageW(hwnd_, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item)));
    }
    SendMessageW(hwnd_, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(items.ItemIndex()), 0);
  } else if (kind == Kind::RadioGroup) {
    RebuildRadios();
  } else if (kind == Kind::PageControl) {
    auto& pages = static_cast<PageControl&>(component_);
    TabCtrl_DeleteAllItems(hwnd_);
    int i = 0;
    for (TabSheet* sheet : pages.Pages()) {
      TCITEMW tab{};
      tab.mask = TCIF_TEXT;
      Text caption = sheet->Caption();
      tab.pszText = const_cast<wchar_t*>(W(caption));
      SendMessageW(hwnd_, TCM_INSERTITEMW, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&tab));
    }
    TabCtrl_SetCurSel(hwnd_, pages.ActivePageIndex());
    PlacePages();
  }
  syncing_ = false;
}

void ControlPeer::PlacePages() {
  auto& pages = static_cast<PageControl&>(component_);
  const Rect bounds = ClientBounds();
  RECT r{0, 0, bounds.Width(), bounds.Height()};
  TabCtrl_AdjustRect(hwnd_, FALSE, &r);
  for (TabSheet* sheet : pages.Pages()) {
    ControlPeer* peer = form_.PeerOf(sheet);
    if (!peer || !peer->hwnd_) continue;
    MoveWindow(peer->hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    peer->Apply(Prop::Visible, -1);
  }
}

void ControlPeer::RebuildRadios() {
  auto& group = static_cast<RadioGroup&>(component_);
  for (HWND radio : radios_) DestroyWindow(radio);
  radios_.clear();
  const int count = group.Count();
  if (count == 0) return;
  const int columns = group.Columns();
  const int rows = (count + columns - 1) / columns;
  const Rect bounds = ClientBounds();
  const int top = Scaled(16), height = std::max(Scaled(16), (bounds.Height() - top - Scaled(6)) / std::max(1, rows));
  const int width = (bounds.Width() - Scaled(16)) / columns;
  for (int i = 0; i < count; ++i) {
    int x = Scaled(8) + (i / rows) * width, y = top + (i % rows) * height;
    HWND radio = CreateWindowExW(0, L"BUTTON", W(group.Items()[static_cast<size_t>(i)]),
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON, x, y, width - Scaled(4),
                                 Scaled(17), hwnd_,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(radio, kPeerProp, this);
    SetPropW(radio, kIndexProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(i + 1)));
    SendMessageW(radio, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(component_.GetFont())), FALSE);
    Button_SetCheck(radio, i == group.ItemIndex() ? BST_CHECKED : BST_UNCHECKED);
    radios_.push_back(radio);
  }
}

void ControlPeer::RebuildColumns() {
  auto& list = static_cast<ListView&>(component_);
  while (ListView_DeleteColumn(hwnd_, 0)) {
  }
  int i = 0;
  for (const ListColumn& column : list.Columns()) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    Text caption = column.caption;
    col.pszText = const_cast<wchar_t*>(W(caption));
    col.cx = Scaled(column.width);
    col.fmt = column.alignment == Alignment::Right ? LVCFMT_RIGHT
              : column.alignment == Alignment::Center ? LVCFMT_CENTER : LVCFMT_LEFT;
    SendMessageW(hwnd_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    ++i;
  }
  // Deleting a column drops its texts in every row: put them back.
  for (int row = 0; row < list.Count(); ++row) SetRow(row, false);
  // Sized once all are in: the last column's automatic width fills the rest
  // of the list, so sizing while inserting would push later columns away.
  i = 0;
  for (const ListColumn& column : list.Columns()) {
    if (column.autoSize) {
      ListView_SetColumnWidth(hwnd_, i, LVSCW_AUTOSIZE_USEHEADER);
      // Never narrower than the header's caption with its margins (Wine's
      // automatic width of an empty list falls short of it).
      int least = std::max(Scaled(column.minWidth), HeaderTextRoom(column.caption));
      if (ListView_GetColumnWidth(hwnd_, i) < least) ListView_SetColumnWidth(hwnd_, i, least);
    }
    ++i;
  }
}

void ControlPeer::SetRow(int index, bool insert) {
  auto& list = static_cast<ListView&>(component_);
  if (index < 0 || index >= list.Count()) return;
  ListItem& item = list.Item(index);
  bool wasSyncing = syncing_;
  syncing_ = true;
  LVITEMW row{};
  row.mask = LVIF_TEXT | LVIF_IMAGE;
  row.iItem = index;
  Text caption = item.Caption();
  row.pszText = const_cast<wchar_t*>(W(caption));
  row.iImage = item.ImageIndex();
  SendMessageW(hwnd_, insert ? LVM_INSERTITEMW : LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&row));
  for (size_t s = 0; s < list.Columns().size() && s + 1 <= list.Columns().size(); ++s) {
    if (s == 0) continue;
    Text sub = item.SubItem(static_cast<int>(s) - 1);
    LVITEMW cell{};
    cell.iSubItem = static_cast<int>(s);
    cell.pszText = const_cast<wchar_t*>(W(sub));
    SendMessageW(hwnd_, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&cell));
  }
  if (list.Checkboxes()) ListView_SetCheckState(hwnd_, index, item.Checked());
  syncing_ = wasSyncing;
}

int ControlPeer::HeaderTextRoom(const Text& caption) const {
  HDC dc = GetDC(hwnd_);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, FontHandle(component_.GetFont()));
  SIZE size{};
  GetTextExtentPoint32W(dc, W(caption), static_cast<int>(caption.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  // A header item keeps three edges free on either side of its text.
  return size.cx + 6 * GetSystemMetrics(SM_CXEDGE) + Scaled(2);
}

int ControlPeer::HeaderHeight() {
  HWND header = hwnd_ ? ListView_GetHeader(hwnd_) : nullptr;
  if (!header) return -1;
  RECT r;
  GetWindowRect(header, &r);
  return Unscaled(r.bottom - r.top);
}

void ControlPeer::Command(HWND from, UINT code) {
  Win32Ui& ui = form_.GetUi();
  const Kind kind = component_.GetKind();
  if (from == browse_) {
    if (code == BN_CLICKED) ui.Guard([&] { static_cast<DirectoryEdit&>(component_).Browse(); });
    return;
  }
  if (syncing_) return;
  if (kind == Kind::RadioGroup && code == BN_CLICKED) {
    int index = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(from, kIndexProp))) - 1;
    ui.Guard([&] { static_cast<RadioGroup&>(component_).Select(index); });
    return;
  }
  ui.Guard([&] {
    switch (kind) {
      case Kind::Button:
      case Kind::ToolButton:
        if (code == BN_CLICKED) component_.Click();
        break;
      case Kind::CheckBox:
      case Kind::RadioButton:
        if (code == BN_CLICKED) {
          static_cast<CheckBox&>(component_).SetChecked(Button_GetCheck(hwnd_) == BST_CHECKED);
        }
        break;
      case Kind::Label:
      case Kind::StaticText:
      case Kind::Image:
        if (code == STN_CLICKED) component_.Click();
        if (code == STN_DBLCLK) component_.DblClick();
        break;
      case Kind::Edit:
      case Kind::DirectoryEdit:
      case Kind::Memo:
        if (code == EN_CHANGE) {
          int length = GetWindowTextLengthW(hwnd_);
          std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
          GetWindowTextW(hwnd_, buffer.data(), length + 1);
          syncing_ = true;
          component_.SetText(FromW(buffer.c_str()));
          syncing_ = false;
        }
        break;
      case Kind::ListBox:
        if (code == LBN_SELCHANGE) {
          syncing_ = true;
          static_cast<ListBox&>(component_).Select(static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)));
          syncing_ = false;
          InvalidateRect(hwnd_, nullptr, TRUE);
        }
        if (code == LBN_DBLCLK) component_.DblClick();
        break;
      case Kind::ComboBox:
        if (code == CBN_SELCHANGE) {
          syncing_ = true;
          static_cast<ComboBox&>(component_).Select(static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)));
          syncing_ = false;
        }
        break;
      default:
        break;
    }
  });
}

bool ControlPeer::Notify(NMHDR* header, LRESULT* result) {
  Win32Ui& ui = form_.GetUi();
  const Kind kind = component_.GetKind();
  if (kind == Kind::PageControl && header->code == TCN_SELCHANGE) {
    int index = TabCtrl_GetCurSel(hwnd_);
    ui.Guard([&] { static_cast<PageControl&>(component_).SelectPage(index); });
    PlacePages();
    return false;
  }
  if (header->code == EN_LINK && dynamic_cast<RichEditUrl*>(&component_)) {
    auto* link = reinterpret_cast<ENLINK*>(header);
    if (link->msg == WM_LBUTTONDOWN) {
      SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&link->chrg));
      ui.Guard([&] { static_cast<RichEditUrl&>(component_).ClickLink(); });
      return true;
    }
    return false;
  }
  if (kind != Kind::ListView) return false;
  auto& list = static_cast<ListView&>(component_);
  switch (header->code) {
    case LVN_COLUMNCLICK: {
      int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
      ui.Guard([&] { list.ColumnClick(column); });
      return true;
    }
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (syncing_ || change->iItem < 0 || change->iItem >= list.Count()) return false;
      if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_STATEIMAGEMASK) != (change->uOldState & LVIS_STATEIMAGEMASK)) {
        bool checked = ListView_GetCheckState(hwnd_, change->iItem) != 0;
        if (checked != list.Item(change->iItem).Checked()) {
          syncing_ = true;
          ui.Guard([&] { list.ToggleCheckByUser(change->iItem); });
          syncing_ = false;
        }
      }
      if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) {
        syncing_ = true;
        ui.Guard([&] { list.SetItemIndex(change->iItem); });
        syncing_ = false;
      }
      return false;
    }
    case NM_CUSTOMDRAW: {
      // The header's drawing comes this way too, with the smaller
      // NMCUSTOMDRAW and column numbers for items: not the rows' business.
      if (header->hwndFrom != hwnd_) return false;
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *result = list.OnCustomDrawItem ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        return true;
      }
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        ItemDrawStyle style;
        ui.Guard([&] { style = list.DrawStyle(static_cast<int>(draw->nmcd.dwItemSpec)); });
        if (style.textColor != kDefaultColor) draw->clrText = style.textColor;
        if (style.backColor != kDefaultColor) draw->clrTextBk = style.backColor;
        Font font = component_.GetFont();
        font.bold = style.bold;
        SelectObject(draw->nmcd.hdc, FontHandle(font));
        *result = CDRF_NEWFONT;
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

void ControlPeer::DrawItem(const DRAWITEMSTRUCT& item) {
  if (component_.GetKind() != Kind::ListBox || item.itemID == static_cast<UINT>(-1)) return;
  DcCanvas canvas(item.hDC, item.rcItem);
  canvas.SetFont(component_.GetFont());
  const Rect rect = canvas.ModelRow();
  OwnerDrawState state{(item.itemState & ODS_SELECTED) != 0, (item.itemState & ODS_FOCUS) != 0};
  form_.GetUi().Guard([&] { static_cast<ListBox&>(component_).DrawItem(static_cast<int>(item.itemID), canvas, rect, state); });
}

HBRUSH ControlPeer::ControlColor(HDC dc) {
  const Kind kind = component_.GetKind();
  if (kind == Kind::Edit || kind == Kind::DirectoryEdit || kind == Kind::Memo || kind == Kind::ListBox ||
      kind == Kind::ComboBox) {
    return nullptr;  // the system's field colours
  }
  Font font = component_.GetFont();
  ::SetTextColor(dc, font.color);
  SetBkMode(dc, TRANSPARENT);
  Color back = kDefaultColor;
  for (const Component* c = &component_; c && back == kDefaultColor; c = c->Parent()) back = c->GetColor();
  if (back == kDefaultColor) back = component_.Owner().GetColor();
  return BrushHandle(back);
}

LRESULT ControlPeer::Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Win32Ui& ui = form_.GetUi();
  if (msg == TextExtentMessage()) return MeasureText(hwnd, wParam, lParam);
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      // Containers pass what their children send on to the form.
      LRESULT result = 0;
      if (hwnd == hwnd_ && form_.Dispatch(msg, wParam, lParam, &result)) return result;
      break;
    }
    case WM_ERASEBKGND:
      if (component_.GetKind() == Kind::GroupBox || component_.GetKind() == Kind::RadioGroup) {
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, ControlColor(reinterpret_cast<HDC>(wParam)));
        return 1;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      MouseEvent event;
      event.button = (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) ? MouseButton::Right : MouseButton::Left;
      event.x = Unscaled(GET_X_LPARAM(lParam));
      event.y = Unscaled(GET_Y_LPARAM(lParam));
      if (component_.GetKind() == Kind::ListView) {
        LVHITTESTINFO hit{};
        hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        event.item = ListView_HitTest(hwnd_, &hit);
        event.onStateIcon = (hit.flags & LVHT_ONITEMSTATEICON) != 0;
      }
      bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN;
      ui.Guard([&] { down ? component_.MouseDown(event) : component_.MouseUp(event); });
      break;
    }
    case WM_LBUTTONDBLCLK:
      if (component_.GetKind() == Kind::ListView) ui.Guard([&] { component_.DblClick(); });
      break;
    case WM_SIZE:
      if (component_.GetKind() == Kind::ListView && static_cast<ListView&>(component_).IconView()) {
        LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
        ShowScrollBar(hwnd_, SB_HORZ, FALSE);
        return r;
      }
      break;
    case WM_MOUSEMOVE:
      if (component_.GetKind() == Kind::ListView) {
        MouseEvent event;
        event.x = Unscaled(GET_X_LPARAM(lParam));
        event.y = Unscaled(GET_Y_LPARAM(lParam));
        LVHITTESTINFO hit{};
        hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        event.item = ListView_HitTest(hwnd_, &hit);
        ui.Guard([&] { static_cast<ListView&>(component_).MouseMove(event); });
      }
      if (!mouseInside_) {
        mouseInside_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        ui.Guard([&] { component_.MouseEnter(); });
      }
      break;
    case WM_SETFOCUS:
      component_.Owner().ControlFocused(&component_);
      break;
    case WM_MOUSELEAVE:
      mouseInside_ = false;
      ui.Guard([&] { component_.MouseLeave(); });
      break;
    case WM_SETCURSOR:
      if (ui.Busy()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace platform::ui::win32

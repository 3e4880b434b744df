// What the Win32 realisation's files share: the window of a form, the
// window(s) of each component, and the GDI objects they reuse.
#pragma once

#include <windows.h>
#include <commctrl.h>

// The model's MessageBox and TextOut, not the Windows macros.
#undef MessageBox
#undef TextOut

#include <map>
#include <memory>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/list_view.h"
#include "platform/ui/menu.h"
#include "platform/win32/ui/win32_ui.h"
#include "platform/win32/win32_text.h"

namespace platform::ui::win32 {

using platform::win32::FromW;
using platform::win32::W;

// Layouts are designed at 96 DPI; the programs are DPI-aware, so every
// position and size is scaled by the screen's DPI / 96, as Windows scales
// its own dialogs. Fonts in points follow the DPI by themselves.
int ScreenDpi();
inline int Scaled(int length) { return MulDiv(length, ScreenDpi(), 96); }
inline int Unscaled(int pixels) { return MulDiv(pixels, 96, ScreenDpi()); }
inline Rect Scaled(const Rect& r) { return Rect{Scaled(r.left), Scaled(r.top), Scaled(r.right), Scaled(r.bottom)}; }

// Test drivers ask a window how large a text is in its font, since a font
// handle means nothing in another process: the registered message
// "BzTextExtent", wParam a width to wrap at (0: one line), lParam a global
// atom with the text (0: the window's own), answered MAKELRESULT(cx, cy).
UINT TextExtentMessage();
LRESULT MeasureText(HWND hwnd, WPARAM wrapWidth, LPARAM atom);

HFONT FontHandle(const Font& font);
HBRUSH BrushHandle(Color color);
// Fills a menu with the items under `menu`, numbering commands from *nextId.
void FillMenu(HMENU hmenu, const std::vector<MenuItem*>& items, UINT* nextId, std::map<UINT, MenuItem*>* ids);

class FormWindow;

class ControlPeer : public ListViewPeer {
 public:
  ControlPeer(FormWindow& form, Component& component);
  ~ControlPeer() override;
  void Create(HWND parent);
  HWND Handle() const { return hwnd_; }
  Component& GetComponent() const { return component_; }

  void Changed(Component& component, Prop prop, int index) override;
  int HeaderHeight() override;

  // Notifications from the control (forwarded by its parent window).
  void Command(HWND from, UINT code);
  bool Notify(NMHDR* header, LRESULT* result);
  void DrawItem(const DRAWITEMSTRUCT& item);
  HBRUSH ControlColor(HDC dc);
  LRESULT Subclassed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  // Tab sheets: their page control lays them out.
  void PlacePages();

 private:
  void Apply(Prop prop, int index);
  void RebuildItems();
  void RebuildColumns();
  // The width a list-view column needs to show its caption whole.
  int HeaderTextRoom(const Text& caption) const;
  void SetRow(int index, bool insert);
  void ApplyLink();
  void Layout();
  void RebuildRadios();
  Rect ClientBounds() const;

  FormWindow& form_;
  Component& component_;
  HWND hwnd_ = nullptr;
  HWND browse_ = nullptr;           // the folder edit's button
  std::vector<HWND> radios_;        // a radio group's buttons
  HIMAGELIST images_ = nullptr;
  HIMAGELIST largeImages_ = nullptr;  // a list view's icon view
  HBITMAP bitmap_ = nullptr;
  bool syncing_ = false;            // applying the model's value: no echo back
  bool mouseInside_ = false;
  bool hinted_ = false;             // registered with the form's tooltip
};

class FormWindow : public FormPeer {
 public:
  FormWindow(Win32Ui& ui, Form& form);
  ~FormWindow() override;
  void Create();
  HWND Handle() const { return hwnd_; }
  HWND MdiClient() const { return mdiClient_; }
  Form& GetForm() const { return form_; }
  Win32Ui& GetUi() const { return ui_; }

  void FormChanged(Form& form, FormProp prop) override;
  void ComponentAdded(Component& component) override;
  void ComponentRemoving(Component& component) override;

  // The window that holds `component`'s window.
  HWND ParentHandleOf(const Component& component) const;
  ControlPeer* PeerOf(const Component* component) const;
  void RebuildMenu();
  // The tooltip that shows the controls' hints (made on first use).
  HWND Tooltip();
  // Messages that controls send to their parent, wherever that sits.
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
  void ApplyBounds();
  DWORD Style() const;
  DWORD ExStyle() const;

  Win32Ui& ui_;
  Form& form_;
  HWND hwnd_ = nullptr;
  HWND mdiClient_ = nullptr;
  HWND tooltip_ = nullptr;
  HMENU menu_ = nullptr;
  std::map<UINT, MenuItem*> menuIds_;
  std::map<Component*, std::unique_ptr<ControlPeer>> controls_;
};

// Finds the realisation behind a control's window.
ControlPeer* PeerOfWindow(HWND hwnd);
// The registered class of panels and tab sheets.
const wchar_t* PanelClass();
// Forwards what controls send their parent to the form (for group boxes and
// tab controls, whose own window procedures would drop it).
void ForwardToForm(HWND container, FormWindow* form);

}  // namespace platform::ui::win32

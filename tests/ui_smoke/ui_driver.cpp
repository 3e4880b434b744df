// Drives a window of another process as a person would, through messages:
//   ui-driver wait CLASS            waits (up to 20 s) for a visible window of CLASS
//   ui-driver exists CLASS          prints 1 or 0: a window of CLASS exists (shown or hidden)
//   ui-driver click CLASS TEXT      clicks the control whose text is TEXT
//   ui-driver checked CLASS TEXT    prints 1 or 0: the check state of that control
//   ui-driver visible CLASS TEXT    prints 1 or 0
//   ui-driver close CLASS           asks the window to close
//   ui-driver settext CLASS TEXT NEW  replaces the text of the edit showing TEXT
//   ui-driver select CLASS ENTRY    chooses ENTRY in the visible list box that holds it,
//                                   and tells the list's parent, as a click does
//   ui-driver focused CLASS         prints the text of the control with the keyboard focus
//   ui-driver locate CLASS TEXT     prints the screen point "X Y" at the middle of the
//                                   visible control showing TEXT
//   ui-driver tooltip CLASS         prints the text of the program's visible tooltip
//   ui-driver tab CLASS INDEX       clicks tab INDEX of the window's tab control
//   ui-driver lvitems CLASS         prints the items of the visible list view, one a line
//   ui-driver lvselect CLASS INDEX  selects item INDEX of the visible list view
//   ui-driver taskbar CLASS         prints the caption of the task-bar button of the
//                                   window of CLASS (its own, or its owner's)
//   ui-driver extent CLASS          checks every visible caption of the window (labels,
//                                   buttons, check boxes, group boxes, tabs, list headers)
//                                   against the room its control gives it, in the
//                                   control's own font, and that no two captions of one
//                                   parent overlap; prints each fault, exit 1 on any
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
  std::wstring text;
  HWND found = nullptr;
  const wchar_t* windowClass = nullptr;  // only controls of this class, when set
};

BOOL CALLBACK Match(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  wchar_t cls[64] = {};
  if (search->windowClass) {
    // Another process's edit keeps its text to itself: ask for it.
    GetClassNameW(hwnd, cls, 64);
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
  }
  if (search->text == text && (!search->windowClass || lstrcmpiW(cls, search->windowClass) == 0)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND Control(HWND top, const wchar_t* text, const wchar_t* windowClass = nullptr) {
  Search search{text, nullptr, windowClass};
  EnumChildWindows(top, Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
  return text;
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
  return TRUE;
}

// The visible windows inside `top` whose class is `windowClass`, or whose
// text is `text` (the first that is visible wins over hidden namesakes).
std::vector<HWND> Visible(HWND top, const wchar_t* windowClass, const wchar_t* text) {
  std::vector<HWND> all, found;
  EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&all));
  for (HWND hwnd : all) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (!IsWindowVisible(hwnd)) continue;
    if (windowClass && lstrcmpiW(cls, windowClass) != 0) continue;
    if (text && TextOf(hwnd) != text) continue;
    found.push_back(hwnd);
  }
  return found;
}

// Chooses `entry` in a visible list box and sends the parent the
// notification a click sends.
bool SelectEntry(HWND top, const wchar_t* entry) {
  for (HWND list : Visible(top, L"ListBox", nullptr)) {
    LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry));
    if (index == LB_ERR) continue;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return true;
  }
  return false;
}

struct TooltipSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchTooltip(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<TooltipSearch*>(data);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == search->process && IsWindowVisible(hwnd) && lstrcmpiW(cls, L"tooltips_class32") == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Memory in the window's process, for messages that carry pointers.
class Remote {
 public:
  Remote(HWND hwnd, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) at_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  }
  ~Remote() {
    if (at_) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  bool Ok() const { return at_ != nullptr; }
  char* At(size_t offset = 0) const { return at_ + offset; }
  void Write(const void* data, size_t size, size_t offset = 0) {
    WriteProcessMemory(process_, at_ + offset, data, size, nullptr);
  }
  void Read(void* data, size_t size, size_t offset = 0) {
    ReadProcessMemory(process_, at_ + offset, data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  char* at_ = nullptr;
};

HWND VisibleListView(HWND top) {
  std::vector<HWND> lists = Visible(top, L"SysListView32", nullptr);
  return lists.empty() ? nullptr : lists.front();
}

// ---- extent check

int Dpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    int d = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return dpi;
}
int Px(int length) { return MulDiv(length, Dpi(), 96); }

// The text's size in the control's own font, measured by the program that
// owns the control (wrapped at `wrap` pixels unless 0); `text` empty: the
// control's own. Controls without the program's answer ask their parent.
bool Measure(HWND hwnd, const std::wstring& text, int wrap, SIZE* size) {
  static const UINT message = RegisterWindowMessageW(L"BzTextExtent");
  ATOM atom = text.empty() ? 0 : GlobalAddAtomW(text.c_str());
  DWORD_PTR answer = 0;
  for (HWND w = hwnd; w && !answer; w = GetParent(w)) {
    ATOM a = atom;
    if (w != hwnd && !a) a = GlobalAddAtomW(TextOf(hwnd).c_str());
    SendMessageTimeoutW(w, message, static_cast<WPARAM>(wrap), a, SMTO_ABORTIFHUNG, 2000, &answer);
    if (a != atom) GlobalDeleteAtom(a);
    if (w != hwnd) break;  // the parent once, not the whole chain
  }
  if (atom) GlobalDeleteAtom(atom);
  if (!answer) return false;
  *size = SIZE{LOWORD(answer), HIWORD(answer)};
  return true;
}

struct Caption {
  HWND hwnd;
  std::wstring cls, text;
  RECT rect;  // screen
};

std::wstring ClassOf(HWND hwnd) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  return cls;
}

bool Same(const std::wstring& a, const wchar_t* b) { return lstrcmpiW(a.c_str(), b) == 0; }

int ExtentCheck(HWND top) {
  std::vector<HWND> all;
  EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&all));
  int faults = 0;
  std::vector<Caption> captions;
  auto fault = [&](const std::wstring& cls, const std::wstring& text, const SIZE& need, int width, int height) {
    std::printf("CLIPPED %ls \"%ls\": needs %ldx%ld, has %dx%d\n", cls.c_str(), text.c_str(), need.cx, need.cy,
                width, height);
    ++faults;
  };
  for (HWND hwnd : all) {
    if (!IsWindowVisible(hwnd)) continue;
    const std::wstring cls = ClassOf(hwnd);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right, height = client.bottom;
    RECT screen{};
    GetWindowRect(hwnd, &screen);
    if (Same(cls, L"SysTabControl32") || Same(cls, L"SysHeader32")) {
      const bool tabs = Same(cls, L"SysTabControl32");
      const int count = static_cast<int>(SendMessageW(hwnd, tabs ? TCM_GETITEMCOUNT : HDM_GETITEMCOUNT, 0, 0));
      Remote remote(hwnd, sizeof(TCITEMW) + sizeof(HDITEMW) + sizeof(RECT) + 512);
      if (!remote.Ok()) continue;
      const size_t textAt = sizeof(TCITEMW) + sizeof(HDITEMW), rectAt = textAt + 512;
      for (int i = 0; i < count; ++i) {
        if (tabs) {
          TCITEMW item{};
          item.mask = TCIF_TEXT;
          item.pszText = reinterpret_cast<wchar_t*>(remote.At(textAt));
          item.cchTextMax = 255;
          remote.Write(&item, sizeof item);
          SendMessageW(hwnd, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.At()));
          SendMessageW(hwnd, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.At(rectAt)));
        } else {
          HDITEMW item{};
          item.mask = HDI_TEXT;
          item.pszText = reinterpret_cast<wchar_t*>(remote.At(textAt));
          item.cchTextMax = 255;
          remote.Write(&item, sizeof item);
          SendMessageW(hwnd, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.At()));
          SendMessageW(hwnd, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.At(rectAt)));
        }
        wchar_t text[256] = {};
        remote.Read(text, sizeof text - sizeof(wchar_t), textAt);
        RECT r{};
        remote.Read(&r, sizeof r, rectAt);
        std::wstring t = text;
        while (!t.empty() && t.back() == L' ') t.pop_back();
        if (t.find_first_not_of(L' ') == std::wstring::npos) continue;
        SIZE need{};
        // The list's header is measured in the list's font, a tab in the tab control's.
        if (!Measure(tabs ? hwnd : GetParent(hwnd), t, 0, &need)) continue;
        // A tab pads its text by 6 pixels, a header item by 3 edges a side.
        const int room = (r.right - r.left) - (tabs ? Px(6) : 6 * GetSystemMetrics(SM_CXEDGE));
        if (need.cx > room || need.cy > r.bottom - r.top) fault(cls, t, need, room, r.bottom - r.top);
      }
      continue;
    }
    const std::wstring text = TextOf(hwnd);
    if (text.find_first_not_of(L" ") == std::wstring::npos) continue;
    int room = width;
    bool wrap = false;
    if (Same(cls, L"Static")) {
      const LONG type = style & SS_TYPEMASK;
      if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
        continue;  // pictures
      wrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    } else if (Same(cls, L"Button")) {
      const LONG type = style & BS_TYPEMASK;
      if (type == BS_GROUPBOX) {
        room = width - Px(16);  // the caption sits in the frame, inset on both sides
      } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                 type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
        room = width - Px(13) - Px(4);  // the box and its gap
      } else {
        room = width - Px(8);  // the button's edges and focus frame
        wrap = (style & BS_MULTILINE) != 0;
      }
    } else {
      continue;  // edits and lists show data, which may scroll
    }
    SIZE need{};
    if (!Measure(hwnd, std::wstring(), wrap ? room : 0, &need)) continue;
    if (need.cx > room || need.cy > height) fault(cls, text, need, room, height);
    // Where the text is drawn must lie inside the parent, which clips it:
    // a left-aligned label's text only, any other control whole.
    RECT drawn = screen;
    const LONG type = style & SS_TYPEMASK;
    if (Same(cls, L"Static") && (type == SS_LEFT || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE)) {
      drawn.right = std::min(screen.right, screen.left + need.cx);
      drawn.bottom = std::min(screen.bottom, screen.top + need.cy);
    }
    RECT parent{};
    GetClientRect(GetParent(hwnd), &parent);
    MapWindowPoints(GetParent(hwnd), nullptr, reinterpret_cast<POINT*>(&parent), 2);
    if (drawn.left < parent.left || drawn.top < parent.top || drawn.right > parent.right ||
        drawn.bottom > parent.bottom) {
      std::printf("OUTSIDE %ls \"%ls\": drawn to %ld,%ld, its parent ends at %ld,%ld\n", cls.c_str(),
                  text.c_str(), drawn.right - parent.left, drawn.bottom - parent.top, parent.right - parent.left,
                  parent.bottom - parent.top);
      ++faults;
    }
    captions.push_back(Caption{hwnd, cls, text, screen});
  }
  // Two captions of one parent that cover each other (a group box holds others).
  for (size_t i = 0; i < captions.size(); ++i) {
    for (size_t j = i + 1; j < captions.size(); ++j) {
      const Caption& a = captions[i];
      const Caption& b = captions[j];
      if (GetParent(a.hwnd) != GetParent(b.hwnd)) continue;
      auto groupBox = [](const Caption& c) {
        return Same(c.cls, L"Button") && (GetWindowLongW(c.hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
      };
      if (groupBox(a) || groupBox(b)) continue;
      RECT overlap{};
      if (IntersectRect(&overlap, &a.rect, &b.rect)) {
        std::printf("OVERLAP \"%ls\" and \"%ls\"\n", a.text.c_str(), b.text.c_str());
        ++faults;
      }
    }
  }
  std::printf("%zu captions checked at %d DPI, %d fault(s)\n", captions.size(), Dpi(), faults);
  return faults == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring verb = argv[1];
  if (verb == L"exists") {
    std::printf("%d\n", FindWindowW(argv[2], nullptr) ? 1 : 0);
    return 0;
  }
  HWND top = nullptr;
  for (int i = 0; i < (verb == L"wait" ? 200 : 1) && !(top && IsWindowVisible(top)); ++i) {
    top = FindWindowW(argv[2], nullptr);
    if (!(top && IsWindowVisible(top))) Sleep(100);
  }
  if (!top) {
    std::fprintf(stderr, "no window of class %ls\n", argv[2]);
    return 1;
  }
  if (verb == L"wait") return 0;
  if (verb == L"extent") return ExtentCheck(top);
  if (verb == L"taskbar") {
    // Only unowned windows have buttons, unless one asks for it.
    HWND shown = top;
    while (!(GetWindowLongW(shown, GWL_EXSTYLE) & WS_EX_APPWINDOW) && GetWindow(shown, GW_OWNER))
      shown = GetWindow(shown, GW_OWNER);
    std::printf("%ls\n", TextOf(shown).c_str());
    return 0;
  }
  if (verb == L"close") {
    PostMessageW(top, WM_CLOSE, 0, 0);
    return 0;
  }
  if (verb == L"focused") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) || !info.hwndFocus) return 1;
    std::printf("%ls\n", TextOf(info.hwndFocus).c_str());
    return 0;
  }
  if (verb == L"tooltip") {
    TooltipSearch search{0, nullptr};
    GetWindowThreadProcessId(top, &search.process);
    EnumWindows(MatchTooltip, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 1;
    std::printf("%ls\n", TextOf(search.found).c_str());
    return 0;
  }
  if (verb == L"lvitems") {
    HWND list = VisibleListView(top);
    if (!list) return 1;
    Remote remote(list, sizeof(LVITEMW) + 512);
    if (!remote.Ok()) return 1;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof item));
      item.cchTextMax = 256;
      remote.Write(&item, sizeof item);
      SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.At()));
      wchar_t text[256] = {};
      remote.Read(text, sizeof text - sizeof(wchar_t), sizeof item);
      std::printf("%ls\n", text);
    }
    return 0;
  }
  if (argc < 4) return 2;
  if (verb == L"lvselect") {
    HWND list = VisibleListView(top);
    if (!list) return 1;
    Remote remote(list, sizeof(LVITEMW));
    if (!remote.Ok()) return 1;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(&item, sizeof item);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(_wtoi(argv[3])), reinterpret_cast<LPARAM>(remote.At()));
    return 0;
  }
  if (verb == L"tab") {
    // A click on the tab, so the control tells its parent itself (Wine does
    // not pass WM_NOTIFY between processes).
    std::vector<HWND> tabs = Visible(top, L"SysTabControl32", nullptr);
    if (tabs.empty()) return 1;
    HWND tab = tabs.front();
    Remote remote(tab, sizeof(RECT));
    if (!remote.Ok()) return 1;
    if (!SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(_wtoi(argv[3])), reinterpret_cast<LPARAM>(remote.At()))) {
      return 1;
    }
    RECT r{};
    remote.Read(&r, sizeof r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tab, WM_LBUTTONUP, 0, at);
    return 0;
  }
  if (verb == L"select") {
    if (SelectEntry(top, argv[3])) return 0;
    std::fprintf(stderr, "no list box holds \"%ls\"\n", argv[3]);
    return 1;
  }
  if (verb == L"locate") {
    std::vector<HWND> found = Visible(top, nullptr, argv[3]);
    if (found.empty()) return 1;
    RECT r;
    GetWindowRect(found.front(), &r);
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
  }
  HWND control = Control(top, argv[3], verb == L"settext" ? L"Edit" : nullptr);
  if (!control) {
    std::fprintf(stderr, "no control \"%ls\"\n", argv[3]);
    return 1;
  }
  if (verb == L"click") {
    wchar_t cls[64] = {};
    GetClassNameW(control, cls, 64);
    if (lstrcmpiW(cls, L"Static") == 0) {
      // A label tells its parent; posted, so a window it opens modally does
      // not hold the driver.
      PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), STN_CLICKED),
                   reinterpret_cast<LPARAM>(control));
    } else {
      SendMessageW(control, BM_CLICK, 0, 0);
    }
  } else if (verb == L"checked") {
    std::printf("%d\n", SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
  } else if (verb == L"settext" && argc > 4) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
  } else if (verb == L"visible") {
    std::printf("%d\n", IsWindowVisible(control) ? 1 : 0);
  } else {
    return 2;
  }
  return 0;
}

// Drives a window of another process as a person would, through messages:
//   ui-driver wait CLASS            waits (up to 20 s) for a visible window of CLASS
//   ui-driver click CLASS TEXT      clicks the control whose text is TEXT
//   ui-driver checked CLASS TEXT    prints 1 or 0: the check state of that control
//   ui-driver visible CLASS TEXT    prints 1 or 0
//   ui-driver close CLASS           asks the window to close
//   ui-driver settext CLASS TEXT NEW  replaces the text of the edit showing TEXT
#include <windows.h>

#include <cstdio>
#include <string>

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring verb = argv[1];
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
  if (verb == L"close") {
    PostMessageW(top, WM_CLOSE, 0, 0);
    return 0;
  }
  if (argc < 4) return 2;
  HWND control = Control(top, argv[3], verb == L"settext" ? L"Edit" : nullptr);
  if (!control) {
    std::fprintf(stderr, "no control \"%ls\"\n", argv[3]);
    return 1;
  }
  if (verb == L"click") {
    SendMessageW(control, BM_CLICK, 0, 0);
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

// A window with one control of each kind, realised by the Win32 Ui. The
// end-to-end check drives it from outside and reads what its handlers wrote
// to the log file named on the command line.
#include <windows.h>
#include <shellapi.h>
#undef MessageBox
#undef TextOut

#include <cstdio>
#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/list_view.h"
#include "platform/ui/menu.h"
#include "platform/win32/ui/win32_ui.h"

using namespace platform::ui;

namespace {

FILE* g_log = nullptr;

void Log(const std::string& line) {
  if (!g_log) return;
  std::fprintf(g_log, "%s\n", line.c_str());
  std::fflush(g_log);
}

Picture Gradient(int width, int height) {
  Picture p;
  p.width = width;
  p.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t blue = 128 + 127 * x / width, green = 64 + 100 * y / height;
      p.pixels.push_back(0xFF000000u | (20u << 16) | (green << 8) | blue);
    }
  }
  return p;
}

class TUiSmoke : public Form {
 public:
  explicit TUiSmoke(Ui& ui) : Form(ui, u"TUiSmoke") {
    SetCaption(u"UI smoke");
    SetClientSize(600, 470);
    SetPosition(FormPosition::ScreenCenter);
    SetColor(kWhite);
    SetBorderStyle(BorderStyle::Single);

    auto* menu = Add<MainMenu>(u"MainMenu1");
    auto* file = Add<MenuItem>(u"MenuFile", menu);
    file->SetCaption(u"&File");
    auto* exit = Add<MenuItem>(u"MenuExit", file);
    exit->SetCaption(u"E&xit");
    exit->SetShortCut(u"Alt+F4");
    exit->OnClick = [this](Component&) { Close(); };
    auto* view = Add<MenuItem>(u"MenuView", menu);
    view->SetCaption(u"&View");
    for (const char16_t* name : {u"Luna", u"Silver", u"Obsidian"}) {
      auto* item = Add<MenuItem>(platform::Text(u"Menu") + name, view);
      item->SetCaption(name);
      item->SetRadioItem(true);
    }
    FindAs<MenuItem>(u"MenuLuna")->SetChecked(true);
    SetMenu(menu);

    auto* image = Add<Image>(u"Image1");
    image->SetBounds(8, 8, 48, 48);
    image->SetPicture(Gradient(48, 48));
    Label1 = Add<Label>(u"Label1");
    Label1->SetBounds(64, 12, 400, 30);
    Label1->SetCaption(u"Welcome to UI Smoke Wizard");
    Font header;
    header.name = u"Arial";
    header.pixelHeight = 19;
    header.color = kNavy;
    Label1->SetFont(header);

    auto* group = Add<GroupBox>(u"GroupBox1");
    group->SetCaption(u"Backup the following:");
    group->SetBounds(8, 64, 280, 110);
    CheckBox1 = Add<CheckBox>(u"CheckBox1", group);
    CheckBox1->SetCaption(u"Bookmarks");
    CheckBox1->SetBounds(12, 20, 120, 17);
    CheckBox1->OnClick = [](Component& c) {
      Log(std::string("CheckBox1Click ") + (static_cast<CheckBox&>(c).Checked() ? "1" : "0"));
    };
    auto* radio = Add<RadioButton>(u"RadioButton1", group);
    radio->SetCaption(u"Cookies");
    radio->SetBounds(140, 20, 120, 17);
    auto* edit = Add<Edit>(u"Edit1", group);
    edit->SetText(u"An edit");
    edit->SetBounds(12, 44, 256, 21);
    auto* folder = Add<DirectoryEdit>(u"DirectoryEdit2", group);
    folder->SetText(u"Backup location:");
    folder->SetBounds(12, 74, 256, 21);

    auto* radios = Add<RadioGroup>(u"RadioGroup1");
    radios->SetCaption(u"Layout");
    radios->SetBounds(300, 64, 140, 110);
    radios->SetItems({u"Luna", u"Silver", u"Obsidian"});
    radios->SetItemIndex(0);

    auto* combo = Add<ComboBox>(u"ComboBox1");
    combo->SetBounds(452, 68, 136, 21);
    combo->SetItems({u"English", u"Deutsch"});
    combo->SetItemIndex(0);
    auto* memo = Add<Memo>(u"Memo1");
    memo->SetBounds(452, 96, 136, 78);
    memo->SetLines({u"A memo", u"with two lines"});

    auto* pages = Add<PageControl>(u"PageControl1");
    pages->SetBounds(8, 184, 432, 200);
    auto* main = Add<TabSheet>(u"TabSheet1", pages);
    main->SetCaption(u"Main");
    auto* defrag = Add<TabSheet>(u"TabSheet2", pages);
    defrag->SetCaption(u"Game Defrag");
    auto* list = Add<ListView>(u"ListView1", main);
    list->SetBounds(6, 6, 412, 160);
    list->SetCheckboxes(true);
    list->SetGridLines(true);
    list->SetRowSelect(true);
    list->SetReadOnly(true);
    list->AddColumn(u"     Service", 280);
    list->AddColumn(u"Status", 110);
    for (const char16_t* name : {u"Print Spooler", u"Windows Update", u"Themes"}) {
      auto& row = list->AddItem(name);
      row.AddSubItem(u"Running");
      row.SetChecked(true);
    }
    auto& summary = list->AddItem(u"Memory released");
    summary.AddSubItem(u"128 MB");
    list->OnCustomDrawItem = [list](Component&, ListItem& item, ItemDrawStyle& style) {
      style.bold = item.Index() == list->Count() - 1;
    };
    // Only its header shows: the rows' style must never be asked for, or
    // the header would borrow it (and its smaller notification be written
    // past its end).
    auto* headerOnly = Add<ListView>(u"ListView2");
    headerOnly->SetBounds(448, 184, 144, 12);
    headerOnly->AddColumn(u"Name", 70);
    headerOnly->AddColumn(u"Status", 70);
    for (const char16_t* name : {u"first", u"second"}) headerOnly->AddItem(name).AddSubItem(u"Running");
    headerOnly->OnCustomDrawItem = [](Component&, ListItem& item, ItemDrawStyle& style) {
      Log("ListView2 row style " + std::to_string(item.Index()));
      style.bold = true;
    };
    auto* defragLabel = Add<Label>(u"Label2", defrag);
    defragLabel->SetCaption(u"Double-click to select a game to analyze.");
    defragLabel->SetBounds(8, 8, 300, 16);

    auto* profiles = Add<ListBox>(u"ListBox1");
    profiles->SetBounds(452, 184, 136, 90);
    profiles->SetOwnerDraw(true);
    profiles->SetItemHeight(20);
    profiles->SetItems({u"x7k2m9qa.default", u"p3n8w1zt.work"});
    profiles->SetItemIndex(0);
    profiles->OnDrawItem = [profiles](Component&, int index, Canvas& canvas, const Rect& rect, OwnerDrawState state) {
      canvas.SetBrushColor(kWhite);
      canvas.FillRect(rect);
      canvas.DrawRadio(Rect{rect.left + 1, rect.top, rect.left + 13, rect.bottom}, profiles->ItemIndex() == index);
      canvas.SetTextColor(kBlack);
      canvas.TextOut(rect.left + 15, rect.top + 3, profiles->Items()[static_cast<size_t>(index)]);
    };

    ProgressBar1 = Add<ProgressBar>(u"ProgressBar1");
    ProgressBar1->SetBounds(8, 396, 432, 17);
    ProgressBar1->SetPosition(40);

    Button1 = Add<Button>(u"Button1");
    Button1->SetCaption(u"Finish");
    Button1->SetBounds(452, 428, 66, 25);
    Button1->SetBold(true);
    Button1->SetVisible(false);
    Button2 = Add<Button>(u"Button2");
    Button2->SetCaption(u"Next >");
    Button2->SetBounds(452, 428, 66, 25);
    Button2->OnClick = [this](Component&) { Button2Click(); };
    auto* cancel = Add<Button>(u"Button3");
    cancel->SetCaption(u"Cancel");
    cancel->SetBounds(524, 428, 66, 25);
    cancel->OnClick = [this](Component&) { Close(); };

    auto* timer = Add<Timer>(u"Timer1");
    timer->SetInterval(100);
    timer->OnTimer = [timer](Component&) {
      Log("Timer1Timer");
      timer->SetEnabled(false);
    };
    OnActivate = [](Form&) { Log("FormActivate"); };
    OnClose = [](Form&, CloseAction&) { Log("FormClose"); };
  }

  void Button2Click() {
    Log("Button2Click");
    BusyCursor busy(GetUi());
    ProgressBar1->SetPosition(100);
    CheckBox1->SetChecked(true);  // the control must follow
    GetUi().UpdateNow(*this);
    Button1->SetVisible(true);
    Button2->SetVisible(false);
  }

  Label* Label1;
  CheckBox* CheckBox1;
  ProgressBar* ProgressBar1;
  Button* Button1;
  Button* Button2;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc > 1) g_log = _wfopen(argv[1], L"w");
  LocalFree(argv);
  win32::Win32Ui ui;
  ui.SetTitle(u"UI smoke");
  auto& form = ui.CreateForm<TUiSmoke>();
  form.Show();
  ui.Run();
  Log("end");
  if (g_log) std::fclose(g_log);
  return 0;
}

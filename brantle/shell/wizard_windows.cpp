#include "brantle/shell/wizard_windows.h"

#include <algorithm>

#include "brantle/browsers/chrome/chrome_browser.h"
#include "brantle/browsers/ie/ie_browser.h"
#include "brantle/browsers/safari/safari_browser.h"
#include "brantle/browsers/mozilla/mozilla_discovery.h"
#include "brantle/browsers/opera/opera_browser.h"
#include "platform/ui/ui.h"

namespace brantle {

using namespace platform::ui;

namespace {

constexpr Color kBannerColor = 0xF7EBDD;   // pale blue
constexpr Color kSectionColor = 0xEED9C4;  // the section bars' tint

Picture Flat(int width, int height, uint32_t argb) {
  Picture p;
  p.width = width;
  p.height = height;
  p.pixels.assign(static_cast<size_t>(width) * height, argb);
  return p;
}

uint32_t Argb(Color bgr) {
  return 0xFF000000u | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

// The browser's badge: a filled disc on the banner colour.
Picture Badge(Color color) {
  Picture p = Flat(56, 56, Argb(kBannerColor));
  for (int y = 0; y < 56; ++y)
    for (int x = 0; x < 56; ++x) {
      int dx = x - 28, dy = y - 28;
      if (dx * dx + dy * dy <= 22 * 22) p.pixels[static_cast<size_t>(y) * 56 + x] = Argb(color);
    }
  return p;
}

}  // namespace

// --- Tf_pBar

Tf_pBar::Tf_pBar(Ui& ui) : Form(ui, u"Tf_pBar") {
  SetCaption(u"Progress Bar");
  SetBorderStyle(BorderStyle::None);
  SetPosition(FormPosition::ScreenCenter);
  SetClientSize(151, 18);
  ProgressBar1 = Add<ProgressBar>(u"ProgressBar1");
  ProgressBar1->SetBounds(0, 0, 150, 17);
  ProgressBar1->SetRange(0, 100);
  OnActivate = [this](Form&) { ProgressBar1->SetPosition(0); };
}

// --- texts

Text WizardCaption(const BrowserDescription& browser, WizardKind kind) {
  bool restore = kind == WizardKind::kRestore || kind == WizardKind::kFullRestore;
  return (restore ? u"Restore " : u"Backup ") + Text(browser.name) + u" Web Browser";
}

Text WizardHeader(const BrowserDescription& browser, WizardKind kind) {
  const char16_t* const words[] = {u"Backup", u"Restore", u"Full Backup", u"Full Restore"};
  return u"Welcome to " + Text(browser.name) + u" " + words[static_cast<int>(kind)] + u" Wizard";
}

// --- WizardFrame

WizardFrame::WizardFrame(Ui& ui, Text className, WizardContext context, const Text& caption, const Text& header,
                         uint32_t badgeColor, bool backupLocation)
    : Form(ui, std::move(className)), header_(header), context_(context) {
  SetCaption(caption);
  SetStyle(FormStyle::MdiChild);
  SetNoCaption(true);
  SetBorderStyle(BorderStyle::Single);
  SetClientSize(599, 531);
  SetColor(kWhite);
  Image1 = Add<Image>(u"Image1");  // the page background: plain white
  Image1->SetBounds(0, 0, 0, 0);
  // The banner: the badge on the left, a strip over the header; nothing
  // overlaps, so each part paints itself.
  Image6 = Add<Image>(u"Image6");
  Image6->SetBounds(8, 8, 56, 56);
  Image6->SetPicture(Badge(badgeColor));
  Image5 = Add<Image>(u"Image5");
  Image5->SetBounds(64, 8, 527, 18);
  Image5->SetPicture(Flat(527, 18, Argb(kBannerColor)));
  Label1 = Add<Label>(u"Label1");
  Label1->SetBounds(64, 26, 527, 38);
  Font headerFont;
  headerFont.name = u"Arial Narrow";
  headerFont.pixelHeight = 19;
  headerFont.color = kNavy;
  Label1->SetFont(headerFont);
  Label1->SetColor(kBannerColor);
  if (backupLocation) {
    DirectoryEdit2 = Add<DirectoryEdit>(u"DirectoryEdit2");
    DirectoryEdit2->SetCaption(kBackupLocationPlaceholder);
    DirectoryEdit2->SetDialogCaption(u"Backup location:");
  }
  Button2 = Add<Button>(u"Button2");
  Button2->SetCaption(u"Next >");
  Button2->SetBounds(424, 494, 75, 25);
  Button2->OnClick = [this](Component&) { Button2Click(); };
  Button3 = Add<Button>(u"Button3");
  Button3->SetCaption(u"Cancel");
  Button3->SetBounds(508, 494, 75, 25);
  Button3->OnClick = [this](Component&) { Button3Click(); };
  Button1 = Add<Button>(u"Button1");
  Button1->SetCaption(u"Finish");
  Button1->SetBounds(424, 494, 75, 25);
  Button1->SetBold(true);
  Button1->SetVisible(false);
  Button1->OnClick = [this](Component&) { Button1Click(); };
  OnActivate = [this](Form&) { FormActivate(); };
  OnClose = [](Form&, CloseAction& action) { action = CloseAction::Free; };
}

Label* WizardFrame::SectionBar(const Text& name, const Text& text, int left, int top, int width) {
  auto* bar = Add<Label>(name);
  bar->SetCaption(text);
  bar->SetBounds(left, top, width, 18);
  bar->SetColor(kSectionColor);
  bar->SetBold(true);
  return bar;
}

void WizardFrame::FormActivate() {
  Label1->SetCaption(header_);
  Button1->SetVisible(false);
  Button2->SetVisible(true);
}

void WizardFrame::Button1Click() { GetUi().Terminate(); }
void WizardFrame::Button3Click() { GetUi().Terminate(); }

// Two overlapping buttons would not paint reliably.
void WizardFrame::ShowFinishButton() {
  Button1->SetVisible(true);
  Button2->SetVisible(false);
}

// --- WizardWindow

WizardWindow::WizardWindow(Ui& ui, Text className, WizardContext context, const BrowserDescription& browser,
                           WizardKind kind)
    : WizardFrame(ui, std::move(className), context, WizardCaption(browser, kind), WizardHeader(browser, kind),
                  browser.badgeColor, true),
      description(browser),
      kind(kind) {}

void WizardWindow::ShowMessage(const Text& text) { GetUi().ShowMessage(text); }
void WizardWindow::ProgressShow() {
  context_.pBar.ProgressBar1->SetPosition(0);
  context_.pBar.Show();
}
void WizardWindow::ProgressAdvance(int step) { context_.pBar.ProgressBar1->StepBy(step); }
void WizardWindow::ProgressSet(int position) { context_.pBar.ProgressBar1->SetPosition(position); }
void WizardWindow::ProgressHide() { context_.pBar.Hide(); }
void WizardWindow::Repaint() { GetUi().UpdateNow(*this); }
void WizardWindow::BusyCursor(bool busy) {
  if (busy) {
    ++busy_;
    GetUi().PushBusyCursor();
  } else if (busy_ > 0) {
    --busy_;
    GetUi().PopBusyCursor();
  }
}
void WizardWindow::SetHeader(const Text& text) { Label1->SetCaption(text); }

// --- Tfb_IE

Tfb_IE::Tfb_IE(Ui& ui, WizardContext context)
    : Tfb_IE(ui, u"Tfb_IE", context, InternetExplorer(), false) {}

Tfb_IE::Tfb_IE(Ui& ui, Text className, WizardContext context, const BrowserDescription& browser, bool restore)
    : WizardWindow(ui, std::move(className), context, browser, restore ? WizardKind::kRestore : WizardKind::kBackup),
      operation(browser, context.helpers, context.p, *this, context.Clock()),
      restore_(restore) {
  Label18 = SectionBar(u"Label18", restore ? u"Restore the following:" : u"Backup the following:", 8, 72, 583);
  AddItemBoxes();
  Button4 = Add<Button>(u"Button4");
  Button4->SetCaption(u"Select All");
  Button4->SetBounds(24, 224, 80, 23);
  Button4->OnClick = [this](Component&) { Button4Click(); };
  Button6 = Add<Button>(u"Button6");
  Button6->SetCaption(u"Deselect");
  Button6->SetBounds(110, 224, 80, 23);
  Button6->OnClick = [this](Component&) { Button6Click(); };
  Label2 = SectionBar(u"Label2", u"Backup location:", 8, 256, 583);
  DirectoryEdit2->SetBounds(24, 280, 420, 21);
  Label3 = SectionBar(u"Label3", u"Profile:", 8, 340, 583);
  ListBox1 = Add<ListBox>(u"ListBox1");
  ListBox1->SetBounds(24, 364, 551, 116);
  MakeRadioList(ListBox1);
  ListBox1->OnClick = [this](Component&) { ListBox1Click(); };
  // Without profiles the list only names the one the browser has.
  if (!browser.hasProfiles) {
    if (restore) Label3->SetCaption(u"Restore to the following profile:");
    ListBox1->SetItems({u"Default"});
    ListBox1->SetEnabled(false);
  }
}

void Tfb_IE::AddItemBoxes() {
  const Catalogue& c = operation.catalogue;
  int rowsUsed = 0;
  for (const CatalogueItem& item : c.items) {
    int slot = item.slot >= 0 ? item.slot : item.checkBox - 1;
    rowsUsed = std::max(rowsUsed, 1 + (c.rows > 0 ? slot % c.rows : slot / c.columns));
  }
  // The boxes share the 128 pixels above Select All.
  const int rowHeight = rowsUsed > 6 ? 128 / rowsUsed : 20;
  const int columnWidth = 558 / c.columns;
  for (const CatalogueItem& item : c.items) {
    auto* box = Add<CheckBox>(u"CheckBox" + platform::ToText(item.checkBox));
    int slot = item.slot >= 0 ? item.slot : item.checkBox - 1;
    int column = c.rows > 0 ? slot / c.rows : slot % c.columns;
    int row = c.rows > 0 ? slot % c.rows : slot / c.columns;
    box->SetBounds(24 + column * columnWidth, 96 + row * rowHeight, columnWidth - 6, 18);
    box->SetCaption(item.caption);
    box->SetChecked(item.initiallyTicked);
    box->SetEnabled(item.enabled);
    if (CheckBoxes.size() < static_cast<size_t>(item.checkBox))
      CheckBoxes.resize(static_cast<size_t>(item.checkBox), nullptr);
    CheckBoxes[static_cast<size_t>(item.checkBox - 1)] = box;
  }
}

// A chosen profile or backup file is usually the last choice before Next.
void Tfb_IE::ListBox1Click() { Button2->SetFocus(); }

void Tfb_IE::MakeRadioList(ListBox* list) {
  list->SetOwnerDraw(true);
  list->SetItemHeight(20);
  list->SetFontColor(kGray);
  list->OnDrawItem = [list](Component&, int index, Canvas& canvas, const Rect& rect, OwnerDrawState) {
    canvas.SetBrushColor(kWhite);
    canvas.FillRect(rect);
    canvas.SetTextColor(kBlack);
    canvas.DrawRadio(Rect{rect.left + 1, rect.top, rect.left + 13, rect.bottom}, index == list->ItemIndex());
    canvas.TextOut(rect.left + 15, rect.top + 3, list->Items().at(static_cast<size_t>(index)));
  };
}

void Tfb_IE::FormActivate() {
  WizardWindow::FormActivate();
  if (!description.hasProfiles) {
    std::vector<Text> none;
    operation.Activate(none);
  }
}

SelectiveChoice Tfb_IE::Choice() const {
  SelectiveChoice c;
  c.backupLocation = DirectoryEdit2->Caption();
  for (size_t i = 0; i < CheckBoxes.size(); ++i)
    if (CheckBoxes[i] && CheckBoxes[i]->Checked()) c.ticked.push_back(static_cast<int>(i) + 1);
  return c;
}

void Tfb_IE::Button2Click() {
  SelectiveChoice choice = Choice();
  if (restore_)
    operation.Restore(choice);
  else
    operation.Backup(choice);
}

void Tfb_IE::Button4Click() {
  for (const CatalogueItem& item : operation.catalogue.items)
    if (item.inSelectAll) CheckBoxes[static_cast<size_t>(item.checkBox - 1)]->SetChecked(true);
}
void Tfb_IE::Button6Click() {
  for (const CatalogueItem& item : operation.catalogue.items)
    if (item.inSelectAll) CheckBoxes[static_cast<size_t>(item.checkBox - 1)]->SetChecked(false);
}
void Tfb_IE::EmptyProfileList() { ListBox1->ClearItems(); }
void Tfb_IE::UntickItem(int checkBox) {
  if (checkBox >= 1 && static_cast<size_t>(checkBox) <= CheckBoxes.size() && CheckBoxes[checkBox - 1])
    CheckBoxes[static_cast<size_t>(checkBox - 1)]->SetChecked(false);
}

Tfr_IE::Tfr_IE(Ui& ui, WizardContext context) : Tfb_IE(ui, u"Tfr_IE", context, InternetExplorer(), true) {}

void Tfr_IE::FormActivate() { Label1->SetCaption(header_); }

// --- Tffb_IE

Tffb_IE::Tffb_IE(Ui& ui, WizardContext context)
    : Tffb_IE(ui, u"Tffb_IE", context, InternetExplorer(), false) {}

Tffb_IE::Tffb_IE(Ui& ui, Text className, WizardContext context, const BrowserDescription& browser, bool restore)
    : WizardWindow(ui, std::move(className), context, browser,
                   restore ? WizardKind::kFullRestore : WizardKind::kFullBackup),
      operation(browser, context.helpers, context.p, *this, context.Clock()),
      restore_(restore) {
  Label18 = SectionBar(u"Label18", u"Backup location:", 8, 72, 583);
  DirectoryEdit2->SetBounds(24, 96, 420, 21);
  Label3 = SectionBar(u"Label3", u"Progress:", 8, 136, 583);
  ProgressBar1 = Add<ProgressBar>(u"ProgressBar1");
  ProgressBar1->SetBounds(24, 160, 522, 18);
}

void Tffb_IE::FormActivate() {
  WizardWindow::FormActivate();
  operation.Activate();
}

void Tffb_IE::Button2Click() {
  Text location = DirectoryEdit2->Caption();
  if (restore_)
    operation.Restore(location, FolderName());
  else
    operation.Backup(location, FolderName());
}

void Tffb_IE::SetBar(int position, int max) {
  ProgressBar1->SetMax(max);
  ProgressBar1->SetPosition(position);
  Repaint();
}

Tffr_IE::Tffr_IE(Ui& ui, WizardContext context) : Tffb_IE(ui, u"Tffr_IE", context, InternetExplorer(), true) {}

// --- Tfb_Firefox

Tfb_Firefox::Tfb_Firefox(Ui& ui, WizardContext context)
    : Tfb_Firefox(ui, u"Tfb_Firefox", context, DescriptionOf(MozillaBrowser::kFirefox), false) {}

Tfb_Firefox::Tfb_Firefox(Ui& ui, Text className, WizardContext context, const BrowserDescription& browser,
                         bool restore)
    : Tfb_IE(ui, std::move(className), context, browser, restore) {
  DirectoryEdit1 = Add<DirectoryEdit>(u"DirectoryEdit1");
  DirectoryEdit1->SetBounds(24, 306, 420, 21);
  DirectoryEdit1->SetCaption(kCustomProfilePlaceholder);
  DirectoryEdit1->SetDialogCaption(u"Custom profile location (optional):");
  // A custom profile replaces the list's choice.
  DirectoryEdit1->OnChange = [this](Component&) {
    if (DirectoryEdit1->Caption() == kCustomProfilePlaceholder) {
      ListBox1->SetEnabled(true);
      return;
    }
    ListBox1->ClearItems();
    ListBox1->SetEnabled(false);
  };
  if (!restore) return;
  Label3->SetCaption(browser.backupFileBar);
  Label3->SetBounds(8, 340, 283, 18);
  ListBox2 = Add<ListBox>(u"ListBox2");
  ListBox2->SetBounds(24, 364, 258, 116);
  MakeRadioList(ListBox2);
  ListBox2->OnClick = [this](Component&) { ListBox1Click(); };
  Label4 = SectionBar(u"Label4", u"Restore to the following profile:", 300, 340, 291);
  ListBox1->SetBounds(316, 364, 259, 116);
  DirectoryEdit2->OnChange = [this](Component&) { FillBackupFiles(); };
  if (operation.catalogue.hasDeleteBackupFileBox) {
    CheckBoxDelete = Add<CheckBox>(u"CheckBoxDelete");
    CheckBoxDelete->SetCaption(u"Delete backup file when finished");
    CheckBoxDelete->SetBounds(24, 494, 250, 20);
  }
}

void Tfb_Firefox::FillBackupFiles() {
  ListBox2->ClearItems();
  Text folder = DirectoryEdit2->Caption();
  if (folder == kBackupLocationPlaceholder) return;
  ListBox2->SetItems(ListBackupFiles(context_.p.files, platform::ExcludeTrailingBackslash(folder)));
  if (ListBox2->Count() > 0) ListBox2->SetItemIndex(0);
}

void Tfb_Firefox::FormActivate() {
  WizardWindow::FormActivate();
  std::vector<Text> profiles = ListBox1->Items();
  const bool listed = operation.Activate(profiles);
  if (DirectoryEdit1->Caption() != kCustomProfilePlaceholder) return;  // the custom folder stands
  ListBox1->SetItems(profiles);
  if (!listed) return;
  if (operation.preselected >= 0) ListBox1->SetItemIndex(operation.preselected);
  // With a profile chosen for them, most users go straight on with Next.
  Button2->SetFocus();
}

SelectiveChoice Tfb_Firefox::Choice() const {
  SelectiveChoice c = Tfb_IE::Choice();
  c.customProfile = DirectoryEdit1->Caption();
  c.profiles = ListBox1->Items();
  c.profileIndex = ListBox1->ItemIndex();
  if (ListBox2) {
    c.backupFiles = ListBox2->Items();
    c.backupFileIndex = ListBox2->ItemIndex();
  }
  c.deleteBackupFile = CheckBoxDelete && CheckBoxDelete->Checked();
  return c;
}

void Tfb_Firefox::Button2Click() {
  Tfb_IE::Button2Click();
  if (ListBox2) FillBackupFiles();  // a deleted archive leaves the list
}

Tfr_Firefox::Tfr_Firefox(Ui& ui, WizardContext context)
    : Tfb_Firefox(ui, u"Tfr_Firefox", context, DescriptionOf(MozillaBrowser::kFirefox), true) {}

// --- Flock

Tfb_Flock::Tfb_Flock(Ui& ui, WizardContext context) : Tfb_Flock(ui, u"Tfb_Flock", context, false) {}
Tfb_Flock::Tfb_Flock(Ui& ui, Text className, WizardContext context, bool restore)
    : Tfb_Firefox(ui, std::move(className), context, DescriptionOf(MozillaBrowser::kFlock), restore) {}

Tfr_Flock::Tfr_Flock(Ui& ui, WizardContext context) : Tfb_Flock(ui, u"Tfr_Flock", context, true) {}

// --- full wizards

Tffb_Firefox::Tffb_Firefox(Ui& ui, WizardContext context)
    : Tffb_Firefox(ui, u"Tffb_Firefox", context, DescriptionOf(MozillaBrowser::kFirefox), false) {}

Tffb_Firefox::Tffb_Firefox(Ui& ui, Text className, WizardContext context, const BrowserDescription& browser,
                           bool restore)
    : Tffb_IE(ui, std::move(className), context, browser, restore) {
  lblFilename = Add<Label>(u"lblFilename");
  lblFilename->SetBounds(24, 184, 551, 40);
  lblFilename->SetWordWrap(true);
}

void Tffb_Firefox::SetFileLabel(const Text& text) {
  lblFilename->SetCaption(text);
  Repaint();
}

Tffr_Firefox::Tffr_Firefox(Ui& ui, WizardContext context)
    : Tffb_Firefox(ui, u"Tffr_Firefox", context, DescriptionOf(MozillaBrowser::kFirefox), true) {}

Tffb_Flock::Tffb_Flock(Ui& ui, WizardContext context) : Tffb_Flock(ui, u"Tffb_Flock", context, false) {}
Tffb_Flock::Tffb_Flock(Ui& ui, Text className, WizardContext context, bool restore)
    : Tffb_Firefox(ui, std::move(className), context, DescriptionOf(MozillaBrowser::kFlock), restore) {}

Tffr_Flock::Tffr_Flock(Ui& ui, WizardContext context) : Tffb_Flock(ui, u"Tffr_Flock", context, true) {}

// --- Chrome

Tfb_Chrome::Tfb_Chrome(Ui& ui, WizardContext context) : Tfb_Chrome(ui, u"Tfb_Chrome", context, false) {}
Tfb_Chrome::Tfb_Chrome(Ui& ui, Text className, WizardContext context, bool restore)
    : Tfb_Firefox(ui, std::move(className), context, Chrome(), restore) {}

Tfr_Chrome::Tfr_Chrome(Ui& ui, WizardContext context) : Tfb_Chrome(ui, u"Tfr_Chrome", context, true) {}

Tffb_Chrome::Tffb_Chrome(Ui& ui, WizardContext context) : Tffb_Chrome(ui, u"Tffb_Chrome", context, false) {}
Tffb_Chrome::Tffb_Chrome(Ui& ui, Text className, WizardContext context, bool restore)
    : Tffb_Firefox(ui, std::move(className), context, Chrome(), restore) {}

Tffr_Chrome::Tffr_Chrome(Ui& ui, WizardContext context) : Tffb_Chrome(ui, u"Tffr_Chrome", context, true) {}

// --- Safari

Tfb_Safari::Tfb_Safari(Ui& ui, WizardContext context) : Tfb_Safari(ui, u"Tfb_Safari", context, false) {}
Tfb_Safari::Tfb_Safari(Ui& ui, Text className, WizardContext context, bool restore)
    : Tfb_Firefox(ui, std::move(className), context, Safari(), restore) {}

Tfr_Safari::Tfr_Safari(Ui& ui, WizardContext context) : Tfb_Safari(ui, u"Tfr_Safari", context, true) {}

Tffb_Safari::Tffb_Safari(Ui& ui, WizardContext context) : Tffb_Safari(ui, u"Tffb_Safari", context, false) {}
Tffb_Safari::Tffb_Safari(Ui& ui, Text className, WizardContext context, bool restore)
    : Tffb_Firefox(ui, std::move(className), context, Safari(), restore) {}

Tffr_Safari::Tffr_Safari(Ui& ui, WizardContext context) : Tffb_Safari(ui, u"Tffr_Safari", context, true) {}

// --- Opera

Tfb_Opera::Tfb_Opera(Ui& ui, WizardContext context) : Tfb_Opera(ui, u"Tfb_Opera", context, false) {}
Tfb_Opera::Tfb_Opera(Ui& ui, Text className, WizardContext context, bool restore)
    : Tfb_Firefox(ui, std::move(className), context, Opera(), restore) {}

Tfr_Opera::Tfr_Opera(Ui& ui, WizardContext context) : Tfb_Opera(ui, u"Tfr_Opera", context, true) {}

Tffb_Opera::Tffb_Opera(Ui& ui, WizardContext context) : Tffb_Opera(ui, u"Tffb_Opera", context, false) {}
Tffb_Opera::Tffb_Opera(Ui& ui, Text className, WizardContext context, bool restore)
    : Tffb_Firefox(ui, std::move(className), context, Opera(), restore) {
  Label4 = Add<Label>(u"Label4");
  Label4->SetBounds(24, 240, 551, 44);
  Label4->SetWordWrap(true);
  Label4->SetCaption(
      u"Please enter Opera browser installation directory name. For example: if your browser is installed in "
      u"C:\\Program Files\\Opera 10, just type \"Opera 10\" (without quotes and/or slash).");
  Label4->SetVisible(false);
  Edit1 = Add<Edit>(u"Edit1");
  Edit1->SetBounds(24, 288, 200, 21);
  Edit1->SetVisible(false);
}

void Tffb_Opera::AskFolderName() {
  Label4->SetVisible(true);
  Edit1->SetVisible(true);
}

Text Tffb_Opera::FolderName() const { return Edit1->Caption(); }

Tffr_Opera::Tffr_Opera(Ui& ui, WizardContext context) : Tffb_Opera(ui, u"Tffr_Opera", context, true) {}

// --- the windows of each browser

namespace {

template <class W>
Form& Open(Ui& ui, WizardContext context) {
  return ui.CreateForm<W>(context);
}

struct WindowSet {
  const char16_t* browser;
  WizardOpener open[4];  // by WizardKind
};

const WindowSet kWindowSets[] = {
    {u"IE", {Open<Tfb_IE>, Open<Tfr_IE>, Open<Tffb_IE>, Open<Tffr_IE>}},
    {u"Firefox", {Open<Tfb_Firefox>, Open<Tfr_Firefox>, Open<Tffb_Firefox>, Open<Tffr_Firefox>}},
    {u"Flock", {Open<Tfb_Flock>, Open<Tfr_Flock>, Open<Tffb_Flock>, Open<Tffr_Flock>}},
    {u"Chrome", {Open<Tfb_Chrome>, Open<Tfr_Chrome>, Open<Tffb_Chrome>, Open<Tffr_Chrome>}},
    {u"Opera", {Open<Tfb_Opera>, Open<Tfr_Opera>, Open<Tffb_Opera>, Open<Tffr_Opera>}},
    {u"Safari", {Open<Tfb_Safari>, Open<Tfr_Safari>, Open<Tffb_Safari>, Open<Tffr_Safari>}},
};

}  // namespace

WizardOpener FindWizardWindow(WizardKind kind, const Text& browserId) {
  // A browser counts as built once the engine knows its description.
  if (!FindBrowser(browserId)) return nullptr;
  for (const WindowSet& set : kWindowSets)
    if (platform::SameText(set.browser, browserId)) return set.open[static_cast<int>(kind)];
  return nullptr;
}

}  // namespace brantle

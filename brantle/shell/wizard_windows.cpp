#include "brantle/shell/wizard_windows.h"

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

Text WizardBrowserName(MozillaBrowser b) { return b == MozillaBrowser::kFlock ? u"Flock" : u"Firefox"; }
Color BrowserColor(MozillaBrowser b) { return b == MozillaBrowser::kFlock ? 0xC07830 : 0x1E7CE6; }
Text WizardCaption(MozillaBrowser b, bool restore) {
  return (restore ? u"Restore " : u"Backup ") + WizardBrowserName(b) + u" Web Browser";
}
Text Header(MozillaBrowser b, const Text& kind) { return u"Welcome to " + WizardBrowserName(b) + u" " + kind + u" Wizard"; }

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

// --- WizardWindow

WizardWindow::WizardWindow(Ui& ui, Text className, WizardContext context, Text caption, Text header,
                           uint32_t iconColor)
    : Form(ui, std::move(className)), header_(std::move(header)), context_(context) {
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
  Image6->SetPicture(Badge(iconColor));
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
  DirectoryEdit2 = Add<DirectoryEdit>(u"DirectoryEdit2");
  DirectoryEdit2->SetCaption(kBackupLocationPlaceholder);
  DirectoryEdit2->SetDialogCaption(u"Backup location:");
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

Label* WizardWindow::SectionBar(const Text& name, const Text& text, int left, int top, int width) {
  auto* bar = Add<Label>(name);
  bar->SetCaption(text);
  bar->SetBounds(left, top, width, 18);
  bar->SetColor(kSectionColor);
  bar->SetBold(true);
  return bar;
}

void WizardWindow::FormActivate() {
  Label1->SetCaption(header_);
  Button1->SetVisible(false);
  Button2->SetVisible(true);
}

void WizardWindow::Button1Click() { GetUi().Terminate(); }
void WizardWindow::Button3Click() { GetUi().Terminate(); }

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
// Finish takes Next's place; two overlapping buttons would not paint reliably.
void WizardWindow::ShowFinish() {
  Button1->SetVisible(true);
  Button2->SetVisible(false);
}

// --- Tfb_IE

Tfb_IE::Tfb_IE(Ui& ui, WizardContext context)
    : Tfb_IE(ui, u"Tfb_IE", context, u"Backup Internet Explorer Web Browser",
             u"Welcome to Internet Explorer Backup Wizard", 0xC08040) {
  ListBox1->SetItems({u"Default"});
  ListBox1->SetEnabled(false);
}

Tfb_IE::Tfb_IE(Ui& ui, Text className, WizardContext context, Text caption, Text header, uint32_t iconColor)
    : WizardWindow(ui, std::move(className), context, std::move(caption), std::move(header), iconColor) {
  Label18 = SectionBar(u"Label18", u"Backup the following:", 8, 72, 583);
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
}

// A chosen profile is usually the last choice before Next.
void Tfb_IE::ListBox1Click() { Button2->SetFocus(); }

CheckBox* Tfb_IE::AddItemBox(int number, const Text& caption) {
  auto* box = Add<CheckBox>(u"CheckBox" + platform::FromUtf8(std::to_string(number)));
  int index = number - 1;
  box->SetBounds(24 + (index % 3) * 186, 96 + (index / 3) * 20, 180, 18);
  box->SetCaption(caption);
  box->SetChecked(true);
  if (CheckBoxes.size() < static_cast<size_t>(number)) CheckBoxes.resize(static_cast<size_t>(number), nullptr);
  CheckBoxes[static_cast<size_t>(index)] = box;
  return box;
}

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

void Tfb_IE::Button4Click() {
  for (CheckBox* box : CheckBoxes)
    if (box) box->SetChecked(true);
}
void Tfb_IE::Button6Click() {
  for (CheckBox* box : CheckBoxes)
    if (box) box->SetChecked(false);
}
void Tfb_IE::EmptyProfileList() { ListBox1->ClearItems(); }

// --- Tffb_IE

Tffb_IE::Tffb_IE(Ui& ui, WizardContext context)
    : Tffb_IE(ui, u"Tffb_IE", context, u"Backup Internet Explorer Web Browser",
              u"Welcome to Internet Explorer Full Backup Wizard", 0xC08040) {}

Tffb_IE::Tffb_IE(Ui& ui, Text className, WizardContext context, Text caption, Text header, uint32_t iconColor)
    : WizardWindow(ui, std::move(className), context, std::move(caption), std::move(header), iconColor) {
  Label18 = SectionBar(u"Label18", u"Backup location:", 8, 72, 583);
  DirectoryEdit2->SetBounds(24, 96, 420, 21);
  Label3 = SectionBar(u"Label3", u"Progress:", 8, 136, 583);
  ProgressBar1 = Add<ProgressBar>(u"ProgressBar1");
  ProgressBar1->SetBounds(24, 160, 522, 18);
}

void Tffb_IE::SetBar(int position, int max) {
  ProgressBar1->SetMax(max);
  ProgressBar1->SetPosition(position);
  Repaint();
}

// --- Tfb_Firefox

Tfb_Firefox::Tfb_Firefox(Ui& ui, WizardContext context)
    : Tfb_Firefox(ui, u"Tfb_Firefox", context, MozillaBrowser::kFirefox, false) {}

Tfb_Firefox::Tfb_Firefox(Ui& ui, Text className, WizardContext context, MozillaBrowser browser, bool restore)
    : Tfb_IE(ui, std::move(className), context, WizardCaption(browser, restore),
             Header(browser, restore ? u"Restore" : u"Backup"), BrowserColor(browser)),
      operation(browser, context.helpers, context.p, *this),
      restore_(restore) {
  // The Firefox items; Flock adds its own after them.
  for (int n = 1; n <= 15; ++n) AddItemBox(n, operation.catalogue.Item(n).caption);
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
  Label18->SetCaption(u"Restore the following:");
  if (browser == MozillaBrowser::kFirefox) Label3->SetCaption(u"Backup file:");
  Label3->SetBounds(8, 340, 283, 18);
  ListBox2 = Add<ListBox>(u"ListBox2");
  ListBox2->SetBounds(24, 364, 258, 116);
  MakeRadioList(ListBox2);
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
  operation.Activate(profiles);
  if (DirectoryEdit1->Caption() != kCustomProfilePlaceholder) return;  // the custom folder stands
  ListBox1->SetItems(profiles);
  if (!profiles.empty()) ListBox1->SetItemIndex(0);
}

SelectiveChoice Tfb_Firefox::Choice() const {
  SelectiveChoice c;
  c.backupLocation = DirectoryEdit2->Caption();
  c.customProfile = DirectoryEdit1->Caption();
  c.profiles = ListBox1->Items();
  c.profileIndex = ListBox1->ItemIndex();
  for (size_t i = 0; i < CheckBoxes.size(); ++i)
    if (CheckBoxes[i] && CheckBoxes[i]->Checked()) c.ticked.push_back(static_cast<int>(i) + 1);
  if (ListBox2) {
    c.backupFiles = ListBox2->Items();
    c.backupFileIndex = ListBox2->ItemIndex();
  }
  c.deleteBackupFile = CheckBoxDelete && CheckBoxDelete->Checked();
  return c;
}

void Tfb_Firefox::Button2Click() {
  SelectiveChoice choice = Choice();
  if (restore_) {
    operation.Restore(choice);
    if (ListBox2) FillBackupFiles();  // a deleted archive leaves the list
  } else {
    operation.Backup(choice);
  }
}

void Tfb_Firefox::TickItems(int first, int last, bool checked) {
  for (int n = first; n <= last && n <= static_cast<int>(CheckBoxes.size()); ++n)
    if (CheckBoxes[static_cast<size_t>(n - 1)]) CheckBoxes[static_cast<size_t>(n - 1)]->SetChecked(checked);
}

void Tfb_Firefox::Button4Click() { TickItems(1, 15, true); }
void Tfb_Firefox::Button6Click() { TickItems(1, 15, false); }

Tfr_Firefox::Tfr_Firefox(Ui& ui, WizardContext context)
    : Tfb_Firefox(ui, u"Tfr_Firefox", context, MozillaBrowser::kFirefox, true) {}

// --- Flock

Tfb_Flock::Tfb_Flock(Ui& ui, WizardContext context) : Tfb_Flock(ui, u"Tfb_Flock", context, false) {}

Tfb_Flock::Tfb_Flock(Ui& ui, Text className, WizardContext context, bool restore)
    : Tfb_Firefox(ui, std::move(className), context, MozillaBrowser::kFlock, restore) {
  for (int n = 16; n <= static_cast<int>(operation.catalogue.items.size()); ++n)
    AddItemBox(n, operation.catalogue.Item(n).caption);
}

void Tfb_Flock::Button4Click() {
  Tfb_Firefox::Button4Click();
  TickItems(16, 17, true);
}
void Tfb_Flock::Button6Click() {
  Tfb_Firefox::Button6Click();
  TickItems(16, 17, false);
}

Tfr_Flock::Tfr_Flock(Ui& ui, WizardContext context) : Tfb_Flock(ui, u"Tfr_Flock", context, true) {}

// --- full wizards

Tffb_Firefox::Tffb_Firefox(Ui& ui, WizardContext context)
    : Tffb_Firefox(ui, u"Tffb_Firefox", context, MozillaBrowser::kFirefox, false) {}

Tffb_Firefox::Tffb_Firefox(Ui& ui, Text className, WizardContext context, MozillaBrowser browser, bool restore)
    : Tffb_IE(ui, std::move(className), context, WizardCaption(browser, restore),
              Header(browser, restore ? u"Full Restore" : u"Full Backup"), BrowserColor(browser)),
      operation(browser, context.helpers, context.p, *this),
      restore_(restore) {
  lblFilename = Add<Label>(u"lblFilename");
  lblFilename->SetBounds(24, 184, 551, 40);
  lblFilename->SetWordWrap(true);
}

void Tffb_Firefox::FormActivate() {
  WizardWindow::FormActivate();
  operation.Activate();
}

void Tffb_Firefox::Button2Click() {
  Text location = DirectoryEdit2->Caption();
  if (restore_)
    operation.Restore(location);
  else
    operation.Backup(location);
}

void Tffb_Firefox::SetFileLabel(const Text& text) {
  lblFilename->SetCaption(text);
  Repaint();
}

Tffr_Firefox::Tffr_Firefox(Ui& ui, WizardContext context)
    : Tffb_Firefox(ui, u"Tffr_Firefox", context, MozillaBrowser::kFirefox, true) {}

Tffb_Flock::Tffb_Flock(Ui& ui, WizardContext context) : Tffb_Flock(ui, u"Tffb_Flock", context, false) {}
Tffb_Flock::Tffb_Flock(Ui& ui, Text className, WizardContext context, bool restore)
    : Tffb_Firefox(ui, std::move(className), context, MozillaBrowser::kFlock, restore) {}

Tffr_Flock::Tffr_Flock(Ui& ui, WizardContext context) : Tffb_Flock(ui, u"Tffr_Flock", context, true) {}

}  // namespace brantle

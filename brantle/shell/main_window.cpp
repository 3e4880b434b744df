#include "brantle/shell/main_window.h"

#include "brantle/shell/convert_window.h"

#include <iterator>

#include "platform/ui/ui.h"
#include "product_version.h"

namespace brantle {

using namespace platform::ui;

const char16_t kProductCaption[] = u"Brantle " BRANTLE_VERSION_TEXT;

const char16_t kDefaultWebHost[] = u"www.example.com";
const char16_t kDefaultMailAddress[] = u"contact@example.com";

namespace {

// A [Servers] value; missing or blank gives the maker's.
Text ServerValue(const ShellContext& context, const char16_t* key, const char16_t* fallback) {
  Text value = context.profile.ReadString(context.iniPath, u"Servers", key, Text());
  return value.empty() ? Text(fallback) : value;
}

}  // namespace

Text ShellContext::WebHost() const { return ServerValue(*this, u"Web", kDefaultWebHost); }
Text ShellContext::SiteLink(const Text& path) const { return u"http://" + WebHost() + path; }
Text ShellContext::MailLink() const { return u"mailto:" + ServerValue(*this, u"Mail", kDefaultMailAddress); }

namespace {

constexpr int kSwShowNormal = 1;

struct SchemeColors {
  const char16_t* name;
  Color back;   // the command area
  Color group;  // the command groups (the themed group caption stays black)
  Color text;
};
// Luna (blue), Silver (grey), Obsidian (dark), by Scheme.
const SchemeColors kSchemes[] = {
    {u"Luna", 0xF8E6D6, 0xF8E6D6, 0x8B4215},
    {u"Silver", 0xEEEBE9, 0xEEEBE9, 0x464646},
    {u"Obsidian", 0x443F3C, 0xA09B96, 0x1E1E1E},
};

// The frame every page inside the main window shares.
void PageFrame(Form& form) {
  form.SetStyle(FormStyle::MdiChild);
  form.SetNoCaption(true);
  form.SetBorderStyle(BorderStyle::Single);
  form.SetClientSize(599, 531);
  form.SetColor(kWhite);
}

Label* AddLabel(Form& form, const Text& name, const Text& text, int left, int top, int width, int height,
                bool wrap = false) {
  auto* l = form.Add<Label>(name);
  l->SetCaption(text);
  l->SetBounds(left, top, width, height);
  l->SetWordWrap(wrap);
  return l;
}

Label* SectionBar(Form& form, const Text& name, const Text& text, int top) {
  Label* bar = AddLabel(form, name, text, 8, top, 583, 18);
  bar->SetColor(0xEED9C4);
  bar->SetBold(true);
  return bar;
}

Label* Link(Form& form, const Text& name, const Text& text, int left, int top, int width) {
  Label* l = AddLabel(form, name, text, left, top, width, 14);
  Font f = l->GetFont();
  f.underline = true;
  f.color = 0xCC6600;
  l->SetFont(f);
  return l;
}

Text BrowserHint(const Text& kind, const Text& browser) {
  if (kind == u"b") return u"Backup " + browser + u" web browser.";
  if (kind == u"r") return u"Restore " + browser + u" web browser.";
  if (kind == u"fb") return u"Backup all " + browser + u" settings and data.";
  return u"Restore all " + browser + u" settings and data.";
}

}  // namespace

// --- start page

TFStart::TFStart(Ui& ui, ShellContext& context) : Form(ui, u"TFStart") {
  SetCaption(u"Welcome");
  PageFrame(*this);
  SectionBar(*this, u"Label1", u"Welcome:", 8);
  struct Entry {
    const char16_t* title;
    const char16_t* text;
  };
  const Entry entries[] = {
      {u"Backup:", u"Backup different web browser profiles, data and settings. Works with portable versions as well."},
      {u"Restore:", u"Restore different web browser profiles, data and settings. Works with portable versions as well."},
      {nullptr,
       u"Please note: If you are restoring portable browser data and custom location is not provided, it may "
       u"overwrite your regular browser settings. If you don't want this to happen, please provide portable "
       u"browser's backup location."},
      {u"Full Backup:", u"Backup all web browser profiles and their data."},
      {u"Full Restore:", u"Restore all web browser profiles and their data."},
      {u"Convert:", u"Convert Opera profile, from XP to 7/Vista, from 32 bit to 64 and vice versa."},
  };
  int top = 36, n = 2;
  for (const Entry& e : entries) {
    Text num = platform::FromUtf8(std::to_string(n++));
    if (e.title) {
      Label* title = AddLabel(*this, u"Label" + num + u"a", e.title, 24, top, 90, 14);
      title->SetBold(true);
      AddLabel(*this, u"Label" + num, e.text, 116, top, 440, 30, true);
      top += 36;
    } else {
      Label* note = AddLabel(*this, u"Label" + num, e.text, 24, top, 562, 44, true);
      note->SetFontColor(0x000080);
      top += 50;
    }
  }
  // One line of three labels, each as wide as its text at this DPI, the
  // link a space after the sentence and the full stop right after the link.
  Label* more = AddLabel(*this, u"Label10", u"For more information, visit Brantle", 24, top + 6, 0, 14);
  const int moreWidth = ui.TextWidth(more->GetFont(), more->Caption()) + 1;
  more->SetWidth(moreWidth);
  const int helpLeft = 24 + moreWidth + ui.TextWidth(more->GetFont(), u" ");
  lblHelp = Link(*this, u"lblHelp", u"help page", helpLeft, top + 6, 0);
  const int helpWidth = ui.TextWidth(lblHelp->GetFont(), lblHelp->Caption()) + 1;
  lblHelp->SetWidth(helpWidth);
  AddLabel(*this, u"Label11", u".", helpLeft + helpWidth, top + 6, 8, 14);
  lblHelp->OnClick = [&context](Component&) {
    context.desktop.ShellExecute(u"open", context.SiteLink(u"/help/"), Text(), Text(), kSwShowNormal);
  };
  SectionBar(*this, u"Label12", u"Legal Notice:", top + 36);
  AddLabel(*this, u"Label13",
           u"By using this software, you agree to use it on your own risk. We are not responsible for any "
           u"damages or claims arising from the following application, nor do we take responsibility for any "
           u"data, equipment or financial loss, as a result of faulty software.",
           24, top + 62, 562, 58, true);
  Button1 = Add<Button>(u"Button1");
  Button1->SetCaption(u"Cancel");
  Button1->SetBounds(508, 494, 75, 25);
  Button1->OnClick = [this](Component&) { GetUi().Terminate(); };
  OnClose = [](Form&, CloseAction& action) { action = CloseAction::Free; };
}

// --- About

Tf_About::Tf_About(Ui& ui, ShellContext& context) : Form(ui, u"Tf_About") {
  SetCaption(u"About Brantle");
  SetBorderStyle(BorderStyle::Dialog);
  SetBorderIcons({true, false, false});
  SetPosition(FormPosition::ScreenCenter);
  SetClientSize(265, 330);
  SetColor(kWhite);
  Label* product = AddLabel(*this, u"Label1", u"Brantle", 16, 16, 233, 30);
  Font big = product->GetFont();
  big.points = 18;
  big.bold = true;
  big.color = kNavy;
  product->SetFont(big);
  AddLabel(*this, u"Label2", u"Version " BRANTLE_VERSION_TEXT, 16, 50, 233, 14);
  AddLabel(*this, u"Label3", u"Backup and restore of web browser settings and data.", 16, 72, 233, 30, true);
  lblSite = Link(*this, u"lblSite", context.WebHost(), 16, 110, 233);
  lblSite->OnClick = [&context](Component&) {
    context.desktop.ShellExecute(u"open", context.SiteLink(u"/"), Text(), Text(), kSwShowNormal);
  };
  AddLabel(*this, u"Label4",
           u"This program is provided as is, without warranty of any kind. Use it at your own risk.", 16, 140,
           233, 44, true);
  AddLabel(*this, u"Label5",
           u"All product names mentioned are trademarks or registered trademarks of their respective owners.",
           16, 192, 233, 44, true);
  Button1 = Add<Button>(u"Button1");
  Button1->SetCaption(u"OK");
  Button1->SetBounds(95, 290, 75, 25);
  Button1->SetDefault(true);
  Button1->SetModalResult(ModalResult::Ok);
}

// --- not available

Tf_NotAvailable::Tf_NotAvailable(Ui& ui, const Text& feature) : Form(ui, u"Tf_NotAvailable") {
  SetCaption(feature);
  SetStyle(FormStyle::MdiChild);
  SetBorderStyle(BorderStyle::Single);
  SetClientSize(320, 100);
  SetColor(kWhite);
  SetOrigin(20, 20);
  Label1 = AddLabel(*this, u"Label1", feature + u" is not available in this build.", 16, 20, 288, 30, true);
  Button1 = Add<Button>(u"Button1");
  Button1->SetCaption(u"OK");
  Button1->SetBounds(122, 62, 75, 25);
  Button1->OnClick = [this](Component&) { Close(); };
  OnClose = [](Form&, CloseAction& action) { action = CloseAction::Free; };
}

// --- main window

namespace {

constexpr int kStripHeight = 32;  // the application button and quick-access toolbar
constexpr int kRibbonHeight = 112;
constexpr int kTabWidth = 84;
constexpr int kTabHeight = 20;
constexpr Color kKeyTipColor = 0x99E6FF;  // amber, to stand out on every scheme

}  // namespace

TForm1::TForm1(Ui& ui, ShellContext& context) : Form(ui, u"TForm1"), context_(context) {
  SetCaption(kProductCaption);
  SetStyle(FormStyle::MdiForm);
  SetClientSize(605, 690);
  SetPosition(FormPosition::ScreenCenter);
  SetColor(kWhite);
  SetMdiClientTop(kStripHeight + kRibbonHeight);
  ui.SetTitle(u"Brantle");
  // A hive file that cannot be imported is told in a message box.
  if (!context.helpers.ShowMessage)
    context.helpers.ShowMessage = [this](const Text& text) { GetUi().ShowMessage(text); };

  // Key tips are created before what they cover, so that they lie above it.
  const char16_t* const tabTips[] = {u"B", u"R", u"A", u"E", u"C", u"P", u"H"};
  std::vector<Label*> tabTipLabels;
  for (int i = 0; i < 7; ++i) {
    Text n = platform::FromUtf8(std::to_string(i));
    tabTipLabels.push_back(AddKeyTip(u"lblTabTip" + n, tabTips[i], nullptr, 2 + i * kTabWidth + kTabWidth / 2,
                                     kStripHeight + kTabHeight - 3));
    TabKeyTips.push_back(tabTips[i]);
  }

  QuickAccess = Add<Panel>(u"QuickAccess");
  QuickAccess->SetBounds(0, 0, 605, kStripHeight);

  Ribbon = Add<PageControl>(u"Ribbon");
  Ribbon->SetBounds(0, kStripHeight, 605, kRibbonHeight);
  Ribbon->SetTabSize(kTabWidth, kTabHeight);

  // Shortcut modifiers by wizard kind; the letters are the browsers' own.
  struct Kind {
    WizardKind kind;
    const char16_t* tab;
    const char16_t* prefix;
    const char16_t* modifiers;
  };
  const Kind kinds[] = {{WizardKind::kBackup, u"Backup", u"b", u"Ctrl+"},
                        {WizardKind::kRestore, u"Restore", u"r", u"Alt+"},
                        {WizardKind::kFullBackup, u"Full Backup", u"fb", u"Shift+Ctrl+"},
                        {WizardKind::kFullRestore, u"Full Restore", u"fr", u"Shift+Alt+"}};
  for (const Kind& k : kinds) {
    std::vector<RibbonCommand> commands;
    for (const BrowserEntry& browser : Browsers()) {
      RibbonCommand c;
      c.name = Text(u"btn_") + k.prefix + u"_" + browser.id;
      c.caption = browser.caption;
      c.hint = BrowserHint(k.prefix, browser.name);
      c.shortCut = Text(k.modifiers) + browser.letter;
      c.keyTip = Text(1, browser.letter);
      if (WizardOpener open = FindWizardWindow(k.kind, browser.id)) {
        c.run = [this, open] { OpenWizard(open); };
      } else {
        Text title = Text(k.tab) + u" " + browser.name;
        c.run = [this, title] { NotAvailable(title); };
      }
      commands.push_back(std::move(c));
    }
    AddTab(Text(u"ts") + k.prefix, k.tab, {{u"Web Browser", std::move(commands)}});
  }
  Groups[0]->SetHint(u"Select web browser you want to backup");
  Groups[1]->SetHint(u"Select web browser you want to restore");
  Groups[2]->SetHint(u"Select web browser you want to backup");

  AddTab(u"tsConvert", u"Convert",
         {{u"Profile", {{u"btnConvertOpera", u"&Opera", u"Convert Opera profile.", Text(), u"O",
                         [this] { OpenWizard<Tfc_Opera>(); }}}}});
  AddTab(u"tsPreferences", u"Preferences",
         {{u"Layout",
           {{u"btnLuna", u"&Luna", u"Luna interface (default)", Text(), u"L", [this] { ChooseScheme(Scheme::Luna); }},
            {u"btnObsidian", u"&Obsidian", u"Obsidian interface", Text(), u"O",
             [this] { ChooseScheme(Scheme::Obsidian); }},
            {u"btnSilver", u"&Silver", u"Silver interface", Text(), u"S",
             [this] { ChooseScheme(Scheme::Silver); }}}}});
  AddTab(u"tsHelp", u"Help",
         {{u"Software",
           {{u"btnAbout", u"&About", u"About Brantle", Text(), u"A",
             [this, &context] {
               auto& about = GetUi().CreateForm<Tf_About>(context);
               about.ShowModal();
               GetUi().Release(about);
             }},
            {u"btnUpdates", u"&Updates", u"Checks for new program version.", u"Ctrl+U", u"U",
             [this] { CheckForUpdates(); }},
            {u"btnEmail", u"&E-Mail", u"Send us an email.", Text(), u"E", [this] { OpenLink(context_.MailLink()); }}}},
          {u"Web",
           {{u"btnWWW", u"&WWW", u"Visit Brantle home page.", Text(), u"W",
             [this] { OpenLink(context_.SiteLink(u"/backup/")); }},
            {u"btnDonate", u"&Donate", u"Contribute to Brantle development team.", Text(), u"D",
             [this] { OpenLink(context_.SiteLink(u"/donate/")); }}}}});
  for (size_t i = 0; i < Tabs.size(); ++i) {
    int tab = static_cast<int>(i);
    Tips.AddTab(TabKeyTips[i], tabTipLabels[i], tab, [this, tab] { Ribbon->SelectPage(tab); });
  }
  for (RibbonCommand& c : Commands) Tips.AddCommand(c.keyTip, c.tip, c.tab, Guarded(c.run));

  // The application menu: Exit, which closes the main window and so ends
  // the program.
  Commands.push_back({u"mnuExit", u"&Exit", u"Close Brantle", u"Alt+F4", Text(), [this] { Close(); }});
  AppMenu = Add<PopupMenu>(u"AppMenu");
  mnuExit = Add<MenuItem>(u"mnuExit", AppMenu);
  mnuExit->SetCaption(u"&Exit");
  mnuExit->SetShortCut(u"Alt+F4");
  mnuExit->SetHint(u"Close Brantle");
  mnuExit->OnClick = [this](Component&) { FindCommand(u"mnuExit")->run(); };
  AddQuickAccess();

  OnActivate = [this](Form&) { FormActivate(); };
  OnDeactivate = [this](Form&) { Tips.Hide(); };
  OnKeyPreview = [this](Form&, const KeyEvent& key) { return FormKeyPreview(key); };
  Tips.Hide();
  ApplyScheme(Scheme::Luna);
}

Label* TForm1::AddKeyTip(const Text& name, const Text& letter, Component* parent, int centreX, int top) {
  auto* tip = Add<Label>(name, parent);
  tip->SetCaption(letter);
  tip->SetAlignment(Alignment::Center);
  tip->SetBounds(centreX - 8, top, 16, 14);
  tip->SetColor(kKeyTipColor);
  tip->SetBold(true);
  tip->SetVisible(false);
  return tip;
}

void TForm1::AddQuickAccess() {
  Label* appTip = AddKeyTip(u"lblAppTip", u"F", QuickAccess, 4 + 28, 18);
  struct Entry {
    const char16_t* name;
    const char16_t* caption;
    const char16_t* command;
    const char16_t* keyTip;
    int left, width;
  };
  const Entry entries[] = {{u"tbUpdates", u"Updates", u"btnUpdates", u"1", 70, 64},
                           {u"tbWWW", u"WWW", u"btnWWW", u"2", 136, 50}};
  std::vector<Label*> tips;
  for (const Entry& e : entries) tips.push_back(AddKeyTip(Text(u"lbl") + e.name + u"Tip", e.keyTip, QuickAccess,
                                                          e.left + e.width / 2, 18));
  btnApp = Add<Button>(u"btnApp", QuickAccess);
  btnApp->SetCaption(u"File");
  btnApp->SetBounds(4, 4, 56, 21);
  btnApp->OnClick = [this](Component&) { ShowAppMenu(); };
  Tips.AddTop(u"F", appTip, Guarded([this] { ShowAppMenu(); }));
  for (size_t i = 0; i < std::size(entries); ++i) {
    const Entry& e = entries[i];
    RibbonCommand* command = FindCommand(e.command);
    auto* button = Add<ToolButton>(e.name, QuickAccess);
    button->SetCaption(e.caption);
    button->SetHint(command->hint);
    button->SetBounds(e.left, 4, e.width, 21);
    std::function<void()> run = command->run;
    button->OnClick = [run](Component&) { run(); };
    QuickAccessButtons.push_back(button);
    Tips.AddTop(e.keyTip, tips[i], Guarded(run));
  }
}

void TForm1::AddTab(const Text& name, const Text& caption,
                    std::vector<std::pair<Text, std::vector<RibbonCommand>>> groups) {
  auto* sheet = Add<TabSheet>(name, Ribbon);
  sheet->SetCaption(caption);
  const int tab = static_cast<int>(Tabs.size());
  Tabs.push_back(sheet);
  int left = 4;
  for (auto& [groupCaption, commands] : groups) {
    auto* group = Add<GroupBox>(name + u"_g" + platform::FromUtf8(std::to_string(Groups.size())), sheet);
    int width = 12 + static_cast<int>(commands.size()) * 96;
    group->SetBounds(left, 2, width, 80);
    group->SetCaption(groupCaption);
    Groups.push_back(group);
    int x = 8;
    for (RibbonCommand& c : commands) {
      c.tab = tab;
      c.tip = AddKeyTip(c.name + u"_tip", c.keyTip, group, x + 45, 46);
      c.button = Add<Button>(c.name, group);
      c.button->SetCaption(c.caption);
      c.button->SetHint(c.hint);
      c.button->SetBounds(x, 18, 90, 36);
      auto* label = Add<Label>(c.name + u"_key", group);
      label->SetCaption(c.shortCut);
      label->SetAlignment(Alignment::Center);
      label->SetBounds(x, 58, 90, 14);
      ShortCutLabels.push_back(label);
      std::function<void()> run = c.run;
      c.button->OnClick = [run](Component&) { run(); };
      x += 96;
      Commands.push_back(std::move(c));
    }
    left += width + 6;
  }
}

void TForm1::CreateChildren() {
  Start = &GetUi().CreateForm<TFStart>(context_);
  Start->Show();
  PBar = &GetUi().CreateForm<Tf_pBar>();
}

void TForm1::ApplyScheme(Scheme scheme) {
  scheme_ = scheme;
  const SchemeColors& colors = kSchemes[static_cast<int>(scheme)];
  for (TabSheet* tab : Tabs) tab->SetColor(colors.back);
  for (GroupBox* group : Groups) {
    group->SetColor(colors.group);
    group->SetFontColor(colors.text);
  }
  for (Label* label : ShortCutLabels) label->SetFontColor(colors.text);
  Ribbon->SetColor(colors.back);
  QuickAccess->SetColor(colors.back);
}

void TForm1::FormActivate() {
  // The leftover of an update download, in the current folder.
  context_.p.files.Remove(platform::IncludeTrailingBackslash(context_.p.files.CurrentDir()) + u"Update.exe");
  Text layout = context_.profile.ReadString(context_.iniPath, u"Preferences", u"Layout", Text());
  for (int i = 0; i < 3; ++i)
    if (layout == kSchemes[i].name) ApplyScheme(static_cast<Scheme>(i));
}

void TForm1::ChooseScheme(Scheme scheme) {
  ApplyScheme(scheme);
  if (!context_.profile.WriteString(context_.iniPath, u"Preferences", u"Layout",
                                    kSchemes[static_cast<int>(scheme)].name)) {
    GetUi().ShowError(u"Unable to write to " + context_.iniPath);
  }
}

void TForm1::ShowAppMenu() {
  Tips.Hide();
  Point at = GetUi().ScreenPoint(*btnApp, 0, btnApp->Height());
  AppMenu->Popup(at.x, at.y);
}

RibbonCommand* TForm1::FindCommand(const Text& name) {
  for (RibbonCommand& c : Commands)
    if (c.name == name) return &c;
  return nullptr;
}

bool TForm1::HandleShortCut(int key, bool shift, bool ctrl, bool alt) {
  for (RibbonCommand& c : Commands) {
    if (c.shortCut.empty() || !ShortCutMatches(c.shortCut, key, shift, ctrl, alt)) continue;
    Tips.Hide();
    std::function<void()> run = c.run;
    GetUi().Guard(run);
    return true;
  }
  return false;
}

bool TForm1::FormKeyPreview(const KeyEvent& key) {
  if (key.key == kKeyAlt) {
    if (key.down) {
      if (!key.repeat) {
        altAlone_ = true;
        altTook_ = false;
      }
      return false;
    }
    const bool tapped = altAlone_, took = altTook_;
    altAlone_ = altTook_ = false;
    if (tapped) {
      Tips.Current() == KeyTips::Level::Off ? Tips.Show(KeyTips::Level::Top) : Tips.Hide();
      return true;
    }
    // Windows would take the release of an Alt whose key it never saw for
    // a tap and open the system menu.
    return took;
  }
  if (!key.down) return false;
  altAlone_ = false;
  bool taken = false;
  if (key.key == kKeyF10 && !key.shift && !key.ctrl && !key.alt) {
    Tips.Current() == KeyTips::Level::Off ? Tips.Show(KeyTips::Level::Top) : Tips.Hide();
    taken = true;
  } else if (key.ctrl || key.alt) {
    taken = HandleShortCut(key.key, key.shift, key.ctrl, key.alt);
    if (!taken && key.alt && !key.ctrl && !key.shift) taken = Tips.AltLetter(key.key);
    if (!taken) Tips.Hide();
  } else {
    taken = Tips.Key(key.key);
  }
  if (taken && key.alt) altTook_ = true;
  return taken;
}

std::function<void()> TForm1::Guarded(std::function<void()> run) {
  return [this, run] { GetUi().Guard(run); };
}

void TForm1::CheckForUpdates() {
  if (!updates_) {
    NotAvailable(u"Updates");
    return;
  }
  // The check pumps messages while it runs; a second one meanwhile is ignored.
  if (updateRunning_) return;
  updateRunning_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{updateRunning_};
  auto& w = GetUi().CreateForm<Tf_Update>(*updates_);
  LastOpened = &w;
  if (!GetUi().Terminated()) w.Show();
}

void TForm1::OpenWizard(WizardOpener open) {
  ui::Form& w = open(GetUi(), Context());
  w.Show();
  LastOpened = &w;
}

void TForm1::NotAvailable(const Text& feature) {
  auto& w = GetUi().CreateForm<Tf_NotAvailable>(feature);
  w.Show();
  LastOpened = &w;
}

void TForm1::OpenLink(const Text& target) {
  context_.desktop.ShellExecute(u"open", target, Text(), Text(), kSwShowNormal);
}

namespace {

// "A".."Z", "0".."9" or "F1".."F12" as a virtual-key code; 0 for others.
int KeyCodeOf(const Text& name) {
  if (name.size() == 1) {
    char16_t c = name[0];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ? c : 0;
  }
  if (name.size() >= 2 && name.size() <= 3 && name[0] == u'F') {
    int n = 0;
    for (size_t i = 1; i < name.size(); ++i) {
      if (name[i] < u'0' || name[i] > u'9') return 0;
      n = n * 10 + (name[i] - u'0');
    }
    return n >= 1 && n <= 12 ? kKeyF4 - 4 + n : 0;
  }
  return 0;
}

}  // namespace

bool ShortCutMatches(const Text& shortCut, int key, bool shift, bool ctrl, bool alt) {
  bool wantShift = false, wantCtrl = false, wantAlt = false;
  Text rest = shortCut;
  for (;;) {
    size_t plus = rest.find(u'+');
    if (plus == Text::npos || plus + 1 == rest.size()) break;
    Text part = rest.substr(0, plus);
    if (part == u"Shift") wantShift = true;
    else if (part == u"Ctrl") wantCtrl = true;
    else if (part == u"Alt") wantAlt = true;
    else return false;
    rest = rest.substr(plus + 1);
  }
  const int code = KeyCodeOf(rest);
  return code != 0 && code == key && shift == wantShift && ctrl == wantCtrl && alt == wantAlt;
}

}  // namespace brantle

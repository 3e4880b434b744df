#include "brantle/shell/main_window.h"

#include "platform/ui/ui.h"

namespace brantle {

using namespace platform::ui;

const char16_t kProductCaption[] = u"Brantle 2.0.2";

namespace links {
const char16_t kSite[] = u"http://www.example.com";
const char16_t kContact[] = u"mailto:contact@example.com";
}  // namespace links

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
  AddLabel(*this, u"Label10", u"For more information, visit Brantle", 24, top + 6, 182, 14);
  lblHelp = Link(*this, u"lblHelp", u"help page", 206, top + 6, 52);
  AddLabel(*this, u"Label11", u".", 258, top + 6, 8, 14);
  lblHelp->OnClick = [&context](Component&) {
    context.desktop.ShellExecute(u"open", Text(links::kSite) + u"/help/", Text(), Text(), kSwShowNormal);
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
  AddLabel(*this, u"Label2", u"Version 2.0.2", 16, 50, 233, 14);
  AddLabel(*this, u"Label3", u"Backup and restore of web browser settings and data.", 16, 72, 233, 30, true);
  lblSite = Link(*this, u"lblSite", Text(links::kSite).substr(7), 16, 110, 233);
  lblSite->OnClick = [&context](Component&) {
    context.desktop.ShellExecute(u"open", Text(links::kSite) + u"/", Text(), Text(), kSwShowNormal);
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

TForm1::TForm1(Ui& ui, ShellContext& context) : Form(ui, u"TForm1"), context_(context) {
  SetCaption(kProductCaption);
  SetStyle(FormStyle::MdiForm);
  SetClientSize(605, 690);
  SetPosition(FormPosition::ScreenCenter);
  SetColor(kWhite);
  SetMdiClientTop(112);
  ui.SetTitle(u"Brantle");

  Ribbon = Add<PageControl>(u"Ribbon");
  Ribbon->SetBounds(0, 0, 605, 112);

  const std::pair<const char16_t*, const char16_t*> browsers[] = {
      {u"IE", u"Internet Explorer"}, {u"Firefox", u"Firefox"}, {u"Chrome", u"Chrome"},
      {u"Opera", u"Opera"},          {u"Safari", u"Safari"},   {u"Flock", u"Flock"}};
  const std::pair<const char16_t*, const char16_t*> captions[] = {
      {u"IE", u"&Internet Explorer"}, {u"Firefox", u"&Firefox"}, {u"Chrome", u"&Chrome"},
      {u"Opera", u"&Opera"},          {u"Safari", u"&Safari"},   {u"Flock", u"F&lock"}};
  const char16_t letters[] = u"IFCOSL";

  struct Kind {
    const char16_t* tab;
    const char16_t* prefix;
    const char16_t* hintKind;
    const char16_t* modifiers;
  };
  const Kind kinds[] = {{u"Backup", u"b", u"b", u"Ctrl+"},
                        {u"Restore", u"r", u"r", u"Alt+"},
                        {u"Full Backup", u"fb", u"fb", u"Shift+Ctrl+"},
                        {u"Full Restore", u"fr", u"fr", u"Shift+Alt+"}};
  for (const Kind& k : kinds) {
    std::vector<RibbonCommand> commands;
    for (int i = 0; i < 6; ++i) {
      Text id = browsers[i].first, browser = browsers[i].second;
      RibbonCommand c;
      c.name = Text(u"btn_") + k.prefix + u"_" + id;
      c.caption = captions[i].second;
      c.hint = BrowserHint(k.hintKind, browser);
      c.shortCut = Text(k.modifiers) + letters[i];
      Text prefix = k.prefix;
      if (id == u"Firefox" || id == u"Flock") {
        bool flock = id == u"Flock";
        if (prefix == u"b") c.run = [this, flock] { flock ? (void)OpenWizard<Tfb_Flock>() : (void)OpenWizard<Tfb_Firefox>(); };
        if (prefix == u"r") c.run = [this, flock] { flock ? (void)OpenWizard<Tfr_Flock>() : (void)OpenWizard<Tfr_Firefox>(); };
        if (prefix == u"fb") c.run = [this, flock] { flock ? (void)OpenWizard<Tffb_Flock>() : (void)OpenWizard<Tffb_Firefox>(); };
        if (prefix == u"fr") c.run = [this, flock] { flock ? (void)OpenWizard<Tffr_Flock>() : (void)OpenWizard<Tffr_Firefox>(); };
      } else {
        Text title = Text(k.tab) + u" " + browser;
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
         {{u"Profile", {{u"btnConvertOpera", u"&Opera", u"Convert Opera profile.", Text(),
                         [this] { NotAvailable(u"Convert Opera profile"); }}}}});
  AddTab(u"tsPreferences", u"Preferences",
         {{u"Layout",
           {{u"btnLuna", u"&Luna", u"Luna interface (default)", Text(), [this] { ChooseScheme(Scheme::Luna); }},
            {u"btnObsidian", u"&Obsidian", u"Obsidian interface", Text(), [this] { ChooseScheme(Scheme::Obsidian); }},
            {u"btnSilver", u"&Silver", u"Silver interface", Text(), [this] { ChooseScheme(Scheme::Silver); }}}}});
  AddTab(u"tsHelp", u"Help",
         {{u"Software",
           {{u"btnAbout", u"&About", u"About Brantle", Text(),
             [this, &context] {
               auto& about = GetUi().CreateForm<Tf_About>(context);
               about.ShowModal();
               GetUi().Release(about);
             }},
            {u"btnUpdates", u"&Updates", u"Checks for new program version.", u"Ctrl+U",
             [this] { NotAvailable(u"Updates"); }},
            {u"btnEmail", u"&E-Mail", u"Send us an email.", Text(), [this] { OpenLink(links::kContact); }}}},
          {u"Web",
           {{u"btnWWW", u"&WWW", u"Visit Brantle home page.", Text(),
             [this] { OpenLink(Text(links::kSite) + u"/backup/"); }},
            {u"btnDonate", u"&Donate", u"Contribute to Brantle development team.", Text(),
             [this] { OpenLink(Text(links::kSite) + u"/donate/"); }}}}});
  Commands.push_back({u"mnuExit", u"&Exit", u"Close Brantle", u"Alt+F4", [this] { Close(); }});

  OnActivate = [this](Form&) { FormActivate(); };
  ApplyScheme(Scheme::Luna);
}

void TForm1::AddTab(const Text& name, const Text& caption,
                    std::vector<std::pair<Text, std::vector<RibbonCommand>>> groups) {
  auto* sheet = Add<TabSheet>(name, Ribbon);
  sheet->SetCaption(caption);
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

RibbonCommand* TForm1::FindCommand(const Text& name) {
  for (RibbonCommand& c : Commands)
    if (c.name == name) return &c;
  return nullptr;
}

bool TForm1::HandleShortCut(char16_t key, bool shift, bool ctrl, bool alt) {
  for (RibbonCommand& c : Commands) {
    if (c.shortCut.empty() || !ShortCutMatches(c.shortCut, key, shift, ctrl, alt)) continue;
    std::function<void()> run = c.run;
    GetUi().Guard(run);
    return true;
  }
  return false;
}

void TForm1::NotAvailable(const Text& feature) {
  auto& w = GetUi().CreateForm<Tf_NotAvailable>(feature);
  w.Show();
  LastOpened = &w;
}

void TForm1::OpenLink(const Text& target) {
  context_.desktop.ShellExecute(u"open", target, Text(), Text(), kSwShowNormal);
}

bool ShortCutMatches(const Text& shortCut, char16_t key, bool shift, bool ctrl, bool alt) {
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
  auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
  return rest.size() == 1 && upper(rest[0]) == upper(key) && shift == wantShift && ctrl == wantCtrl &&
         alt == wantAlt;
}

}  // namespace brantle

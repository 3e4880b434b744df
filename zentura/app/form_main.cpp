#include "zentura/app/form_main.h"

#include <algorithm>
#include <chrono>

#include "product_version.h"
#include "zentura/gamemode/app_closing.h"
#include "zentura/gamemode/command_line.h"
#include "zentura/gamemode/memory_release.h"
#include "zentura/gamemode/service_control.h"
#include "zentura/sysutil/command_path.h"

namespace zentura {

using namespace platform::ui;

namespace {

const Text kMain = u"Main";
const Text kApps = u"Apps";
const Text kServices = u"Services";
const Text kInfo = u"Info";
const Text kKelmoraKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelmora 3_is1";
const Text kMailFallback =
    u"mailto:?SUBJECT=Freeware Recommended: Zentura&BODY=Hi, I found this great free tool -- Zentura -- "
    u"it's really cool! %0a%0d%0a%0d";
const Text kMailFallbackTail =
    u" %0a%0d%0a%0dIt speeds up my PC games in just 1 click, so that I do not have to upgrade hardware or "
    u"purchase a new computer for the latest games. I really like it and best of all, it is completely free. "
    u"They do not insert adware to your PC and they do not spy on you. It will keep your games running "
    u"smoother than ever.";
constexpr Color kLinkHover = 128;  // dark red
constexpr int kListShrink = 60;
constexpr int kHeaderRight = 495;
constexpr int kHeaderGap = 10;

// The labels have no automatic size; this follows Tahoma 8 bold closely enough
// to line the header links up from the right.
int LinkWidth(const Text& caption) { return static_cast<int>(caption.size()) * 8 + 2; }

int CompareNoCase(const Text& a, const Text& b) {
  Text la = platform::LowerCase(a), lb = platform::LowerCase(b);
  return la < lb ? -1 : (lb < la ? 1 : 0);
}

bool ContainsKey(const std::vector<Text>& list, const Text& key) {
  return std::any_of(list.begin(), list.end(), [&](const Text& k) { return platform::SameText(k, key); });
}

void RemoveKey(std::vector<Text>& list, const Text& key) {
  auto it = std::find_if(list.begin(), list.end(), [&](const Text& k) { return platform::SameText(k, key); });
  if (it != list.end()) list.erase(it);
}

Label* LinkLabel(Form& form, const Text& name, Component* parent, const Text& caption) {
  auto* label = form.Add<Label>(name, parent);
  label->SetCaption(caption);
  Font font = label->GetFont();
  font.bold = true;
  font.underline = true;
  label->SetFont(font);
  label->OnMouseEnter = [](Component& c) { c.SetFontColor(kLinkHover); };
  label->OnMouseLeave = [](Component& c) { c.SetFontColor(kBlack); };
  return label;
}

}  // namespace

// ------------------------------------------------------------ the workers

GameModeWorker::GameModeWorker(TFormMain& form) : form_(form), messages_(form.language_.Messages()) {}

GameModeWorker::~GameModeWorker() { Join(); }

void GameModeWorker::Start() {
  thread_ = std::thread([this] {
    try {
      Execute();
    } catch (...) {
      // A worker never ends the program; its finishing step already ran or
      // the window is closing.
    }
    finished_ = true;
  });
}

void GameModeWorker::Join() {
  if (thread_.joinable()) thread_.join();
}

void GameModeWorker::Synchronize(const std::function<void()>& step) {
  if (form_.closing_) return;
  TFormMain& form = form_;
  form.GetUi().Synchronize([&form, &step] {
    if (!form.closing_) step();
  });
}

void GameModeWorker::AddRowAndStatus() {
  Synchronize([this] { form_.AddRow(ItemCaption, ItemStatus, StatusText); });
}

void GameModeWorker::StepProgress() {
  Synchronize([this] { form_.ProgressBar1->StepBy(1); });
}

Text GameModeWorker::Message(int index, const std::vector<FormatArg>& args) const {
  return SafeFormat(MessageAt(messages_, index), args);
}

void TThreadServiceStop::Execute() {
  bool completed = false;
  try {
    completed = StopServices();
  } catch (...) {
    // The switch still finishes, with what was done so far.
  }
  Synchronize([this, completed] {
    form_.FinishSwitch();
    // Done in the same step so that nothing of this switch runs once Busy is off.
    if (completed && !Terminated()) form_.AfterSwitch();
  });
}

bool TThreadServiceStop::StopServices() {
  TFormMain& f = form_;
  const int steps = static_cast<int>(f.CandidateServices.size() + f.ClosedApps.size());
  Synchronize([&f, steps] { f.PrepareSwitch(steps); });
  TIniFile record(f.env_.sp.profile, f.env_.RecordFile());
  for (const Text& entry : f.ClosedApps) {
    if (Terminated()) return false;
    ItemCaption = ExeNameOf(entry);
    ItemStatus = Message(9);
    StatusText = Message(12, {ItemCaption});
    AddRowAndStatus();
    StepProgress();
  }
  Pending = f.CandidateServices;
  size_t count = Pending.size();
  for (;;) {
    if (Pending.empty()) break;
    std::vector<Text> handled;
    for (const Text& key : Pending) {
      if (Terminated()) break;
      if (!IsServiceRunning(f.env_.sp, Text(), key)) continue;
      const Text display = GetServiceDisplayName(f.env_.sp, Text(), key);
      ItemCaption.clear();
      StatusText = Message(13, {display});
      AddRowAndStatus();
      handled.push_back(key);
      if (!ContainsKey(f.StoppedServices, key)) f.StoppedServices.push_back(key);
      record.WriteString(kServices, key, Text());
      if (StopServiceAndWait(f.env_.sp, Text(), key)) {
        ItemCaption = display;
        ItemStatus = Message(7);
        AddRowAndStatus();
        StepProgress();
      }
    }
    for (const Text& key : handled) RemoveKey(Pending, key);
    if (Terminated()) break;
    if (Pending.size() == count) break;
    count = Pending.size();
  }
  Pending.clear();
  f.env_.sp.desktop.DeleteAtReboot(f.env_.RecordFile());
  if (Terminated()) return false;
  TrimAllWorkingSets(f.env_.sp);
  return true;
}

void TThreadServiceRun::Execute() {
  bool completed = false;
  form_.env_.sp.desktop.BeginThreadCom();
  try {
    completed = Restore();
  } catch (...) {
    // temp.ini stays, so the next start is in game mode with what is left.
  }
  form_.env_.sp.desktop.EndThreadCom();
  // Deleted before Busy is cleared, so that a new switch cannot lose the
  // record it starts writing.
  if (completed) form_.env_.p.files.Remove(form_.env_.RecordFile());
  Synchronize([this] { form_.FinishRestore(); });
}

bool TThreadServiceRun::Restore() {
  TFormMain& f = form_;
  TIniFile record(f.env_.sp.profile, f.env_.RecordFile());
  const int steps = static_cast<int>(f.StoppedServices.size() + f.ClosedApps.size());
  Synchronize([&f, steps] { f.PrepareRestore(steps); });
  for (auto it = f.StoppedServices.rbegin(); it != f.StoppedServices.rend(); ++it) {
    if (Terminated()) return false;
    const Text& key = *it;
    const Text display = GetServiceDisplayName(f.env_.sp, Text(), key);
    ItemCaption.clear();
    StatusText = Message(11, {display});
    AddRowAndStatus();
    if (StartServiceAndWait(f.env_.sp, Text(), key)) {
      record.DeleteKey(kServices, key);
      ItemCaption = display;
      ItemStatus = Message(6);
      AddRowAndStatus();
      StepProgress();
    }
  }
  for (const Text& entry : f.ClosedApps) {
    if (Terminated()) return false;
    const Text exe = ExeNameOf(entry);
    ItemCaption.clear();
    StatusText = Message(11, {exe});
    AddRowAndStatus();
    f.env_.sp.desktop.ShellExecute(u"open", entry, Text(), Text(), platform::sw::kShowNormal);
    ItemCaption = exe;
    ItemStatus = Message(8);
    AddRowAndStatus();
    StepProgress();
  }
  return true;
}

// ----------------------------------------------------------- the window

TFormMain::TFormMain(Ui& ui, ZenturaEnv& env)
    : Form(ui, u"TFormMain"),
      env_(env),
      settings_(env.sp.profile, env.SettingsFile()),
      record_(env.sp.profile, env.RecordFile()),
      language_(env.p, env.sp.profile, env.programFolder) {
  // The chooser is created below; the main window must stay the main form.
  if (!ui.MainForm()) ui.SetMainForm(this);
  SetCaption(u"Zentura by Veltrane");
  SetClientSize(503, 488);
  SetBorderStyle(BorderStyle::Single);
  SetBorderIcons(BorderIcons{true, true, false});
  SetPosition(FormPosition::ScreenCenter);
  CreateComponents();
  CreateMenus();
  WireEvents();

  ShutdownPending = false;
  checkAllArmed_ = true;
  CountDown = ReadCountdown();
  if (!language_.LoadLanguage(*this)) return;
  language_.OnLanguageChanged = [this] { LanguageChanged(); };
  defragPage_->LanguageApplied();
  serviceSection_ = ServiceListSection(env_.p.system.Version());

  std::unique_ptr<platform::RegKey> key;
  if (env_.p.registry.OpenKey(platform::RootKey::kLocalMachine, kKelmoraKey, platform::keyaccess::kRead, &key) == 0) {
    ImagePromo->SetVisible(false);
    ImagePromoAnim->SetVisible(false);
    LabelPromo->SetVisible(false);
    TimerPromo->SetEnabled(false);
  }

  if (env_.p.files.FileExists(env_.RecordFile())) {
    StartInGameMode();
  } else {
    BtnExit->SetCaption(Msg(2));
    BtnSwitch->SetCaption(Msg(0));
  }
  BuildMainList();
  StartUpdateCheck();
  LayoutHeaderLinks();
  PageControl1->SetActivePageIndex(0);
  chooser_ = std::make_unique<TForm2>(ui, env_, language_);
  chooser_->SetOwnerForm(this);
  chooser_->OnCancelApps = [this] {
    // A running worker reads the list; the next switch takes the new choice.
    if (!Busy) ClosedApps.clear();
  };
  ui.OnLoopMessage = [this](uint32_t message) { aplctnvnts1Message(message); };
  created_ = true;
}

TFormMain::~TFormMain() {
  closing_ = true;
  defragPage_.reset();
  if (created_) GetUi().OnLoopMessage = nullptr;
  if (worker_) {
    worker_->Terminate();
    // The worker may wait for a handed-over step: keep them flowing (they do
    // nothing now) until it has ended.
    while (!worker_->Finished()) {
      try {
        GetUi().RunPending();
      } catch (...) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker_->Join();
    worker_.reset();
  }
  chooser_.reset();
}

void TFormMain::CreateComponents() {
  ImageLogo = Add<Image>(u"ImageLogo");
  ImageLogo->SetBounds(10, 8, 48, 48);
  ImageLogo->SetPicture(Picture::FromResource(u"ZENTURA_LOGO"));
  LabelTitle = Add<Label>(u"LabelTitle");
  LabelTitle->SetCaption(u"Zentura");
  LabelTitle->SetBounds(64, 8, 100, 26);
  Font title = LabelTitle->GetFont();
  title.bold = true;
  title.pixelHeight = 22;
  LabelTitle->SetFont(title);
  LabelVersion = Add<Label>(u"LabelVersion");
  LabelVersion->SetCaption(u"v" ZENTURA_VERSION_TEXT);
  LabelVersion->SetBounds(164, 16, 40, 14);
  LabelDescription = Add<Label>(u"LabelDescription");
  LabelDescription->SetCaption(
      u"Zentura is designed to help optimize your PC for smoother, more responsive game play in the latest PC "
      u"games with the touch of a button. It works by temporarily shutting down background services, cleaning "
      u"RAM, and intensifying processor performance to make your Gaming PC! ");
  LabelDescription->SetWordWrap(true);
  LabelDescription->SetBounds(64, 34, 430, 54);

  LabelOptions = LinkLabel(*this, u"LabelOptions", nullptr, u"Options");
  LabelLang = LinkLabel(*this, u"LabelLang", nullptr, u"Language");
  LabelSupport = LinkLabel(*this, u"LabelSupport", nullptr, u"Support");
  for (Label* l : {LabelOptions, LabelLang, LabelSupport}) l->SetBounds(0, 8, LinkWidth(l->Caption()), 14);

  PageControl1 = Add<PageControl>(u"PageControl1");
  PageControl1->SetBounds(6, 90, 491, 362);
  TabSheet1 = Add<TabSheet>(u"TabSheet1", PageControl1);
  TabSheet1->SetCaption(u"Main");
  TabSheet2 = Add<TabSheet>(u"TabSheet2", PageControl1);
  TabSheet2->SetCaption(u"Game Defrag");

  LabelComment2 = Add<Label>(u"LabelComment2", TabSheet1);
  LabelComment2->SetCaption(
      u"When you are in Gaming Mode, this program can not be closed until you change to Normal Mode.");
  LabelComment2->SetWordWrap(true);
  LabelComment2->SetBounds(8, 6, 465, 28);
  BtnSwitch = Add<Button>(u"BtnSwitch", TabSheet1);
  BtnSwitch->SetCaption(u"Switch to Gaming Mode! ");
  BtnSwitch->SetDefault(true);
  BtnSwitch->SetBold(true);
  BtnSwitch->SetBounds(8, 38, 220, 30);
  LabelConfig = Add<Label>(u"LabelConfig", TabSheet1);
  LabelConfig->SetCaption(u"Configure");
  LabelConfig->SetBounds(240, 47, 80, 14);

  GroupBox1 = Add<GroupBox>(u"GroupBox1", TabSheet1);
  GroupBox1->SetCaption(u"Details");
  GroupBox1->SetBounds(8, 76, 467, 254);
  // Created before the list: an earlier sibling lies above a later one, so
  // the box shows over the column header.
  CheckBox1 = Add<CheckBox>(u"CheckBox1", GroupBox1);
  CheckBox1->SetBounds(14, 22, 13, 13);
  CheckBox1->SetChecked(true);
  ListView1 = Add<ListView>(u"ListView1", GroupBox1);
  ListView1->SetBounds(8, 18, 451, 226);
  ListView1->SetCheckboxes(true);
  ListView1->SetGridLines(true);
  ListView1->SetReadOnly(true);
  ListView1->SetRowSelect(true);
  auto addColumn = [this](const Text& caption, int width, int minWidth, int maxWidth) {
    ListColumn column;
    column.caption = caption;
    column.width = width;
    column.minWidth = minWidth;
    column.maxWidth = maxWidth;
    ListView1->AddColumn(caption, width);
    ListView1->SetColumn(static_cast<int>(ListView1->Columns().size()) - 1, column);
  };
  addColumn(u"     Service", 325, 280, 325);
  addColumn(u"Status", 110, 110, 150);
  ProgressBar1 = Add<ProgressBar>(u"ProgressBar1", GroupBox1);
  ProgressBar1->SetSmooth(true);
  ProgressBar1->SetBounds(8, 190, 451, 16);
  LabelStat = Add<Label>(u"LabelStat", GroupBox1);
  LabelStat->SetBounds(30, 216, 360, 14);
  Image2 = Add<TImageNote>(u"Image2", GroupBox1);
  Image2->SetBounds(8, 214, 16, 16);
  for (int i = 0; i < kBusyFrames; ++i) Image2->AddPicture(Picture::FromResource(u"BUSY" + platform::ToText(i)));
  Image2->SetImageIndex(0);
  LabelAbort = LinkLabel(*this, u"LabelAbort", GroupBox1, u"Abort");
  LabelAbort->SetBounds(410, 216, 49, 14);
  for (Component* c : std::initializer_list<Component*>{ProgressBar1, LabelStat, Image2, LabelAbort}) {
    c->SetVisible(false);
  }

  defragPage_ = std::make_unique<TGameDefragPage>(*this, *TabSheet2, env_, language_);

  BtnExit = Add<Button>(u"BtnExit");
  BtnExit->SetCaption(u"Exit");
  BtnExit->SetBounds(412, 458, 85, 25);
  LabelMaker = Add<Label>(u"LabelMaker");
  LabelMaker->SetCaption(u"Veltrane Software");
  LabelMaker->SetBounds(8, 464, 110, 14);
  LabelTell = LinkLabel(*this, u"LabelTell", nullptr, u"Tell a friend");
  LabelTell->SetBounds(126, 464, 90, 14);
  ImagePromo = Add<TImageNote>(u"ImagePromo");
  ImagePromo->SetBounds(226, 458, 24, 24);
  for (int i = 0; i < 3; ++i) ImagePromo->AddPicture(Picture::FromResource(u"PROMO" + platform::ToText(i)));
  ImagePromo->SetImageIndex(0);
  ImagePromoAnim = Add<TImageNote>(u"ImagePromoAnim");
  ImagePromoAnim->SetBounds(254, 458, 24, 24);
  for (int i = 0; i < 6; ++i) ImagePromoAnim->AddPicture(Picture::FromResource(u"SPARKLE" + platform::ToText(i)));
  ImagePromoAnim->SetImageIndex(0);
  LabelPromo = LinkLabel(*this, u"LabelPromo", nullptr, u"Kelmora");
  LabelPromo->SetBounds(282, 464, 110, 14);

  tmrCountDown = Add<Timer>(u"tmrCountDown");
  tmrCountDown->SetEnabled(false);
  tmrCountDown->SetInterval(1000);
  Timer_AutoGame = Add<Timer>(u"Timer_AutoGame");
  Timer_AutoGame->SetEnabled(false);
  Timer_AutoGame->SetInterval(100);
  TimerPromo = Add<Timer>(u"TimerPromo");
  TimerPromo->SetInterval(150);
  // The busy wheel turns only while a game-mode worker shows its progress.
  TimerBusy = Add<Timer>(u"TimerBusy");
  TimerBusy->SetInterval(kBusyFrameMs);
}

void TFormMain::CreateMenus() {
  OptionMenu = Add<PopupMenu>(u"OptionMenu");
  Menu_AutoMinimize = Add<MenuItem>(u"Menu_AutoMinimize", OptionMenu);
  Menu_AutoMinimize->SetCaption(u"Auto minimize");
  Menu_EditServicelist = Add<MenuItem>(u"Menu_EditServicelist", OptionMenu);
  Menu_EditServicelist->SetCaption(u"Edit service list");
  Menu_CheckUpdate = Add<MenuItem>(u"Menu_CheckUpdate", OptionMenu);
  Menu_CheckUpdate->SetCaption(u"Check update");
  LangMenu = Add<PopupMenu>(u"LangMenu");
  Menu_Translate = Add<MenuItem>(u"Menu_Translate", LangMenu);
  Menu_Translate->SetCaption(u"Translate it!");
  Menu_Separator = Add<MenuItem>(u"Menu_Separator", LangMenu);
  Menu_Separator->SetCaption(u"-");
}

void TFormMain::WireEvents() {
  OnShow = [this](Form&) { FormShow(); };
  PageControl1->OnChange = [this](Component&) {
    if (PageControl1->ActivePage() == TabSheet2) defragPage_->PageShown();
  };
  OnCloseQuery = [this](Form&, bool& canClose) { FormCloseQuery(canClose); };
  OnClose = [this](Form&, CloseAction& action) { FormClose(action); };
  OnMessage = [this](Form&, uint32_t msg, uintptr_t wParam, intptr_t) {
    if (msg == kWmQueryEndSession) {
      exitwin();
      return false;  // answered as the window's default handling does
    }
    if (msg == WM_ACTIVATE_INSTANCE) {
      ActivateInstance(wParam);
      return true;
    }
    return false;
  };
  BtnExit->OnClick = [this](Component&) { BtnExitClick(); };
  BtnSwitch->OnClick = [this](Component&) { BtnSwitchClick(); };
  CheckBox1->OnClick = [this](Component&) { CheckBox1Click(); };
  ListView1->OnMouseDown = [this](Component&, const MouseEvent& e) { ListView1MouseDown(e); };
  ListView1->OnColumnClick = [this](Component&, int column) { ListView1ColumnClick(column); };
  ListView1->OnCompare = [this](Component&, ListItem& a, ListItem& b, int& compare) {
    compare = ListView1Compare(a, b);
  };
  ListView1->OnCustomDrawItem = [this](Component&, ListItem& item, ItemDrawStyle& style) {
    ListView1AdvancedCustomDrawItem(item, style);
  };
  LabelOptions->OnMouseUp = [this](Component&, const MouseEvent& e) { LabelOptionsMouseUp(e); };
  LabelLang->OnMouseUp = [this](Component&, const MouseEvent& e) { LabelLangMouseUp(e); };
  OptionMenu->OnPopup = [this](Component&) { OptionMenuPopup(); };
  LangMenu->OnPopup = [this](Component&) { language_.BuildLanguageMenu(*LangMenu, Busy); };
  Menu_AutoMinimize->OnClick = [this](Component&) { Menu_AutoMinimizeClick(); };
  Menu_EditServicelist->OnClick = [this](Component&) { Menu_EditServicelistClick(); };
  Menu_CheckUpdate->OnClick = [this](Component&) { Menu_CheckUpdateClick(); };
  Menu_Translate->OnClick = [this](Component&) { Menu_TranslateClick(); };
  LabelSupport->OnClick = [this](Component&) { LabelSupportClick(); };
  LabelMaker->OnClick = [this](Component&) { LabelMakerClick(); };
  LabelTell->OnClick = [this](Component&) { LabelTellClick(); };
  LabelConfig->OnClick = [this](Component&) { LabelConfigClick(); };
  LabelConfig->OnMouseEnter = [](Component& c) {
    Font f = c.GetFont();
    f.underline = true;
    c.SetFont(f);
  };
  LabelConfig->OnMouseLeave = [](Component& c) {
    Font f = c.GetFont();
    f.underline = false;
    c.SetFont(f);
  };
  LabelAbort->OnClick = [this](Component&) { LabelAbortClick(); };
  for (Component* c : std::initializer_list<Component*>{ImagePromo, ImagePromoAnim, LabelPromo}) {
    c->OnClick = [this](Component&) { PromoClick(); };
  }
  ImagePromo->OnMouseEnter = [this](Component&) { SetPromoState(1); };
  ImagePromo->OnMouseLeave = [this](Component&) { SetPromoState(0); };
  ImagePromo->OnMouseDown = [this](Component&, const MouseEvent&) { SetPromoState(2); };
  ImagePromo->OnMouseUp = [this](Component&, const MouseEvent&) { SetPromoState(1); };
  TimerBusy->OnTimer = [this](Component&) {
    if (Image2->Visible()) Image2->SetImageIndex((Image2->ImageIndex() + 1) % kBusyFrames);
  };
  TimerPromo->OnTimer = [this](Component&) { TimerPromoTimer(); };
  tmrCountDown->OnTimer = [this](Component&) { tmrCountDownTimer(); };
  Timer_AutoGame->OnTimer = [this](Component&) { Timer_AutoGameTimer(); };
}

int TFormMain::ReadCountdown() { return settings_.ReadInteger(kMain, u"Countdown", 5); }

void TFormMain::StartInGameMode() {
  GameMode = true;
  BtnExit->SetCaption(Msg(3));
  BtnSwitch->SetCaption(Msg(1));
  StoppedServices = record_.ReadSection(kServices);
  ClosedApps = record_.ReadSection(kApps);
}

// The update check is started here once it is part of the program.
void TFormMain::StartUpdateCheck() {
  if (!env_.net) return;
  std::function<bool(const Text&, const Text&)> ask = env_.askFromWorker;
  if (!ask) {
    ask = [this](const Text& text, const Text& caption) {
      return GetUi().MessageBox(text, caption, MsgButtons::YesNo, MsgIcon::None) == ModalResult::Yes;
    };
  }
  updateThread_ = std::make_unique<TUpdateThread>(UpdateCheckContext{
      *env_.net, env_.p.files, env_.sp, env_.programFolder, env_.UpdateAddress(), ask});
  updateThread_->Prompt = Msg(17);
  updateThread_->Start();
}

void TFormMain::LayoutHeaderLinks() {
  LabelOptions->SetBounds(kHeaderRight - LinkWidth(LabelOptions->Caption()), LabelOptions->Top(),
                          LinkWidth(LabelOptions->Caption()), LabelOptions->Height());
  LabelLang->SetBounds(LabelOptions->Left() - kHeaderGap - LinkWidth(LabelLang->Caption()), LabelLang->Top(),
                       LinkWidth(LabelLang->Caption()), LabelLang->Height());
  LabelSupport->SetBounds(LabelLang->Left() - kHeaderGap - LinkWidth(LabelSupport->Caption()),
                          LabelSupport->Top(), LinkWidth(LabelSupport->Caption()), LabelSupport->Height());
}

void TFormMain::PlaceCheckAllBox() {
  const int header = ListView1->HeaderHeight();
  if (header < 0) return;
  const int indent = env_.p.system.Version().major >= 6 ? 6 : 8;
  CheckBox1->SetLeft(ListView1->Left() + indent);
  CheckBox1->SetTop(ListView1->Top() + 2 + (header - 14) / 2);
}

void TFormMain::BuildMainList() {
  CandidateServices = settings_.ReadSection(serviceSection_);
  if (serviceSection_.empty()) CandidateServices.clear();
  ListView1->BeginUpdate();
  ListView1->ClearItems();
  rowKeys_.clear();
  SummaryShown = false;
  PlaceCheckAllBox();
  ListView1->SetColumnCaption(1, Msg(5));
  if (!GameMode) {
    ListView1->SetColumnCaption(0, u"      " + Msg(4));
    CheckBox1->SetEnabled(true);
    CheckBox1->SetVisible(true);
    ListView1->SetCheckboxes(true);
    for (const Text& key : CandidateServices) {
      if (!IsServiceRunning(env_.sp, Text(), key)) continue;
      ListItem& row = ListView1->AddItem(GetServiceDisplayName(env_.sp, Text(), key));
      row.AddSubItem(Msg(6));
      row.SetData(static_cast<intptr_t>(rowKeys_.size()));
      rowKeys_.push_back(key);
      const bool selected = settings_.ReadInteger(serviceSection_, key, 1) != 0;
      row.SetChecked(selected);
      if (!selected) {
        checkAllArmed_ = false;
        CheckBox1->SetChecked(false);
      }
    }
  } else {
    ListView1->SetColumnCaption(0, Msg(16));
    CheckBox1->SetVisible(false);
    CheckBox1->SetEnabled(false);
    ListView1->SetCheckboxes(false);
    for (const Text& entry : ClosedApps) {
      ListView1->AddItem(entry).AddSubItem(Msg(9));
    }
    for (const Text& key : StoppedServices) {
      if (IsServiceRunning(env_.sp, Text(), key)) continue;
      ListView1->AddItem(GetServiceDisplayName(env_.sp, Text(), key)).AddSubItem(Msg(7));
    }
    ListItem& summary = ListView1->AddItem(Msg(14));
    summary.AddSubItem(Msg(15, {record_.ReadInteger(kInfo, u"Mem", 0)}));
    SummaryShown = true;
    ListView1->MakeVisible(ListView1->Count() - 1);
  }
  ListView1->EndUpdate();
}

// ------------------------------------------------------------- handlers

void TFormMain::FormShow() {
  if (!GameMode && env_.AutoGameMode()) BtnSwitchClick();
}

void TFormMain::FormCloseQuery(bool& canClose) {
  canClose = ShutdownPending || !Busy;
  if (!canClose || ShutdownPending || !defragPage_ || !defragPage_->Running()) return;
  PageControl1->SetActivePage(TabSheet2);
  canClose = GetUi().MessageBox(Msg(39), Caption(), platform::ui::MsgButtons::YesNo,
                                platform::ui::MsgIcon::Warning) == platform::ui::ModalResult::Yes;
}

void TFormMain::FormClose(CloseAction& action) {
  if (!GameMode) return;
  const Text tray = env_.programFolder + u"zentray.exe";
  if (env_.p.files.FileExists(tray)) {
    env_.sp.desktop.CreateProcess(tray, u" tray");
  } else {
    action = CloseAction::Minimize;
  }
}

void TFormMain::BtnExitClick() { Close(); }

void TFormMain::BtnSwitchClick() {
  if (Busy) return;
  if (!GameMode) {
    SwitchOn();
  } else {
    SwitchBack();
  }
}

void TFormMain::SwitchOn() {
  InitCntDnTimer();
  Busy = true;
  BtnExit->SetEnabled(false);
  GameMode = true;
  BtnSwitch->SetEnabled(false);
  TMemory memory(env_.sp);
  memory.Refresh();
  PhysicalFreeBefore = memory.PhysicalFree();

  AppClosingContext ctx{env_.p, env_.sp, settings_, record_, chooser_->View(), Msg(18), Msg(19)};
  CloseChosenApplications(ctx, &ClosedApps);
  // What an aborted restore did not start again is still in the record
  // (a restore removes each service it starts): it stays to be restored.
  StoppedServices = record_.ReadSection(kServices);

  for (int i = 0; i < ListView1->Count(); ++i) {
    ListItem& row = ListView1->Item(i);
    const size_t k = static_cast<size_t>(row.Data());
    if (k >= rowKeys_.size()) continue;
    const Text& key = rowKeys_[k];
    settings_.WriteString(serviceSection_, key, row.Checked() ? u"1" : u"0");
  }
  // Only what the user selected is stopped, listed now or not (a service
  // that was not running when the list was built may run by now).
  std::vector<Text> selected;
  for (const Text& key : CandidateServices) {
    if (settings_.ReadInteger(serviceSection_, key, 1) != 0) selected.push_back(key);
  }
  CandidateServices = std::move(selected);
  ListView1->ClearItems();
  rowKeys_.clear();
  SummaryShown = false;
  ProgressBar1->SetPosition(0);
  StartWorker(std::make_unique<TThreadServiceStop>(*this));
}

void TFormMain::SwitchBack() {
  InitCntDnTimer();
  Busy = true;
  BtnExit->SetEnabled(false);
  GameMode = false;
  BtnSwitch->SetEnabled(false);
  ProgressBar1->SetPosition(0);
  ListView1->ClearItems();
  rowKeys_.clear();
  SummaryShown = false;
  StartWorker(std::make_unique<TThreadServiceRun>(*this));
}

void TFormMain::JoinWorker() {
  if (!worker_) return;
  // Busy is off, so the worker has handed over its last step and is ending.
  worker_->Join();
  worker_.reset();
}

void TFormMain::StartWorker(std::unique_ptr<GameModeWorker> worker) {
  JoinWorker();
  worker_ = std::move(worker);
  worker_->Start();
}

void TFormMain::SetListShorter(bool shorter) {
  ListView1->SetHeight(ListView1->Height() + (shorter ? -kListShrink : kListShrink));
}

void TFormMain::ShowProgress(bool shown) {
  ProgressBar1->SetVisible(shown);
  LabelStat->SetVisible(shown);
  Image2->SetVisible(shown);
  LabelAbort->SetVisible(shown);
  LabelAbort->SetEnabled(true);
}

void TFormMain::PrepareSwitch(int steps) {
  BtnExit->SetCaption(Msg(3));
  ProgressBar1->SetRange(0, steps);
  ProgressBar1->SetPosition(0);
  CheckBox1->SetEnabled(false);
  CheckBox1->SetVisible(false);
  ListView1->SetCheckboxes(false);
  ListView1->SetColumnCaption(0, Msg(16));
  SetListShorter(true);
  ShowProgress(true);
}

void TFormMain::PrepareRestore(int steps) {
  ProgressBar1->SetRange(0, steps);
  ProgressBar1->SetPosition(0);
  SetListShorter(true);
  ShowProgress(true);
}

void TFormMain::AddRow(const Text& caption, const Text& status, const Text& statusText) {
  if (!caption.empty()) {
    ListItem& row = ListView1->AddItem(caption);
    row.AddSubItem(status);
    ListView1->SetItemIndex(row.Index());
    ListView1->MakeVisible(row.Index());
  }
  LabelStat->SetCaption(statusText);
}

void TFormMain::FinishSwitch() {
  ListItem& summary = ListView1->AddItem(Msg(14));
  SummaryShown = true;
  TMemory memory(env_.sp);
  memory.Refresh();
  int64_t gained = static_cast<int64_t>(memory.PhysicalFree() - PhysicalFreeBefore);
  if (gained < 0) gained = 0;
  const long long megabytes = gained / 1024 / 1024;
  summary.AddSubItem(Msg(15, {megabytes}));
  record_.WriteString(kInfo, u"Mem", platform::ToText(megabytes));
  ListView1->SetItemIndex(summary.Index());
  ListView1->MakeVisible(summary.Index());
  // The Abort link goes too: the list grows back over its place.
  ShowProgress(false);
  SetListShorter(false);
  ProgressBar1->SetPosition(ProgressBar1->Max());
  BtnExit->SetCaption(Msg(3));
  BtnSwitch->SetCaption(Msg(1));
  BtnExit->SetEnabled(true);
  BtnSwitch->SetEnabled(true);
  ProgressBar1->SetPosition(0);
  Busy = false;
}

bool TFormMain::AutoLaunchRequested() const {
  return env_.args.size() >= 2 && env_.args[0] == u"-gm" && env_.args[1] == u"-path";
}

void TFormMain::AfterSwitch() {
  if (AutoLaunchRequested()) {
    Timer_AutoGame->SetEnabled(true);
  } else if (settings_.ReadBool(kMain, u"AutoMinimize", false)) {
    tmrCountDown->SetEnabled(true);
  }
}

void TFormMain::FinishRestore() {
  ProgressBar1->SetPosition(ProgressBar1->Max());
  LabelStat->SetCaption(Text());
  BtnExit->SetCaption(Msg(2));
  BuildMainList();
  BtnSwitch->SetCaption(Msg(0));
  BtnSwitch->SetEnabled(true);
  ProgressBar1->SetPosition(0);
  ShowProgress(false);
  SetListShorter(false);
  Busy = false;
  BtnExit->SetEnabled(true);
}

void TFormMain::LabelAbortClick() {
  if (!Busy || !worker_) return;
  // The worker ends at its next safe point and then runs its finishing step.
  worker_->Terminate();
  LabelAbort->SetEnabled(false);
}

void TFormMain::CheckBox1Click() {
  const bool checked = CheckBox1->Checked();
  if (checkAllArmed_ || checked) {
    for (int i = 0; i < ListView1->Count(); ++i) {
      ListItem& row = ListView1->Item(i);
      row.SetChecked(checked);
      const size_t k = static_cast<size_t>(row.Data());
      if (k < rowKeys_.size()) settings_.WriteString(serviceSection_, rowKeys_[k], checked ? u"1" : u"0");
    }
  }
  checkAllArmed_ = true;
}

void TFormMain::ListView1MouseDown(const MouseEvent& event) {
  if (event.item < 0 || !event.onStateIcon) return;
  checkAllArmed_ = false;
  CheckBox1->SetChecked(false);
}

void TFormMain::ListView1ColumnClick(int column) {
  if (column < 0 || column > 1) return;
  descending_[sortColumn_] = !descending_[sortColumn_];
  sortColumn_ = column;
  ListView1->Sort();
}

int TFormMain::ListView1Compare(ListItem& a, ListItem& b) const {
  int result = sortColumn_ == 0 ? CompareNoCase(a.Caption(), b.Caption())
                                : CompareNoCase(a.SubItem(0), b.SubItem(0));
  return descending_[sortColumn_] ? -result : result;
}

void TFormMain::ListView1AdvancedCustomDrawItem(ListItem& item, ItemDrawStyle& style) {
  if (SummaryShown && item.Index() == ListView1->Count() - 1) style.bold = true;
}

void TFormMain::PopupAtLabel(PopupMenu& menu, Label& label, const MouseEvent& event) {
  Point cursor = GetUi().CursorPos();
  menu.Popup(cursor.x - event.x, cursor.y - event.y + label.Height());
}

void TFormMain::LabelOptionsMouseUp(const MouseEvent& event) { PopupAtLabel(*OptionMenu, *LabelOptions, event); }

void TFormMain::LabelLangMouseUp(const MouseEvent& event) { PopupAtLabel(*LangMenu, *LabelLang, event); }

void TFormMain::OptionMenuPopup() {
  if (Busy) return;
  Menu_AutoMinimize->SetChecked(settings_.ReadBool(kMain, u"AutoMinimize", false));
}

void TFormMain::Menu_AutoMinimizeClick() {
  settings_.WriteBool(u"main", u"AutoMinimize", !Menu_AutoMinimize->Checked());
}

void TFormMain::Menu_EditServicelistClick() { EditServiceList(env_.sp, env_.SettingsFile()); }

void TFormMain::OpenLink(const Text& address) {
  env_.sp.desktop.ShellExecute(u"open", address, Text(), Text(), platform::sw::kShowNormal);
}

void TFormMain::Menu_CheckUpdateClick() { OpenLink(env_.hosts.web + u"/zentura.html?Str=download"); }

void TFormMain::Menu_TranslateClick() { OpenLink(env_.hosts.forum + u"/showthread.php?t=2282"); }

void TFormMain::LabelSupportClick() { OpenLink(env_.hosts.forum + u"/forumdisplay.php?f=15"); }

void TFormMain::LabelMakerClick() { OpenLink(env_.hosts.home); }

void TFormMain::SetPromoState(int state) {
  PromoState = state;
  ImagePromo->SetImageIndex(state);
}

void TFormMain::PromoClick() { OpenLink(env_.hosts.download); }

void TFormMain::LabelTellClick() {
  const Text page = env_.hosts.web + u"/zentura.html";
  TMultiLan& lan = language_.Lan();
  const Text subject = lan.ReadValue(u"Zentura_Mail", u"Subject");
  Text address;
  if (subject != u"Unknown") {
    const Text body = SafeFormat(lan.ReadValue(u"Zentura_Mail", u"Body"),
                                 {Text(u"%0a%0d%0a%0d") + page + u"%0a%0d%0a%0d"});
    address = SafeFormat(u"mailto:?SUBJECT=%s&BODY=%s", {subject, body});
  } else {
    address = kMailFallback + page + kMailFallbackTail;
  }
  OpenLink(address);
}

void TFormMain::LabelConfigClick() { chooser_->ShowModal(); }

void TFormMain::TimerPromoTimer() {
  promoTicks_ = promoTicks_ % 16 + 1;
  if (promoTicks_ <= 6) {
    PromoFrame = (PromoFrame + 1) % 6;
    ImagePromoAnim->SetImageIndex(PromoFrame);
  }
}

void TFormMain::InitCntDnTimer() {
  if (!tmrCountDown->Enabled()) return;
  tmrCountDown->SetEnabled(false);
  CountDown = ReadCountdown();
  BtnExit->SetCaption(Msg(3));
}

void TFormMain::tmrCountDownTimer() {
  --CountDown;
  BtnExit->SetCaption(Msg(3) + SafeFormat(u" (%d)", {CountDown}));
  if (CountDown < 1) {
    InitCntDnTimer();
    Close();
  }
}

void TFormMain::Timer_AutoGameTimer() {
  Timer_AutoGame->SetEnabled(false);
  if (!AutoLaunchRequested() || env_.args.size() < 3 || env_.args[2].empty()) return;
  RunCommand(env_.p, env_.sp, env_.args[2]);
  Close();
}

void TFormMain::aplctnvnts1Message(uint32_t message) {
  if (message == kWmLButtonDown) InitCntDnTimer();
}

void TFormMain::exitwin() {
  ShutdownPending = true;
  if (GameMode && !Busy) BtnSwitchClick();
}

void TFormMain::ActivateInstance(uintptr_t wParam) {
  Show();
  if (!GameMode && wParam == 1) BtnSwitchClick();
}

void TFormMain::LanguageChanged() {
  // While a worker runs, the list holds its progress and the finishing step
  // sets the captions; both follow the new language from then on.
  if (!Busy) {
    BuildMainList();
    if (GameMode) {
      BtnExit->SetCaption(Msg(3));
      BtnSwitch->SetCaption(Msg(1));
    } else {
      BtnExit->SetCaption(Msg(2));
      BtnSwitch->SetCaption(Msg(0));
    }
  }
  LayoutHeaderLinks();
  defragPage_->LanguageApplied();
}

}  // namespace zentura

#include "zentura/app/game_defrag_page.h"

#include <algorithm>

#include <chrono>
#include <thread>

#include "platform/ui/ui.h"
#include "zentura/app/form_report.h"
#include "zentura/sysutil/system_paths.h"
#include "zentura/sysutil/text_routines.h"

namespace zentura {

using namespace platform::ui;

namespace {

constexpr Color kLinkBlue = 0xFF0000;  // blue, as 0x00BBGGRR
const Text kBoxCaption = u"Game Defrag";

// Label widths follow their text in their font, so the link can sit beside
// the instruction at every DPI.
int TextWidth(const Label& label) {
  return label.Owner().GetUi().TextWidth(label.GetFont(), label.Caption()) + 1;
}

// The path shortened with an ellipsis to at most `max` characters
// including the terminator, as PathCompactPathExW does it.
Text CompactPath(const Text& path, size_t max) {
  if (path.size() < max) return path;
  const Text dots = u"...";
  size_t room = max - 1;  // characters without the terminator
  if (room <= dots.size()) return dots.substr(0, room);
  size_t slash = path.rfind(u'\\');
  Text name = slash == Text::npos ? path : path.substr(slash);
  if (name.size() + dots.size() >= room) {
    // Even the name does not fit: keep its beginning.
    Text bare = slash == Text::npos ? path : path.substr(slash + 1);
    return bare.substr(0, room - dots.size()) + dots;
  }
  return path.substr(0, room - dots.size() - name.size()) + dots + name;
}

}  // namespace

TGameDefragPage::TGameDefragPage(Form& form, TabSheet& sheet, ZenturaEnv& env, LanguageSession& language)
    : form_(form), env_(env), language_(language) {
  LabelComment3 = form.Add<Label>(u"LabelComment3", &sheet);
  LabelComment3->SetCaption(
      u"This function helps load and run your game/program faster, by quickly defragmenting the game/program "
      u"directory. Veltrane another freeware, Dravik, can help you defragment the whole hard disk.");
  LabelComment3->SetVisible(false);
  LabelComment3->SetBounds(8, 3, 467, 14);

  ListViewGame = form.Add<ListView>(u"ListViewGame", &sheet);
  ListViewGame->SetBounds(8, 80, 467, 188);
  ListViewGame->SetReadOnly(true);
  ListViewGame->SetRowSelect(true);

  RichEditURL1 = form.Add<RichEditUrl>(u"RichEditURL1", &sheet);
  RichEditURL1->SetBounds(ListViewGame->Left(), 3, ListViewGame->Width(), 54);
  RichEditURL1->SetReadOnly(true);
  RichEditURL1->OnLink = [this](Component&, const Text& link) { LaunchDefragger(link); };

  Label2 = form.Add<Label>(u"Label2", &sheet);
  Label2->SetCaption(u"Double-click to select a game to analyze.");
  Label2->SetBounds(8, 62, TextWidth(*Label2), 14);
  Label3 = form.Add<Label>(u"Label3", &sheet);
  Label3->SetCaption(u"Or click here to select the game directory.");
  Font link = Label3->GetFont();
  link.underline = true;
  link.color = kLinkBlue;
  Label3->SetFont(link);
  Label3->SetBounds(0, 62, 10, 14);
  PlaceLinkLabel();

  ProgressBar2 = form.Add<ProgressBar>(u"ProgressBar2", &sheet);
  ProgressBar2->SetBounds(8, 274, 467, 16);
  ProgressBar2->SetVisible(false);
  LabelCurFile = form.Add<Label>(u"LabelCurFile", &sheet);
  LabelCurFile->SetCaption(u"Click \"Defrag\" to start ...");
  LabelCurFile->SetWordWrap(true);
  LabelCurFile->SetBounds(8, 296, 292, 30);
  BtnBack = form.Add<Button>(u"BtnBack", &sheet);
  BtnBack->SetCaption(u"<< Back");
  BtnBack->SetBounds(305, 298, 80, 25);
  BtnBack->SetVisible(false);
  BtnDefrag = form.Add<Button>(u"BtnDefrag", &sheet);
  BtnDefrag->SetCaption(u"Defrag");
  BtnDefrag->SetBounds(390, 298, 85, 25);
  BtnDefrag->SetEnabled(false);

  BtnDefrag->OnClick = [this](Component&) { BtnDefragClick(); };
  BtnBack->OnClick = [this](Component&) { BtnBackClick(); };
  Label3->OnClick = [this](Component&) { Label3Click(); };
  ListViewGame->OnSelectItem = [this](Component&) { ListViewGameSelectItem(); };
  ListViewGame->OnDblClick = [this](Component&) { ListViewGameDblClick(); };
  ListViewGame->OnMouseMove = [this](Component&, const MouseEvent& e) { ListViewGameMouseMove(e); };
}

TGameDefragPage::~TGameDefragPage() { StopWorkers(); }

DefragEnv TGameDefragPage::Env() {
  Ui& ui = form_.GetUi();
  DefragEnv env{*env_.volumes, env_.sp.clock, nullptr, nullptr};
  env.warn = [&ui](const Text& text) { ui.WorkerMessageBox(text, Text(), MsgButtons::Ok, MsgIcon::Warning); };
  env.synchronize = [&ui](const std::function<void()>& step) { ui.Synchronize(step); };
  return env;
}

void TGameDefragPage::Box(const Text& text) {
  form_.GetUi().WorkerMessageBox(text, kBoxCaption, MsgButtons::Ok, MsgIcon::Information);
}

void TGameDefragPage::StopWorkers() {
  StopAtOnce();
  RetireWorkers();
}

void TGameDefragPage::StopAtOnce() {
  if (AnalyzeWorker) {
    AnalyzeWorker->Terminate();
    retired_.push_back(std::move(AnalyzeWorker));
  }
  if (DefragWorker) {
    DefragWorker->Terminate();
    retired_.push_back(std::move(DefragWorker));
  }
}

void TGameDefragPage::RetireWorkers() {
  for (auto& worker : retired_) {
    // A stopped worker may still wait for a handed-over step (which does
    // nothing now): keep them flowing until it has ended.
    while (!worker->Finished()) {
      if (!form_.GetUi().RunPending()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker->Join();
  }
  retired_.clear();
}

void TGameDefragPage::PlaceLinkLabel() {
  // The link follows the instruction 6 pixels on; a pair wider than the
  // page (a long translation, a wide font) starts further left, so that the
  // link stays whole.
  const int instruction = TextWidth(*Label2), link = TextWidth(*Label3);
  const int right = ListViewGame->Left() + ListViewGame->Width() + 6;
  const int left = std::max(2, std::min(ListViewGame->Left(), right - (instruction + 6 + link)));
  Label2->SetBounds(left, Label2->Top(), instruction, Label2->Height());
  Label3->SetBounds(left + instruction + 6, Label2->Top(), link, 14);
}

void TGameDefragPage::PageShown() {
  if (!GamesLoaded) ShowGames();
}

void TGameDefragPage::ShowGames() {
  FragList.reset();
  ResultsView = false;
  Bind(*Label2, 20);
  Label3->SetEnabled(true);
  Bind(*Label3, 22);
  PlaceLinkLabel();
  LabelCurFile->SetCaption(Msg(27));
  Bind(*LabelCurFile, 27);
  BtnDefrag->SetEnabled(false);
  BtnBack->SetVisible(false);
  ProgressBar2->SetPosition(0);
  ListViewGame->ClearItems();
  ListViewGame->ClearLargeIcons();
  ProgressBar2->SetVisible(false);
  ProgressBar2->SetMarquee(false);
  LoadGames();
  Bind(*BtnDefrag, 24);
  GamesLoaded = true;
  DefragState = 0;
}

void TGameDefragPage::LoadGames() {
  bool myGames = false;
  Games = LoadGameRecords(env_.p, env_.sp, env_.games, &myGames);
  ListViewGame->ClearItems();
  ListViewGame->ClearLargeIcons();
  ListViewGame->ClearColumns();
  ListViewGame->SetIconView(true);
  ListViewGame->SetCheckboxes(false);
  ListViewGame->BeginUpdate();
  for (size_t i = 0; i < Games.size(); ++i) {
    bool folder = myGames && i + 1 == Games.size();
    uintptr_t icon = folder ? env_.sp.desktop.FolderIcon(Games[i].IconPath)
                            : GetFileIcon(env_.p, env_.sp, Games[i].IconPath, false);
    // An icon that cannot be had leaves its item without one; the next
    // items keep their own.
    int image = -1;
    if (icon) {
      image = ListViewGame->AddLargeIcon(icon);
      env_.sp.desktop.DestroyIcon(icon);  // the image list holds its copy
    }
    ListItem& item = ListViewGame->AddItem(Games[i].Name);
    item.SetImageIndex(image);
    item.SetData(static_cast<intptr_t>(i));
  }
  ListViewGame->EndUpdate();
}

void TGameDefragPage::StartAnalysis(const Text& folder) {
  RetireWorkers();
  if (!env_.volumes) return;
  ProgressBar2->SetVisible(true);
  Label3->SetEnabled(false);
  FragList = std::make_shared<FragmentList>();
  ListViewGame->ClearItems();
  AnalyzeWorker = std::make_unique<TThreadAnalyze>(
      Env(), [this](const Text& t, TDefragReport& r, int64_t total, int64_t done) { OnDefragNotify(t, r, total, done); },
      FragList, folder);
}

void TGameDefragPage::ChooseFolder() {
  Text folder;
  if (!form_.GetUi().SelectDirectory(Msg(36), &folder) || folder.empty()) return;
  Bind(*BtnDefrag, 26);
  DefragState = 1;
  BtnDefrag->SetEnabled(true);
  StartAnalysis(folder);
}

void TGameDefragPage::ShowResults(const FragmentList& list) {
  ListViewGame->SetEnabled(true);
  ResultsView = true;
  Bind(*Label2, 21);
  Bind(*Label3, 23);
  PlaceLinkLabel();
  Label3->SetEnabled(true);
  BtnBack->SetVisible(true);
  BtnDefrag->SetEnabled(false);
  ProgressBar2->SetVisible(false);
  ProgressBar2->SetPosition(0);
  ListViewGame->ClearLargeIcons();
  ListViewGame->ClearItems();
  ListViewGame->ClearColumns();
  ListViewGame->SetIconView(false);
  ListViewGame->AddColumn(Text(), 280);
  ListViewGame->AddColumn(Text(), 70);
  ListViewGame->AddColumn(Text(), 70);
  for (int i = 1; i <= 2; ++i) {
    ListColumn column = ListViewGame->Columns()[i];
    column.alignment = Alignment::Right;
    ListViewGame->SetColumn(i, column);
  }
  language_.Captions().BindList(*ListViewGame, language_.Messages(), {32, 33, 34});
  if (list.empty()) {
    ListViewGame->SetCheckboxes(false);
    ListViewGame->AddItem(Msg(35));
    return;
  }
  BtnDefrag->SetEnabled(true);
  ListViewGame->BeginUpdate();
  for (const fragmts& record : list) {
    ListItem& item = ListViewGame->AddItem(record.FileName);
    item.AddSubItem(SizeText(record.Size, env_.sp.desktop.DecimalSeparator()));
    item.AddSubItem(platform::ToText(record.Fragments));
  }
  ListViewGame->EndUpdate();
  DefragState = 2;
}

void TGameDefragPage::StartDefrag() {
  RetireWorkers();
  BtnBack->SetEnabled(false);
  ProgressBar2->SetVisible(true);
  auto list = std::make_shared<FragmentList>();
  if (FragList) {
    for (auto it = FragList->rbegin(); it != FragList->rend(); ++it) list->push_back(std::move(*it));
    FragList->clear();
  }
  if (list->empty() || !env_.volumes) {
    BtnBack->SetEnabled(true);
    Box(Msg(37));
    return;
  }
  DefragWorker = std::make_unique<TThreadDefrag>(
      Env(), [this](const Text& t, TDefragReport& r, int64_t total, int64_t done) { OnDefragNotify(t, r, total, done); },
      list);
  Bind(*BtnDefrag, 26);
  Label3->SetEnabled(false);
  DefragState = 3;
}

void TGameDefragPage::OnDefragNotify(const Text& text, TDefragReport& report, int64_t total, int64_t done) {
  if (text == u"Analyze") {
    if (total || done) {
      Bind(*LabelCurFile, 28);
      ProgressBar2->SetMarquee(true);
    } else {
      ProgressBar2->SetMarquee(false);
      Bind(*LabelCurFile, 29);
      ProgressBar2->SetPosition(ProgressBar2->Max());
      Bind(*BtnDefrag, 25);
      ShowResults(FragList ? *FragList : FragmentList());
    }
  } else if (!text.empty()) {
    FileTotal = static_cast<uint64_t>(total);
    FileDone = 0;
    LabelCurFile->SetCaption(language_.Message(30, {FormatArg(CompactPath(text, 60))}));
    ProgressBar2->SetPosition(0);
  } else if (total || done) {
    FileDone += static_cast<uint64_t>(done);
    // A file of no clusters has no share to show.
    if (FileTotal) ProgressBar2->StepBy(static_cast<int>(100 * static_cast<uint64_t>(done) / FileTotal));
    if (FileDone == FileTotal) ProgressBar2->SetPosition(ProgressBar2->Max());
  } else {
    BtnBack->SetEnabled(true);
    DefragState = 0;
    ProgressBar2->SetPosition(ProgressBar2->Max());
    TFormReport window(form_.GetUi(), language_.Lan(), report, Msg(38));
    window.SetOwnerForm(&form_);
    if (OnReportShown) OnReportShown(report);
    form_.GetUi().ShowModal(window);
    Bind(*LabelCurFile, 31);
    Label3->SetEnabled(true);
    Bind(*BtnDefrag, 25);
    ShowResults(FragList ? *FragList : FragmentList());
  }
}

void TGameDefragPage::BtnDefragClick() {
  switch (DefragState) {
    case 0: {
      int index = ListViewGame->ItemIndex();
      if (index < 0 || ResultsView) {
        Box(Msg(20));
        return;
      }
      Bind(*BtnDefrag, 26);
      DefragState = 1;
      StartAnalysis(Games.at(static_cast<size_t>(ListViewGame->Item(index).Data())).InstallPath);
      break;
    }
    case 1:
      StopAtOnce();
      ShowGames();
      break;
    case 2:
      StartDefrag();
      break;
    case 3:
      StopAtOnce();
      BtnBack->SetEnabled(true);
      Bind(*BtnDefrag, 25);
      BtnDefrag->SetEnabled(false);
      Label3->SetEnabled(true);
      ProgressBar2->SetPosition(0);
      LabelCurFile->SetCaption(Text());
      Label3Click();
      DefragState = 0;
      break;
  }
}

void TGameDefragPage::Label3Click() {
  if (ResultsView) ShowGames();
  else ChooseFolder();
}

void TGameDefragPage::ListViewGameSelectItem() {
  if (ResultsView) return;
  BtnDefrag->SetEnabled(ListViewGame->ItemIndex() >= 0);
}

void TGameDefragPage::ListViewGameMouseMove(const MouseEvent& event) {
  MouseX = event.x;
  MouseY = event.y;
  MouseItem = event.item;
}

void TGameDefragPage::ListViewGameDblClick() {
  if (ResultsView || Running()) return;
  if (MouseItem < 0 || MouseItem >= ListViewGame->Count()) return;
  StartAnalysis(Games.at(static_cast<size_t>(ListViewGame->Item(MouseItem).Data())).InstallPath);
}

void TGameDefragPage::LaunchDefragger(const Text&) {
  std::unique_ptr<platform::RegKey> key;
  if (env_.p.registry.OpenKey(platform::RootKey::kLocalMachine, kDefraggerKey, platform::keyaccess::kRead, &key) == 0) {
    platform::RegValue value;
    if (env_.p.registry.QueryValue(*key, u"Inno Setup: App Path", &value) == 0) {
      Text path = value.AsText();
      if (path.size() > 129) path.resize(129);  // the value is read into 260 bytes
      if (!path.empty()) {
        env_.sp.desktop.ShellExecute(u"open", path + u"\\Veltrane Dravik.exe", Text(), Text(),
                                     platform::sw::kShowNormal);
      }
    }
    return;
  }
  env_.sp.desktop.ShellExecute(u"open", env_.hosts.download + kDefraggerDownloadPath, Text(), Text(),
                               platform::sw::kShowNormal);
}

void TGameDefragPage::LanguageApplied() {
  Text text = LabelComment3->Caption();
  RichEditURL1->SetLink(0, 0);
  RichEditURL1->SetCaption(text);
  size_t at = text.find(u"Dravik");
  if (at != Text::npos) RichEditURL1->SetLink(static_cast<int>(at), 6);
  PlaceLinkLabel();
}

}  // namespace zentura

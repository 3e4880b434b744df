// The form model: components in creation order, found by name, and their
// events as the windows' logic relies on them.
#include <gtest/gtest.h>

#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/headless_ui.h"
#include "platform/ui/list_view.h"
#include "platform/ui/menu.h"

namespace platform::ui {
namespace {

std::vector<std::string> Names(const std::vector<Component*>& components) {
  std::vector<std::string> names;
  for (Component* c : components) names.push_back(ToUtf8(c->Name()));
  return names;
}

// Records what a realisation would be told.
struct RecordingPeer : ComponentPeer {
  void Changed(Component& c, Prop prop, int index) override { changes.push_back({prop, index}); }
  std::vector<std::pair<Prop, int>> changes;
};

class UiModelTest : public ::testing::Test {
 protected:
  HeadlessUi ui;
  Form& form = ui.CreateForm<Form>(u"TFormTest");
};

TEST_F(UiModelTest, ComponentsKeepCreationOrderAndAreFoundByNameWithoutCase) {
  auto* sheet = form.Add<PageControl>(u"PageControl1");
  auto* page1 = form.Add<TabSheet>(u"TabSheet1", sheet);
  form.Add<Label>(u"Label1", page1);
  auto* page2 = form.Add<TabSheet>(u"TabSheet2", sheet);
  auto* menu = form.Add<PopupMenu>(u"LangMenu");
  form.Add<MenuItem>(u"Translate", menu);
  form.Add<MenuItem>(u"Sep", menu);
  form.Add<MenuItem>(u"English", menu);
  form.Add<Button>(u"Button1");

  EXPECT_EQ(Names(form.Components()),
            (std::vector<std::string>{"PageControl1", "TabSheet1", "Label1", "TabSheet2", "LangMenu", "Translate",
                                      "Sep", "English", "Button1"}));
  EXPECT_EQ(form.Find(u"label1"), form.Children(page1)[0]);
  EXPECT_EQ(form.FindAs<Button>(u"LABEL1"), nullptr);
  EXPECT_EQ(form.Find(u"Missing"), nullptr);
  EXPECT_EQ(sheet->Pages(), (std::vector<TabSheet*>{page1, page2}));
  EXPECT_EQ(page2->PageIndex(), 1);

  // Items are removed with everything inside them; later ones follow on.
  form.Remove(menu->Items()[2]);
  form.Remove(page1);
  auto* german = form.Add<MenuItem>(u"German", menu);
  EXPECT_EQ(Names(form.Components()),
            (std::vector<std::string>{"PageControl1", "TabSheet2", "LangMenu", "Translate", "Sep", "Button1", "German"}));
  EXPECT_GT(german->CreationIndex(), form.Find(u"Button1")->CreationIndex());
  auto items = menu->Items();
  EXPECT_EQ(Names(std::vector<Component*>(items.begin(), items.end())),
            (std::vector<std::string>{"Translate", "Sep", "German"}));
}

TEST_F(UiModelTest, CheckedRunsOnClickOnEveryChangeFromCodeOrMouse) {
  auto* box = form.Add<CheckBox>(u"CheckBox1");
  RecordingPeer peer;
  box->SetPeer(&peer);
  int clicks = 0;
  box->OnClick = [&](Component&) { ++clicks; };

  box->SetChecked(true);
  box->SetChecked(true);  // no change, no event
  box->Click();           // the user unticks it
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(peer.changes.size(), 2u);
  EXPECT_EQ(peer.changes[0].first, Prop::Checked);

  box->SetEnabled(false);
  box->Click();
  EXPECT_EQ(clicks, 2);
}

TEST_F(UiModelTest, RadioButtonsAndRadioMenuItemsClearTheirGroup) {
  auto* group = form.Add<GroupBox>(u"GroupBox1");
  auto* a = form.Add<RadioButton>(u"RadioA", group);
  auto* b = form.Add<RadioButton>(u"RadioB", group);
  auto* elsewhere = form.Add<RadioButton>(u"RadioC");
  elsewhere->SetChecked(true);
  a->Click();
  b->Click();
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(elsewhere->Checked());

  auto* menu = form.Add<MainMenu>(u"Menu1");
  auto* luna = form.Add<MenuItem>(u"Luna", menu);
  auto* silver = form.Add<MenuItem>(u"Silver", menu);
  auto* plain = form.Add<MenuItem>(u"Plain", menu);
  for (auto* item : {luna, silver}) item->SetRadioItem(true);
  plain->SetChecked(true);
  luna->SetChecked(true);
  silver->SetChecked(true);
  EXPECT_FALSE(luna->Checked());
  EXPECT_TRUE(silver->Checked());
  EXPECT_TRUE(plain->Checked());
}

TEST_F(UiModelTest, TextAndSelectionEvents) {
  auto* edit = form.Add<Edit>(u"Edit1");
  std::vector<std::string> seen;
  edit->OnChange = [&](Component& c) { seen.push_back("change " + ToUtf8(c.GetText())); };
  edit->SetText(u"a");
  edit->SetText(u"a");

  auto* list = form.Add<ListBox>(u"ListBox1");
  list->SetItems({u"default", u"work"});
  list->OnClick = [&](Component& c) { seen.push_back("click " + std::to_string(list->ItemIndex())); };
  list->SetItemIndex(1);  // from code: no event
  list->Select(0);
  list->SetItemIndex(7);  // out of range selects nothing

  auto* pages = form.Add<PageControl>(u"PageControl1");
  form.Add<TabSheet>(u"Main", pages);
  form.Add<TabSheet>(u"Defrag", pages);
  bool allow = false;
  pages->OnChanging = [&](Component&, bool& ok) { ok = allow; };
  pages->OnChange = [&](Component&) { seen.push_back("page " + std::to_string(pages->ActivePageIndex())); };
  pages->SelectPage(1);
  allow = true;
  pages->SelectPage(1);

  EXPECT_EQ(seen, (std::vector<std::string>{"change a", "click 0", "page 1"}));
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(UiModelTest, ButtonWithModalResultEndsAModalForm) {
  auto& dialog = ui.CreateForm<Form>(u"TForm2");
  auto* ok = dialog.Add<Button>(u"btnOK");
  ok->SetModalResult(ModalResult::Ok);
  bool clicked = false;
  ok->OnClick = [&](Component&) { clicked = true; };
  ui.onModal = [&](Form& f) { f.FindAs<Button>(u"btnOK")->Click(); };
  EXPECT_EQ(dialog.ShowModal(), ModalResult::Ok);
  EXPECT_TRUE(clicked);
  EXPECT_FALSE(dialog.Visible());

  ui.onModal = nullptr;
  EXPECT_EQ(dialog.ShowModal(), ModalResult::Cancel);
}

TEST_F(UiModelTest, ListViewSortsThroughOnCompareAndDrawsRowsAsTheHandlerSays) {
  auto* list = form.Add<ListView>(u"ListView1");
  list->SetCheckboxes(true);
  list->AddColumn(u"Service", 325);
  list->AddColumn(u"Status", 110);
  for (auto [name, status] : {std::pair{u"beta", u"Running"}, {u"Alpha", u"Stopped"}, {u"gamma", u"Running"}}) {
    list->AddItem(name).AddSubItem(status);
  }
  RecordingPeer peer;
  list->SetPeer(&peer);

  int column = 0;
  bool descending = false;
  list->OnCompare = [&](Component&, ListItem& a, ListItem& b, int& result) {
    Text x = column == 0 ? a.Caption() : a.SubItem(0);
    Text y = column == 0 ? b.Caption() : b.SubItem(0);
    result = LowerCase(x).compare(LowerCase(y));
    if (descending) result = -result;
  };
  list->Sort();
  EXPECT_EQ(ToUtf8(list->Item(0).Caption()), "Alpha");
  column = 1;
  descending = true;
  list->Sort();
  EXPECT_EQ(ToUtf8(list->Item(0).Caption()), "Alpha");
  EXPECT_EQ(ToUtf8(list->Item(1).Caption()), "beta");  // equal rows keep their order

  list->Item(2).SetSubItem(0, u"Stopped");
  EXPECT_EQ(peer.changes.back(), std::make_pair(Prop::ListItem, 2));

  bool summaryShown = true;
  list->OnCustomDrawItem = [&](Component&, ListItem& item, ItemDrawStyle& style) {
    style.bold = summaryShown && item.Index() == list->Count() - 1;
  };
  EXPECT_FALSE(list->DrawStyle(1).bold);
  EXPECT_TRUE(list->DrawStyle(2).bold);

  std::vector<int> checked;
  list->OnItemChecked = [&](Component&, ListItem& item) { checked.push_back(item.Index()); };
  list->ToggleCheckByUser(1);
  EXPECT_TRUE(list->Item(1).Checked());
  EXPECT_EQ(checked, std::vector<int>{1});
}

TEST_F(UiModelTest, OwnerDrawnListBoxPaintsThroughItsHandler) {
  auto* list = form.Add<ListBox>(u"ListBox1");
  list->SetOwnerDraw(true);
  list->SetItemHeight(20);
  list->SetItems({u"x7k2m9qa.default"});
  list->OnDrawItem = [&](Component&, int index, Canvas& canvas, const Rect& rect, OwnerDrawState state) {
    canvas.FillRect(rect);
    canvas.DrawRadio(Rect{rect.left + 1, rect.top, rect.left + 13, rect.bottom}, state.selected);
    canvas.TextOut(15, rect.top + 3, list->Items()[index]);
  };
  RecordingCanvas canvas;
  list->DrawItem(0, canvas, Rect{0, 20, 100, 40}, OwnerDrawState{true, false});
  EXPECT_EQ(canvas.ops, (std::vector<std::string>{"fill 0,20,100,40", "radio 1,20,13,40 checked",
                                                  "text 15,23 x7k2m9qa.default"}));
}

TEST_F(UiModelTest, ClosingAsksTheFormAndDoesWhatOnCloseChose) {
  auto& wizard = ui.CreateForm<Form>(u"Tfb_Firefox");
  bool allowed = false;
  wizard.OnCloseQuery = [&](Form&, bool& can) { can = allowed; };
  wizard.OnClose = [](Form&, CloseAction& action) { action = CloseAction::Free; };
  wizard.Add<Timer>(u"Timer1");
  wizard.Show();
  EXPECT_FALSE(wizard.Close());
  EXPECT_TRUE(wizard.Visible());

  allowed = true;
  ASSERT_EQ(ui.RunningTimers().size(), 1u);
  EXPECT_TRUE(wizard.Close());
  EXPECT_FALSE(ui.Terminated());
  ui.RunPending();  // the form is freed once the handler has returned
  EXPECT_TRUE(ui.RunningTimers().empty());

  form.Close();  // the main form ends the program
  EXPECT_TRUE(ui.Terminated());
}

TEST_F(UiModelTest, ActivationFollowsTheWindowShownOrChosen) {
  auto& other = ui.CreateForm<Form>(u"TForm2");
  std::vector<std::string> events;
  form.OnActivate = [&](Form&) { events.push_back("main on"); };
  form.OnDeactivate = [&](Form&) { events.push_back("main off"); };
  other.OnActivate = [&](Form&) { events.push_back("other on"); };
  other.OnShow = [&](Form&) { events.push_back("other show"); };
  form.Show();
  other.Show();
  ui.Activate(form);
  EXPECT_EQ(events, (std::vector<std::string>{"main on", "other show", "main off", "other on", "main on"}));
}

}  // namespace
}  // namespace platform::ui

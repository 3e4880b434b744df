#include "zentura/lang/multi_lan.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/headless_ui.h"
#include "platform/ui/list_view.h"
#include "tests/zentura/zentura_sim.h"
#include "zentura/sysutil/system_paths.h"

namespace zentura {
namespace {

using namespace platform::ui;
using platform::ToUtf8;

// A messages section of `count` lines "<prefix>0" ... in file order.
std::string Messages(const std::string& prefix, int count) {
  std::string s = "[Zentura_M_form1]\r\n";
  for (int i = 0; i < count; ++i) s += "M" + std::to_string(i) + "=" + prefix + std::to_string(i) + "\r\n";
  return s;
}

class LanguageTest : public ::testing::Test {
 protected:
  const Text dir = u"C:\\Zentura\\";
  zentura_test::ZenturaSim sim;
  HeadlessUi ui;
  Form form{ui, u"TFormMain"};

  LanguageTest() {
    sim.p().files.CreateDir(u"C:\\Zentura");
    sim.p().files.CreateDir(u"C:\\Zentura\\Language");
    Lng(u"English", "[Zentura_Form1]\r\nCaption=Zentura by Veltrane\r\nLabel1.Caption=Hello\r\n" + Messages("E", 50));
    Settings("");
  }
  void Lng(const Text& name, const std::string& content) { sim.WriteFile(dir + u"Language\\" + name + u".lng", content); }
  void Settings(const std::string& language) {
    sim.WriteFile(dir + u"Zentura.ini", "[Main]\r\nLanguage=" + language + "\r\n");
  }
  Text SettingsLanguage() { return sim.sp().profile.ReadString(dir + u"Zentura.ini", u"Main", u"Language", u"?"); }
  std::unique_ptr<LanguageSession> Session() {
    return std::make_unique<LanguageSession>(sim.p(), sim.sp().profile, dir);
  }
  MenuItem& Item(const Text& caption) {
    auto* item = form.Add<MenuItem>(u"Item" + caption);
    item->SetCaption(caption);
    return *item;
  }
};

TEST_F(LanguageTest, LoadFillsShortListsFromEnglishOnly) {
  Lng(u"Short", Messages("S", 30));
  Lng(u"Long", Messages("L", 45));
  struct Case {
    std::string setting;
    size_t count;
    Text at29, at44;
  } cases[] = {
      {"", 50, u"E29", u"E44"},      // no setting means English
      {"Short", 50, u"S29", u"E44"},  // 30 lines: 30 onwards are English
      {"Long", 45, u"L29", u"L44"},   // 40 or more: never filled up
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    Settings(c.setting);
    auto session = Session();
    ASSERT_TRUE(session->LoadLanguage(form));
    EXPECT_EQ(session->Messages().size(), c.count);
    EXPECT_EQ(session->Message(29), c.at29);
    EXPECT_EQ(session->Message(44), c.at44);
    EXPECT_EQ(session->Message(50), u"");  // beyond the list: empty, not a crash
  }
  Settings("Klingon");
  EXPECT_FALSE(Session()->LoadLanguage(form));
}

TEST_F(LanguageTest, ReadingSectionsValuesAndFallbacks) {
  Lng(u"Francais", "[Zentura_M_form2]\r\nA=Tous\r\n[Zentura_Mail]\r\nSubject=Salut\r\n");
  Lng(u"Odd", "[Zentura_M_form1]\r\nA=x=y\r\nB=plain\r\n[Zentura_Mail]\r\n");
  TMultiLan lan(sim.sp().profile, dir + u"Language\\Odd.lng");
  EXPECT_EQ(lan.ReadSectionList(u"Zentura_M_form1"), (TMessageList{u"y", u"plain"}));  // after the last "="
  EXPECT_EQ(lan.ReadIndexed(u"Zentura_M_form1", 1, u"d"), u"plain");
  EXPECT_EQ(lan.ReadIndexed(u"Zentura_M_form1", 2, u"d"), u"d");
  EXPECT_EQ(lan.ReadIndexed(u"Zentura_M_form1", -1, u"d"), u"d");
  EXPECT_EQ(lan.ReadValue(u"Zentura_Mail", u"Subject"), u"Unknown");
  // A section missing from the file comes from the file named after the language.
  EXPECT_TRUE(lan.ReadSectionList(u"Zentura_M_form2").empty());
  lan.SetLanguage(u"Francais", lan.FileName);
  EXPECT_EQ(lan.ReadIndexed(u"Zentura_M_form2", 0, u"All programs"), u"Tous");
}

TEST_F(LanguageTest, ApplyToFormByKindNameAndCreationOrder) {
  Lng(u"Test",
      "[Zentura_Form1]\r\n"
      "Caption=Fenster\r\n"
      "Label1.Caption=L\r\nLabel1.Hint=LH\r\n"
      "Image1.Caption=ignored\r\nImage1.Hint=IH\r\n"
      "Check1.Caption=C\r\nCheck1.Hint=ignored\r\n"
      "Btn1.Caption=B\r\nBtn1.Hint=BH\r\n"
      "Memo1.Text=first\r\n"
      "List1.Columns0.Caption=Col0\r\nList1.Columns1.Caption=Col1\r\nList1.Items0.Caption=Row0\r\n"
      "Combo1.Items1.Caption=Two\r\n"
      "Box1.Item0=One\r\nBox1.Items1.Caption=ignored\r\n"
      "Pages.Tabsheet1.caption=P1\r\nPages.Tabsheet2.caption=P2\r\n"
      "SheetB.Caption=Own\r\n"
      "menuitem1.caption=Menu\r\n");
  auto* label = form.Add<Label>(u"Label1");
  auto* image = form.Add<Image>(u"Image1");
  image->SetCaption(u"img");
  auto* check = form.Add<CheckBox>(u"Check1");
  check->SetHint(u"design hint");
  auto* button = form.Add<Button>(u"Btn1");
  auto* untouched = form.Add<Button>(u"Btn2");
  untouched->SetCaption(u"design");
  untouched->SetHint(u"design hint");
  auto* memo = form.Add<Memo>(u"Memo1");
  memo->SetTag(49);
  auto* list = form.Add<ListView>(u"List1");
  list->AddColumn(u"c0", 50);
  list->AddColumn(u"c1", 50);
  list->AddColumn(u"c2", 50);
  list->AddItem(u"r0");
  list->AddItem(u"r1");
  auto* combo = form.Add<ComboBox>(u"Combo1");
  combo->SetItems({u"one", u"two"});
  auto* box = form.Add<ListBox>(u"Box1");
  box->SetItems({u"a", u"b"});
  // The page control comes first, so the second sheet's own key, applied
  // later in creation order, wins over the page control's.
  auto* pages = form.Add<PageControl>(u"Pages");
  auto* sheetA = form.Add<TabSheet>(u"SheetA", pages);
  auto* sheetB = form.Add<TabSheet>(u"SheetB", pages);
  auto* menu = form.Add<PopupMenu>(u"Popup");
  auto* item = form.Add<MenuItem>(u"MenuItem1", menu);

  TMultiLan lan(sim.sp().profile, dir + u"Language\\Test.lng");
  lan.ApplyToForm(u"Zentura_Form1", form);
  EXPECT_EQ(form.Caption(), u"Fenster");
  EXPECT_EQ(label->Caption(), u"L");
  EXPECT_EQ(label->Hint(), u"LH");
  EXPECT_EQ(image->Caption(), u"img");
  EXPECT_EQ(image->Hint(), u"IH");
  EXPECT_EQ(check->Caption(), u"C");
  EXPECT_EQ(check->Hint(), u"design hint");
  EXPECT_EQ(button->Caption(), u"B");
  EXPECT_EQ(button->Hint(), u"BH");
  EXPECT_EQ(untouched->Caption(), u"design");
  EXPECT_EQ(untouched->Hint(), u"design hint");
  EXPECT_EQ(memo->Lines(), (std::vector<Text>{u"", u"first"}));
  EXPECT_EQ(list->Columns()[0].caption, u"Col0");
  EXPECT_EQ(list->Columns()[1].caption, u"Col1");
  EXPECT_EQ(list->Columns()[2].caption, u"c2");
  EXPECT_EQ(list->Item(0).Caption(), u"Row0");
  EXPECT_EQ(list->Item(1).Caption(), u"r1");
  EXPECT_EQ(combo->Items(), (std::vector<Text>{u"one", u"Two"}));
  EXPECT_EQ(box->Items(), (std::vector<Text>{u"One", u"b"}));
  EXPECT_EQ(sheetA->Caption(), u"P1");
  EXPECT_EQ(sheetB->Caption(), u"Own");
  EXPECT_EQ(item->Caption(), u"Menu");

  // Applied again without a key for the memo, the tagged memo moves down once more.
  Lng(u"Test", "[Zentura_Form1]\r\n");
  lan.ApplyToForm(u"Zentura_Form1", form);
  EXPECT_EQ(memo->Lines(), (std::vector<Text>{u"", u"", u"first"}));
  EXPECT_EQ(form.Caption(), u"Fenster");
}

TEST_F(LanguageTest, BoundTextsFollowEachSwitch) {
  Lng(u"Deutsch", "[Zentura_Form1]\r\nCaption=Zentura DE\r\n" + Messages("D", 40));
  Lng(u"Short", Messages("S", 21));
  auto* label2 = form.Add<Label>(u"Label2");
  auto* defrag = form.Add<Button>(u"BtnDefrag");
  auto* games = form.Add<ListView>(u"ListViewGame");
  for (int i = 0; i < 3; ++i) games->AddColumn(u"c", 50);
  auto* pages = form.Add<PageControl>(u"PageControl1");
  form.Add<TabSheet>(u"Sheet1", pages);
  form.Add<TabSheet>(u"Sheet2", pages);

  auto session = Session();
  ASSERT_TRUE(session->LoadLanguage(form));
  int changed = 0;
  session->OnLanguageChanged = [&] { ++changed; };
  TCaptionTable& table = session->Captions();
  table.Bind(*label2, session->Messages(), 20);
  table.Bind(*defrag, session->Messages(), 24);
  table.Bind(*defrag, session->Messages(), 26);  // rebinding updates the one entry
  table.BindList(*games, session->Messages(), {32, 33, 34});
  table.BindList(*pages, session->Messages(), {5});  // shorter than the pages: the rest stay
  EXPECT_EQ(table.Entries().size(), 4u);
  EXPECT_EQ(defrag->Caption(), u"E26");
  EXPECT_EQ(defrag->Hint(), u"E26");

  session->SwitchLanguage(Item(u"Deu&tsch"), form);
  EXPECT_EQ(session->CurrentLanguage(), u"Deutsch");
  EXPECT_EQ(SettingsLanguage(), u"Deutsch");
  EXPECT_EQ(form.Caption(), u"Zentura DE");
  EXPECT_EQ(label2->Caption(), u"D20");
  EXPECT_EQ(defrag->Caption(), u"D26");
  EXPECT_EQ(games->Columns()[2].caption, u"D34");
  EXPECT_EQ(pages->Page(0)->Caption(), u"D5");
  EXPECT_EQ(pages->Page(1)->Caption(), u"");

  session->SwitchLanguage(Item(u"Short"), form);  // 21 messages, filled up from English
  EXPECT_EQ(label2->Caption(), u"S20");
  EXPECT_EQ(defrag->Caption(), u"E26");
  EXPECT_EQ(games->Columns()[0].caption, u"E32");
  EXPECT_EQ(form.Caption(), u"Zentura DE");  // no captions section: the window keeps its texts
  EXPECT_EQ(changed, 2);

  // An item naming no file changes nothing, so the next start still finds its language.
  session->SwitchLanguage(Item(u"Klingon"), form);
  EXPECT_EQ(session->CurrentLanguage(), u"Short");
  EXPECT_EQ(SettingsLanguage(), u"Short");
  EXPECT_EQ(changed, 2);

  // A control bound to an index past the list keeps its text.
  table.Bind(*label2, session->Messages(), 400);
  EXPECT_EQ(label2->Caption(), u"S20");
  table.Reapply(session->Messages());
  EXPECT_EQ(label2->Caption(), u"S20");
}

TEST_F(LanguageTest, LanguageMenuListsFilesAndSwitches) {
  Lng(u"Deutsch", Messages("D", 40));
  sim.WriteFile(dir + u"Language\\readme.txt", "x");
  auto* menu = form.Add<PopupMenu>(u"LangMenu");
  form.Add<MenuItem>(u"Translate", menu)->SetCaption(u"Translate it!");
  form.Add<MenuItem>(u"Sep", menu)->SetCaption(u"-");
  form.Add<MenuItem>(u"Stale", menu)->SetCaption(u"Gone");

  auto session = Session();
  ASSERT_TRUE(session->LoadLanguage(form));
  auto captions = [&] {
    std::vector<Text> out;
    for (MenuItem* i : menu->Items()) out.push_back(i->Caption() + (i->Checked() ? u"*" : u""));
    return out;
  };
  session->BuildLanguageMenu(*menu, /*busy=*/true);
  EXPECT_EQ(captions(), (std::vector<Text>{u"Translate it!", u"-", u"Gone"}));

  session->BuildLanguageMenu(*menu, false);
  std::vector<Text> expected{u"Translate it!", u"-"};
  for (const Text& name : ListFiles(sim.p(), dir + u"Language\\", u"lng")) {
    expected.push_back(name + (name == u"English" ? u"*" : u""));
  }
  ASSERT_EQ(expected.size(), 4u);
  EXPECT_EQ(captions(), expected);

  for (MenuItem* i : menu->Items()) {
    if (i->Caption() == u"Deutsch") i->Click();
  }
  EXPECT_EQ(session->CurrentLanguage(), u"Deutsch");
  EXPECT_EQ(session->Message(0), u"D0");
  session->BuildLanguageMenu(*menu, false);
  EXPECT_EQ(captions().size(), 4u);
  for (MenuItem* i : menu->Items()) EXPECT_EQ(i->Checked(), i->Caption() == u"Deutsch") << ToUtf8(i->Caption());
}

}  // namespace
}  // namespace zentura

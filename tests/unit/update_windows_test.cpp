// The update window over the main window: the questions, the information
// window, the download and start, and closing the program while it checks.
#include <gtest/gtest.h>

#include "brantle/shell/main_window.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_network.h"
#include "platform/sim/sim_profile.h"
#include "platform/ui/headless_ui.h"
#include "tests/unit/sim_fixture.h"

namespace {

using platform::Text;
using platform::sim::SimHttpAnswer;
using platform::ui::HeadlessUi;
using platform::ui::ModalResult;

const char kPage[] =
    "<html><head>\r\n<META NAME=\"wuProduct\" CONTENT=\"Brantle\">\r\n"
    "<META NAME=\"wuVersion\" CONTENT=\"2.1\">\r\n"
    "<META NAME=\"wuDownload\" CONTENT=\"http://127.0.0.1:8080/Brantle-2.1-setup.exe\">\r\n"
    "<META NAME=\"wuClientSideName\" CONTENT=\"Update.exe\">\r\n"
    "<META NAME=\"wuRunParameters\" CONTENT=\"/S\">\r\n</head><body>What is new</body></html>\r\n";

const Text kAvailable =
    u"You are using version 2.0.2, but version 2.1 is available.\r\n\r\nDo you want to update your application now?";
const Text kChangelog = u"Would you like to read the changelog?";

class UpdateWindowTest : public ::testing::Test {
 protected:
  UpdateWindowTest() {
    p.files.ForceDirectories(u"C:\\Work");
    p.files.SetCurrentDir(u"C:\\Work");
    SimHttpAnswer page;
    page.body = kPage;
    net.Answer(u"127.0.0.1:8080/update.html", page);
    installer.body = std::string(5000, 'I');
  }

  brantle::TForm1& Start() {
    net.Answer(u"127.0.0.1:8080/Brantle-2.1-setup.exe", installer);
    auto& main = ui.CreateForm<brantle::TForm1>(context);
    main.SetUpdateServices(&services);
    main.CreateChildren();
    main.Show();
    ui.Activate(main);
    return main;
  }
  void PressUpdates(brantle::TForm1& main) { main.FindCommand(u"btnUpdates")->button->Click(); }
  bool InstallerThere() { return p.files.FileExists(u"C:\\Work\\Update.exe"); }

  platform::sim::TempSimWindows sim;
  platform::Platform& p = sim.Get();
  brantle::FileHelpers helpers{p};
  platform::sim::MemoryProfileStore store;
  platform::sim::SimProfile profile{store};
  platform::sim::SimDesktop desktop;
  brantle::ShellContext context{p, profile, desktop, helpers, u"C:\\Program Files\\Brantle\\Brantle.ini"};
  platform::sim::SimNetwork net{p.files};
  std::vector<std::pair<Text, Text>> started;
  intptr_t startResult = 42;
  brantle::UpdateServices services{net,
                                   p.files,
                                   p.system,
                                   [this](const Text& f, const Text& a) {
                                     started.push_back({f, a});
                                     return startResult;
                                   },
                                   [] { return Text(u"C:\\Temp\\"); },
                                   u"127.0.0.1:8080"};
  SimHttpAnswer installer;
  HeadlessUi ui;
};

TEST_F(UpdateWindowTest, YesAndChangelogDownloadStartAndEnd) {
  auto& main = Start();
  ui.AnswerMessage(ModalResult::Yes);
  ui.AnswerMessage(ModalResult::Yes);
  Text shownPage;
  ui.onModal = [&shownPage](platform::ui::Form& form) {
    auto& info = static_cast<brantle::Tfrm_ShowInfoUpdate&>(form);
    for (const Text& line : info.WebBrowser->Lines()) shownPage += line + u"\n";
    EXPECT_EQ(info.btn_OK->Caption(), u"&OK");
    EXPECT_EQ(info.btn_Cancel->Caption(), u"&Cancel");
    info.btn_OK->Click();
  };
  PressUpdates(main);
  EXPECT_EQ(ui.Messages(), (std::vector<Text>{kAvailable, kChangelog}));
  EXPECT_NE(shownPage.find(u"http://127.0.0.1:8080/update.html"), Text::npos);
  EXPECT_NE(shownPage.find(u"What is new"), Text::npos);
  EXPECT_EQ(shownPage.find(u"META"), Text::npos);
  EXPECT_EQ(testing_support::ReadFile(p, u"C:\\Work\\Update.exe"), installer.body);
  EXPECT_EQ(started, (std::vector<std::pair<Text, Text>>{{u"C:\\Work\\Update.exe", u"/S"}}));
  EXPECT_TRUE(ui.Terminated());
  auto* w = static_cast<brantle::Tf_Update*>(main.LastOpened);
  EXPECT_EQ(w->ClassName(), u"Tf_Update");
  EXPECT_EQ(w->ProgressBar->Max(), 5000);
  EXPECT_EQ(w->ProgressBar->Position(), 5000);
}

TEST_F(UpdateWindowTest, AnswersThatEndTheCheck) {
  struct Case {
    const char* name;
    std::string page;  // replaces the page when set
    std::vector<ModalResult> answers;
    bool infoOk;
    std::vector<Text> messages;
  } cases[] = {
      {"no", "", {ModalResult::No}, true, {kAvailable}},
      {"info cancel", "", {ModalResult::Yes, ModalResult::Yes}, false, {kAvailable, kChangelog}},
      {"equal", "<META NAME=\"wuProduct\" CONTENT=\"B\">\n<META NAME=\"wuVersion\" CONTENT=\"2.0.2\">", {}, true,
       {u"There is no update available!"}},
      {"no page", "-", {}, true, {u"Cannot download data from the web", u"Cannot download data from the web"}},
  };
  for (const Case& c : cases) {
    HeadlessUi own;
    if (c.page == "-") {
      net.Reset();
    } else if (!c.page.empty()) {
      SimHttpAnswer a;
      a.body = c.page;
      net.Answer(u"127.0.0.1:8080/update.html", a);
    }
    net.Answer(u"127.0.0.1:8080/Brantle-2.1-setup.exe", installer);
    auto& main = own.CreateForm<brantle::TForm1>(context);
    main.SetUpdateServices(&services);
    main.CreateChildren();
    for (ModalResult r : c.answers) own.AnswerMessage(r);
    own.onModal = [&c](platform::ui::Form& form) {
      auto& info = static_cast<brantle::Tfrm_ShowInfoUpdate&>(form);
      (c.infoOk ? info.btn_OK : info.btn_Cancel)->Click();
    };
    EXPECT_TRUE(main.HandleShortCut(u'U', false, true, false)) << c.name;
    EXPECT_EQ(own.Messages(), c.messages) << c.name;
    EXPECT_FALSE(InstallerThere()) << c.name;
    EXPECT_FALSE(own.Terminated()) << c.name;
    EXPECT_TRUE(started.empty()) << c.name;
    ASSERT_NE(main.LastOpened, nullptr);
    EXPECT_TRUE(main.LastOpened->Visible()) << c.name;
  }
}

TEST_F(UpdateWindowTest, ClosingTheProgramDuringTheDownloadStopsEverything) {
  brantle::TForm1* mainPtr = nullptr;
  int reads = 0;
  installer.onRead = [&] {
    // Ctrl+U again while the first check pumps messages, then Exit.
    if (++reads == 2) {
      ui.Post([&] {
        mainPtr->HandleShortCut(u'U', false, true, false);
        mainPtr->FindCommand(u"mnuExit")->run();
      });
    }
  };
  auto& main = Start();
  mainPtr = &main;
  ui.AnswerMessage(ModalResult::Yes);
  ui.AnswerMessage(ModalResult::No);
  PressUpdates(main);
  EXPECT_TRUE(ui.Terminated());
  EXPECT_EQ(ui.Messages(), (std::vector<Text>{kAvailable, kChangelog}));
  EXPECT_TRUE(started.empty());
  EXPECT_FALSE(InstallerThere());
  EXPECT_EQ(net.requests.size(), 2u);  // one check: the page and the installer
  EXPECT_FALSE(main.LastOpened->Visible());
}

TEST(UpdateInfoWindowTest, ButtonsAreCentredInTheBottomPanel) {
  HeadlessUi ui;
  brantle::Tfrm_ShowInfoUpdate info(ui);
  const int widths[][3] = {{514, 179, 257}, {300, 72, 150}, {157, 0, 78}};
  for (const auto& w : widths) {
    info.Panel_Bottom->SetWidth(w[0]);
    info.Panel_BottomResize();
    EXPECT_EQ(info.btn_OK->Left(), w[1]) << w[0];
    EXPECT_EQ(info.btn_Cancel->Left(), w[2]) << w[0];
  }
}

}  // namespace

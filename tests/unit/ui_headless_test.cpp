// The headless Ui: scripted dialogs with a record of what was shown, timers
// run by the test, and calls handed over from worker threads.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/ui/controls.h"
#include "platform/ui/headless_ui.h"
#include "platform/ui/menu.h"

namespace platform::ui {
namespace {

class HeadlessUiTest : public ::testing::Test {
 protected:
  HeadlessUi ui;
  Form& form = ui.CreateForm<Form>(u"TFormMain");
};

TEST_F(HeadlessUiTest, MessageBoxesAreAnsweredFromTheScriptAndRecorded) {
  ui.SetTitle(u"Brantle");
  ui.AnswerMessage(ModalResult::No);
  ui.ShowMessage(u"Please Select Backup Location");
  EXPECT_EQ(ui.MessageBox(u"Close anyway?", u"Zentura", MsgButtons::YesNo, MsgIcon::Warning), ModalResult::No);
  ui.Guard([] { throw std::runtime_error("Unable to write to C:\\b.ini"); });

  ASSERT_EQ(ui.Dialogs().size(), 3u);
  const ShownDialog& question = ui.Dialogs()[1];
  EXPECT_EQ(question.buttons, MsgButtons::YesNo);
  EXPECT_EQ(question.icon, MsgIcon::Warning);
  EXPECT_EQ(question.result, ModalResult::No);
  EXPECT_EQ(ui.Dialogs()[2].icon, MsgIcon::Error);
  EXPECT_EQ(ui.Dialogs()[0].caption, u"Brantle");
  EXPECT_EQ(ui.Messages(), (std::vector<Text>{u"Please Select Backup Location", u"Close anyway?",
                                             u"Unable to write to C:\\b.ini"}));
  EXPECT_TRUE(ui.ScriptDone());

  // A question the script did not foresee fails the test instead of guessing.
  EXPECT_THROW(ui.MessageBox(u"Sure?", u"", MsgButtons::YesNo, MsgIcon::Question), UnscriptedDialog);
}

TEST_F(HeadlessUiTest, FolderEditBrowsesThroughTheScriptedFolderDialog) {
  auto* edit = form.Add<DirectoryEdit>(u"DirectoryEdit2");
  edit->SetText(u"Backup location:");
  int changes = 0;
  edit->OnChange = [&](Component&) { ++changes; };
  ui.CancelFolder();
  ui.AnswerFolder(u"D:\\Backups");

  EXPECT_FALSE(edit->Browse());
  EXPECT_EQ(edit->GetText(), u"Backup location:");
  EXPECT_TRUE(edit->Browse());
  EXPECT_EQ(edit->GetText(), u"D:\\Backups");
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(ui.Dialogs().size(), 2u);
  EXPECT_EQ(ui.Dialogs()[1].type, ShownDialog::Type::FolderDialog);
  EXPECT_EQ(ui.Dialogs()[1].text, u"Backup location:");  // where it started
  EXPECT_EQ(ui.Dialogs()[1].answer, u"D:\\Backups");
}

TEST_F(HeadlessUiTest, PopupMenuRunsOnPopupThenTheChosenItem) {
  auto* menu = form.Add<PopupMenu>(u"OptionMenu");
  auto* autoMin = form.Add<MenuItem>(u"Menu_AutoMinimize", menu);
  std::vector<std::string> events;
  menu->OnPopup = [&](Component&) { events.push_back("popup"); };
  autoMin->OnClick = [&](Component&) { events.push_back("auto minimize"); };
  ui.AnswerPopup(u"Menu_AutoMinimize");
  menu->Popup(10, 20);
  menu->Popup(10, 20);  // closed without a choice
  EXPECT_EQ(events, (std::vector<std::string>{"popup", "auto minimize", "popup"}));
}

TEST_F(HeadlessUiTest, TimersFireOncePerIntervalWhileEnabled) {
  auto* countdown = form.Add<Timer>(u"tmrCountDown");
  auto* animation = form.Add<Timer>(u"tmrAnimate");
  countdown->SetEnabled(false);
  animation->SetInterval(150);
  int seconds = 0, frames = 0;
  countdown->OnTimer = [&](Component&) {
    if (++seconds == 3) countdown->SetEnabled(false);
  };
  animation->OnTimer = [&](Component&) { ++frames; };

  ui.AdvanceTime(1000);
  EXPECT_EQ(frames, 6);
  countdown->SetEnabled(true);
  ui.AdvanceTime(5000);
  EXPECT_EQ(seconds, 3);
  EXPECT_EQ(frames, 40);
  EXPECT_EQ(ui.RunningTimers(), std::vector<Timer*>{animation});
}

TEST_F(HeadlessUiTest, SynchronizeRunsOnTheUiThreadAndWaitsForIt) {
  auto* bar = form.Add<ProgressBar>(u"ProgressBar1");
  const auto uiThread = std::this_thread::get_id();
  std::atomic<bool> finished{false};
  std::vector<int> seenByWorker;
  std::string workerError;

  std::thread worker([&] {
    for (int step = 1; step <= 3; ++step) {
      ui.Synchronize([&, step] {
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        bar->SetPosition(step * 30);
      });
      seenByWorker.push_back(bar->Position());  // the step has run when Synchronize returns
    }
    try {
      ui.Synchronize([] { throw std::runtime_error("list index out of bounds"); });
    } catch (const std::exception& e) {
      workerError = e.what();
    }
    finished = true;
  });
  EXPECT_TRUE(ui.RunUntil([&] { return finished.load(); }));
  worker.join();

  EXPECT_EQ(seenByWorker, (std::vector<int>{30, 60, 90}));
  EXPECT_EQ(workerError, "list index out of bounds");

  // On the UI thread itself the call runs at once.
  ui.Synchronize([&] { bar->SetPosition(100); });
  EXPECT_EQ(bar->Position(), 100);
}

TEST_F(HeadlessUiTest, BusyCursorIsRestoredWhenAnErrorEscapes) {
  ui.Guard([&] {
    BusyCursor busy(ui);
    EXPECT_EQ(ui.BusyDepth(), 1);
    ui.UpdateNow(form);
    throw std::runtime_error("Corrupt archive");
  });
  EXPECT_EQ(ui.BusyDepth(), 0);
  EXPECT_EQ(ui.BusyPushes(), 1);
  EXPECT_EQ(ui.Repaints(form), 1);
  EXPECT_EQ(ui.Messages(), std::vector<Text>{u"Corrupt archive"});
}

}  // namespace
}  // namespace platform::ui

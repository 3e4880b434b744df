// TForm2: the window in which the user chooses the applications that
// switching to game mode closes.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/list_view.h"
#include "zentura/app/zentura_env.h"
#include "zentura/gamemode/app_chooser_view.h"
#include "zentura/lang/multi_lan.h"

namespace zentura {

class TForm2 : public platform::ui::Form {
 public:
  // Creates the window hidden; its creation reads the startup programs.
  TForm2(platform::ui::Ui& ui, ZenturaEnv& env, LanguageSession& language);

  // What the closing step reads at the switch (rows, "Remember", on screen).
  AppChooserView& View();

  // Cancel: the main window empties its ClosedApps.
  std::function<void()> OnCancelApps;

  ~TForm2() override;

  platform::ui::Label* Label1;
  platform::ui::ListView* ListViewApp;
  platform::ui::CheckBox* CheckBox1;  // "Check All"
  platform::ui::CheckBox* CheckBox2;  // "Show All Current User's Processes"
  platform::ui::CheckBox* CheckBox3;  // "Remember"
  platform::ui::Button* btnOK;
  platform::ui::Button* BtnCancel;
  platform::ui::Timer* Timer1;

  void FormCreate();
  void FormShow();
  void FormClose(platform::ui::CloseAction& action);
  void FormHide();
  // Rebuilds the rows from `list`; with `runningOnly` only programs that run.
  void InitListviewApp(const std::vector<Text>& list, bool runningOnly);
  void Timer1Timer();
  void CheckBox1Click();
  void CheckBox2Click();
  void ListViewAppMouseDown(const platform::ui::MouseEvent& event);
  void ListViewAppColumnClick(int column);
  void ListViewAppCompare(platform::ui::ListItem& a, platform::ui::ListItem& b, int& compare);
  void btnOKClick();
  void BtnCancelClick();

  const std::vector<Text>& StartupEntries() const { return startupEntries_; }
  bool CheckAllArmed() const { return checkAllArmed_; }

 private:
  class RowsView;
  void ClearIcons();
  Text ProgramName(const Text& entry) const;

  ZenturaEnv& env_;
  LanguageSession& language_;
  std::unique_ptr<RowsView> view_;
  std::vector<Text> startupEntries_;
  std::vector<uintptr_t> icons_;  // handles the list shows, freed with it
  Text firstColumnCaption_;
  int sortColumn_ = 0;
  std::array<bool, 5> descending_{};
  bool checkAllArmed_ = true;
};

// Orders two "Memory Usage" texts (such as "12.50 MB"): each is read as a
// number up to its first blank, and the result is the difference in
// thousandths, clamped to int. A text that is empty or not a number sorts
// below every number; two such texts compare equal.
int CompareMemoryTexts(const Text& a, const Text& b, char16_t decimalSeparator);

}  // namespace zentura

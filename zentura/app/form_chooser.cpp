#include "zentura/app/form_chooser.h"

#include <climits>
#include <cmath>
#include <exception>
#include <optional>
#include <string>

#include "platform/ui/ui.h"
#include "zentura/gamemode/command_line.h"
#include "zentura/gamemode/memory_release.h"
#include "zentura/gamemode/startup_entries.h"
#include "zentura/gamemode/user_processes.h"
#include "zentura/shell/ini_file.h"
#include "zentura/sysutil/process_routines.h"
#include "zentura/sysutil/system_paths.h"
#include "zentura/sysutil/version_info.h"

namespace zentura {

namespace ui = platform::ui;

namespace {

const Text kFormSection = u"Zentura_Form2";
const Text kMessageSection = u"Zentura_M_form2";
const Text kCheckedApps = u"CheckedApps";

// Sub-item positions of the columns after the first.
constexpr int kManufacturer = 0;
constexpr int kMemory = 1;
constexpr int kCpuTime = 2;
constexpr int kCommandLine = 3;

// The number before the first blank; the user's decimal separator or a
// point between the digits.
std::optional<double> LeadingNumber(const Text& text, char16_t decimalSeparator) {
  Text number = text.substr(0, text.find(u' '));
  std::string ascii;
  bool digits = false, separator = false;
  for (size_t i = 0; i < number.size(); ++i) {
    char16_t c = number[i];
    if (c >= u'0' && c <= u'9') {
      ascii += static_cast<char>(c);
      digits = true;
    } else if ((c == decimalSeparator || c == u'.') && !separator) {
      ascii += '.';
      separator = true;
    } else if ((c == u'-' || c == u'+') && i == 0) {
      ascii += static_cast<char>(c);
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  try {
    return std::stod(ascii);
  } catch (const std::exception&) {
    return std::nullopt;  // beyond a double
  }
}

int CompareNoCase(const Text& a, const Text& b) {
  Text ua = platform::UpperCase(a), ub = platform::UpperCase(b);
  return ua < ub ? -1 : ua > ub ? 1 : 0;
}

}  // namespace

int CompareMemoryTexts(const Text& a, const Text& b, char16_t decimalSeparator) {
  std::optional<double> x = LeadingNumber(a, decimalSeparator);
  std::optional<double> y = LeadingNumber(b, decimalSeparator);
  if (!x || !y) return (x ? 1 : 0) - (y ? 1 : 0);
  double thousandths = std::round((*x - *y) * 1000);
  if (thousandths > INT_MAX) return INT_MAX;
  if (thousandths < INT_MIN) return INT_MIN;
  return static_cast<int>(thousandths);
}

// The closing step's view of the window.
class TForm2::RowsView : public AppChooserView {
 public:
  explicit RowsView(TForm2& form) : form_(form) {}
  bool RememberChecked() override { return form_.CheckBox3->Checked(); }
  size_t RowCount() override { return static_cast<size_t>(form_.ListViewApp->Count()); }
  bool RowChecked(size_t row) override { return form_.ListViewApp->Item(static_cast<int>(row)).Checked(); }
  Text RowCommandLine(size_t row) override {
    return form_.ListViewApp->Item(static_cast<int>(row)).SubItem(kCommandLine);
  }
  bool OnScreen() override { return form_.Visible(); }
  void Close() override { form_.Close(); }
  void ShowInformation(const Text& text) override {
    form_.GetUi().MessageBox(text, Text(), ui::MsgButtons::Ok, ui::MsgIcon::Information);
  }

 private:
  TForm2& form_;
};

TForm2::TForm2(ui::Ui& ui, ZenturaEnv& env, LanguageSession& language)
    : Form(ui, u"TForm2"), env_(env), language_(language), view_(std::make_unique<RowsView>(*this)) {
  SetCaption(u"Close Startup Application");
  SetClientSize(691, 327);
  SetBorderStyle(ui::BorderStyle::Single);
  SetBorderIcons({true, false, false});
  SetPosition(ui::FormPosition::OwnerCenter);
  SetOwnerForm(ui.MainForm());  // null while the main window is being created

  Label1 = Add<ui::Label>(u"Label1");
  Label1->SetCaption(u"Please select the applications you want to close:");
  Label1->SetBounds(8, 8, 675, 13);

  ListViewApp = Add<ui::ListView>(u"ListViewApp");
  ListViewApp->SetBounds(8, 26, 675, 256);
  ListViewApp->SetCheckboxes(true);
  ListViewApp->SetReadOnly(true);
  ListViewApp->SetRowSelect(true);
  ui::ListColumn name{u"Item Name", 200, 200, 0, ui::Alignment::Left, true};
  ui::ListColumn maker{u"Manufacturer", 120, 0, 0, ui::Alignment::Left, true};
  ui::ListColumn memory{u"Memory Usage", 100, 0, 0, ui::Alignment::Right, false};
  ui::ListColumn cpu{u"CPU Time", 90, 0, 0, ui::Alignment::Right, false};
  ui::ListColumn command{u"Command Line", 200, 0, 0, ui::Alignment::Left, true};
  for (const ui::ListColumn& column : {name, maker, memory, cpu, command}) {
    ListViewApp->AddColumn(column.caption, column.width);
    ListViewApp->SetColumn(static_cast<int>(ListViewApp->Columns().size()) - 1, column);
  }
  ListViewApp->OnMouseDown = [this](ui::Component&, const ui::MouseEvent& e) { ListViewAppMouseDown(e); };
  ListViewApp->OnColumnClick = [this](ui::Component&, int column) { ListViewAppColumnClick(column); };
  ListViewApp->OnCompare = [this](ui::Component&, ui::ListItem& a, ui::ListItem& b, int& compare) {
    ListViewAppCompare(a, b, compare);
  };

  CheckBox1 = Add<ui::CheckBox>(u"CheckBox1");
  CheckBox1->SetCaption(u"Check All");
  CheckBox1->SetBounds(8, 294, 90, 17);
  CheckBox1->OnClick = [this](ui::Component&) { CheckBox1Click(); };
  CheckBox2 = Add<ui::CheckBox>(u"CheckBox2");
  CheckBox2->SetCaption(u"Show All Current User's Processes");
  CheckBox2->SetBounds(104, 294, 222, 17);
  CheckBox2->OnClick = [this](ui::Component&) { CheckBox2Click(); };
  CheckBox3 = Add<ui::CheckBox>(u"CheckBox3");
  CheckBox3->SetCaption(u"Remember");
  CheckBox3->SetBounds(332, 294, 120, 17);

  btnOK = Add<ui::Button>(u"btnOK");
  btnOK->SetCaption(u"OK");
  btnOK->SetDefault(true);
  btnOK->SetBounds(527, 290, 75, 25);
  btnOK->OnClick = [this](ui::Component&) { btnOKClick(); };
  BtnCancel = Add<ui::Button>(u"BtnCancel");
  BtnCancel->SetCaption(u"Cancel");
  BtnCancel->SetBounds(608, 290, 75, 25);
  BtnCancel->OnClick = [this](ui::Component&) { BtnCancelClick(); };

  Timer1 = Add<ui::Timer>(u"Timer1");
  Timer1->SetEnabled(false);
  Timer1->SetInterval(1000);
  Timer1->OnTimer = [this](ui::Component&) { Timer1Timer(); };

  OnShow = [this](Form&) { FormShow(); };
  OnHide = [this](Form&) { FormHide(); };
  OnClose = [this](Form&, ui::CloseAction& action) { FormClose(action); };

  FormCreate();
}

TForm2::~TForm2() {
  Timer1->SetEnabled(false);
  ListViewApp->ClearSmallIcons();
  ClearIcons();
}

AppChooserView& TForm2::View() { return *view_; }

void TForm2::ClearIcons() {
  for (uintptr_t icon : icons_) env_.sp.desktop.DestroyIcon(icon);
  icons_.clear();
}

Text TForm2::ProgramName(const Text& entry) const {
  return ProgramNameOf(entry, [this](const Text& path) { return env_.p.files.FileExists(path); });
}

void TForm2::FormCreate() {
  startupEntries_ = LoadStartupEntries(env_.p, env_.sp);
  TIniFile settings(env_.sp.profile, env_.SettingsFile());
  CheckBox3->SetChecked(settings.ReadBool(u"Main", u"RememberApps", true));
  InitListviewApp(startupEntries_, false);
}

void TForm2::FormShow() {
  // The main window creates this one before it is itself registered as the
  // main form; centre on it at every opening.
  if (!OwnerForm() && GetUi().MainForm() != this) SetOwnerForm(GetUi().MainForm());
  SetClientSize(ClientWidth(), ClientHeight());
  // The language applies to the list's own caption, not to the one that
  // "Show All" put there last time.
  if (CheckBox2->Checked() && !firstColumnCaption_.empty()) ListViewApp->SetColumnCaption(0, firstColumnCaption_);
  language_.Lan().ApplyToForm(kFormSection, *this);
  firstColumnCaption_ = ListViewApp->Columns()[0].caption;
  checkAllArmed_ = false;
  CheckBox1->SetChecked(false);
  CheckBox2->SetChecked(false);
  InitListviewApp(startupEntries_, true);
  Timer1Timer();
  Timer1->SetEnabled(true);
}

void TForm2::FormClose(ui::CloseAction&) {
  Timer1->SetEnabled(false);
  if (!CheckBox3->Checked()) TIniFile(env_.sp.profile, env_.SettingsFile()).EraseSection(kCheckedApps);
}

void TForm2::FormHide() { Timer1->SetEnabled(false); }

void TForm2::InitListviewApp(const std::vector<Text>& list, bool runningOnly) {
  Timer1->SetEnabled(false);
  ListViewApp->ClearItems();
  ListViewApp->ClearSmallIcons();
  ClearIcons();
  ListViewApp->BeginUpdate();
  TIniFile settings(env_.sp.profile, env_.SettingsFile());
  for (const Text& entry : list) {
    try {
      Text name = ProgramName(entry);
      if (runningOnly && !IsProcessRunning(env_.sp, name)) continue;
      Text exePath = ExePathOf(entry);
      // A file without an icon gets a row without one; an empty handle in
      // the image list would move every later row's icon.
      int image = -1;
      if (uintptr_t icon = GetFileIcon(env_.p, env_.sp, exePath, true)) {
        icons_.push_back(icon);
        image = ListViewApp->AddSmallIcon(icon);
      }
      ui::ListItem& row = ListViewApp->AddItem(name);
      row.SetImageIndex(image);
      row.AddSubItem(GetVersionInfoString(env_.sp, exePath, 1));
      row.AddSubItem(Text());
      row.AddSubItem(Text());
      row.AddSubItem(entry);
      if (CheckBox3->Checked() && settings.ReadBool(kCheckedApps, name, false)) row.SetChecked(true);
    } catch (const std::exception&) {
      // The entry keeps the row as far as it was built.
    }
  }
  // Automatic widths follow the new rows.
  for (int i = 0; i < static_cast<int>(ListViewApp->Columns().size()); ++i) {
    if (ListViewApp->Columns()[static_cast<size_t>(i)].autoSize) {
      ListViewApp->SetColumn(i, ListViewApp->Columns()[static_cast<size_t>(i)]);
      break;  // one column change rebuilds them all
    }
  }
  ListViewApp->EndUpdate();
  // The usage columns refresh only while the window is on screen.
  if (Visible()) Timer1->SetEnabled(true);
}

void TForm2::Timer1Timer() {
  for (int i = 0; i < ListViewApp->Count(); ++i) {
    ui::ListItem& row = ListViewApp->Item(i);
    pirec usage = ProcessUsage(env_.sp, row.Caption());
    row.SetSubItem(kMemory, usage.memory);
    row.SetSubItem(kCpuTime, usage.cpuTime);
  }
}

void TForm2::CheckBox1Click() {
  if (CheckBox1->Checked() || checkAllArmed_) {
    const bool on = CheckBox1->Checked();
    for (int i = 0; i < ListViewApp->Count(); ++i) ListViewApp->Item(i).SetChecked(on);
  }
  checkAllArmed_ = true;
}

void TForm2::ListViewAppMouseDown(const ui::MouseEvent& event) {
  if (!event.onStateIcon) return;
  // Unticking one row must not untick the others through "Check All".
  checkAllArmed_ = false;
  CheckBox1->SetChecked(false);
}

void TForm2::CheckBox2Click() {
  CheckBox1->SetChecked(false);
  if (CheckBox2->Checked()) {
    std::vector<Text> processes;
    if (IsWow64(env_.sp)) {
      GetUserProcessesByWmi(env_.p, env_.sp, &processes);
    } else {
      GetUserProcessesByToken(env_.p, env_.sp, &processes);
    }
    ListViewApp->SetColumnCaption(0, language_.Lan().ReadIndexed(kMessageSection, 0, u"All programs"));
    InitListviewApp(processes, false);
  } else {
    ListViewApp->SetColumnCaption(0, firstColumnCaption_);
    InitListviewApp(startupEntries_, true);
  }
}

void TForm2::ListViewAppColumnClick(int column) {
  if (column < 0 || column >= static_cast<int>(descending_.size())) return;
  descending_[static_cast<size_t>(column)] = !descending_[static_cast<size_t>(column)];
  sortColumn_ = column;
  ListViewApp->Sort();
}

void TForm2::ListViewAppCompare(ui::ListItem& a, ui::ListItem& b, int& compare) {
  if (sortColumn_ == 0) {
    compare = CompareNoCase(a.Caption(), b.Caption());
  } else if (sortColumn_ == 2) {
    compare = CompareMemoryTexts(a.SubItem(kMemory), b.SubItem(kMemory), env_.sp.desktop.DecimalSeparator());
  } else {
    compare = CompareNoCase(a.SubItem(sortColumn_ - 1), b.SubItem(sortColumn_ - 1));
  }
  if (descending_[static_cast<size_t>(sortColumn_)]) compare = compare == INT_MIN ? INT_MAX : -compare;
}

void TForm2::btnOKClick() {
  TIniFile settings(env_.sp.profile, env_.SettingsFile());
  for (int i = 0; i < ListViewApp->Count(); ++i) {
    const ui::ListItem& row = ListViewApp->Item(i);
    settings.WriteString(kCheckedApps, row.Caption(), row.Checked() ? u"1" : u"0");
  }
  settings.WriteBool(u"main", u"RememberApps", CheckBox3->Checked());
  SetModalResult(ui::ModalResult::Ok);
  Close();
}

void TForm2::BtnCancelClick() {
  if (OnCancelApps) OnCancelApps();
  SetModalResult(ui::ModalResult::Cancel);
  Close();
}

}  // namespace zentura

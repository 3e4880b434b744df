#include "brantle/shell/convert_window.h"

#include "platform/ui/ui.h"

namespace brantle {

using namespace platform::ui;

namespace {
constexpr uint32_t kOperaBadge = 0x2020C0;  // Opera's red, as 0x00BBGGRR
}

Tfc_Opera::Tfc_Opera(Ui& ui, WizardContext context)
    : WizardFrame(ui, u"Tfc_Opera", context, u"Convert Opera Profile",
                  u"Welcome to Opera 10 Profile Conversion Wizard", kOperaBadge, false) {
  Label2 = SectionBar(u"Label2", u"Instructions:", 8, 72, 583);
  Label3 = Add<Label>(u"Label3");
  Label3->SetBounds(24, 96, 551, 48);
  Label3->SetWordWrap(true);
  Label3->SetCaption(
      u"Use the following function after you have restored Opera settings (Opera 10 only!). Program will seek for "
      u"your profile file and replace data as per your request. Please note: close Opera before clicking \"Next\".");
  Label4 = SectionBar(u"Label4", u"Conversion method:", 8, 152, 583);
  RadioGroup1 = Add<RadioGroup>(u"RadioGroup1");
  RadioGroup1->SetCaption(u"Option");
  RadioGroup1->SetBounds(24, 176, 300, 236);
  RadioGroup1->SetItems(ConversionMethods());
  RadioGroup1->OnClick = [this](Component&) { RadioGroup1Click(); };
  Label5 = Add<Label>(u"Label5");
  Label5->SetBounds(340, 180, 240, 18);
  Label5->SetCaption(u"Enter old username (if changing):");
  Edit1 = Add<Edit>(u"Edit1");
  Edit1->SetBounds(340, 200, 200, 21);
  Edit1->SetCaption(u"Olduser");
  Label6 = Add<Label>(u"Label6");
  Label6->SetBounds(340, 232, 240, 34);
  Label6->SetWordWrap(true);
  Label6->SetCaption(u"Enter old drive letter (if changing), for example: \"D:\\\":");
  Edit2 = Add<Edit>(u"Edit2");
  Edit2->SetBounds(340, 268, 200, 21);
  Edit2->SetCaption(u"D:\\");
  Memo1 = Add<Memo>(u"Memo1");
  Memo1->SetBounds(340, 302, 235, 110);
  Memo1->SetReadOnly(true);
  Label7 = SectionBar(u"Label7", u"System information:", 8, 420, 583);
  auto row = [this](int n, const char16_t* caption, const char16_t* valueName, int top, Label*& value) {
    auto* name = Add<Label>(u"Label" + platform::ToText(n));
    name->SetBounds(24, top, 112, 16);
    name->SetCaption(caption);
    name->SetBold(true);
    value = Add<Label>(valueName);
    value->SetBounds(140, top, 264, 16);
    return name;
  };
  Label8 = row(8, u"Windows Name:", u"lblName", 444, lblName);
  Label9 = row(9, u"Windows Type:", u"lblType", 462, lblType);
  Label10 = row(10, u"Windows User:", u"lblUser", 480, lblUser);
  Button2->SetEnabled(false);
}

void Tfc_Opera::FormActivate() {
  WizardFrame::FormActivate();
  // The system's refusal to say whether it emulates 32 bits ends the
  // activation with its report, before the file is looked for.
  GetUi().Guard([this] {
    SystemInformation info = ReadSystemInformation(context_.helpers, context_.p);
    lblType->SetCaption(info.windowsType);
    lblName->SetCaption(info.windowsName);
    lblUser->SetCaption(info.windowsUser);
    ffpath = FindPreferencesFile(context_.helpers, context_.p);
    if (ffpath.empty()) GetUi().ShowMessage(convert_text::kNotFound);
  });
}

void Tfc_Opera::RadioGroup1Click() { Button2->SetEnabled(RadioGroup1->ItemIndex() >= 0); }

void Tfc_Opera::Button2Click() {
  const int method = RadioGroup1->ItemIndex();
  ConversionValues values;
  values.user = uzer = context_.helpers.GetLoginName();
  // Only the drive change needs the system drive, whose look-up may fail.
  if (method == kDriveChangeMethod) values.drive = drv = context_.helpers.GetSystemDrive();
  values.oldUser = olduser = Edit1->Caption();
  values.oldDrive = driveltr = Edit2->Caption();
  ConversionOutcome outcome;
  {
    BusyCursor busy(GetUi());
    outcome = ConvertFile(context_.p, ffpath, method, values);
  }
  // Through the lines, so a file with bare LF breaks shows as lines too.
  Memo1->SetText(platform::FromUtf8(outcome.text));
  Memo1->SetLines(Memo1->Lines());
  if (!outcome.saved) {
    GetUi().ShowMessage(outcome.message);
    return;
  }
  ShowFinishButton();
}

}  // namespace brantle

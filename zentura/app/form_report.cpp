#include "zentura/app/form_report.h"

namespace zentura {

using namespace platform::ui;

TFormReport::TFormReport(Ui& ui, TMultiLan& lan, const TDefragReport& report, const Text& message)
    : Form(ui, u"TFormReport"), lan_(lan), report_(report) {
  SetCaption(u"Report");
  SetClientSize(340, 232);
  SetBorderStyle(BorderStyle::Dialog);
  SetPosition(FormPosition::OwnerCenter);
  Panel1 = Add<Panel>(u"Panel1");
  Panel1->SetBounds(8, 8, 324, 150);
  Panel2 = Add<Panel>(u"Panel2");
  Panel2->SetBounds(8, 164, 324, 60);
  struct Row {
    Label** caption;
    Label** value;
    const char16_t* name;
    const char16_t* valueName;
    const char16_t* text;
  };
  const Row rows[] = {
      {&Label_StartTime, &Value_StartTime, u"Label_StartTime", u"Value_StartTime", u"Start Defragmentation At:"},
      {&Label_ElapsedTime, &Value_EndTime, u"Label_ElapsedTime", u"Value_EndTime", u"Complete Defragmentation At:"},
      {&Label_EndTime, &Value_ElapsedTime, u"Label_EndTime", u"Value_ElapsedTime", u"Elapsed Time:"},
      {&Label_TotalFile, &Value_TotalFile, u"Label_TotalFile", u"Value_TotalFile", u"Total Files:"},
      {&Label_FragFile, &Value_FragFile, u"Label_FragFile", u"Value_FragFile", u"Fragmented Files Count:"},
      {&Label_DefragedFile, &Value_DefragedFile, u"Label_DefragedFile", u"Value_DefragedFile",
       u"Defragmented Files Count:"},
  };
  int top = 10;
  for (const Row& row : rows) {
    *row.caption = Add<Label>(row.name, Panel1);
    (*row.caption)->SetCaption(row.text);
    (*row.caption)->SetBounds(10, top, 200, 16);
    *row.value = Add<Label>(row.valueName, Panel1);
    (*row.value)->SetBounds(214, top, 100, 16);
    top += 23;
  }
  Label_Report_Cng = Add<Label>(u"Label_Report_Cng", Panel2);
  Label_Report_Cng->SetCaption(message);
  Label_Report_Cng->SetAlignment(Alignment::Center);
  Label_Report_Cng->SetBounds(4, 6, 316, 16);
  BtnOK = Add<Button>(u"BtnOK", Panel2);
  BtnOK->SetCaption(u"OK");
  BtnOK->SetDefault(true);
  BtnOK->SetBounds(122, 28, 80, 25);
  BtnOK->OnClick = [this](Component&) {
    SetModalResult(ModalResult::Ok);
  };
  OnShow = [this](Form&) { FormShow(); };
}

void TFormReport::FormShow() {
  lan_.ApplyToForm(u"Zentura_Report", *this);
  Value_StartTime->SetCaption(FormatTime(report_.StartTime));
  Value_EndTime->SetCaption(FormatTime(report_.EndTime));
  Value_ElapsedTime->SetCaption(FormatTime(report_.ElapsedTime));
  Value_TotalFile->SetCaption(platform::ToText(report_.TotalFile));
  Value_FragFile->SetCaption(platform::ToText(report_.FragFile));
  Value_DefragedFile->SetCaption(platform::ToText(report_.DefragedFile));
}

}  // namespace zentura

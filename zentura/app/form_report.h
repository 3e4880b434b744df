// TFormReport: the counts and times of the last defrag run, shown modally
// when a run ends.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "zentura/defrag/defrag_engine.h"
#include "zentura/lang/multi_lan.h"

namespace zentura {

class TFormReport : public platform::ui::Form {
 public:
  // `message` is the line below the rows (message 38 of the main window).
  TFormReport(platform::ui::Ui& ui, TMultiLan& lan, const TDefragReport& report, const Text& message);

  platform::ui::Panel* Panel1;  // the rows
  platform::ui::Panel* Panel2;  // the message and OK
  platform::ui::Label* Label_StartTime;
  platform::ui::Label* Label_ElapsedTime;
  platform::ui::Label* Label_EndTime;
  platform::ui::Label* Label_TotalFile;
  platform::ui::Label* Label_FragFile;
  platform::ui::Label* Label_DefragedFile;
  platform::ui::Label* Value_StartTime;
  platform::ui::Label* Value_EndTime;
  platform::ui::Label* Value_ElapsedTime;
  platform::ui::Label* Value_TotalFile;
  platform::ui::Label* Value_FragFile;
  platform::ui::Label* Value_DefragedFile;
  platform::ui::Label* Label_Report_Cng;
  platform::ui::Button* BtnOK;

  void FormShow();

 private:
  TMultiLan& lan_;
  const TDefragReport& report_;
};

}  // namespace zentura

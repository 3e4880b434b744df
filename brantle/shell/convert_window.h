// Tfc_Opera: the window that converts Opera's preferences file after its
// settings were restored for another Windows, user or drive.
#pragma once

#include "brantle/browsers/opera/opera_convert.h"
#include "brantle/shell/wizard_windows.h"

namespace brantle {

class Tfc_Opera : public WizardFrame {
 public:
  Tfc_Opera(ui::Ui& ui, WizardContext context);
  ui::Label *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
  ui::Label *Label8, *Label9, *Label10, *lblName, *lblType, *lblUser;
  ui::RadioGroup* RadioGroup1;
  ui::Edit *Edit1, *Edit2;  // old user, old drive
  ui::Memo* Memo1;          // the file's text while it is converted

  void FormActivate() override;
  void Button2Click() override;
  void RadioGroup1Click();

  // The window's working values.
  Text uzer, drv, ffpath, olduser, driveltr;
};

}  // namespace brantle

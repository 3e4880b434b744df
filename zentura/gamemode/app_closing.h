// Closing the applications the user chose before game mode starts.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/system_platform.h"
#include "zentura/gamemode/app_chooser_view.h"
#include "zentura/shell/ini_file.h"

namespace zentura {

using platform::Text;

struct AppClosingContext {
  platform::Platform& p;
  platform::SystemPlatform& sp;
  TIniFile& settings;    // Zentura.ini
  TIniFile& record;      // temp.ini
  AppChooserView& chooser;
  Text message18;        // shown when the chooser is open and nothing is checked
  Text message19;
};

// Terminates the chosen running programs, lists them in closedApps and
// records each one whose termination succeeded in section Apps of temp.ini.
void CloseChosenApplications(AppClosingContext& ctx, std::vector<Text>* closedApps);

// Moves the mouse over every icon of the notification area, so that it
// drops the icons of programs that have ended.
void RefreshTrayIcons(platform::SystemPlatform& sp);

}  // namespace zentura

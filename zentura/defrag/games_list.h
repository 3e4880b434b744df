// The games the defrag page offers: from the shell's game explorer on
// Windows 6.x, otherwise from the programs' uninstall entries, sorted by
// name, with the user's "My Games" folder last.
#pragma once

#include <vector>

#include "platform/games.h"
#include "platform/platform.h"
#include "platform/system_platform.h"

namespace zentura {

using platform::Text;

struct TGameInfo {
  Text Name;
  Text InstallPath;
  Text IconPath;  // may be empty
};

// Where the games come from, chosen once at start from the Windows version.
extern bool UseGameExplorer;
void ChooseGameSource(const platform::OsVersion& version);

// The game explorer's games, each inserted at the front; entries without an
// install path are left out (analysing one would scan the drive's root).
void ReadGameExplorer(platform::GameExplorer& explorer, std::vector<TGameInfo>& list);
// Appends the uninstall entries that pass the filters and name a folder.
void GetSoftInfo(platform::Platform& p, std::vector<TGameInfo>& list);
// By name, letters a to z compared as upper case.
void SortGames(std::vector<TGameInfo>& list);
// Appends "My Games" when the folder exists in the documents folder.
bool AddMyGames(platform::Platform& p, platform::SystemPlatform& sp, std::vector<TGameInfo>& list);

// All of the above in order; *myGames tells whether the last record is "My Games".
std::vector<TGameInfo> LoadGameRecords(platform::Platform& p, platform::SystemPlatform& sp,
                                       platform::GameExplorer* explorer, bool* myGames);

}  // namespace zentura

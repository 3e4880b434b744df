// The services game mode stops and starts again: the service-list section of
// the settings file and the service operations. Every routine takes a machine
// name for the record; all of them address the local machine.
#pragma once

#include <vector>

#include "platform/system.h"
#include "platform/system_platform.h"
#include "zentura/shell/ini_file.h"

namespace zentura {

using platform::Text;

// A start that has not reached the running state after this long is given
// up, so that a service stuck in start-pending cannot hang game mode. The
// same bound guards the stop wait, whose own limit counts only sleeps.
constexpr uint64_t kServiceWaitLimitMs = 30000;

// "servicelist_xp" (5.x), "servicelist_vista" (6.0), "servicelist_win7"
// (6.1), or empty for any other version.
Text ServiceListSection(const platform::OsVersion& version);

struct ServiceListEntry {
  Text keyName;
  bool selected = true;
};
// The section's services in file order; "0" is not selected, any other
// integer, an empty value or text that is no integer is selected.
std::vector<ServiceListEntry> ReadServiceList(TIniFile& settings, const Text& section);

// The service's current state; 0 when it cannot be opened or queried, 1
// (stopped) when the manager cannot be opened.
uint32_t GetServiceState(platform::SystemPlatform& sp, const Text& machine, const Text& keyName);
bool IsServiceRunning(platform::SystemPlatform& sp, const Text& machine, const Text& keyName);
// Starts the service and waits while it makes progress; true when it runs.
bool StartServiceAndWait(platform::SystemPlatform& sp, const Text& machine, const Text& keyName);
// Asks the service to stop and waits up to about a second of sleeps; true
// when it is stopped.
bool StopServiceAndWait(platform::SystemPlatform& sp, const Text& machine, const Text& keyName);
// Empty on any failure, a name longer than 254 characters included.
Text GetServiceDisplayName(platform::SystemPlatform& sp, const Text& machine, const Text& keyName);
Text GetServiceKeyName(platform::SystemPlatform& sp, const Text& machine, const Text& displayName);
// Opens the settings file in the user's editor for ini files.
void EditServiceList(platform::SystemPlatform& sp, const Text& settingsPath);

}  // namespace zentura

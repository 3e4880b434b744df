// Finding and ending processes by executable name, and token privileges.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/system_platform.h"

namespace zentura {

using platform::Text;

// Appends the executable name of every running process.
void ListProcessNames(platform::SystemPlatform& sp, std::vector<Text>* names);
// Names compare in upper case.
bool IsProcessRunning(platform::SystemPlatform& sp, const Text& name);
// Id of the first process with that executable name; 0 when none.
uint32_t ProcessIdByName(platform::SystemPlatform& sp, const Text& name);
// Terminates (exit code 0) every process whose recorded name, or that
// name's file-name part, equals `name`; the result of the last termination,
// false when none matched.
bool KillProcessByName(platform::SystemPlatform& sp, const Text& name);
// Enables or disables one privilege; true when no error is left.
bool SetPrivilege(platform::Platform& p, platform::Token& token, const Text& privilege,
                  bool enable);
// SeDebugPrivilege for the program's own process.
bool EnableDebugPrivilege(platform::Platform& p);

}  // namespace zentura

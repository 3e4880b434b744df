// The processes of the current user, and the path of a running program.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/system_platform.h"

namespace zentura {

using platform::Text;

// Appends the main-module path of every process (but the program's own)
// whose token belongs to the current user; processes that cannot be opened
// or queried are left out.
void GetUserProcessesByToken(platform::Platform& p, platform::SystemPlatform& sp,
                             std::vector<Text>* list);
// The same through WMI, for a 32-bit program on 64-bit Windows; replaces
// the list's content, then empties the program's own working set.
void GetUserProcessesByWmi(platform::Platform& p, platform::SystemPlatform& sp,
                           std::vector<Text>* list);
bool IsWow64(platform::SystemPlatform& sp);
// Full path of the first process whose executable name (or its file-name
// part) equals `name` without regard to case; empty when none can be read.
Text RunningProcessPath(platform::SystemPlatform& sp, const Text& name);

}  // namespace zentura

// Turning registry command lines and icon references into file paths, and
// starting commands with the program's path macros.
#pragma once

#include "platform/platform.h"
#include "platform/system_platform.h"

namespace zentura {

using platform::Text;

// A command line or icon reference as a bare file path, upper case except
// for the inserted Windows folder.
Text CleanCommandPath(const Text& command, const Text& windowsDir);
Text CleanCommandPath(platform::Platform& p, const Text& command);

// Expands %WINDOWS%, %SYSTEM% and %APP%\ (or %APP%/) and opens the result
// with ShellExecuteW; "RUNDLL32.EXE ..." runs RunDll32 with the rest as
// parameters. The shell's result is not examined.
void RunCommand(platform::Platform& p, platform::SystemPlatform& sp, const Text& command);

}  // namespace zentura

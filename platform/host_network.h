// The network and program start of the machine a command-line program runs
// on: WinINet and ShellExecuteW on Windows; on Linux plain sockets, and no
// start of Windows programs.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/host.h"
#include "platform/network.h"

namespace platform {

std::unique_ptr<Network> OpenHostNetwork();
// ShellExecuteW "open" of a file with parameters, normal window; its
// result (above 32 = started).
intptr_t StartHostProgram(const Text& file, const Text& parameters);
// The temporary folder with a trailing backslash.
Text HostTempFolder(HostPlatform& host);

}  // namespace platform

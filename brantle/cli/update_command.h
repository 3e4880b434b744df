// brantle-cli update: the web update check without windows.
#pragma once

#include <string>
#include <vector>

#include "brantle/cli/cli_commands.h"

namespace brantle::cli {

constexpr char kUpdateUsage[] = "       brantle-cli update --check|--install [--server HOST[:PORT]]\n";

// Exit codes: 0 no update, 10 update available (with --install: downloaded
// and started), 1 error, 2 bad arguments.
int RunUpdate(platform::HostPlatform& host, const std::vector<std::string>& args, Console& console);

}  // namespace brantle::cli

// brantle-cli: the backup program's command-line face.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/host.h"

namespace brantle::cli {

struct Console {
  std::ostream& out;
  std::ostream& err;
  bool progress;  // show the current file and bytes on err while working
};

// Runs one command (args without the program name); returns the exit code.
int Run(platform::HostPlatform& host, const std::vector<std::string>& args, Console& console);

}  // namespace brantle::cli

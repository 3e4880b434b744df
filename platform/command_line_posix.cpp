#include <unistd.h>

#include "platform/host.h"

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

bool IsTerminal(int fd) { return isatty(fd) != 0; }

}  // namespace platform

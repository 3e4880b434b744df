// The platform of the machine a command-line program runs on: the real
// Windows API on Windows; elsewhere a simulated Windows whose drive Z: is
// the host's root folder, so that host paths can be used as they are.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

class HostPlatform {
 public:
  virtual ~HostPlatform() = default;
  virtual Platform& Get() = 0;
  // A path as the user typed it (UTF-8, relative or absolute) as a Windows path.
  virtual Text FromHostPath(const std::string& path) = 0;
  // A Windows path as the user should see it.
  virtual std::string ToHostPath(const Text& path) = 0;
};

std::unique_ptr<HostPlatform> OpenHostPlatform();

}  // namespace platform

namespace platform {

// The program's arguments as UTF-8 (on Windows taken from the wide command line).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Whether a standard stream is an interactive terminal (progress is shown only there).
bool IsTerminal(int fd);

}  // namespace platform

// Everything the logic may ask of Windows, in one place. The real API
// (platform/win32) and the simulation (platform/sim) each provide one.
#pragma once

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace platform {

struct Platform {
  FileSystem& files;
  Shell& shell;
  Registry& registry;
  Security& security;
  System& system;
};

}  // namespace platform

// The optimiser's system operations beside platform::Platform: services,
// processes, memory, ini files, desktop and time.
#pragma once

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/memory.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/services.h"

namespace platform {

struct SystemPlatform {
  ServiceManager& services;
  Processes& processes;
  Memory& memory;
  Profile& profile;
  Desktop& desktop;
  Clock& clock;
};

}  // namespace platform

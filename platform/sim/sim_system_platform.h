// The optimiser's simulated system: services, processes, memory, ini files
// and desktop on one simulated clock, configurable per test.
#pragma once

#include <memory>

#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_memory.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_services.h"
#include "platform/system_platform.h"

namespace platform::sim {

class SimSystemPlatform {
 public:
  // Ini files kept in memory.
  SimSystemPlatform() : SimSystemPlatform(nullptr) {}
  // Ini files on a (simulated) file system.
  explicit SimSystemPlatform(FileSystem& files) : SimSystemPlatform(&files) {}
  SimSystemPlatform(const SimSystemPlatform&) = delete;
  SimSystemPlatform& operator=(const SimSystemPlatform&) = delete;

  SystemPlatform& Get() { return platform_; }
  SimProfile& profile() { return profile_; }

  SimClock clock;
  SimServiceManager services{clock};
  SimMemory memory;
  SimProcesses processes{memory};
  MemoryProfileStore memoryStore;
  SimDesktop desktop;

 private:
  explicit SimSystemPlatform(FileSystem* files)
      : fileStore_(files ? std::make_unique<FileSystemProfileStore>(*files) : nullptr),
        profile_(fileStore_ ? static_cast<ProfileStore&>(*fileStore_) : memoryStore),
        platform_{services, processes, memory, profile_, desktop, clock} {}

  std::unique_ptr<FileSystemProfileStore> fileStore_;
  SimProfile profile_;
  SystemPlatform platform_;
};

}  // namespace platform::sim

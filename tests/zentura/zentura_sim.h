// A simulated Windows with the optimiser's system operations on top, its
// ini files on the simulated drive C:.
#pragma once

#include <string>

#include "platform/sim/sim_system_platform.h"
#include "platform/sim/sim_windows.h"
#include "tests/unit/sim_fixture.h"

namespace zentura_test {

using platform::Text;

struct ZenturaSim {
  platform::sim::TempSimWindows win;
  platform::sim::SimSystemPlatform sys{win.Get().files};

  platform::Platform& p() { return win.Get(); }
  platform::SystemPlatform& sp() { return sys.Get(); }
  void WriteFile(const Text& path, const std::string& content = "MZ") {
    testing_support::WriteFile(p(), path, content);
  }
  platform::sim::SimProcess& Run(const Text& exeFile, const Text& path, uint64_t workingSet = 8 << 20) {
    platform::sim::SimProcess proc;
    proc.exeFile = exeFile;
    proc.path = path;
    proc.workingSet = workingSet;
    return sys.processes.Add(proc);
  }
};

}  // namespace zentura_test

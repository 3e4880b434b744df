// A process table: names, paths, owners, working sets and CPU times;
// processes that can or cannot be opened (per access right), terminated or
// asked for their token; an optional WMI view of the same table.
#pragma once

#include <vector>

#include "platform/processes.h"
#include "platform/sim/sim_memory.h"

namespace platform::sim {

struct SimProcess {
  uint32_t processId = 0;
  Text exeFile;   // the snapshot's executable name
  Text path;      // the main module's path
  Text user = u"tester";
  Text domain = u"SIMPC";
  uint64_t workingSet = 8ull << 20;
  uint64_t workingSetAfterTrim = 0;
  uint64_t kernelTime = 0;  // 100 ns units
  uint64_t userTime = 0;
  uint32_t deniedAccess = 0;  // rights OpenProcess refuses
  bool terminateFails = false;
  bool tokenFails = false;
  bool inWmi = true;
  uint32_t wmiOwnerResult = 0;
  bool wmiPathNull = false;
};

class SimProcesses : public Processes {
 public:
  explicit SimProcesses(SimMemory& memory) : memory_(memory) {}
  bool Snapshot(std::vector<ProcessEntry>* entries) override;
  std::unique_ptr<ProcessHandle> Open(uint32_t access, bool inheritHandle, uint32_t processId,
                                      uint32_t* error) override;
  uint32_t CurrentProcessId() override { return currentProcessId; }
  bool IsWow64() override { return isWow64; }
  bool WmiProcessList(std::vector<WmiProcess>* processes) override;

  SimProcess& Add(SimProcess process);
  SimProcess* Find(uint32_t processId);
  // Processes whose snapshot name matches, without regard to case.
  size_t CountNamed(const Text& exeFile) const;

  std::vector<SimProcess> table;
  std::vector<SimProcess> terminated;
  uint32_t currentProcessId = 4242;
  bool isWow64 = false;
  bool snapshotFails = false;
  bool wmiFails = false;
  int openHandles = 0;
  // Every OpenProcess: process id and access asked for.
  struct OpenRecord {
    uint32_t processId;
    uint32_t access;
  };
  std::vector<OpenRecord> opened;

 private:
  friend class SimProcessHandle;
  SimMemory& memory_;
  uint32_t nextId_ = 1000;
};

}  // namespace platform::sim

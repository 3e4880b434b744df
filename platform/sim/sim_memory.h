// A memory status that the simulated processes change: trimming or ending a
// process gives its pages back as free physical memory.
#pragma once

#include "platform/memory.h"

namespace platform::sim {

class SimMemory : public Memory {
 public:
  SimMemory() {
    status.memoryLoad = 50;
    status.totalPhys = 2ull << 30;
    status.availPhys = 1ull << 30;
    status.totalPageFile = 4ull << 30;
    status.availPageFile = 3ull << 30;
    status.totalVirtual = 2ull << 30;
    status.availVirtual = 1900ull << 20;
    info.pageSize = 4096;
    info.minimumApplicationAddress = 0x10000;
    info.maximumApplicationAddress = 0x7FFEFFFF;
    info.allocationGranularity = 65536;
  }
  bool HasGlobalMemoryStatusEx() override { return hasGlobalMemoryStatusEx; }
  bool GlobalMemoryStatusEx(MemoryStatus* out) override {
    if (!hasGlobalMemoryStatusEx) return false;
    *out = status;
    return true;
  }
  void GetSystemInfo(SystemInfo* out) override { *out = info; }
  void Release(uint64_t bytes) {
    status.availPhys += bytes;
    if (status.availPhys > status.totalPhys) status.availPhys = status.totalPhys;
  }

  bool hasGlobalMemoryStatusEx = true;
  MemoryStatus status;
  SystemInfo info;
};

}  // namespace platform::sim

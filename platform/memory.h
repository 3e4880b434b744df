// The system's memory status and system information.
#pragma once

#include <cstdint>

namespace platform {

// MEMORYSTATUSEX, byte counts.
struct MemoryStatus {
  uint32_t memoryLoad = 0;
  uint64_t totalPhys = 0;
  uint64_t availPhys = 0;
  uint64_t totalPageFile = 0;
  uint64_t availPageFile = 0;
  uint64_t totalVirtual = 0;
  uint64_t availVirtual = 0;
};

// SYSTEM_INFO, the fields the programs read.
struct SystemInfo {
  uint32_t pageSize = 0;
  uint64_t minimumApplicationAddress = 0;
  uint64_t maximumApplicationAddress = 0;
  uint32_t allocationGranularity = 0;
};

class Memory {
 public:
  virtual ~Memory() = default;
  // Whether kernel32 exports GlobalMemoryStatusEx (absent on the oldest systems).
  virtual bool HasGlobalMemoryStatusEx() = 0;
  virtual bool GlobalMemoryStatusEx(MemoryStatus* status) = 0;
  virtual void GetSystemInfo(SystemInfo* info) = 0;
};

}  // namespace platform

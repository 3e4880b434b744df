// Measuring memory and emptying working sets.
#pragma once

#include <cstdint>

#include "platform/system_platform.h"

namespace zentura {

using platform::Text;

// The system's memory status as of the last Refresh; byte counts in bytes.
class TMemory {
 public:
  explicit TMemory(platform::SystemPlatform& sp);
  void Refresh();

  uint64_t PhysicalTotal() const { return physicalTotal_; }
  uint64_t PhysicalFree() const { return physicalFree_; }
  uint64_t VirtualTotal() const { return virtualTotal_; }
  uint64_t VirtualFree() const { return virtualFree_; }
  uint64_t PageFileTotal() const { return pageFileTotal_; }
  uint64_t PageFileFree() const { return pageFileFree_; }
  uint32_t MemoryLoad() const { return memoryLoad_; }
  uint32_t AllocGranularity() const { return allocGranularity_; }
  uint32_t MaxAppAddress() const { return maxAppAddress_; }
  uint32_t MinAppAddress() const { return minAppAddress_; }
  uint32_t PageSize() const { return pageSize_; }

 private:
  platform::SystemPlatform& sp_;
  bool hasStatusEx_;
  uint64_t physicalTotal_ = 0, physicalFree_ = 0, virtualTotal_ = 0, virtualFree_ = 0;
  uint64_t pageFileTotal_ = 0, pageFileFree_ = 0;
  uint32_t memoryLoad_ = 0, allocGranularity_ = 0, maxAppAddress_ = 0, minAppAddress_ = 0;
  uint32_t pageSize_ = 0;
};

// Empties the working set of every process that may be opened for it.
void TrimAllWorkingSets(platform::SystemPlatform& sp);

// A process's memory use and CPU time as display texts.
struct pirec {
  Text memory;   // "1.50 MB"
  Text cpuTime;  // "01:01:01", hours wrapping after 24
};

// Measures the first process with that executable name. A process that
// cannot be opened leaves the record empty; a failed reading gives
// "00:00:00" and "0.00 MB".
pirec ProcessUsage(platform::SystemPlatform& sp, const Text& exeName);
// The two texts from the raw readings.
Text CpuTimeText(uint64_t kernel100ns, uint64_t user100ns);
Text WorkingSetText(uint64_t bytes, char16_t decimalSeparator);

}  // namespace zentura

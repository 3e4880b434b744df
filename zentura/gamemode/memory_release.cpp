#include "zentura/gamemode/memory_release.h"

#include <cstdio>

#include "zentura/sysutil/process_routines.h"
#include "zentura/sysutil/text_routines.h"

namespace zentura {

TMemory::TMemory(platform::SystemPlatform& sp)
    : sp_(sp), hasStatusEx_(sp.memory.HasGlobalMemoryStatusEx()) {}

void TMemory::Refresh() {
  platform::MemoryStatus status;
  if (hasStatusEx_ && !sp_.memory.GlobalMemoryStatusEx(&status)) status = {};
  physicalTotal_ = status.totalPhys;
  physicalFree_ = status.availPhys;
  virtualTotal_ = status.totalVirtual;
  virtualFree_ = status.availVirtual;
  pageFileTotal_ = status.totalPageFile;
  pageFileFree_ = status.availPageFile;
  memoryLoad_ = status.memoryLoad;
  platform::SystemInfo info;
  sp_.memory.GetSystemInfo(&info);
  allocGranularity_ = info.allocationGranularity;
  maxAppAddress_ = static_cast<uint32_t>(info.maximumApplicationAddress);
  minAppAddress_ = static_cast<uint32_t>(info.minimumApplicationAddress);
  pageSize_ = info.pageSize;
}

void TrimAllWorkingSets(platform::SystemPlatform& sp) {
  std::vector<platform::ProcessEntry> entries;
  if (!sp.processes.Snapshot(&entries)) return;
  for (const platform::ProcessEntry& e : entries) {
    uint32_t error = 0;
    auto process = sp.processes.Open(platform::procaccess::kSetQuota, true, e.processId, &error);
    if (process) process->SetWorkingSetSize(platform::kTrimWorkingSet, platform::kTrimWorkingSet);
  }
}

Text CpuTimeText(uint64_t kernel100ns, uint64_t user100ns) {
  uint64_t s = kernel100ns / 10000000 + user100ns / 10000000;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2u:%.2u:%.2u", static_cast<unsigned>((s / 3600) % 24),
                static_cast<unsigned>((s / 60) % 60), static_cast<unsigned>(s % 60));
  return platform::FromUtf8(buffer);
}

Text WorkingSetText(uint64_t bytes, char16_t decimalSeparator) {
  return FormatFixed2(static_cast<double>(bytes) / 1024 / 1024, decimalSeparator) + u" MB";
}

pirec ProcessUsage(platform::SystemPlatform& sp, const Text& exeName) {
  pirec record;
  char16_t separator = sp.desktop.DecimalSeparator();
  uint32_t pid = ProcessIdByName(sp, exeName);
  uint32_t error = 0;
  auto process = sp.processes.Open(platform::procaccess::kQueryInformation, false, pid, &error);
  if (!process) return record;
  platform::ProcessTimes times;
  platform::ProcessMemoryCounters counters;
  if (!process->Times(&times) || !process->MemoryCounters(&counters)) {
    record.cpuTime = CpuTimeText(0, 0);
    record.memory = WorkingSetText(0, separator);
    return record;
  }
  record.cpuTime = CpuTimeText(times.kernel, times.user);
  record.memory = WorkingSetText(counters.workingSetSize, separator);
  return record;
}

}  // namespace zentura

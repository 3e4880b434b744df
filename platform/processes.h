// Processes: toolhelp snapshots, handles opened with access rights, and what
// the programs read from or do to a process.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/text.h"

namespace platform {

namespace procaccess {
constexpr uint32_t kTerminate = 0x1;
constexpr uint32_t kVmRead = 0x10;
constexpr uint32_t kSetQuota = 0x100;
constexpr uint32_t kQueryInformation = 0x400;
}  // namespace procaccess

// PROCESSENTRY32W, the fields the programs read; exeFile is the recorded
// executable name (a bare file name on current Windows, a path on some older ones).
struct ProcessEntry {
  uint32_t processId = 0;
  uint32_t parentProcessId = 0;
  Text exeFile;
};

// 100-nanosecond counts as GetProcessTimes gives them.
struct ProcessTimes {
  uint64_t creation = 0;
  uint64_t exit = 0;
  uint64_t kernel = 0;
  uint64_t user = 0;
};

// PROCESS_MEMORY_COUNTERS (the 40-byte record of 32-bit Windows), the fields read.
struct ProcessMemoryCounters {
  uint32_t pageFaultCount = 0;
  uint64_t peakWorkingSetSize = 0;
  uint64_t workingSetSize = 0;
  uint64_t pagefileUsage = 0;
};

// One instance of the WMI class Win32_Process with the answer of its GetOwner method.
struct WmiProcess {
  uint32_t processId = 0;
  bool hasExecutablePath = false;  // false when the property is null
  Text executablePath;
  uint32_t ownerResult = 0;  // GetOwner's return value, 0 = success
  Text ownerUser;
  Text ownerDomain;
};

// An open process handle; closed when destroyed.
class ProcessHandle {
 public:
  virtual ~ProcessHandle() = default;
  virtual bool Terminate(uint32_t exitCode, uint32_t* error) = 0;
  // OpenProcessToken(TOKEN_QUERY), TokenUser, LookupAccountSidW on the local
  // machine with name and domain buffers of 255 characters.
  virtual bool TokenAccount(Text* user, Text* domain, uint32_t* error) = 0;
  // GetModuleFileNameExW of the main module into `capacity` characters; empty on failure.
  virtual Text MainModulePath(uint32_t capacity) = 0;
  virtual bool Times(ProcessTimes* times) = 0;
  virtual bool MemoryCounters(ProcessMemoryCounters* counters) = 0;
  // SetProcessWorkingSetSize; (size_t)-1 for both empties the working set.
  virtual bool SetWorkingSetSize(uint64_t minimum, uint64_t maximum) = 0;
};

constexpr uint64_t kTrimWorkingSet = ~uint64_t{0};

class Processes {
 public:
  virtual ~Processes() = default;
  // CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS) walked to the end; false
  // when no snapshot can be taken.
  virtual bool Snapshot(std::vector<ProcessEntry>* entries) = 0;
  virtual std::unique_ptr<ProcessHandle> Open(uint32_t access, bool inheritHandle,
                                              uint32_t processId, uint32_t* error) = 0;
  virtual uint32_t CurrentProcessId() = 0;
  // IsWow64Process of the current process; false when the call is absent.
  virtual bool IsWow64() = 0;
  // "select * from Win32_Process" in root\cimv2 with each process's owner;
  // false when WMI cannot be reached.
  virtual bool WmiProcessList(std::vector<WmiProcess>* processes) = 0;
};

}  // namespace platform

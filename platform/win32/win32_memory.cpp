#include <windows.h>

#include "platform/win32/win32_system_platform.h"

namespace platform::win32 {

namespace {

using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);

// GlobalMemoryStatusEx is looked up by name: the oldest systems lack it.
class Win32Memory : public Memory {
 public:
  Win32Memory()
      : statusEx_(reinterpret_cast<GlobalMemoryStatusExFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GlobalMemoryStatusEx")))) {}

  bool HasGlobalMemoryStatusEx() override { return statusEx_ != nullptr; }

  bool GlobalMemoryStatusEx(MemoryStatus* status) override {
    if (!statusEx_) return false;
    MEMORYSTATUSEX m{};
    m.dwLength = sizeof m;
    if (!statusEx_(&m)) return false;
    status->memoryLoad = m.dwMemoryLoad;
    status->totalPhys = m.ullTotalPhys;
    status->availPhys = m.ullAvailPhys;
    status->totalPageFile = m.ullTotalPageFile;
    status->availPageFile = m.ullAvailPageFile;
    status->totalVirtual = m.ullTotalVirtual;
    status->availVirtual = m.ullAvailVirtual;
    return true;
  }

  void GetSystemInfo(SystemInfo* info) override {
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
    info->pageSize = si.dwPageSize;
    info->minimumApplicationAddress = reinterpret_cast<uintptr_t>(si.lpMinimumApplicationAddress);
    info->maximumApplicationAddress = reinterpret_cast<uintptr_t>(si.lpMaximumApplicationAddress);
    info->allocationGranularity = si.dwAllocationGranularity;
  }

 private:
  GlobalMemoryStatusExFn statusEx_;
};

}  // namespace

std::unique_ptr<Memory> MakeMemory() { return std::make_unique<Win32Memory>(); }

}  // namespace platform::win32

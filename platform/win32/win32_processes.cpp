#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <vector>

#include "platform/win32/win32_system_platform.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// The toolhelp and PSAPI entry points are looked up by name on first use,
// so that a system without them yields no processes instead of not loading.
struct ProcessApi {
  using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
  using WalkFn = BOOL(WINAPI*)(HANDLE, LPPROCESSENTRY32W);
  using ModuleNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
  using MemoryInfoFn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
  using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);

  SnapshotFn snapshot = nullptr;
  WalkFn first = nullptr;
  WalkFn next = nullptr;
  ModuleNameFn moduleName = nullptr;
  MemoryInfoFn memoryInfo = nullptr;
  IsWow64Fn isWow64 = nullptr;

  static const ProcessApi& Get() {
    static const ProcessApi api = Load();
    return api;
  }

 private:
  template <typename T>
  static T Find(HMODULE module, const char* name) {
    return module ? reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
  }
  static ProcessApi Load() {
    ProcessApi api;
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    api.snapshot = Find<SnapshotFn>(kernel, "CreateToolhelp32Snapshot");
    api.first = Find<WalkFn>(kernel, "Process32FirstW");
    api.next = Find<WalkFn>(kernel, "Process32NextW");
    api.isWow64 = Find<IsWow64Fn>(kernel, "IsWow64Process");
    HMODULE psapi = ::LoadLibraryW(L"PSAPI.dll");
    api.moduleName = Find<ModuleNameFn>(psapi, "GetModuleFileNameExW");
    api.memoryInfo = Find<MemoryInfoFn>(psapi, "GetProcessMemoryInfo");
    return api;
  }
};

uint64_t Ticks(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

class Win32Process : public ProcessHandle {
 public:
  explicit Win32Process(HANDLE h) : h_(h) {}
  ~Win32Process() override { ::CloseHandle(h_); }

  bool Terminate(uint32_t exitCode, uint32_t* error) override {
    if (::TerminateProcess(h_, exitCode)) return true;
    if (error) *error = ::GetLastError();
    return false;
  }

  bool TokenAccount(Text* user, Text* domain, uint32_t* error) override {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(h_, TOKEN_QUERY, &token)) return Fail(error);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> data(size ? size : 1);
    bool ok = ::GetTokenInformation(token, TokenUser, data.data(), size, &size) != 0;
    ::CloseHandle(token);
    if (!ok) return Fail(error);
    wchar_t name[256] = {}, dom[256] = {};
    DWORD nameSize = 255, domainSize = 255;
    SID_NAME_USE use;
    if (!::LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(data.data())->User.Sid, name,
                             &nameSize, dom, &domainSize, &use)) {
      return Fail(error);
    }
    *user = FromW(name);
    *domain = FromW(dom);
    return true;
  }

  Text MainModulePath(uint32_t capacity) override {
    const ProcessApi& api = ProcessApi::Get();
    if (!api.moduleName || capacity == 0) return Text();
    std::vector<wchar_t> buffer(capacity + 1, L'\0');
    DWORD n = api.moduleName(h_, nullptr, buffer.data(), capacity);
    return FromW(buffer.data(), n < capacity ? n : capacity);
  }

  bool Times(ProcessTimes* times) override {
    FILETIME c, e, k, u;
    if (!::GetProcessTimes(h_, &c, &e, &k, &u)) return false;
    *times = {Ticks(c), Ticks(e), Ticks(k), Ticks(u)};
    return true;
  }

  bool MemoryCounters(ProcessMemoryCounters* counters) override {
    const ProcessApi& api = ProcessApi::Get();
    PROCESS_MEMORY_COUNTERS m{};
    m.cb = sizeof m;
    if (!api.memoryInfo || !api.memoryInfo(h_, &m, sizeof m)) return false;
    counters->pageFaultCount = m.PageFaultCount;
    counters->peakWorkingSetSize = m.PeakWorkingSetSize;
    counters->workingSetSize = m.WorkingSetSize;
    counters->pagefileUsage = m.PagefileUsage;
    return true;
  }

  bool SetWorkingSetSize(uint64_t minimum, uint64_t maximum) override {
    return ::SetProcessWorkingSetSize(h_, static_cast<SIZE_T>(minimum),
                                      static_cast<SIZE_T>(maximum)) != 0;
  }

 private:
  static bool Fail(uint32_t* error) {
    if (error) *error = ::GetLastError();
    return false;
  }
  HANDLE h_;
};

class Win32Processes : public Processes {
 public:
  bool Snapshot(std::vector<ProcessEntry>* entries) override {
    entries->clear();
    const ProcessApi& api = ProcessApi::Get();
    if (!api.snapshot || !api.first || !api.next) return false;
    HANDLE snap = api.snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL ok = api.first(snap, &e); ok; ok = api.next(snap, &e)) {
      entries->push_back({e.th32ProcessID, e.th32ParentProcessID, FromW(e.szExeFile)});
    }
    ::CloseHandle(snap);
    return true;
  }

  std::unique_ptr<ProcessHandle> Open(uint32_t access, bool inheritHandle, uint32_t processId,
                                      uint32_t* error) override {
    HANDLE h = ::OpenProcess(access, inheritHandle, processId);
    if (!h) {
      if (error) *error = ::GetLastError();
      return nullptr;
    }
    return std::make_unique<Win32Process>(h);
  }

  uint32_t CurrentProcessId() override { return ::GetCurrentProcessId(); }

  bool IsWow64() override {
    const ProcessApi& api = ProcessApi::Get();
    BOOL wow = FALSE;
    return api.isWow64 && api.isWow64(::GetCurrentProcess(), &wow) && wow;
  }

  bool WmiProcessList(std::vector<WmiProcess>* processes) override;
};

}  // namespace

bool QueryWmiProcesses(std::vector<WmiProcess>* processes);

bool Win32Processes::WmiProcessList(std::vector<WmiProcess>* processes) {
  return QueryWmiProcesses(processes);
}

std::unique_ptr<Processes> MakeProcesses() { return std::make_unique<Win32Processes>(); }

}  // namespace platform::win32

#include "platform/sim/sim_processes.h"

#include "platform/errors.h"

namespace platform::sim {

class SimProcessHandle : public ProcessHandle {
 public:
  SimProcessHandle(SimProcesses& owner, uint32_t id, uint32_t access)
      : owner_(owner), id_(id), access_(access) {
    ++owner_.openHandles;
  }
  ~SimProcessHandle() override { --owner_.openHandles; }

  bool Terminate(uint32_t exitCode, uint32_t* error) override {
    SimProcess* p = Live(procaccess::kTerminate, error);
    if (!p) return false;
    if (p->terminateFails) return Fail(error, err::kAccessDenied);
    owner_.memory_.Release(p->workingSet);
    for (size_t i = 0; i < owner_.table.size(); ++i) {
      if (owner_.table[i].processId == id_) {
        owner_.terminated.push_back(owner_.table[i]);
        owner_.table.erase(owner_.table.begin() + i);
        break;
      }
    }
    return true;
  }

  bool TokenAccount(Text* user, Text* domain, uint32_t* error) override {
    SimProcess* p = Live(procaccess::kQueryInformation, error);
    if (!p) return false;
    if (p->tokenFails) return Fail(error, err::kAccessDenied);
    *user = p->user;
    *domain = p->domain;
    return true;
  }

  Text MainModulePath(uint32_t capacity) override {
    SimProcess* p = Live(procaccess::kQueryInformation | procaccess::kVmRead, nullptr);
    if (!p) return Text();
    return p->path.substr(0, capacity ? capacity - 1 : 0);
  }

  bool Times(ProcessTimes* times) override {
    SimProcess* p = Live(procaccess::kQueryInformation, nullptr);
    if (!p) return false;
    *times = ProcessTimes{};
    times->kernel = p->kernelTime;
    times->user = p->userTime;
    return true;
  }

  bool MemoryCounters(ProcessMemoryCounters* counters) override {
    SimProcess* p = Live(procaccess::kQueryInformation, nullptr);
    if (!p) return false;
    *counters = ProcessMemoryCounters{};
    counters->workingSetSize = p->workingSet;
    counters->peakWorkingSetSize = p->workingSet;
    return true;
  }

  bool SetWorkingSetSize(uint64_t minimum, uint64_t maximum) override {
    SimProcess* p = Live(procaccess::kSetQuota, nullptr);
    if (!p) return false;
    if (minimum == kTrimWorkingSet && maximum == kTrimWorkingSet &&
        p->workingSet > p->workingSetAfterTrim) {
      owner_.memory_.Release(p->workingSet - p->workingSetAfterTrim);
      p->workingSet = p->workingSetAfterTrim;
    }
    return true;
  }

 private:
  static bool Fail(uint32_t* error, uint32_t code) {
    if (error) *error = code;
    return false;
  }
  // The process, if it still runs and the handle carries the rights.
  SimProcess* Live(uint32_t needed, uint32_t* error) {
    if ((access_ & needed) != needed) {
      Fail(error, err::kAccessDenied);
      return nullptr;
    }
    SimProcess* p = owner_.Find(id_);
    if (!p) Fail(error, err::kInvalidHandle);
    return p;
  }
  SimProcesses& owner_;
  uint32_t id_;
  uint32_t access_;
};

SimProcess& SimProcesses::Add(SimProcess process) {
  if (process.processId == 0) process.processId = nextId_ += 4;
  table.push_back(std::move(process));
  return table.back();
}

SimProcess* SimProcesses::Find(uint32_t processId) {
  for (SimProcess& p : table) {
    if (p.processId == processId) return &p;
  }
  return nullptr;
}

size_t SimProcesses::CountNamed(const Text& exeFile) const {
  size_t n = 0;
  for (const SimProcess& p : table) n += SameText(p.exeFile, exeFile) ? 1 : 0;
  return n;
}

bool SimProcesses::Snapshot(std::vector<ProcessEntry>* entries) {
  entries->clear();
  if (snapshotFails) return false;
  for (const SimProcess& p : table) entries->push_back({p.processId, 0, p.exeFile});
  return true;
}

std::unique_ptr<ProcessHandle> SimProcesses::Open(uint32_t access, bool, uint32_t processId,
                                                  uint32_t* error) {
  opened.push_back({processId, access});
  SimProcess* p = Find(processId);
  uint32_t code = !p ? err::kInvalidParameter : (access & p->deniedAccess) ? err::kAccessDenied : 0;
  if (code != 0) {
    if (error) *error = code;
    return nullptr;
  }
  return std::make_unique<SimProcessHandle>(*this, processId, access);
}

bool SimProcesses::WmiProcessList(std::vector<WmiProcess>* processes) {
  processes->clear();
  if (wmiFails) return false;
  for (const SimProcess& p : table) {
    if (!p.inWmi) continue;
    WmiProcess w;
    w.processId = p.processId;
    w.hasExecutablePath = !p.wmiPathNull;
    w.executablePath = p.wmiPathNull ? Text() : p.path;
    w.ownerResult = p.wmiOwnerResult;
    if (p.wmiOwnerResult == 0) {
      w.ownerUser = p.user;
      w.ownerDomain = p.domain;
    }
    processes->push_back(w);
  }
  return true;
}

}  // namespace platform::sim

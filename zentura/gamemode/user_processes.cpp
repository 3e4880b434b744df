#include "zentura/gamemode/user_processes.h"

#include "zentura/gamemode/command_line.h"

namespace zentura {

namespace pa = platform::procaccess;

void GetUserProcessesByToken(platform::Platform& p, platform::SystemPlatform& sp,
                             std::vector<Text>* list) {
  Text user;
  if (!p.system.UserName(&user)) return;
  std::vector<platform::ProcessEntry> entries;
  if (!sp.processes.Snapshot(&entries)) return;
  uint32_t self = sp.processes.CurrentProcessId();
  for (const platform::ProcessEntry& e : entries) {
    if (e.processId == self) continue;
    uint32_t error = 0;
    auto process = sp.processes.Open(pa::kQueryInformation | pa::kVmRead, false, e.processId, &error);
    if (!process) continue;
    Text account, domain;
    if (!process->TokenAccount(&account, &domain, &error) || account != user) continue;
    Text path = process->MainModulePath(260);
    if (!path.empty()) list->push_back(path);
  }
}

void GetUserProcessesByWmi(platform::Platform& p, platform::SystemPlatform& sp,
                           std::vector<Text>* list) {
  Text user;
  if (!p.system.UserName(&user)) return;
  std::vector<platform::WmiProcess> processes;
  if (sp.processes.WmiProcessList(&processes)) {
    list->clear();
    uint32_t self = sp.processes.CurrentProcessId();
    for (const platform::WmiProcess& w : processes) {
      if (w.ownerResult != 0 || w.ownerUser != user || w.processId == self) continue;
      list->push_back(w.hasExecutablePath ? w.executablePath : Text());
    }
  }
  uint32_t error = 0;
  auto own = sp.processes.Open(pa::kSetQuota, false, sp.processes.CurrentProcessId(), &error);
  if (own) own->SetWorkingSetSize(platform::kTrimWorkingSet, platform::kTrimWorkingSet);
}

bool IsWow64(platform::SystemPlatform& sp) { return sp.processes.IsWow64(); }

Text RunningProcessPath(platform::SystemPlatform& sp, const Text& name) {
  std::vector<platform::ProcessEntry> entries;
  if (!sp.processes.Snapshot(&entries)) return Text();
  for (const platform::ProcessEntry& e : entries) {
    if (!platform::SameText(FileNamePart(e.exeFile), name) && !platform::SameText(e.exeFile, name)) {
      continue;
    }
    uint32_t error = 0;
    auto process = sp.processes.Open(pa::kQueryInformation | pa::kVmRead, false, e.processId, &error);
    return process ? process->MainModulePath(512) : Text();
  }
  return Text();
}

}  // namespace zentura

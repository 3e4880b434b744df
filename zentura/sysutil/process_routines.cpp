#include "zentura/sysutil/process_routines.h"

#include "zentura/gamemode/command_line.h"

namespace zentura {

namespace {

std::vector<platform::ProcessEntry> Snapshot(platform::SystemPlatform& sp) {
  std::vector<platform::ProcessEntry> entries;
  if (!sp.processes.Snapshot(&entries)) entries.clear();
  return entries;
}

}  // namespace

void ListProcessNames(platform::SystemPlatform& sp, std::vector<Text>* names) {
  for (const platform::ProcessEntry& e : Snapshot(sp)) names->push_back(e.exeFile);
}

bool IsProcessRunning(platform::SystemPlatform& sp, const Text& name) {
  return ProcessIdByName(sp, name) != 0;
}

uint32_t ProcessIdByName(platform::SystemPlatform& sp, const Text& name) {
  Text wanted = platform::UpperCase(name);
  for (const platform::ProcessEntry& e : Snapshot(sp)) {
    if (platform::UpperCase(e.exeFile) == wanted) return e.processId;
  }
  return 0;
}

bool KillProcessByName(platform::SystemPlatform& sp, const Text& name) {
  Text wanted = platform::UpperCase(name);
  bool result = false;
  for (const platform::ProcessEntry& e : Snapshot(sp)) {
    Text recorded = platform::UpperCase(e.exeFile);
    if (recorded != wanted && FileNamePart(recorded) != wanted) continue;
    uint32_t error = 0;
    auto process = sp.processes.Open(platform::procaccess::kTerminate, false, e.processId, &error);
    result = process && process->Terminate(0, &error);
  }
  return result;
}

bool SetPrivilege(platform::Platform& p, platform::Token& token, const Text& privilege,
                  bool enable) {
  uint64_t luid = 0;
  if (p.security.LookupPrivilege(privilege, &luid) != 0) return false;
  return p.security.AdjustPrivilege(token, false, luid,
                                    enable ? platform::kSePrivilegeEnabled : 0) == 0;
}

bool EnableDebugPrivilege(platform::Platform& p) {
  std::unique_ptr<platform::Token> token;
  if (p.security.OpenProcessToken(platform::tokenaccess::kAdjustPrivileges, &token) != 0 || !token) {
    return false;
  }
  return SetPrivilege(p, *token, u"SeDebugPrivilege", true);
}

}  // namespace zentura

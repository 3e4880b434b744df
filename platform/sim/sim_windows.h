// A simulated Windows for native tests and for the command-line tool on
// Linux: drive letters mapped onto host folders with Windows semantics, an
// in-memory registry with hive files, a token, a user and a version, all
// configurable per test.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform::sim {

struct SimConfig {
  OsVersion version{6, 1, 7601};
  Text userName = u"tester";
  // Windows folder; its drive gives the system drive.
  Text windowsDir = u"C:\\Windows";
  // Special folders by CSIDL; a missing entry makes SHGetFolderPathW fail.
  std::map<int, Text> specialFolders;
  // Privileges the user may enable; others fail to enable with ERROR_NOT_ALL_ASSIGNED.
  std::vector<Text> heldPrivileges{u"SeBackupPrivilege", u"SeRestorePrivilege"};
  bool userNameFails = false;
  bool windowsDirFails = false;
  // A 32-bit process on 64-bit Windows; the call itself failing.
  bool wow64 = false;
  bool wow64Fails = false;
};

class SimWindows {
 public:
  explicit SimWindows(SimConfig config = {});
  ~SimWindows();
  SimWindows(const SimWindows&) = delete;
  SimWindows& operator=(const SimWindows&) = delete;

  Platform& Get();
  SimConfig& Config();

  // Maps a drive ("C:") onto a host folder, created if missing. A drive
  // without a recycle bin deletes permanently where Windows would recycle.
  void MapDrive(const Text& drive, const std::string& hostFolder, bool hasRecycleBin = true);
  // Moves a host file or folder into a recycle bin kept outside the
  // simulation; false when it cannot take the item.
  using Recycler = std::function<bool(const std::string& hostPath)>;
  // A drive whose recycle bin is the recycler; what it refuses is deleted
  // for good, as Windows does with what its recycle bin cannot hold.
  void MapDrive(const Text& drive, const std::string& hostFolder, Recycler recycler);
  // Host path of a Windows path (existing components matched without regard
  // to case); empty when the drive is not mapped.
  std::string HostPath(const Text& windowsPath);
  // Full Windows paths (as they were) of the items sent to the recycle bin, oldest first.
  std::vector<Text> RecycledItems() const;
  // Host path of the recycled item RecycledItems()[index] itself (the file or
  // folder, under its old name), so tests can look inside it.
  std::string RecycledHostPath(size_t index) const;
  // Whether the process token has this privilege enabled now.
  bool PrivilegeEnabled(const Text& name) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A sim rooted in a fresh temporary host folder with drive C: mapped,
// the usual Vista/7 special folders created, removed again on destruction.
class TempSimWindows {
 public:
  explicit TempSimWindows(SimConfig config = {});
  ~TempSimWindows();
  SimWindows& sim() { return *sim_; }
  Platform& Get() { return sim_->Get(); }
  const std::string& root() const { return root_; }

 private:
  std::string root_;
  std::unique_ptr<SimWindows> sim_;
};

}  // namespace platform::sim

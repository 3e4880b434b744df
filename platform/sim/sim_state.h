// The state one simulated Windows shares between its services: drives,
// attributes, open handles, the recycle bin, the registry and the token.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sim/sim_windows.h"

namespace platform::sim {

struct Drive {
  std::string host;  // host folder the drive's root maps to
  bool hasRecycleBin = true;
  SimWindows::Recycler recycler;  // set: the recycle bin lies outside the simulation
};

// A Windows path made absolute and split, with the host path it maps to.
struct ResolvedPath {
  char16_t drive = u'C';
  std::vector<Text> parts;  // components below the drive's root
  std::string host;
  // Resolution saw that `host` does not exist and that its parent is a
  // folder, so a caller about to create it need not look again.
  bool missingInFolder = false;
  // Resolution saw `host` itself, not a link: it exists.
  bool present = false;

  bool IsRoot() const { return parts.empty(); }
  Text Windows() const;
  // The resolved parent folder (the root's parent is the root).
  std::string ParentHost() const;
};

struct OpenHandle {
  uint64_t id;
  std::string host;
  Access access;
  Share share;
};

struct RecycledItem {
  Text name;
  std::string host;
};

struct RegNode {
  Text name;
  std::vector<RegValue> values;
  std::vector<std::shared_ptr<RegNode>> children;
  bool deleted = false;
};

class SimState {
 public:
  explicit SimState(SimConfig cfg);

  std::recursive_mutex mutex;
  SimConfig config;
  std::map<char16_t, Drive> drives;  // by upper-case letter
  Text currentDir = u"C:\\";
  uint32_t lastError = 0;

  // readonly/hidden/system/archive bits by host path; missing = defaults.
  std::map<std::string, uint32_t> attributes;
  std::vector<OpenHandle> handles;
  uint64_t nextHandle = 1;
  std::vector<RecycledItem> recycled;

  std::map<RootKey, std::shared_ptr<RegNode>> registryRoots;
  std::set<Text> enabledPrivileges;  // canonical privilege names

  // Absolute form of a Windows path and its host path (existing components
  // matched without regard to case, an exact match preferred).
  bool Resolve(const Text& path, ResolvedPath* out, uint32_t* error);
  // Attributes as GetFileAttributesW reports them for an existing item.
  uint32_t AttributesOf(const std::string& host, bool isDir) const;
  void ForgetAttributes(const std::string& host);
  void MoveAttributes(const std::string& from, const std::string& to);
  void CopyAttributes(const std::string& from, const std::string& to);

  // Would a new opener with this access and share mode clash with a handle?
  bool ShareConflict(const std::string& host, Access access, Share share) const;
  // Does a handle on this item, or on anything below it, forbid deleting or renaming it?
  bool DeleteConflict(const std::string& host) const;

  bool Fail(uint32_t code) {
    lastError = code;
    return false;
  }

  // The host name of `name` in the host folder `dir`: the exact name when it
  // exists, else the entry equal without regard to case, else `name`.
  // `dirStamp`, when not -1, is the folder's time stamp just read by a caller
  // that also saw the exact name missing.
  std::string MatchEntry(const std::string& dir, const Text& name, bool* found, int64_t dirStamp = -1);
  // The simulation has just made `host` (a file or folder, created, copied or
  // renamed there): its folder's names stay known without a new scan.
  void NoteCreated(const std::string& host);

 private:
  // The names of a folder by their lower-case form, so that matching a name
  // costs one look-up rather than a scan of the folder (creating n files in
  // one folder would otherwise cost n scans). A folder whose time stamp
  // moved other than by NoteCreated is scanned again.
  struct FolderNames {
    std::unordered_map<Text, std::string> byLower;
    int64_t stamp = 0;
  };
  std::unordered_map<std::string, FolderNames> folderNames_;
};

// Matches a name against a FindFirstFileW mask ('*', '?', "*.*"), without regard to case.
bool MatchMask(std::u16string_view name, std::u16string_view mask);
bool IsBelowOrSame(const std::string& host, const std::string& root);

}  // namespace platform::sim

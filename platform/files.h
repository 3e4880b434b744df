// Files and folders: the handful of file-system operations the programs use,
// with Windows meaning (backslash paths, names compared without regard to
// case, attributes, share modes).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/stream.h"
#include "platform/text.h"

namespace platform {

namespace attr {
constexpr uint32_t kReadOnly = 0x1;
constexpr uint32_t kHidden = 0x2;
constexpr uint32_t kSystem = 0x4;
constexpr uint32_t kDirectory = 0x10;
constexpr uint32_t kArchive = 0x20;
constexpr uint32_t kDevice = 0x40;  // the simulation's mark for a FIFO, socket or device node
constexpr uint32_t kNormal = 0x80;
constexpr uint32_t kReparsePoint = 0x400;
constexpr uint32_t kInvalid = 0xFFFFFFFF;
}  // namespace attr

enum class Access { kRead, kWrite, kReadWrite };
// Which other openers a handle tolerates while it is open.
enum class Share { kExclusive, kRead, kReadWrite };
enum class Disposition { kOpenExisting, kCreateAlways, kCreateNew };

namespace reparse {
constexpr uint32_t kMountPoint = 0xA0000003;  // junctions and mounted volumes
constexpr uint32_t kSymlink = 0xA000000C;
}  // namespace reparse

struct FindEntry {
  Text name;
  uint32_t attributes = 0;
  uint64_t size = 0;
  uint32_t reparseTag = 0;  // with attr::kReparsePoint: what kind of reparse point
};

// Which file an open handle is, whatever path reached it.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FileIdentity& o) const { return volume == o.volume && index == o.index; }
};

// An open file; Read/Write/Seek raise StreamError on failure.
class File : public Stream {
 public:
  // Shortens or lengthens the file to the current position.
  virtual void Truncate() = 0;
  // GetFileInformationByHandle's volume serial and file index; false when unknown.
  virtual bool Identity(FileIdentity* id) { return false; }
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens a file (CreateFileW). Returns null and sets *error on failure.
  virtual std::unique_ptr<File> Open(const Text& path, Access access, Share share,
                                     Disposition disposition, uint32_t* error) = 0;
  virtual bool CreateDir(const Text& path, uint32_t* error = nullptr) = 0;
  virtual bool RemoveDir(const Text& path) = 0;
  virtual bool Remove(const Text& path) = 0;
  virtual bool Copy(const Text& from, const Text& to, bool failIfExists) = 0;
  // MoveFileExW; replaceExisting adds MOVEFILE_REPLACE_EXISTING.
  virtual bool Move(const Text& from, const Text& to, bool replaceExisting) = 0;
  virtual uint32_t Attributes(const Text& path) = 0;
  virtual bool SetAttributes(const Text& path, uint32_t attributes) = 0;
  // FindFirstFileW/FindNextFileW over a pattern such as "C:\dir\*.*";
  // entries come in the file system's order and include "." and "..".
  virtual std::vector<FindEntry> Find(const Text& pattern) = 0;
  virtual Text CurrentDir() = 0;
  virtual bool SetCurrentDir(const Text& path) = 0;
  // GetWindowsDirectoryW; false with *error on failure.
  virtual bool WindowsDir(Text* path, uint32_t* error) = 0;
  // GetLastError after the last call above that failed.
  virtual uint32_t LastError() = 0;

  bool Exists(const Text& path) { return Attributes(path) != attr::kInvalid; }
  bool FileExists(const Text& path) {
    uint32_t a = Attributes(path);
    return a != attr::kInvalid && !(a & attr::kDirectory);
  }
  bool DirExists(const Text& path) {
    uint32_t a = Attributes(path);
    return a != attr::kInvalid && (a & attr::kDirectory);
  }
  // Creates a folder and all its missing parents (ForceDirectories).
  bool ForceDirectories(const Text& path);
  // Creates a new file beside `target` to build its replacement in:
  // "NAME.tmp", or "NAME.tmp1"... when that is taken. Null with *error when
  // none could be created; *temp names the file made.
  std::unique_ptr<File> CreateTemporaryBeside(const Text& target, Text* temp, uint32_t* error);
};

}  // namespace platform

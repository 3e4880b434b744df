// A simulated NTFS-like volume for the defragmenter: clusters of one size,
// files made of extents (virtual runs for compressed and sparse data,
// resident files without clusters), the volume bitmap and retrieval pointers
// answered in rounds of the caller's buffer, and move-file with the file
// system's rules. Every cluster carries the identity of the data in it, so a
// test can prove that no cluster of any file was lost, mixed or shared.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/volumes.h"

namespace platform::sim {

struct SimExtent {
  int64_t lcn = 0;  // -1: a virtual run (no clusters on disk)
  int64_t count = 0;
};

struct SimVolumeFile {
  Text path;  // "C:\Games\X\a.pak"
  uint64_t size = 0;
  bool resident = false;
  std::vector<SimExtent> extents;  // in VCN order
  uint32_t id = 0;                 // data identity, from 1
};

// One move-file call as the volume saw it.
struct SimMove {
  Text path;
  int64_t vcn = 0, lcn = 0;
  uint32_t count = 0;
  uint32_t status = 0;
};

class SimVolume : public Volumes {
 public:
  // A volume for drive `letter`.
  SimVolume(char16_t letter, uint32_t clusterSize, int64_t totalClusters);

  // --- building
  // Marks clusters as used by something other than the listed files.
  void MarkUsed(int64_t lcn, int64_t count);
  // Adds a file; its extents' clusters must be free. Returns false when not.
  bool AddFile(const Text& path, uint64_t size, const std::vector<SimExtent>& extents,
               bool resident = false);
  // A folder (folders of the files exist anyway); a reparse point is listed
  // with that attribute (a junction or mount point).
  void AddFolder(const Text& path, bool reparsePoint = false);
  // The file's layout changes under the defragmenter: its clusters are
  // released and it takes `extents` (keeping its data identity).
  bool ReplaceExtents(const Text& path, const std::vector<SimExtent>& extents);

  // --- faults
  // The nth (1-based) move of the file is refused.
  void FailMove(const Text& path, int nth) { failMoves_[LowerCase(path)].insert(nth); }
  // Every control answers STATUS_PENDING; the result arrives with Wait.
  bool pendingReplies = false;
  // Runs before each move-file call (a test may change things there).
  std::function<void(const SimMove&)> beforeMove;

  // --- state
  char16_t Letter() const { return letter_; }
  uint32_t ClusterSize() const { return clusterSize_; }
  int64_t TotalClusters() const { return total_; }
  const std::vector<SimVolumeFile>& Files() const { return files_; }
  const SimVolumeFile* FindFile(const Text& path) const;
  // Runs of clusters used by neither file (what MarkUsed set).
  std::vector<SimExtent> ForeignRuns() const;
  const std::vector<SimMove>& Moves() const { return moves_; }
  int64_t FreeClusters() const;
  // Fragments of a file after merging runs contiguous on disk (0: none).
  static int FragmentsOf(const SimVolumeFile& file);
  // Checks every file's clusters hold its own data in VCN order and that
  // the bitmap and the owners agree; empty when all is well.
  std::vector<std::string> Verify() const;
  int OpenHandles() const { return static_cast<int>(handles_.size()); }

  // Volumes
  VolumeHandle OpenVolume(const Text& path) override;
  VolumeHandle OpenFile(const Text& path) override;
  uint32_t FsControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, IoStatus* io) override;
  void Wait(VolumeHandle) override {}
  void Close(VolumeHandle handle) override { handles_.erase(handle); }
  std::vector<FindEntry> Find(const Text& pattern) override;

 private:
  struct Open {
    bool volume = false;
    int file = -1;
  };
  static constexpr uint64_t kForeign = 0xFFFFFFFFull << 32;
  static uint64_t Identity(uint32_t id, int64_t vcn) { return (uint64_t(id) << 32) | uint64_t(vcn); }

  uint32_t Control(const Open& open, uint32_t code, const void* in, uint32_t inSize, void* out,
                   uint32_t outSize, uint64_t* information);
  uint32_t RetrievalPointers(const SimVolumeFile& file, const void* in, uint32_t inSize, void* out,
                             uint32_t outSize, uint64_t* information);
  uint32_t Bitmap(const void* in, uint32_t inSize, void* out, uint32_t outSize, uint64_t* information);
  uint32_t Move(const void* in, uint32_t inSize);
  bool RangeFree(int64_t lcn, int64_t count) const;
  void Occupy(int64_t lcn, int64_t count, uint32_t id, int64_t vcn);
  void Release(const SimVolumeFile& file);
  int FileIndex(const Text& path) const;

  char16_t letter_;
  uint32_t clusterSize_;
  int64_t total_;
  std::vector<uint64_t> clusters_;  // identity per cluster, 0 = free
  std::vector<SimVolumeFile> files_;
  std::map<Text, int> byPath_;  // lower-case path -> index
  std::map<Text, bool> folders_;  // lower-case path -> reparse point
  std::map<Text, Text> folderNames_;  // lower-case path -> path as given
  std::map<Text, std::set<int>> failMoves_;
  std::map<Text, int> moveCount_;
  std::map<VolumeHandle, Open> handles_;
  VolumeHandle nextHandle_ = 0x100;
  std::vector<SimMove> moves_;
};

}  // namespace platform::sim

// Volumes and the cluster-level file-system controls the game defragmenter
// uses: open a volume or a file, NtFsControlFile with the retrieval-pointer,
// volume-bitmap and move-file controls, and the folder listing of the scan.
// Buffers are passed exactly as the file system lays them out, in the
// structure layouts of the running process.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

namespace ntstatus {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kPending = 0x103;
constexpr uint32_t kBufferOverflow = 0x80000005;
constexpr uint32_t kInvalidHandle = 0xC0000008;
constexpr uint32_t kInvalidParameter = 0xC000000D;
constexpr uint32_t kEndOfFile = 0xC0000011;
constexpr uint32_t kAccessDenied = 0xC0000022;
constexpr uint32_t kBufferTooSmall = 0xC0000023;
constexpr uint32_t kNotSupported = 0xC00000BB;
}  // namespace ntstatus

namespace fsctl {
constexpr uint32_t kGetVolumeBitmap = 0x9006F;
constexpr uint32_t kGetRetrievalPointers = 0x90073;
constexpr uint32_t kMoveFile = 0x90074;
}  // namespace fsctl

constexpr uint32_t kReparsePointAttribute = 0x400;

// A volume or file handle as Windows gives it (INVALID_HANDLE_VALUE: kNoHandle).
using VolumeHandle = uintptr_t;
constexpr VolumeHandle kNoHandle = ~static_cast<uintptr_t>(0);

// IO_STATUS_BLOCK.
struct IoStatus {
  uint32_t status = 0;
  uint64_t information = 0;
};

// The controls' buffers, as Windows defines them for this process.
struct StartingVcnInput {
  int64_t StartingVcn;
};
struct StartingLcnInput {
  int64_t StartingLcn;
};
struct RetrievalExtent {
  int64_t NextVcn;
  int64_t Lcn;
};
struct RetrievalPointersHeader {  // followed by ExtentCount RetrievalExtent
  uint32_t ExtentCount;
  uint32_t padding;
  int64_t StartingVcn;
};
struct VolumeBitmapHeader {  // followed by the bitmap bytes
  int64_t StartingLcn;
  int64_t BitmapSize;
};
// MOVE_FILE_DATA: its handle is pointer-sized, so the structure is 32 bytes
// in both builds with the padding in different places.
struct MoveFileData {
  uintptr_t FileHandle;
  alignas(8) int64_t StartingVcn;
  int64_t StartingLcn;
  uint32_t ClusterCount;
};
static_assert(sizeof(RetrievalPointersHeader) == 16 && sizeof(VolumeBitmapHeader) == 16);
static_assert(sizeof(MoveFileData) == 32);

class Volumes {
 public:
  virtual ~Volumes() = default;
  // CreateFileW on "\\.\X:" with GENERIC_READ, shared for reading and
  // writing, OPEN_EXISTING; kNoHandle on failure.
  virtual VolumeHandle OpenVolume(const Text& path) = 0;
  // CreateFileW on a file, the same access plus FILE_FLAG_NO_BUFFERING.
  virtual VolumeHandle OpenFile(const Text& path) = 0;
  // NtFsControlFile without event or APC; returns the NTSTATUS.
  virtual uint32_t FsControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize,
                             void* out, uint32_t outSize, IoStatus* io) = 0;
  // WaitForSingleObject(handle, INFINITE) after STATUS_PENDING.
  virtual void Wait(VolumeHandle handle) = 0;
  virtual void Close(VolumeHandle handle) = 0;
  // FindFirstFileW/FindNextFileW over "folder\*.*", "." and ".." included.
  virtual std::vector<FindEntry> Find(const Text& pattern) = 0;
};

}  // namespace platform

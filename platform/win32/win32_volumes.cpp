#include "platform/win32/win32_volumes.h"

#include <windows.h>

#include <cstddef>

#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// IO_STATUS_BLOCK as ntdll writes it.
struct NtIoStatusBlock {
  union {
    LONG Status;
    PVOID Pointer;
  };
  ULONG_PTR Information;
};

using NtFsControlFileFn = LONG(WINAPI*)(HANDLE, HANDLE, PVOID, PVOID, NtIoStatusBlock*, ULONG, PVOID,
                                        ULONG, PVOID, ULONG);

static_assert(offsetof(MoveFileData, StartingVcn) == 8 && offsetof(MoveFileData, StartingLcn) == 16 &&
                  offsetof(MoveFileData, ClusterCount) == 24,
              "MOVE_FILE_DATA layout of this process");

class Win32Volumes : public Volumes {
 public:
  Win32Volumes() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll) fsControl_ = reinterpret_cast<NtFsControlFileFn>(GetProcAddress(ntdll, "NtFsControlFile"));
  }

  VolumeHandle OpenVolume(const Text& path) override {
    return ToHandle(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  }
  VolumeHandle OpenFile(const Text& path) override {
    return ToHandle(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_NO_BUFFERING, nullptr));
  }

  uint32_t FsControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, IoStatus* io) override {
    if (!fsControl_) {
      io->status = ntstatus::kNotSupported;
      return ntstatus::kNotSupported;
    }
    // A pending call writes the block when it completes, so it must outlive
    // this frame: the caller waits on the handle and then reads it.
    block_ = NtIoStatusBlock{};
    LONG status = fsControl_(reinterpret_cast<HANDLE>(handle), nullptr, nullptr, nullptr, &block_, code,
                             const_cast<void*>(in), inSize, out, outSize);
    io->status = static_cast<uint32_t>(block_.Status);
    io->information = block_.Information;
    lastIo_ = io;
    return static_cast<uint32_t>(status);
  }

  void Wait(VolumeHandle handle) override {
    WaitForSingleObject(reinterpret_cast<HANDLE>(handle), INFINITE);
    if (lastIo_) {
      lastIo_->status = static_cast<uint32_t>(block_.Status);
      lastIo_->information = block_.Information;
    }
  }

  void Close(VolumeHandle handle) override {
    if (handle != kNoHandle) CloseHandle(reinterpret_cast<HANDLE>(handle));
  }

  std::vector<FindEntry> Find(const Text& pattern) override {
    std::vector<FindEntry> out;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(W(pattern), &data);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      out.push_back({FromW(data.cFileName), data.dwFileAttributes,
                     (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return out;
  }

 private:
  static VolumeHandle ToHandle(HANDLE h) {
    return h == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<VolumeHandle>(h);
  }

  NtFsControlFileFn fsControl_ = nullptr;
  // Only one defrag worker runs at a time, so one pending block suffices.
  NtIoStatusBlock block_{};
  IoStatus* lastIo_ = nullptr;
};

}  // namespace

std::unique_ptr<Volumes> MakeWin32Volumes() { return std::make_unique<Win32Volumes>(); }

}  // namespace platform::win32

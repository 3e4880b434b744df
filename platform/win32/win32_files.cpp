#include "platform/files.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

class Win32File : public File {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override { CloseHandle(handle_); }

  size_t Read(void* buffer, size_t count) override {
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, Chunk(count), &got, nullptr))
      throw StreamError("Stream read error", GetLastError());
    return got;
  }

  void Write(const void* buffer, size_t count) override {
    const auto* p = static_cast<const uint8_t*>(buffer);
    while (count > 0) {
      DWORD done = 0;
      if (!WriteFile(handle_, p, Chunk(count), &done, nullptr))
        throw StreamError("Stream write error", GetLastError());
      if (done == 0) throw StreamError("Stream write error", ERROR_DISK_FULL);
      p += done;
      count -= done;
    }
  }

  uint64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) throw StreamError("Stream read error", GetLastError());
    return static_cast<uint64_t>(size.QuadPart);
  }

  uint64_t Position() override {
    LARGE_INTEGER zero{}, pos;
    if (!SetFilePointerEx(handle_, zero, &pos, FILE_CURRENT)) throw StreamError("Stream read error", GetLastError());
    return static_cast<uint64_t>(pos.QuadPart);
  }

  void Seek(uint64_t position) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) throw StreamError("Stream seek error", GetLastError());
  }

  bool Identity(FileIdentity* id) override {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle_, &info)) return false;
    id->volume = info.dwVolumeSerialNumber;
    id->index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
  }

  void Truncate() override {
    if (!SetEndOfFile(handle_)) throw StreamError("Stream write error", GetLastError());
  }

 private:
  static DWORD Chunk(size_t count) {
    return static_cast<DWORD>(count < 0x40000000 ? count : 0x40000000);
  }
  HANDLE handle_;
};

DWORD ShareFlags(Share share) {
  switch (share) {
    case Share::kExclusive: return 0;
    case Share::kRead: return FILE_SHARE_READ;
    case Share::kReadWrite: return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  }
  return 0;
}

DWORD AccessFlags(Access access) {
  switch (access) {
    case Access::kRead: return GENERIC_READ;
    case Access::kWrite: return GENERIC_WRITE;
    case Access::kReadWrite: return GENERIC_READ | GENERIC_WRITE;
  }
  return 0;
}

DWORD DispositionFlags(Disposition disposition) {
  switch (disposition) {
    case Disposition::kOpenExisting: return OPEN_EXISTING;
    case Disposition::kCreateAlways: return CREATE_ALWAYS;
    case Disposition::kCreateNew: return CREATE_NEW;
  }
  return OPEN_EXISTING;
}

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(const Text& path, Access access, Share share,
                             Disposition disposition, uint32_t* error) override {
    HANDLE h = CreateFileW(W(path), AccessFlags(access), ShareFlags(share), nullptr,
                           DispositionFlags(disposition), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      Failed();
      if (error) *error = lastError_;
      return nullptr;
    }
    if (error) *error = 0;
    return std::make_unique<Win32File>(h);
  }

  bool CreateDir(const Text& path, uint32_t* error) override {
    bool ok = Check(CreateDirectoryW(W(path), nullptr));
    if (error) *error = ok ? 0 : lastError_;
    return ok;
  }
  bool RemoveDir(const Text& path) override { return Check(RemoveDirectoryW(W(path))); }
  bool Remove(const Text& path) override { return Check(DeleteFileW(W(path))); }
  bool Copy(const Text& from, const Text& to, bool failIfExists) override {
    return Check(CopyFileW(W(from), W(to), failIfExists));
  }
  bool Move(const Text& from, const Text& to, bool replaceExisting) override {
    return Check(MoveFileExW(W(from), W(to), replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0));
  }
  uint32_t Attributes(const Text& path) override {
    DWORD a = GetFileAttributesW(W(path));
    if (a == INVALID_FILE_ATTRIBUTES) Failed();
    return a;
  }
  bool SetAttributes(const Text& path, uint32_t attributes) override {
    return Check(SetFileAttributesW(W(path), attributes));
  }

  std::vector<FindEntry> Find(const Text& pattern) override {
    std::vector<FindEntry> out;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(W(pattern), &data);
    if (h == INVALID_HANDLE_VALUE) {
      Failed();
      return out;
    }
    do {
      out.push_back({FromW(data.cFileName), data.dwFileAttributes,
                     (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                     (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0});
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return out;
  }

  Text CurrentDir() override {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(n, L'\0');
    n = GetCurrentDirectoryW(n, buffer.data());
    return FromW(buffer.data(), n);
  }
  bool SetCurrentDir(const Text& path) override { return Check(SetCurrentDirectoryW(W(path))); }

  bool WindowsDir(Text* path, uint32_t* error) override {
    wchar_t buffer[MAX_PATH];
    UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
      Failed();
      if (error) *error = lastError_;
      return false;
    }
    *path = FromW(buffer, n);
    if (error) *error = 0;
    return true;
  }

  uint32_t LastError() override { return lastError_; }

 private:
  void Failed() { lastError_ = GetLastError(); }
  bool Check(BOOL ok) {
    if (!ok) Failed();
    return ok != FALSE;
  }

  uint32_t lastError_ = 0;
};

}  // namespace

std::unique_ptr<FileSystem> MakeFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace platform::win32

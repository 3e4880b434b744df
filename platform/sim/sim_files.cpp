#include "platform/sim/sim_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace platform::sim {

namespace fs = std::filesystem;
using Lock = std::lock_guard<std::recursive_mutex>;

namespace {

uint32_t ErrnoToWindows(int e) {
  switch (e) {
    case ENOENT: return err::kFileNotFound;
    case ENOTDIR: return err::kPathNotFound;
    case EEXIST: return err::kFileExists;
    case ENOTEMPTY: return err::kDirNotEmpty;
    case EXDEV: return err::kNotSameDevice;
    case EACCES:
    case EPERM:
    case EISDIR: return err::kAccessDenied;
    case ENOSPC:
    case EDQUOT: return err::kDiskFull;
    case EROFS: return err::kWriteProtect;
    case ENAMETOOLONG: return err::kFilenameTooLong;
    case ELOOP: return err::kCantResolveFilename;
    case EMFILE:
    case ENFILE: return err::kTooManyOpenFiles;
    case EIO: return err::kIoDevice;
    case EBUSY:
    case ETXTBSY: return err::kBusy;
    case EINVAL: return err::kInvalidParameter;
    case ENOMEM: return err::kNotEnoughMemory;
    case EFBIG: return err::kFileTooLarge;
    default: return err::kHostErrnoBit | static_cast<uint32_t>(e);
  }
}

class SimFile : public File {
 public:
  SimFile(SimState& state, int fd, uint64_t id, Access access)
      : state_(state), fd_(fd), id_(id), access_(access) {}

  ~SimFile() override {
    ::close(fd_);
    Lock lock(state_.mutex);
    auto& h = state_.handles;
    h.erase(std::remove_if(h.begin(), h.end(), [&](const OpenHandle& o) { return o.id == id_; }),
            h.end());
  }

  size_t Read(void* buffer, size_t count) override {
    if (access_ == Access::kWrite) throw StreamError("Stream read error", err::kAccessDenied);
    ssize_t n = ::pread(fd_, buffer, count, static_cast<off_t>(position_));
    if (n < 0) throw StreamError("Stream read error", ErrnoToWindows(errno));
    position_ += static_cast<uint64_t>(n);
    return static_cast<size_t>(n);
  }

  void Write(const void* buffer, size_t count) override {
    if (access_ == Access::kRead) throw StreamError("Stream write error", err::kAccessDenied);
    const auto* p = static_cast<const uint8_t*>(buffer);
    while (count > 0) {
      ssize_t n = ::pwrite(fd_, p, count, static_cast<off_t>(position_));
      // A write that takes nothing without an error has run out of room.
      if (n <= 0) throw StreamError("Stream write error", n < 0 ? ErrnoToWindows(errno) : err::kDiskFull);
      p += n;
      count -= static_cast<size_t>(n);
      position_ += static_cast<uint64_t>(n);
    }
  }

  uint64_t Size() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) throw StreamError("Stream read error", ErrnoToWindows(errno));
    return static_cast<uint64_t>(st.st_size);
  }
  uint64_t Position() override { return position_; }
  void Seek(uint64_t position) override { position_ = position; }

  bool Identity(FileIdentity* id) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return false;
    id->volume = static_cast<uint64_t>(st.st_dev);
    id->index = static_cast<uint64_t>(st.st_ino);
    return true;
  }

  void Truncate() override {
    if (access_ == Access::kRead) throw StreamError("Stream write error", err::kAccessDenied);
    if (::ftruncate(fd_, static_cast<off_t>(position_)) != 0)
      throw StreamError("Stream write error", ErrnoToWindows(errno));
  }

 private:
  SimState& state_;
  int fd_;
  uint64_t id_;
  Access access_;
  uint64_t position_ = 0;
};


bool HostIsDir(const std::string& host) {
  std::error_code ec;
  return fs::is_directory(host, ec);
}

bool HostExists(const std::string& host) {
  std::error_code ec;
  return fs::exists(host, ec);
}

}  // namespace

bool SimFileSystem::ResolveExisting(const Text& path, ResolvedPath* r) {
  uint32_t e = 0;
  if (!s_.Resolve(path, r, &e)) return s_.Fail(e);
  if (r->present || HostExists(r->host)) return true;
  return s_.Fail(HostIsDir(r->ParentHost()) ? err::kFileNotFound : err::kPathNotFound);
}

std::unique_ptr<File> SimFileSystem::Open(const Text& path, Access access, Share share,
                                          Disposition disposition, uint32_t* error) {
  Lock lock(s_.mutex);
  auto fail = [&](uint32_t code) -> std::unique_ptr<File> {
    s_.lastError = code;
    if (error) *error = code;
    return nullptr;
  };
  ResolvedPath r;
  uint32_t e = 0;
  if (!s_.Resolve(path, &r, &e)) return fail(e);
  const bool known = r.missingInFolder;
  if (r.IsRoot() || (!known && HostIsDir(r.host))) return fail(err::kAccessDenied);
  const bool exists = !known && HostExists(r.host);
  if (!exists) {
    if (!known && !HostIsDir(r.ParentHost())) return fail(err::kPathNotFound);
    if (disposition == Disposition::kOpenExisting) return fail(err::kFileNotFound);
  } else {
    if (disposition == Disposition::kCreateNew) return fail(err::kFileExists);
    uint32_t a = s_.AttributesOf(r.host, false);
    bool replaces = disposition == Disposition::kCreateAlways;
    if ((a & attr::kReadOnly) && (access != Access::kRead || replaces))
      return fail(err::kAccessDenied);
    // CREATE_ALWAYS with plain attributes refuses to replace a hidden or system file.
    if (replaces && (a & (attr::kHidden | attr::kSystem))) return fail(err::kAccessDenied);
    if (s_.ShareConflict(r.host, access, share)) return fail(err::kSharingViolation);
  }
  int flags = O_CLOEXEC;
  if (disposition == Disposition::kOpenExisting)
    flags |= access == Access::kRead ? O_RDONLY : access == Access::kWrite ? O_WRONLY : O_RDWR;
  else
    flags |= O_RDWR | O_CREAT | (disposition == Disposition::kCreateNew ? O_EXCL : O_TRUNC);
  // Resolving a new name has just brought its folder's names up to date.
  const bool isNew = disposition != Disposition::kOpenExisting && !exists;
  // Not blocking on a FIFO: only regular files open, as on a Windows volume
  // (on a regular file the flag changes nothing, so it stays).
  int fd = ::open(r.host.c_str(), flags | O_NONBLOCK, 0666);
  if (fd < 0) return fail(ErrnoToWindows(errno));
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return fail(err::kAccessDenied);
  }
  if (disposition != Disposition::kOpenExisting) s_.attributes[r.host] = attr::kArchive;
  if (isNew) s_.NoteCreated(r.host);
  uint64_t id = s_.nextHandle++;
  s_.handles.push_back({id, r.host, access, share});
  if (error) *error = 0;
  return std::make_unique<SimFile>(s_, fd, id, access);
}

bool SimFileSystem::CreateDir(const Text& path, uint32_t* error) {
  Lock lock(s_.mutex);
  auto fail = [&](uint32_t code) {
    if (error) *error = code;
    return s_.Fail(code);
  };
  ResolvedPath r;
  uint32_t e = 0;
  if (!s_.Resolve(path, &r, &e)) return fail(e);
  if (r.IsRoot() || HostExists(r.host)) return fail(err::kAlreadyExists);
  if (!HostIsDir(r.ParentHost())) return fail(err::kPathNotFound);
  std::error_code ec;
  if (!fs::create_directory(r.host, ec)) return fail(ec ? ErrnoToWindows(ec.value()) : err::kAccessDenied);
  s_.ForgetAttributes(r.host);
  s_.NoteCreated(r.host);
  if (error) *error = 0;
  return true;
}

bool SimFileSystem::RemoveDir(const Text& path) {
  Lock lock(s_.mutex);
  ResolvedPath r;
  if (!ResolveExisting(path, &r)) return false;
  if (r.IsRoot()) return s_.Fail(err::kAccessDenied);
  if (!HostIsDir(r.host)) return s_.Fail(err::kDirectory);
  std::error_code ec;
  if (!fs::is_empty(r.host, ec)) return s_.Fail(err::kDirNotEmpty);
  if (s_.AttributesOf(r.host, true) & attr::kReadOnly) return s_.Fail(err::kAccessDenied);
  if (s_.DeleteConflict(r.host)) return s_.Fail(err::kSharingViolation);
  if (!fs::remove(r.host, ec)) return s_.Fail(ec ? ErrnoToWindows(ec.value()) : err::kAccessDenied);
  s_.ForgetAttributes(r.host);
  return true;
}

bool SimFileSystem::Remove(const Text& path) {
  Lock lock(s_.mutex);
  ResolvedPath r;
  if (!ResolveExisting(path, &r)) return false;
  if (HostIsDir(r.host)) return s_.Fail(err::kAccessDenied);
  if (s_.AttributesOf(r.host, false) & attr::kReadOnly) return s_.Fail(err::kAccessDenied);
  if (s_.DeleteConflict(r.host)) return s_.Fail(err::kSharingViolation);
  if (::unlink(r.host.c_str()) != 0) return s_.Fail(ErrnoToWindows(errno));
  s_.ForgetAttributes(r.host);
  return true;
}

bool SimFileSystem::Copy(const Text& from, const Text& to, bool failIfExists) {
  Lock lock(s_.mutex);
  ResolvedPath src, dst;
  uint32_t e = 0;
  if (!ResolveExisting(from, &src)) return false;
  if (!s_.Resolve(to, &dst, &e)) return s_.Fail(e);
  if (HostIsDir(src.host)) return s_.Fail(err::kAccessDenied);
  if (src.host == dst.host) return s_.Fail(err::kSharingViolation);
  if (s_.ShareConflict(src.host, Access::kRead, Share::kRead)) return s_.Fail(err::kSharingViolation);
  if (HostExists(dst.host)) {
    if (failIfExists) return s_.Fail(err::kFileExists);
    if (HostIsDir(dst.host) || (s_.AttributesOf(dst.host, false) & attr::kReadOnly))
      return s_.Fail(err::kAccessDenied);
    if (s_.ShareConflict(dst.host, Access::kWrite, Share::kExclusive))
      return s_.Fail(err::kSharingViolation);
  } else if (!HostIsDir(dst.ParentHost())) {
    return s_.Fail(err::kPathNotFound);
  }
  const bool isNew = !HostExists(dst.host);
  std::error_code ec;
  fs::copy_file(src.host, dst.host, fs::copy_options::overwrite_existing, ec);
  if (ec) return s_.Fail(ErrnoToWindows(ec.value()));
  s_.CopyAttributes(src.host, dst.host);
  if (isNew) s_.NoteCreated(dst.host);
  return true;
}

bool SimFileSystem::Move(const Text& from, const Text& to, bool replaceExisting) {
  Lock lock(s_.mutex);
  ResolvedPath src, dst;
  uint32_t e = 0;
  if (!ResolveExisting(from, &src)) return false;
  if (!s_.Resolve(to, &dst, &e)) return s_.Fail(e);
  if (src.IsRoot() || dst.IsRoot()) return s_.Fail(err::kAccessDenied);
  if (src.drive != dst.drive) return s_.Fail(err::kNotSameDevice);
  if (s_.DeleteConflict(src.host)) return s_.Fail(err::kSharingViolation);
  std::string target = dst.host;
  if (dst.host == src.host) {
    // A change of case only: the new name is the one asked for.
    target = fs::path(dst.host).parent_path().string() + "/" + ToUtf8(dst.parts.back());
  } else if (!dst.missingInFolder && HostExists(dst.host)) {
    if (!replaceExisting) return s_.Fail(err::kAlreadyExists);
    if (HostIsDir(dst.host) || HostIsDir(src.host) ||
        (s_.AttributesOf(dst.host, false) & attr::kReadOnly))
      return s_.Fail(err::kAccessDenied);
    if (s_.DeleteConflict(dst.host)) return s_.Fail(err::kSharingViolation);
  } else if (!dst.missingInFolder && !HostIsDir(dst.ParentHost())) {
    return s_.Fail(err::kPathNotFound);
  }
  if (IsBelowOrSame(target, src.host) && target != src.host) return s_.Fail(err::kSharingViolation);
  const bool isNew = dst.missingInFolder || target == src.host || !HostExists(target);
  if (::rename(src.host.c_str(), target.c_str()) != 0) return s_.Fail(ErrnoToWindows(errno));
  if (isNew) s_.NoteCreated(target);
  if (target != src.host) {
    s_.ForgetAttributes(target);
    s_.MoveAttributes(src.host, target);
  }
  return true;
}

uint32_t SimFileSystem::Attributes(const Text& path) {
  Lock lock(s_.mutex);
  ResolvedPath r;
  if (!ResolveExisting(path, &r)) return attr::kInvalid;
  if (r.IsRoot()) return attr::kDirectory;
  return s_.AttributesOf(r.host, HostIsDir(r.host));
}

bool SimFileSystem::SetAttributes(const Text& path, uint32_t attributes) {
  Lock lock(s_.mutex);
  ResolvedPath r;
  if (!ResolveExisting(path, &r)) return false;
  s_.attributes[r.host] =
      attributes & (attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kArchive);
  return true;
}

std::vector<FindEntry> SimFileSystem::Find(const Text& pattern) {
  Lock lock(s_.mutex);
  Text p = pattern;
  for (auto& c : p)
    if (c == u'/') c = u'\\';
  size_t slash = p.find_last_of(u'\\');
  Text dir, mask;
  if (slash == Text::npos) {
    bool drive = p.size() >= 2 && p[1] == u':';
    dir = drive ? p.substr(0, 2) : u".";
    mask = drive ? p.substr(2) : p;
  } else {
    dir = p.substr(0, slash + 1);
    mask = p.substr(slash + 1);
  }
  std::vector<FindEntry> out;
  ResolvedPath r;
  uint32_t e = 0;
  if (mask.empty() || !s_.Resolve(dir, &r, &e) || !HostIsDir(r.host)) {
    s_.lastError = mask.empty() || e ? (e ? e : err::kFileNotFound) : err::kPathNotFound;
    return out;
  }
  std::error_code ec;
  fs::directory_iterator it(r.host, ec);
  if (ec) {  // a folder that cannot be listed, as FindFirstFileW reports it
    s_.lastError = ErrnoToWindows(ec.value());
    return out;
  }
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    Text name = FromUtf8(it->path().filename().string());
    if (!MatchMask(name, mask)) continue;
    std::string host = it->path().string();
    bool isDir = HostIsDir(host);
    FindEntry entry{name, s_.AttributesOf(host, isDir), 0};
    std::error_code statError;
    fs::file_status own = fs::symlink_status(host, statError);
    if (fs::is_symlink(own)) {
      // A host link shows as Windows shows a symbolic link: a reparse point.
      entry.attributes = (entry.attributes & ~attr::kNormal) | attr::kReparsePoint;
      entry.reparseTag = reparse::kSymlink;
    } else if (!isDir && !fs::is_regular_file(own)) {
      entry.attributes = (entry.attributes & ~attr::kNormal) | attr::kDevice;
    }
    if (!isDir) {
      uintmax_t size = fs::file_size(host, statError);
      entry.size = statError ? 0 : size;
    }
    out.push_back(entry);
  }
  // NTFS returns a folder's entries ordered by their upper-case names.
  std::sort(out.begin(), out.end(), [](const FindEntry& a, const FindEntry& b) {
    return UpperCase(a.name) < UpperCase(b.name);
  });
  if (!r.IsRoot()) {
    for (const char16_t* dot : {u"..", u"."})
      if (MatchMask(dot, mask)) out.insert(out.begin(), FindEntry{dot, attr::kDirectory, 0});
  }
  if (out.empty()) s_.lastError = err::kFileNotFound;
  return out;
}

Text SimFileSystem::CurrentDir() {
  Lock lock(s_.mutex);
  return s_.currentDir;
}

bool SimFileSystem::SetCurrentDir(const Text& path) {
  Lock lock(s_.mutex);
  ResolvedPath r;
  if (!ResolveExisting(path, &r)) return false;
  if (!HostIsDir(r.host)) return s_.Fail(err::kDirectory);
  s_.currentDir = r.Windows();
  return true;
}

bool SimFileSystem::WindowsDir(Text* path, uint32_t* error) {
  Lock lock(s_.mutex);
  if (s_.config.windowsDirFails) {
    if (error) *error = err::kAccessDenied;
    return s_.Fail(err::kAccessDenied);
  }
  *path = s_.config.windowsDir;
  if (error) *error = 0;
  return true;
}

uint32_t SimFileSystem::LastError() {
  Lock lock(s_.mutex);
  return s_.lastError;
}

}  // namespace platform::sim

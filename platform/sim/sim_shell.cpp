#include "platform/sim/sim_shell.h"

#include <filesystem>

namespace platform::sim {

namespace fs = std::filesystem;

namespace {

// SHFileOperationW's own result codes for a source that does not exist and
// for a failure inside the operation.
constexpr int kNoSource = 0x402;
constexpr int kFailed = 0x4C7;

void CopyTree(SimState& s, const std::string& from, const std::string& to, std::error_code& ec) {
  if (fs::is_directory(from, ec)) {
    if (!fs::is_directory(to, ec)) fs::create_directories(to, ec);
    if (ec) return;
    s.CopyAttributes(from, to);
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
      CopyTree(s, it->path().string(), to + "/" + it->path().filename().string(), ec);
      if (ec) return;
    }
  } else {
    // Read-only targets are replaced too: FOF_NOCONFIRMATION answers "yes" for them.
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (!ec) s.CopyAttributes(from, to);
  }
}

}  // namespace

int SimShell::FileOperation(ShellOp op, const Text& from, const Text& to, uint32_t flags) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  ResolvedPath src;
  uint32_t e = 0;
  std::error_code ec;
  if (!s_.Resolve(from, &src, &e) || src.IsRoot() || !fs::exists(src.host, ec)) return kNoSource;
  return op == ShellOp::kCopy ? CopyItem(src, to) : DeleteItem(src, flags);
}

int SimShell::CopyItem(const ResolvedPath& src, const Text& to) {
  ResolvedPath dst;
  uint32_t e = 0;
  if (!s_.Resolve(to, &dst, &e)) return kFailed;
  std::error_code ec;
  std::string target = dst.host;
  if (fs::is_directory(dst.host, ec)) {
    // Into an existing folder: the item keeps its name inside it.
    target = (dst.host == "/" ? "" : dst.host) + "/" + fs::path(src.host).filename().string();
  } else {
    // A missing destination is the new name of the copy; its parents are made.
    fs::create_directories(dst.ParentHost(), ec);
    if (ec) return kFailed;
  }
  if (IsBelowOrSame(target, src.host)) return kFailed;
  CopyTree(s_, src.host, target, ec);
  return ec ? kFailed : 0;
}

int SimShell::DeleteItem(const ResolvedPath& item, uint32_t flags) {
  std::error_code ec;
  if (s_.DeleteConflict(item.host)) return err::kSharingViolation;
  const Drive& drive = s_.drives.at(item.drive);
  if ((flags & fof::kAllowUndo) && drive.hasRecycleBin) {
    std::string bin = drive.host + ".recycle/" + std::to_string(s_.recycled.size());
    fs::create_directories(bin, ec);
    std::string target = bin + "/" + fs::path(item.host).filename().string();
    fs::rename(item.host, target, ec);
    if (ec) return kFailed;
    s_.recycled.push_back({item.Windows(), target});
  } else if ((flags & fof::kAllowUndo) && drive.recycler && drive.recycler(item.host)) {
    // In the host's own recycle bin: nothing of it is left here.
  } else {
    fs::remove_all(item.host, ec);
    if (ec) return kFailed;
  }
  s_.ForgetAttributes(item.host);
  return 0;
}

int32_t SimShell::FolderPath(int csidl, Text* path) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  auto it = s_.config.specialFolders.find(csidl);
  if (it == s_.config.specialFolders.end()) return static_cast<int32_t>(0x80070002u);
  *path = it->second;
  return 0;
}

}  // namespace platform::sim

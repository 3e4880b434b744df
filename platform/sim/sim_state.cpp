#include "platform/sim/sim_state.h"

#include <sys/stat.h>

#include <cerrno>

#include <filesystem>

namespace platform::sim {

namespace fs = std::filesystem;

SimState::SimState(SimConfig cfg) : config(std::move(cfg)) {
  for (RootKey root : {RootKey::kCurrentUser, RootKey::kLocalMachine, RootKey::kClassesRoot,
                       RootKey::kUsers})
    registryRoots[root] = std::make_shared<RegNode>();
}

Text ResolvedPath::Windows() const {
  Text out{drive, u':', u'\\'};
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out.push_back(u'\\');
    out += parts[i];
  }
  return out;
}

std::string ResolvedPath::ParentHost() const {
  if (parts.empty()) return host;
  return fs::path(host).parent_path().string();
}

namespace {

bool ValidName(const Text& name) {
  for (char16_t c : name) {
    if (c < 32) return false;
    for (char16_t bad : u"<>:\"|?*")
      if (bad && c == bad) return false;
  }
  return true;
}

// Windows drops trailing dots and spaces from every component.
Text TrimComponent(Text name) {
  while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.pop_back();
  return name;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// The folder's modification time in nanoseconds, or -1.
int64_t Stamp(const std::string& dir) {
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

std::string SimState::MatchEntry(const std::string& dir, const Text& name, bool* found, int64_t dirStamp) {
  std::string exact = ToUtf8(name);
  if (dirStamp < 0 && Exists(dir + "/" + exact)) {
    *found = true;
    return exact;
  }
  *found = false;
  const int64_t stamp = dirStamp >= 0 ? dirStamp : Stamp(dir);
  if (stamp < 0) return exact;
  std::lock_guard<std::recursive_mutex> lock(mutex);
  FolderNames& names = folderNames_[dir];
  if (names.stamp != stamp) {
    names.byLower.clear();
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      std::string hostName = it->path().filename().string();
      names.byLower.emplace(LowerCase(FromUtf8(hostName)), hostName);
    }
    names.stamp = stamp;
  }
  const Text lower = LowerCase(name);
  auto it = names.byLower.find(lower);
  if (it != names.byLower.end()) {
    if (Exists(dir + "/" + it->second)) {
      *found = true;
      return it->second;
    }
    names.byLower.erase(it);
  }
  return exact;
}

void SimState::NoteCreated(const std::string& host) {
  const size_t slash = host.rfind('/');
  if (slash == std::string::npos || slash == 0) return;
  const std::string dir = host.substr(0, slash), name = host.substr(slash + 1);
  std::lock_guard<std::recursive_mutex> lock(mutex);
  auto it = folderNames_.find(dir);
  if (it == folderNames_.end()) return;
  auto [entry, added] = it->second.byLower.emplace(LowerCase(FromUtf8(name)), name);
  if (!added && !Exists(dir + "/" + entry->second)) entry->second = name;
  it->second.stamp = Stamp(dir);
}

bool SimState::Resolve(const Text& input, ResolvedPath* out, uint32_t* error) {
  Text path = input;
  for (auto& c : path)
    if (c == u'/') c = u'\\';
  if (path.rfind(u"\\\\?\\", 0) == 0) path = path.substr(4);
  if (path.empty() || path.rfind(u"\\\\", 0) == 0) {
    *error = err::kPathNotFound;
    return false;
  }

  Text base = currentDir;
  Text rest;
  char16_t drive = UpperCase(base.substr(0, 1))[0];
  if (path.size() >= 2 && path[1] == u':') {
    drive = UpperCase(path.substr(0, 1))[0];
    rest = path.substr(2);
    if (rest.empty() || rest[0] != u'\\') {
      // "D:name" is relative to that drive's current folder; ours is its root
      // unless it is the current drive.
      rest = (drive == UpperCase(base.substr(0, 1))[0] ? base.substr(2) + u"\\" : u"\\") + rest;
    }
  } else if (path[0] == u'\\') {
    rest = path;
  } else {
    rest = base.substr(2) + u"\\" + path;
  }

  std::vector<Text> parts;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(u'\\', start);
    if (end == Text::npos) end = rest.size();
    Text part = rest.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == u".") continue;
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    part = TrimComponent(part);
    if (part.empty()) continue;
    if (!ValidName(part)) {
      *error = err::kInvalidName;
      return false;
    }
    parts.push_back(part);
  }

  auto it = drives.find(drive);
  if (it == drives.end()) {
    *error = err::kPathNotFound;
    return false;
  }
  const std::string& root = it->second.host;
  auto join = [](const std::string& dir, const std::string& name) {
    return (dir == "/" ? "/" : dir + "/") + name;
  };
  // Most paths exist with the case they are given in: one look-up settles
  // them, or their folder, before names are matched entry by entry.
  std::string exact = root;
  for (const Text& part : parts) exact = join(exact, ToUtf8(part));
  std::string parent = root;
  for (size_t i = 0; i + 1 < parts.size(); ++i) parent = join(parent, ToUtf8(parts[i]));
  std::string host;
  bool found = true;
  out->missingInFolder = out->present = false;
  struct stat st {};
  const bool exactExists = parts.empty() || ::lstat(exact.c_str(), &st) == 0;
  const bool exactMissing = !exactExists && errno == ENOENT;
  if (exactExists) {
    host = exact;
    out->present = !parts.empty() && !S_ISLNK(st.st_mode);
  } else if (parts.size() > 1 && ::lstat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    // With the exact name known missing, the folder's stamp just read serves.
    const int64_t stamp = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    host = join(parent, MatchEntry(parent, parts.back(), &found, exactMissing ? stamp : -1));
    out->missingInFolder = exactMissing && !found;
  } else {
    host = root;
    for (const Text& part : parts) host = join(host, found ? MatchEntry(host, part, &found) : ToUtf8(part));
  }
  out->drive = drive;
  out->parts = std::move(parts);
  out->host = host;
  return true;
}

uint32_t SimState::AttributesOf(const std::string& host, bool isDir) const {
  auto it = attributes.find(host);
  uint32_t bits = it != attributes.end() ? it->second : (isDir ? 0 : attr::kArchive);
  if (isDir) bits |= attr::kDirectory;
  return bits ? bits : attr::kNormal;
}

bool IsBelowOrSame(const std::string& host, const std::string& root) {
  if (host == root) return true;
  std::string prefix = root == "/" ? root : root + "/";
  return host.compare(0, prefix.size(), prefix) == 0;
}

// The entries of `host` and of everything below it lie together in the
// ordered map, among the keys that begin with `host`.
void SimState::ForgetAttributes(const std::string& host) {
  for (auto it = attributes.lower_bound(host);
       it != attributes.end() && it->first.compare(0, host.size(), host) == 0;)
    it = IsBelowOrSame(it->first, host) ? attributes.erase(it) : std::next(it);
}

void SimState::MoveAttributes(const std::string& from, const std::string& to) {
  std::map<std::string, uint32_t> moved;
  for (auto it = attributes.lower_bound(from);
       it != attributes.end() && it->first.compare(0, from.size(), from) == 0;) {
    if (IsBelowOrSame(it->first, from)) {
      moved[to + it->first.substr(from.size())] = it->second;
      it = attributes.erase(it);
    } else {
      ++it;
    }
  }
  for (auto& [k, v] : moved) attributes[k] = v;
}

void SimState::CopyAttributes(const std::string& from, const std::string& to) {
  auto it = attributes.find(from);
  if (it != attributes.end())
    attributes[to] = it->second;
  else
    attributes.erase(to);
}

static bool Reads(Access a) { return a != Access::kWrite; }
static bool Writes(Access a) { return a != Access::kRead; }
static bool SharesRead(Share s) { return s != Share::kExclusive; }
static bool SharesWrite(Share s) { return s == Share::kReadWrite; }

bool SimState::ShareConflict(const std::string& host, Access access, Share share) const {
  for (const auto& h : handles) {
    if (h.host != host) continue;
    if ((Reads(access) && !SharesRead(h.share)) || (Writes(access) && !SharesWrite(h.share)) ||
        (Reads(h.access) && !SharesRead(share)) || (Writes(h.access) && !SharesWrite(share)))
      return true;
  }
  return false;
}

bool SimState::DeleteConflict(const std::string& host) const {
  // Only Share::kReadWrite includes FILE_SHARE_DELETE.
  for (const auto& h : handles)
    if (IsBelowOrSame(h.host, host) && (h.host != host || h.share != Share::kReadWrite))
      return true;
  return false;
}

static bool MatchFrom(std::u16string_view name, std::u16string_view mask) {
  size_t n = 0, m = 0, starM = Text::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == u'?' || FoldCase(mask[m]) == FoldCase(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == u'*') {
      starM = m++;
      starN = n;
    } else if (starM != Text::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == u'*') ++m;
  return m == mask.size();
}

bool MatchMask(std::u16string_view name, std::u16string_view mask) {
  if (mask == u"*.*" || mask == u"*") return true;
  // "name.*" also matches "name" without an extension, as on Windows.
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == u".*" &&
      name.find(u'.') == std::u16string_view::npos &&
      MatchFrom(name, mask.substr(0, mask.size() - 2)))
    return true;
  return MatchFrom(name, mask);
}

}  // namespace platform::sim

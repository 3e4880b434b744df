#include "platform/sim/sim_volume.h"

#include <algorithm>
#include <cstring>

namespace platform::sim {

namespace {

Text ParentOf(const Text& path) {
  size_t slash = path.rfind(u'\\');
  return slash == Text::npos ? Text() : path.substr(0, slash);
}
Text NameOf(const Text& path) {
  size_t slash = path.rfind(u'\\');
  return slash == Text::npos ? path : path.substr(slash + 1);
}
Text Trimmed(Text path) {
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  return path;
}
int64_t VcnCount(const SimVolumeFile& file) {
  int64_t n = 0;
  for (const auto& e : file.extents) n += e.count;
  return n;
}

}  // namespace

SimVolume::SimVolume(char16_t letter, uint32_t clusterSize, int64_t totalClusters)
    : letter_(UpperCase(Text(1, letter))[0]),
      clusterSize_(clusterSize),
      total_(totalClusters),
      clusters_(static_cast<size_t>(std::max<int64_t>(totalClusters, 0)), 0) {}

void SimVolume::MarkUsed(int64_t lcn, int64_t count) {
  for (int64_t i = std::max<int64_t>(lcn, 0); i < lcn + count && i < total_; ++i) {
    if (!clusters_[i]) clusters_[i] = kForeign | uint64_t(i & 0xFFFFFFFF);
  }
}

bool SimVolume::RangeFree(int64_t lcn, int64_t count) const {
  if (lcn < 0 || count < 0 || lcn > total_ - count) return false;
  for (int64_t i = lcn; i < lcn + count; ++i) {
    if (clusters_[i]) return false;
  }
  return true;
}

void SimVolume::Occupy(int64_t lcn, int64_t count, uint32_t id, int64_t vcn) {
  for (int64_t i = 0; i < count; ++i) clusters_[lcn + i] = Identity(id, vcn + i);
}

void SimVolume::Release(const SimVolumeFile& file) {
  for (const auto& e : file.extents) {
    if (e.lcn < 0) continue;
    for (int64_t i = 0; i < e.count; ++i) clusters_[e.lcn + i] = 0;
  }
}

void SimVolume::AddFolder(const Text& path, bool reparsePoint) {
  Text folder = Trimmed(path);
  Text key = LowerCase(folder);
  if (!folders_.count(key) || reparsePoint) folders_[key] = reparsePoint;
  folderNames_.emplace(key, folder);
  Text parent = ParentOf(folder);
  if (parent.size() > 2) AddFolder(parent, false);
}

bool SimVolume::AddFile(const Text& path, uint64_t size, const std::vector<SimExtent>& extents,
                        bool resident) {
  if (byPath_.count(LowerCase(path))) return false;
  // Claim the clusters one extent at a time so overlapping extents are refused too.
  std::vector<std::pair<int64_t, int64_t>> claimed;
  int64_t vcn = 0;
  uint32_t id = static_cast<uint32_t>(files_.size() + 1);
  bool ok = true;
  for (const auto& e : extents) {
    if (e.count <= 0) ok = false;
    else if (e.lcn >= 0) {
      if (!RangeFree(e.lcn, e.count)) ok = false;
      else {
        Occupy(e.lcn, e.count, id, vcn);
        claimed.push_back({e.lcn, e.count});
      }
    }
    if (!ok) break;
    vcn += e.count;
  }
  if (!ok) {
    for (auto [l, c] : claimed) std::fill(clusters_.begin() + l, clusters_.begin() + l + c, 0);
    return false;
  }
  SimVolumeFile file;
  file.path = path;
  file.size = size;
  file.resident = resident;
  file.extents = resident ? std::vector<SimExtent>{} : extents;
  file.id = id;
  byPath_[LowerCase(path)] = static_cast<int>(files_.size());
  files_.push_back(file);
  Text parent = ParentOf(path);
  if (parent.size() > 2) AddFolder(parent, false);
  return true;
}

bool SimVolume::ReplaceExtents(const Text& path, const std::vector<SimExtent>& extents) {
  int index = FileIndex(path);
  if (index < 0) return false;
  SimVolumeFile& file = files_[index];
  Release(file);
  int64_t vcn = 0;
  for (const auto& e : extents) {
    if (e.lcn >= 0) {
      if (!RangeFree(e.lcn, e.count)) return false;
      Occupy(e.lcn, e.count, file.id, vcn);
    }
    vcn += e.count;
  }
  file.extents = extents;
  return true;
}

int SimVolume::FileIndex(const Text& path) const {
  auto it = byPath_.find(LowerCase(path));
  return it == byPath_.end() ? -1 : it->second;
}

const SimVolumeFile* SimVolume::FindFile(const Text& path) const {
  int index = FileIndex(path);
  return index < 0 ? nullptr : &files_[index];
}

std::vector<SimExtent> SimVolume::ForeignRuns() const {
  std::vector<SimExtent> runs;
  for (int64_t i = 0; i < total_; ++i) {
    if ((clusters_[i] & kForeign) != kForeign) continue;
    if (!runs.empty() && runs.back().lcn + runs.back().count == i) ++runs.back().count;
    else runs.push_back({i, 1});
  }
  return runs;
}

int64_t SimVolume::FreeClusters() const {
  return std::count(clusters_.begin(), clusters_.end(), uint64_t{0});
}

int SimVolume::FragmentsOf(const SimVolumeFile& file) {
  int fragments = 0;
  const SimExtent* previous = nullptr;
  for (const auto& e : file.extents) {
    if (!(previous && previous->lcn >= 0 && e.lcn >= 0 && previous->lcn + previous->count == e.lcn)) {
      ++fragments;
    }
    previous = &e;
  }
  return fragments;
}

std::vector<std::string> SimVolume::Verify() const {
  std::vector<std::string> problems;
  int64_t owned = 0;
  for (const auto& file : files_) {
    int64_t vcn = 0;
    for (const auto& e : file.extents) {
      if (e.lcn >= 0) {
        for (int64_t i = 0; i < e.count; ++i) {
          int64_t lcn = e.lcn + i;
          if (lcn < 0 || lcn >= total_ || clusters_[lcn] != Identity(file.id, vcn + i)) {
            problems.push_back(ToUtf8(file.path) + ": cluster " + std::to_string(lcn) + " of vcn " +
                               std::to_string(vcn + i) + " does not hold its data");
            break;
          }
        }
        owned += e.count;
      }
      vcn += e.count;
    }
  }
  int64_t held = 0;
  for (uint64_t c : clusters_) {
    if (c && (c & kForeign) != kForeign) ++held;
  }
  if (held != owned) {
    problems.push_back("clusters holding file data: " + std::to_string(held) + ", clusters the files own: " +
                       std::to_string(owned));
  }
  return problems;
}

VolumeHandle SimVolume::OpenVolume(const Text& path) {
  // "\\.\X:"
  if (path.size() != 6 || path.compare(0, 4, u"\\\\.\\") != 0 || path[5] != u':') return kNoHandle;
  if (UpperCase(path.substr(4, 1))[0] != letter_) return kNoHandle;
  VolumeHandle h = nextHandle_;
  nextHandle_ += 4;
  handles_[h] = Open{true, -1};
  return h;
}

VolumeHandle SimVolume::OpenFile(const Text& path) {
  int index = FileIndex(path);
  if (index < 0) return kNoHandle;
  VolumeHandle h = nextHandle_;
  nextHandle_ += 4;
  handles_[h] = Open{false, index};
  return h;
}

uint32_t SimVolume::FsControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                              uint32_t outSize, IoStatus* io) {
  uint64_t information = 0;
  uint32_t status;
  auto it = handles_.find(handle);
  if (it == handles_.end()) status = ntstatus::kInvalidHandle;
  else status = Control(it->second, code, in, inSize, out, outSize, &information);
  io->status = status;
  io->information = information;
  return pendingReplies ? ntstatus::kPending : status;
}

uint32_t SimVolume::Control(const Open& open, uint32_t code, const void* in, uint32_t inSize, void* out,
                            uint32_t outSize, uint64_t* information) {
  switch (code) {
    case fsctl::kGetRetrievalPointers:
      if (open.volume) return ntstatus::kInvalidParameter;
      return RetrievalPointers(files_[open.file], in, inSize, out, outSize, information);
    case fsctl::kGetVolumeBitmap:
      if (!open.volume) return ntstatus::kInvalidParameter;
      return Bitmap(in, inSize, out, outSize, information);
    case fsctl::kMoveFile:
      if (!open.volume) return ntstatus::kInvalidParameter;
      return Move(in, inSize);
    default:
      return ntstatus::kNotSupported;
  }
}

uint32_t SimVolume::RetrievalPointers(const SimVolumeFile& file, const void* in, uint32_t inSize, void* out,
                                      uint32_t outSize, uint64_t* information) {
  if (!in || inSize < sizeof(StartingVcnInput)) return ntstatus::kInvalidParameter;
  if (!out || outSize < sizeof(RetrievalPointersHeader) + sizeof(RetrievalExtent)) return ntstatus::kBufferTooSmall;
  StartingVcnInput input;
  std::memcpy(&input, in, sizeof input);
  if (file.resident || input.StartingVcn < 0 || input.StartingVcn >= VcnCount(file)) return ntstatus::kEndOfFile;
  size_t first = 0;
  int64_t vcn = 0;
  while (vcn + file.extents[first].count <= input.StartingVcn) vcn += file.extents[first++].count;
  size_t capacity = (outSize - sizeof(RetrievalPointersHeader)) / sizeof(RetrievalExtent);
  size_t n = std::min(capacity, file.extents.size() - first);
  RetrievalPointersHeader header{static_cast<uint32_t>(n), 0, vcn};
  auto* bytes = static_cast<unsigned char*>(out);
  std::memcpy(bytes, &header, sizeof header);
  for (size_t i = 0; i < n; ++i) {
    const SimExtent& e = file.extents[first + i];
    vcn += e.count;
    RetrievalExtent extent{vcn, e.lcn < 0 ? -1 : e.lcn};
    std::memcpy(bytes + sizeof header + i * sizeof extent, &extent, sizeof extent);
  }
  *information = sizeof header + n * sizeof(RetrievalExtent);
  return first + n < file.extents.size() ? ntstatus::kBufferOverflow : ntstatus::kSuccess;
}

uint32_t SimVolume::Bitmap(const void* in, uint32_t inSize, void* out, uint32_t outSize, uint64_t* information) {
  if (!in || inSize < sizeof(StartingLcnInput)) return ntstatus::kInvalidParameter;
  if (!out || outSize < sizeof(VolumeBitmapHeader) + 1) return ntstatus::kBufferTooSmall;
  StartingLcnInput input;
  std::memcpy(&input, in, sizeof input);
  if (input.StartingLcn < 0 || input.StartingLcn >= total_) return ntstatus::kInvalidParameter;
  // The answer starts at a byte boundary, as the file system's does.
  int64_t start = input.StartingLcn & ~int64_t{7};
  VolumeBitmapHeader header{start, total_ - start};
  uint64_t needed = (uint64_t(header.BitmapSize) + 7) / 8;
  uint64_t capacity = outSize - sizeof header;
  uint64_t bytesOut = std::min(needed, capacity);
  auto* bytes = static_cast<unsigned char*>(out);
  std::memcpy(bytes, &header, sizeof header);
  unsigned char* map = bytes + sizeof header;
  std::memset(map, 0, bytesOut);
  for (uint64_t i = 0; i < bytesOut * 8; ++i) {
    int64_t lcn = start + int64_t(i);
    // Clusters past the end read as used.
    if (lcn >= total_ || clusters_[lcn]) map[i / 8] |= static_cast<unsigned char>(1u << (i % 8));
  }
  *information = sizeof header + bytesOut;
  return bytesOut < needed ? ntstatus::kBufferOverflow : ntstatus::kSuccess;
}

uint32_t SimVolume::Move(const void* in, uint32_t inSize) {
  if (!in || inSize < sizeof(MoveFileData)) return ntstatus::kInvalidParameter;
  MoveFileData data;
  std::memcpy(&data, in, sizeof data);
  auto it = handles_.find(data.FileHandle);
  SimMove move;
  move.vcn = data.StartingVcn;
  move.lcn = data.StartingLcn;
  move.count = data.ClusterCount;
  if (it == handles_.end() || it->second.volume) {
    move.status = ntstatus::kInvalidHandle;
    moves_.push_back(move);
    return move.status;
  }
  SimVolumeFile& file = files_[it->second.file];
  move.path = file.path;
  if (beforeMove) beforeMove(move);
  Text key = LowerCase(file.path);
  int nth = ++moveCount_[key];
  auto refuse = [&](uint32_t status) {
    move.status = status;
    moves_.push_back(move);
    return status;
  };
  if (failMoves_.count(key) && failMoves_[key].count(nth)) return refuse(ntstatus::kAccessDenied);
  int64_t vcn = data.StartingVcn, count = data.ClusterCount;
  if (count <= 0 || vcn < 0 || vcn > VcnCount(file) - count) return refuse(ntstatus::kInvalidParameter);
  if (!RangeFree(data.StartingLcn, count)) return refuse(ntstatus::kInvalidParameter);
  // The source range must be data of the file (no virtual run inside it).
  int64_t v = 0;
  for (const auto& e : file.extents) {
    if (e.lcn < 0 && v < vcn + count && v + e.count > vcn) return refuse(ntstatus::kInvalidParameter);
    v += e.count;
  }
  std::vector<SimExtent> result;
  auto push = [&](int64_t lcn, int64_t n) {
    if (n <= 0) return;
    if (!result.empty()) {
      SimExtent& last = result.back();
      bool bothVirtual = last.lcn < 0 && lcn < 0;
      if (bothVirtual || (last.lcn >= 0 && lcn >= 0 && last.lcn + last.count == lcn)) {
        last.count += n;
        return;
      }
    }
    result.push_back({lcn < 0 ? -1 : lcn, n});
  };
  v = 0;
  for (const auto& e : file.extents) {
    int64_t a = std::max(v, vcn), b = std::min(v + e.count, vcn + count);
    if (a >= b) {
      push(e.lcn, e.count);
    } else {
      push(e.lcn, a - v);
      int64_t from = e.lcn + (a - v), to = data.StartingLcn + (a - vcn);
      for (int64_t i = 0; i < b - a; ++i) {
        clusters_[to + i] = clusters_[from + i];
        clusters_[from + i] = 0;
      }
      push(to, b - a);
      push(e.lcn + (b - v), v + e.count - b);
    }
    v += e.count;
  }
  file.extents = result;
  move.status = ntstatus::kSuccess;
  moves_.push_back(move);
  return move.status;
}

std::vector<FindEntry> SimVolume::Find(const Text& pattern) {
  std::vector<FindEntry> out;
  if (!EndsWith(pattern, u"\\*.*")) return out;
  Text folder = pattern.substr(0, pattern.size() - 4);
  Text key = LowerCase(folder);
  bool root = folder.size() == 2 && folder[1] == u':';
  if (!root && !folders_.count(key)) return out;
  out.push_back({u".", attr::kDirectory, 0});
  out.push_back({u"..", attr::kDirectory, 0});
  Text prefix = key + u"\\";
  // Folders first, then files, each in name order: a stable, simple order.
  for (auto it = folders_.lower_bound(prefix); it != folders_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    if (it->first.find(u'\\', prefix.size()) != Text::npos) continue;
    uint32_t attributes = attr::kDirectory | (it->second ? kReparsePointAttribute : 0);
    out.push_back({NameOf(folderNames_[it->first]), attributes, 0});
  }
  for (auto it = byPath_.lower_bound(prefix); it != byPath_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    if (it->first.find(u'\\', prefix.size()) != Text::npos) continue;
    const SimVolumeFile& file = files_[it->second];
    out.push_back({NameOf(file.path), attr::kArchive, file.size});
  }
  return out;
}

}  // namespace platform::sim

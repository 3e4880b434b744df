#include "zentura/defrag/defrag_engine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <mutex>

namespace zentura {

using namespace platform;

TDefragReport DefragReport;
std::atomic<bool> StopDefrag{false};

namespace {

// Days from 1970-01-01 to the given civil date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400);
  unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

TDateTime NowLocal() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  static std::mutex guard;  // localtime is not reentrant everywhere
  {
    std::lock_guard<std::mutex> lock(guard);
    local = *std::localtime(&t);
  }
  double ms = static_cast<double>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  long long days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0;
  return 25569.0 + static_cast<double>(days) + seconds / 86400.0;
}

Text FormatTime(TDateTime time) {
  double fraction = time - static_cast<long long>(time);
  if (fraction < 0) fraction += 1;
  long long seconds = static_cast<long long>(fraction * 86400.0 + 0.0005);  // round off float error only
  seconds %= 86400;
  char text[16];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return FromUtf8(text);
}

// --- the engine

uint32_t DefragEngine::Control(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize, IoStatus* io) {
  uint32_t status = env_.volumes.FsControl(handle, code, in, inSize, buffer_, sizeof buffer_, io);
  if (status == ntstatus::kPending) {
    env_.volumes.Wait(handle);
    status = io->status;
  }
  return status;
}

int DefragEngine::ScanFolder(const Text& folder, FragmentList& list) {
  Text base = IncludeTrailingBackslash(folder);
  int count = 0;
  for (const FindEntry& entry : env_.volumes.Find(base + u"*.*")) {
    if (Stopped()) break;
    if (entry.attributes & attr::kDirectory) {
      if (entry.name == u"." || entry.name == u"..") continue;
      // A junction may lead back up the tree and a mount point to another
      // volume, whose files this volume's free list must never receive.
      if (entry.attributes & kReparsePointAttribute) continue;
      count += ScanFolder(base + entry.name, list);
      continue;
    }
    ++count;
    fragmts record;
    record.FileName = base + entry.name;
    record.Size = entry.size;
    VolumeHandle file = env_.volumes.OpenFile(record.FileName);
    int64_t span = 0;
    record.Fragments = ReadFileFragments(file, nullptr, &span);
    record.Clusters = span;
    if (record.Fragments > 1) list.push_back(std::move(record));
    env_.volumes.Close(file);
  }
  return count;
}

int DefragEngine::ReadFileFragments(VolumeHandle file, std::vector<TFileFragment>* list, int64_t* span) {
  if (list) list->clear();
  *span = 0;
  auto unreadable = [&] {
    if (list) list->clear();
    *span = 0;
    return -1;
  };
  constexpr uint32_t kMaxExtents =
      (kQueryBufferSize - sizeof(RetrievalPointersHeader)) / sizeof(RetrievalExtent);
  int count = 0;
  bool havePrevious = false;
  TFileFragment previous;
  int64_t startVcn = 0;
  for (bool first = true;; first = false) {
    StartingVcnInput input{startVcn};
    IoStatus io;
    uint32_t status = Control(file, fsctl::kGetRetrievalPointers, &input, sizeof input, &io);
    if (status != ntstatus::kSuccess && status != ntstatus::kBufferOverflow) {
      // Nothing on disk (resident, empty, not opened) reads as no fragments;
      // a later round that fails leaves only a partial view.
      return first ? 0 : unreadable();
    }
    RetrievalPointersHeader header;
    std::memcpy(&header, buffer_, sizeof header);
    if (header.ExtentCount > kMaxExtents) return unreadable();
    if (header.ExtentCount == 0 && status == ntstatus::kBufferOverflow) return unreadable();
    if (header.StartingVcn < 0 || (!first && header.StartingVcn != startVcn)) return unreadable();
    int64_t vcn = header.StartingVcn;
    for (uint32_t i = 0; i < header.ExtentCount; ++i) {
      RetrievalExtent extent;
      std::memcpy(&extent, buffer_ + sizeof header + i * sizeof extent, sizeof extent);
      if (extent.Lcn == -1) return unreadable();  // compressed or sparse data
      if (extent.NextVcn <= vcn || extent.Lcn < 0) return unreadable();
      int64_t length = extent.NextVcn - vcn;
      if (length > int64_t{std::numeric_limits<uint32_t>::max()} ||
          extent.Lcn > std::numeric_limits<int64_t>::max() - length) {
        return unreadable();
      }
      if (havePrevious && previous.Lcn + int64_t(previous.Length) == extent.Lcn) {
        previous.Length += uint64_t(length);
        if (list) list->back().Length = previous.Length;
      } else {
        ++count;
        previous = TFileFragment{vcn, extent.Lcn, uint64_t(length)};
        havePrevious = true;
        if (list) list->push_back(previous);
      }
      *span = extent.NextVcn;
      vcn = extent.NextVcn;
    }
    if (status == ntstatus::kSuccess) return count;
    startVcn = vcn;
  }
}

bool DefragEngine::ReadFreeExtents(VolumeHandle volume, std::vector<TFreeExtent>& list) {
  auto unreadable = [&] {
    list.clear();
    return false;
  };
  int64_t startLcn = 0;
  int64_t walkedTo = 0;  // clusters below this were already taken in
  bool havePrevious = false;
  auto close = [&](int64_t start, int64_t length) {
    if (havePrevious && list.back().Start + list.back().Length == start) {
      list.back().Length += length;
    } else {
      list.push_back({start, length});
      havePrevious = true;
    }
  };
  const unsigned char* bits = buffer_ + sizeof(VolumeBitmapHeader);
  for (;;) {
    StartingLcnInput input{startLcn};
    IoStatus io;
    uint32_t status = Control(volume, fsctl::kGetVolumeBitmap, &input, sizeof input, &io);
    if (status != ntstatus::kSuccess && status != ntstatus::kBufferOverflow) return true;
    VolumeBitmapHeader header;
    std::memcpy(&header, buffer_, sizeof header);
    if (header.StartingLcn < 0 || header.StartingLcn > startLcn || header.BitmapSize < 0 ||
        header.BitmapSize > std::numeric_limits<int64_t>::max() - header.StartingLcn) {
      return unreadable();
    }
    int64_t walk = std::min<int64_t>(int64_t{kQueryBufferSize - sizeof header} * 8, header.BitmapSize);
    int64_t end = header.StartingLcn + walk;
    if (status == ntstatus::kBufferOverflow && end <= walkedTo) return unreadable();
    int64_t runStart = -1, runLength = 0;
    for (int64_t i = 0; i < walk; ++i) {
      int64_t lcn = header.StartingLcn + i;
      if (lcn < walkedTo) continue;  // a round that starts early repeats nothing
      bool used = bits[i / 8] & (1u << (i % 8));
      if (!used) {
        if (runStart < 0) {
          runStart = lcn;
          runLength = 1;
        } else {
          ++runLength;
        }
      } else if (runStart >= 0) {
        close(runStart, runLength);
        runStart = -1;
      }
    }
    if (runStart >= 0) close(runStart, runLength);
    walkedTo = std::max(walkedTo, end);
    if (status != ntstatus::kBufferOverflow) return true;
    startLcn = walkedTo;
  }
}

uint32_t DefragEngine::MoveClusters(VolumeHandle volume, VolumeHandle file, uint32_t count, int64_t vcn,
                                    int64_t lcn) {
  MoveFileData data{};
  data.FileHandle = file;
  data.StartingVcn = vcn;
  data.StartingLcn = lcn;
  data.ClusterCount = count;
  IoStatus io;
  uint32_t status = env_.volumes.FsControl(volume, fsctl::kMoveFile, &data, sizeof data, nullptr, 0, &io);
  if (status == ntstatus::kPending) {
    env_.volumes.Wait(file);
    status = io.status;
  }
  return status;
}

bool DefragEngine::MoveFragment(VolumeHandle volume, VolumeHandle file, uint64_t length, TFreeExtent& extent,
                                int64_t vcn) {
  uint64_t pieces = (length + kMovePiece - 1) / kMovePiece;
  for (uint64_t i = 0; i < pieces; ++i) {
    bool last = i + 1 == pieces;
    uint32_t n = last ? static_cast<uint32_t>(length - kMovePiece * (pieces - 1)) : kMovePiece;
    if (i > 0 && Stopped()) return false;
    if (!last) env_.clock.SleepMs(kPiecePauseMs);
    uint32_t status = MoveClusters(volume, file, n, vcn, extent.Start);
    // The target is used up either way: a refused move may have left it
    // partly taken, and it is never offered twice.
    extent.Start += n;
    extent.Length -= n;
    if (status != ntstatus::kSuccess) return false;
    if (onPiece) onPiece(n);
    vcn += n;
  }
  return true;
}

bool DefragEngine::DefragFile(const Text& path, std::vector<TFreeExtent>& freeList) {
  if (path.empty()) return false;
  Text volumePath = u"\\\\.\\a:";
  volumePath[4] = path[0];
  VolumeHandle volume = env_.volumes.OpenVolume(volumePath);
  if (volume == kNoHandle) {
    if (env_.warn) env_.warn(u"Failed to open volume: " + Text(1, path[0]) + u":");
    return false;
  }
  VolumeHandle file = env_.volumes.OpenFile(path);
  if (file == kNoHandle) {
    env_.volumes.Close(volume);
    if (env_.warn) env_.warn(u"Failed to open file: " + path);
    return false;
  }
  bool done = false;
  std::vector<TFileFragment> fragments;
  int64_t span = 0;
  int count = ReadFileFragments(file, &fragments, &span);
  if (count >= 2) {
    uint64_t total = 0;
    for (const auto& f : fragments) total += f.Length;
    uint64_t needed = total - fragments[0].Length;
    int64_t after = fragments[0].Lcn + int64_t(fragments[0].Length);
    bool moved = false, failed = false;
    auto behind = std::find_if(freeList.begin(), freeList.end(), [&](const TFreeExtent& e) {
      return e.Start == after && e.Length > 0 && uint64_t(e.Length) > needed;
    });
    if (behind != freeList.end()) {
      for (size_t i = 1; i < fragments.size() && !failed; ++i) {
        failed = !MoveFragment(volume, file, fragments[i].Length, *behind, fragments[i].Vcn);
      }
      moved = true;
    } else {
      auto whole = std::find_if(freeList.begin(), freeList.end(), [&](const TFreeExtent& e) {
        return e.Length > 0 && uint64_t(e.Length) >= total;
      });
      if (whole != freeList.end()) {
        for (size_t i = 0; i < fragments.size() && !failed; ++i) {
          failed = !MoveFragment(volume, file, fragments[i].Length, *whole, fragments[i].Vcn);
        }
        moved = true;
      }
    }
    // Only what the file system now reports counts.
    if (moved && !failed) done = ReadFileFragments(file, nullptr, &span) == 1;
  }
  env_.volumes.Close(file);
  env_.volumes.Close(volume);
  return done;
}

// --- the workers

TThreadDefrag::TThreadDefrag(DefragEnv env, TDefragNotify onNotify, std::shared_ptr<FragmentList> files, NoStart)
    : Files(std::move(files)), env_(std::move(env)), OnNotify(std::move(onNotify)) {}

TThreadDefrag::TThreadDefrag(DefragEnv env, TDefragNotify onNotify, std::shared_ptr<FragmentList> files)
    : TThreadDefrag(std::move(env), std::move(onNotify), std::move(files), NoStart{}) {
  Start();
}

TThreadDefrag::~TThreadDefrag() { Join(); }

void TThreadDefrag::Start() {
  thread_ = std::thread([this] {
    Execute();
    finished_ = true;
  });
}

void TThreadDefrag::Join() {
  if (thread_.joinable()) thread_.join();
}

void TThreadDefrag::SetInfo(const Text& text, int64_t total, int64_t done) {
  ProgressInfo.Text = text;
  ProgressInfo.Total = total;
  ProgressInfo.Done = done;
}

void TThreadDefrag::Notify() {
  if (terminated_) return;
  TProgressinfo info = ProgressInfo;
  TDefragReport* report = env_.report;
  auto step = [this, info, report] {
    // Checked again on the owner's thread, where Terminate is called.
    if (!terminated_ && OnNotify) OnNotify(info.Text, *report, info.Total, info.Done);
  };
  if (env_.synchronize) env_.synchronize(step);
  else step();
}

void TThreadDefrag::Execute() {
  TDefragReport& report = *env_.report;
  report.StartTime = env_.now();
  report.FragFile = static_cast<int32_t>(Files->size());
  DefragEngine engine(env_, &terminated_);
  engine.onPiece = [this](int64_t done) {
    SetInfo(Text(), 0, done);
    Notify();
  };
  std::vector<TFreeExtent> freeList;
  char16_t letter = 0;
  if (!Files->empty() && !Files->front().FileName.empty()) {
    letter = Files->front().FileName[0];
    Text volumePath = u"\\\\.\\a:";
    volumePath[4] = letter;
    VolumeHandle volume = env_.volumes.OpenVolume(volumePath);
    if (volume != kNoHandle) {
      engine.ReadFreeExtents(volume, freeList);
      env_.volumes.Close(volume);
    }
    std::stable_sort(freeList.begin(), freeList.end(),
                     [](const TFreeExtent& a, const TFreeExtent& b) { return a.Length < b.Length; });
  }
  for (const fragmts& record : *Files) {
    if (terminated_) break;
    SetInfo(record.FileName, record.Clusters, 0);
    Notify();
    // The free list describes the first file's volume only.
    bool sameVolume = !record.FileName.empty() && FoldCase(record.FileName[0]) == FoldCase(letter);
    if (sameVolume && engine.DefragFile(record.FileName, freeList) && !terminated_) ++report.DefragedFile;
    if (StopDefrag.exchange(false)) break;
  }
  if (terminated_) return;
  report.EndTime = env_.now();
  report.ElapsedTime = report.EndTime - report.StartTime;
  SetInfo(Text(), 0, 0);
  Notify();
}

TThreadAnalyze::TThreadAnalyze(DefragEnv env, TDefragNotify onNotify, std::shared_ptr<FragmentList> files,
                               Text folder)
    : TThreadDefrag(std::move(env), std::move(onNotify), std::move(files), NoStart{}), Folder(std::move(folder)) {
  Start();
}

TThreadAnalyze::~TThreadAnalyze() { Join(); }

void TThreadAnalyze::Execute() {
  TDefragReport& report = *env_.report;
  report.Zero();
  SetInfo(u"Analyze", 1, 1);
  Notify();
  DefragEngine engine(env_, &terminated_);
  int total = engine.ScanFolder(Folder, *Files);
  if (terminated_) return;
  report.TotalFile = total;
  SetInfo(u"Analyze", 0, 0);
  Notify();
}

}  // namespace zentura

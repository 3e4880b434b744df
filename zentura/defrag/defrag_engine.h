// The game defragmenter's engine: the folder scan that lists fragmented
// files, the cluster moves that make a file contiguous, and the two workers
// (scan and defrag) that report to their owner through one notification.
//
// Everything the file system answers is treated as input: a reply that is
// inconsistent, truncated or makes no progress ends that file's reading (or
// the bitmap's) as unreadable, so nothing is ever moved on a partial view.
// A file counts as defragmented only when a fresh read after its moves shows
// it in one piece.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/text.h"
#include "platform/volumes.h"

namespace zentura {

using platform::Text;

// One fragmented file found by the scan.
struct fragmts {
  Text FileName;  // folder with a trailing "\", then the relative path
  uint64_t Size = 0;
  int32_t Fragments = 0;  // after merging runs contiguous on disk; 2 or more
  int64_t Clusters = 0;   // cluster span: NextVcn of the last extent
};
using FragmentList = std::vector<fragmts>;

struct TFileFragment {
  int64_t Vcn = 0;
  int64_t Lcn = 0;
  uint64_t Length = 0;
};

struct TFreeExtent {
  int64_t Start = 0;
  int64_t Length = 0;
};

// The arguments of the next notification.
struct TProgressinfo {
  platform::Text Text;
  int64_t Total = 0;
  int64_t Done = 0;
};

// Days since 30 December 1899, local time; the fraction is the time of day.
using TDateTime = double;
TDateTime NowLocal();
// "hh:mm:ss" of the time of day (a duration shows as one).
Text FormatTime(TDateTime time);

struct TDefragReport {
  TDateTime StartTime = 0;
  TDateTime EndTime = 0;
  TDateTime ElapsedTime = 0;
  int32_t TotalFile = 0;
  int32_t FragFile = 0;
  int32_t DefragedFile = 0;
  void Zero() { *this = TDefragReport(); }
};

// The report of the last analysis and defrag run.
extern TDefragReport DefragReport;
// Ends a defrag run after the file under way.
extern std::atomic<bool> StopDefrag;

using TDefragNotify =
    std::function<void(const Text& text, TDefragReport& report, int64_t total, int64_t done)>;

// What the engine needs from its surroundings.
struct DefragEnv {
  platform::Volumes& volumes;
  platform::Clock& clock;
  // Shows a warning box; called on the worker thread.
  std::function<void(const Text& text)> warn;
  // Runs `step` on the owner's thread and waits until it has run.
  std::function<void(const std::function<void()>& step)> synchronize;
  std::function<TDateTime()> now = NowLocal;
  TDefragReport* report = &DefragReport;
};

constexpr uint32_t kQueryBufferSize = 4112;  // 16 bytes of header, 4096 of payload
constexpr uint32_t kMovePiece = 5000;
constexpr uint32_t kPiecePauseMs = 5;

// The routines of both passes. One engine per worker, with its own buffers.
class DefragEngine {
 public:
  // `stop`, when given, ends the work at the next file or move piece.
  explicit DefragEngine(DefragEnv& env, const std::atomic<bool>* stop = nullptr) : env_(env), stop_(stop) {}

  // Lists the fragmented files below `folder` into `list` (depth first);
  // returns the number of files met. Reparse points are not entered.
  int ScanFolder(const Text& folder, FragmentList& list);
  // The file's fragments (into `list` when given) and its cluster span; 0
  // when the file has no clusters or cannot be read at all, -1 for a
  // compressed or sparse file or an answer that cannot be trusted.
  int ReadFileFragments(platform::VolumeHandle file, std::vector<TFileFragment>* list, int64_t* span);
  // The volume's free runs in ascending order, merged across rounds. False
  // (and an empty list) when the bitmap's answer cannot be trusted.
  bool ReadFreeExtents(platform::VolumeHandle volume, std::vector<TFreeExtent>& list);
  // One FSCTL_MOVE_FILE; returns its final status.
  uint32_t MoveClusters(platform::VolumeHandle volume, platform::VolumeHandle file, uint32_t count,
                        int64_t vcn, int64_t lcn);
  // Moves one fragment to the extent's current start in pieces of at most
  // kMovePiece clusters; false when a piece fails or the work is stopped.
  bool MoveFragment(platform::VolumeHandle volume, platform::VolumeHandle file, uint64_t length,
                    TFreeExtent& extent, int64_t vcn);
  // True when the file ends up in one fragment.
  bool DefragFile(const Text& path, std::vector<TFreeExtent>& freeList);

  // Told the clusters of each piece moved.
  std::function<void(int64_t done)> onPiece;

 private:
  bool Stopped() const { return stop_ && stop_->load(); }
  uint32_t Control(platform::VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize,
                   platform::IoStatus* io);

  DefragEnv& env_;
  const std::atomic<bool>* stop_;
  alignas(8) unsigned char buffer_[kQueryBufferSize];
};

// The defrag worker: reads the free space once and defragments each listed
// file. It shares ownership of its list, so the owner may drop its own.
class TThreadDefrag {
 public:
  TThreadDefrag(DefragEnv env, TDefragNotify onNotify, std::shared_ptr<FragmentList> files);
  TThreadDefrag(const TThreadDefrag&) = delete;
  TThreadDefrag& operator=(const TThreadDefrag&) = delete;
  virtual ~TThreadDefrag();

  // Stops at the next file or move piece (never inside a move); nothing
  // further is sent to the owner from then on.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Finished() const { return finished_; }
  void Join();

  std::shared_ptr<FragmentList> Files;
  TProgressinfo ProgressInfo;

 protected:
  struct NoStart {};
  TThreadDefrag(DefragEnv env, TDefragNotify onNotify, std::shared_ptr<FragmentList> files, NoStart);
  void Start();
  virtual void Execute();
  void SetInfo(const Text& text, int64_t total, int64_t done);
  // Runs OnNotify on the owner's thread with ProgressInfo and waits.
  void Notify();

  DefragEnv env_;
  TDefragNotify OnNotify;
  std::atomic<bool> terminated_{false};

 private:
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

// The scan worker.
class TThreadAnalyze : public TThreadDefrag {
 public:
  TThreadAnalyze(DefragEnv env, TDefragNotify onNotify, std::shared_ptr<FragmentList> files, Text folder);
  ~TThreadAnalyze() override;

  Text Folder;

 protected:
  void Execute() override;
};

}  // namespace zentura

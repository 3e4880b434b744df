// The defrag engine and its workers on simulated volumes: what they report,
// what they count and that every file's data survives.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_volume.h"
#include "zentura/defrag/defrag_engine.h"

namespace zentura {
namespace {

using platform::sim::SimClock;
using platform::sim::SimExtent;
using platform::sim::SimVolume;

struct Note {
  Text text;
  int64_t total, done;
  bool operator==(const Note& o) const { return text == o.text && total == o.total && done == o.done; }
};
std::ostream& operator<<(std::ostream& os, const Note& n) {
  return os << "{" << platform::ToUtf8(n.text) << ", " << n.total << ", " << n.done << "}";
}

// Runs both workers on one volume as the page does, with the notifications
// recorded on the worker's thread.
struct DefragRun {
  explicit DefragRun(SimVolume& v) : volume(v) {}
  DefragEnv Env() {
    DefragEnv env{volume, clock, nullptr, nullptr};
    env.warn = [this](const Text& t) { warnings.push_back(t); };
    env.report = &report;
    return env;
  }
  TDefragNotify Recorder() {
    return [this](const Text& text, TDefragReport&, int64_t total, int64_t done) {
      notes.push_back({text, total, done});
      if (onNote) onNote(notes.back());
    };
  }
  std::shared_ptr<FragmentList> Scan(const Text& folder) {
    auto list = std::make_shared<FragmentList>();
    TThreadAnalyze worker(Env(), Recorder(), list, folder);
    worker.Join();
    return list;
  }
  void Defrag(std::shared_ptr<FragmentList> list) {
    TThreadDefrag worker(Env(), Recorder(), list);
    current = &worker;
    worker.Join();
    current = nullptr;
  }
  // The notes of the defrag run: what followed the scan's two.
  std::vector<Note> DefragNotes() const { return {notes.begin() + 2, notes.end()}; }
  std::vector<int64_t> Pieces() const {
    std::vector<int64_t> pieces;
    for (const Note& n : notes) {
      if (n.text.empty() && n.done) pieces.push_back(n.done);
    }
    return pieces;
  }

  SimVolume& volume;
  SimClock clock;
  TDefragReport report;
  std::vector<Note> notes;
  std::vector<Text> warnings;
  std::function<void(const Note&)> onNote;
  TThreadDefrag* current = nullptr;
};

void ExpectIntact(const SimVolume& v) {
  for (const auto& problem : v.Verify()) ADD_FAILURE() << problem;
}

const Text kGame = u"C:\\Games\\X";

TEST(DefragEngine, ScanCountsEveryFileAndListsOnlyFragmentedOnes) {
  SimVolume v(u'C', 4096, 1000);
  v.AddFile(kGame + u"\\whole.pak", 8192, {{10, 2}});
  v.AddFile(kGame + u"\\split-but-contiguous.pak", 12288, {{20, 1}, {21, 1}, {22, 1}});
  v.AddFile(kGame + u"\\compressed.pak", 16384, {{30, 2}, {-1, 2}, {40, 1}});
  v.AddFile(kGame + u"\\sparse.pak", 16384, {{-1, 4}});
  v.AddFile(kGame + u"\\resident.ini", 100, {}, true);
  v.AddFile(kGame + u"\\data\\two.pak", 8192, {{50, 1}, {60, 1}});
  v.AddFile(kGame + u"\\three.pak", 12288, {{70, 1}, {80, 1}, {81, 1}, {90, 1}});
  v.AddFile(u"C:\\Other\\outside.pak", 8192, {{100, 1}, {110, 1}});
  DefragRun run(v);
  auto list = run.Scan(kGame);
  EXPECT_EQ(run.report.TotalFile, 7);
  ASSERT_EQ(list->size(), 2u);
  // Depth first: the subfolder is met before the files beside it.
  EXPECT_EQ((*list)[0].FileName, kGame + u"\\data\\two.pak");
  EXPECT_EQ((*list)[0].Fragments, 2);
  EXPECT_EQ((*list)[0].Clusters, 2);
  EXPECT_EQ((*list)[0].Size, 8192u);
  EXPECT_EQ((*list)[1].FileName, kGame + u"\\three.pak");
  EXPECT_EQ((*list)[1].Fragments, 3);  // 80 and 81 are one run on disk
  EXPECT_EQ(run.notes, (std::vector<Note>{{u"Analyze", 1, 1}, {u"Analyze", 0, 0}}));
  EXPECT_EQ(v.OpenHandles(), 0);
}

TEST(DefragEngine, ScanDoesNotEnterJunctionsOrMountPoints) {
  SimVolume v(u'C', 4096, 1000);
  v.AddFile(kGame + u"\\a.pak", 8192, {{10, 1}, {20, 1}});
  // What lies behind the reparse point (a loop or another volume) is never listed.
  v.AddFile(kGame + u"\\link\\b.pak", 8192, {{30, 1}, {40, 1}});
  v.AddFolder(kGame + u"\\link", true);
  DefragRun run(v);
  auto list = run.Scan(kGame);
  EXPECT_EQ(run.report.TotalFile, 1);
  ASSERT_EQ(list->size(), 1u);
  EXPECT_EQ((*list)[0].FileName, kGame + u"\\a.pak");
}

// One fragmented file on a small volume, defragmented, for each layout.
struct Case {
  const char* name;
  std::vector<SimExtent> used;       // other data on the volume
  std::vector<SimExtent> extents;    // the file
  int64_t totalClusters;
  std::vector<int64_t> pieces;       // the moves' notified sizes
  int counted;                       // DefragedFile
  std::vector<SimExtent> after;      // the file's layout afterwards
  uint64_t sleeps;                   // 5 ms pauses
};

TEST(DefragEngine, PlacementPiecesAndCounts) {
  const std::vector<Case> cases = {
      // Behind the first fragment an extent longer than the rest: only the
      // rest moves, to follow it.
      {"behind the first fragment", {{0, 10}}, {{10, 4}, {20, 3}}, 40, {3}, 1, {{10, 7}}, 0},
      // Exactly as long as the rest is not enough there; the whole file goes
      // to the shortest extent that holds it (25..29, not 32..39).
      {"behind exactly as long", {{0, 10}, {15, 5}, {22, 3}, {30, 2}}, {{10, 3}, {20, 2}}, 40, {3, 2}, 1,
       {{25, 5}}, 0},
      {"5000 in one move", {{0, 1}}, {{1, 5000}, {5002, 1}}, 20000, {5000, 1}, 1, {{5003, 5001}}, 0},
      {"5001 as 5000 and 1", {{0, 1}}, {{1, 5001}, {5003, 1}}, 20000, {5000, 1, 1}, 1, {{5004, 5002}}, 1},
      {"10000 as two pieces", {{0, 1}}, {{1, 10000}, {10002, 1}}, 30000, {5000, 5000, 1}, 1, {{10003, 10001}}, 1},
      // Nothing fits: nothing moves and the file is not counted.
      {"no extent fits", {{0, 10}, {12, 1}, {14, 6}}, {{10, 2}, {13, 1}}, 20, {}, 0, {{10, 2}, {13, 1}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimVolume v(u'C', 4096, c.totalClusters);
    for (const auto& u : c.used) v.MarkUsed(u.lcn, u.count);
    ASSERT_TRUE(v.AddFile(kGame + u"\\f.pak", 1, c.extents));
    DefragRun run(v);
    auto list = run.Scan(kGame);
    ASSERT_EQ(list->size(), 1u);
    run.Defrag(list);
    EXPECT_EQ(run.Pieces(), c.pieces);
    EXPECT_EQ(run.report.FragFile, 1);
    EXPECT_EQ(run.report.DefragedFile, c.counted);
    EXPECT_EQ(run.report.TotalFile, 1);
    EXPECT_EQ(run.clock.SleepCount(), c.sleeps);
    const auto* f = v.FindFile(kGame + u"\\f.pak");
    ASSERT_EQ(f->extents.size(), c.after.size());
    for (size_t i = 0; i < c.after.size(); ++i) {
      EXPECT_EQ(f->extents[i].lcn, c.after[i].lcn);
      EXPECT_EQ(f->extents[i].count, c.after[i].count);
    }
    std::vector<Note> notes = run.DefragNotes();
    ASSERT_GE(notes.size(), 2u);
    EXPECT_EQ(notes.front(), (Note{kGame + u"\\f.pak", (*list)[0].Clusters, 0}));
    EXPECT_EQ(notes.back(), (Note{Text(), 0, 0}));
    EXPECT_EQ(notes.size(), c.pieces.size() + 2);
    EXPECT_TRUE(run.warnings.empty());
    EXPECT_EQ(v.OpenHandles(), 0);
    ExpectIntact(v);
  }
}

TEST(DefragEngine, FileOfManyExtentsIsReadInRoundsAndMoved) {
  SimVolume v(u'C', 4096, 5000);
  std::vector<SimExtent> extents;
  for (int i = 0; i < 600; ++i) extents.push_back({10 + 2 * i, 1});  // every other cluster
  v.AddFile(kGame + u"\\many.pak", 600 * 4096, extents);
  DefragRun run(v);
  auto list = run.Scan(kGame);
  ASSERT_EQ(list->size(), 1u);
  EXPECT_EQ((*list)[0].Fragments, 600);
  EXPECT_EQ((*list)[0].Clusters, 600);
  run.Defrag(list);
  EXPECT_EQ(run.report.DefragedFile, 1);
  EXPECT_EQ(platform::sim::SimVolume::FragmentsOf(*v.FindFile(kGame + u"\\many.pak")), 1);
  ExpectIntact(v);
}

TEST(DefragEngine, RefusedMoveChangedFileAndPendingReplies) {
  // A refused move: that file is not counted and keeps its data; the next
  // file is still defragmented.
  {
    SimVolume v(u'C', 4096, 200);
    v.AddFile(kGame + u"\\a.pak", 1, {{10, 2}, {20, 2}, {30, 2}});
    v.AddFile(kGame + u"\\b.pak", 1, {{40, 1}, {50, 1}});
    v.FailMove(kGame + u"\\a.pak", 2);
    DefragRun run(v);
    auto list = run.Scan(kGame);
    run.Defrag(list);
    EXPECT_EQ(run.report.FragFile, 2);
    EXPECT_EQ(run.report.DefragedFile, 1);
    EXPECT_EQ(platform::sim::SimVolume::FragmentsOf(*v.FindFile(kGame + u"\\b.pak")), 1);
    ExpectIntact(v);
  }
  // The file changed between scan and defrag: the run works on what the
  // file system says then.
  {
    SimVolume v(u'C', 4096, 200);
    v.AddFile(kGame + u"\\a.pak", 1, {{10, 2}, {20, 2}});
    DefragRun run(v);
    auto list = run.Scan(kGame);
    ASSERT_TRUE(v.ReplaceExtents(kGame + u"\\a.pak", {{60, 1}, {70, 3}, {80, 1}}));
    run.Defrag(list);
    EXPECT_EQ(run.report.DefragedFile, 1);
    EXPECT_EQ(run.Pieces(), (std::vector<int64_t>{3, 1}));  // placed behind 60
    ExpectIntact(v);
    // Compressed since the scan: skipped, not counted.
    ASSERT_TRUE(v.ReplaceExtents(kGame + u"\\a.pak", {{90, 2}, {-1, 2}}));
    DefragRun again(v);
    again.Defrag(list);
    EXPECT_EQ(again.report.DefragedFile, 0);
    EXPECT_TRUE(again.Pieces().empty());
  }
  // Every control answers "pending" first.
  {
    SimVolume v(u'C', 4096, 200);
    v.AddFile(kGame + u"\\a.pak", 1, {{10, 2}, {20, 2}});
    v.pendingReplies = true;
    DefragRun run(v);
    auto list = run.Scan(kGame);
    ASSERT_EQ(list->size(), 1u);
    run.Defrag(list);
    EXPECT_EQ(run.report.DefragedFile, 1);
    ExpectIntact(v);
  }
}

TEST(DefragEngine, OpenFailuresWarnAndAreNotCounted) {
  SimVolume v(u'C', 4096, 200);
  v.AddFile(kGame + u"\\a.pak", 1, {{10, 2}, {20, 2}});
  DefragRun run(v);
  auto list = std::make_shared<FragmentList>();
  list->push_back({kGame + u"\\gone.pak", 1, 2, 4});
  list->push_back({kGame + u"\\a.pak", 1, 2, 4});
  run.Defrag(list);
  EXPECT_EQ(run.warnings, (std::vector<Text>{u"Failed to open file: " + kGame + u"\\gone.pak"}));
  EXPECT_EQ(run.report.FragFile, 2);
  EXPECT_EQ(run.report.DefragedFile, 1);

  DefragRun other(v);
  auto elsewhere = std::make_shared<FragmentList>();
  elsewhere->push_back({u"D:\\Games\\y.pak", 1, 2, 4});
  other.Defrag(elsewhere);
  EXPECT_EQ(other.warnings, (std::vector<Text>{u"Failed to open volume: D:"}));
  EXPECT_EQ(other.report.DefragedFile, 0);
}

TEST(DefragEngine, StopDuringAFileEndsAtOnceAndSilently) {
  SimVolume v(u'C', 4096, 40000);
  v.MarkUsed(0, 1);
  v.AddFile(kGame + u"\\a.pak", 1, {{1, 12000}, {12002, 1}});
  v.AddFile(kGame + u"\\b.pak", 1, {{12010, 1}, {12020, 1}});
  DefragRun run(v);
  auto list = run.Scan(kGame);
  ASSERT_EQ(list->size(), 2u);
  // Stop after the first piece of the first file has moved.
  run.onNote = [&](const Note& n) {
    if (n.text.empty() && n.done && run.current) run.current->Terminate();
  };
  run.Defrag(list);
  std::vector<Note> notes = run.DefragNotes();
  ASSERT_EQ(notes.size(), 2u);  // the file's start and its first piece; nothing after
  EXPECT_EQ(notes[1], (Note{Text(), 0, 5000}));
  EXPECT_EQ(v.Moves().size(), 1u);
  EXPECT_EQ(run.report.DefragedFile, 0);
  EXPECT_EQ(v.OpenHandles(), 0);
  ExpectIntact(v);
}

TEST(DefragEngine, StopDefragEndsTheRunAfterTheFileUnderWay) {
  SimVolume v(u'C', 4096, 200);
  v.AddFile(kGame + u"\\a.pak", 1, {{10, 2}, {20, 2}});
  v.AddFile(kGame + u"\\b.pak", 1, {{30, 1}, {40, 1}});
  DefragRun run(v);
  auto list = run.Scan(kGame);
  run.onNote = [](const Note& n) {
    if (!n.text.empty()) StopDefrag = true;
  };
  run.Defrag(list);
  EXPECT_FALSE(StopDefrag);
  EXPECT_EQ(run.report.DefragedFile, 1);
  std::vector<Note> notes = run.DefragNotes();
  EXPECT_EQ(notes.back(), (Note{Text(), 0, 0}));
  EXPECT_EQ(std::count_if(notes.begin(), notes.end(), [](const Note& n) { return !n.text.empty(); }), 1);
}

TEST(DefragEngine, FreeRunAcrossBitmapRoundsIsOneExtent) {
  SimVolume v(u'C', 4096, 70000);
  v.MarkUsed(0, 32760);
  v.MarkUsed(32780, 70000 - 32780 - 5);
  SimClock clock;
  DefragEnv env{v, clock, nullptr, nullptr};
  DefragEngine engine(env);
  platform::VolumeHandle h = v.OpenVolume(u"\\\\.\\C:");
  std::vector<TFreeExtent> list;
  ASSERT_TRUE(engine.ReadFreeExtents(h, list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Start, 32760);
  EXPECT_EQ(list[0].Length, 20);
  EXPECT_EQ(list[1].Start, 69995);
  EXPECT_EQ(list[1].Length, 5);
  v.Close(h);
}

// A file system whose answers are written by the test.
class ScriptedVolumes : public platform::Volumes {
 public:
  struct Reply {
    uint32_t status;
    std::vector<unsigned char> bytes;
  };
  std::vector<Reply> replies;
  size_t calls = 0;

  platform::VolumeHandle OpenVolume(const Text&) override { return 8; }
  platform::VolumeHandle OpenFile(const Text&) override { return 12; }
  uint32_t FsControl(platform::VolumeHandle, uint32_t, const void*, uint32_t, void* out, uint32_t outSize,
                     platform::IoStatus* io) override {
    // Answers past the script repeat the last one: an endless loop would show.
    if (calls > 1000) return platform::ntstatus::kInvalidParameter;
    const Reply& r = replies[std::min(calls++, replies.size() - 1)];
    std::memcpy(out, r.bytes.data(), std::min<size_t>(r.bytes.size(), outSize));
    io->status = r.status;
    return r.status;
  }
  void Wait(platform::VolumeHandle) override {}
  void Close(platform::VolumeHandle) override {}
  std::vector<platform::FindEntry> Find(const Text&) override { return {}; }
};

template <class T>
void Put(std::vector<unsigned char>& bytes, const T& value) {
  const auto* p = reinterpret_cast<const unsigned char*>(&value);
  bytes.insert(bytes.end(), p, p + sizeof value);
}
ScriptedVolumes::Reply Pointers(uint32_t status, uint32_t count, int64_t startVcn,
                                std::vector<std::pair<int64_t, int64_t>> extents) {
  ScriptedVolumes::Reply r{status, {}};
  Put(r.bytes, platform::RetrievalPointersHeader{count, 0, startVcn});
  for (auto [next, lcn] : extents) Put(r.bytes, platform::RetrievalExtent{next, lcn});
  return r;
}
ScriptedVolumes::Reply Bitmap(uint32_t status, int64_t start, int64_t size, unsigned char fill) {
  ScriptedVolumes::Reply r{status, {}};
  Put(r.bytes, platform::VolumeBitmapHeader{start, size});
  r.bytes.resize(r.bytes.size() + 4096, fill);
  return r;
}

TEST(DefragEngine, UntrustworthyAnswersMakeAFileOrTheBitmapUnreadable) {
  using namespace platform::ntstatus;
  struct PointerCase {
    const char* name;
    std::vector<ScriptedVolumes::Reply> replies;
    int expected;
  };
  const int64_t k4G = int64_t{1} << 32;
  const std::vector<PointerCase> pointerCases = {
      {"two fragments", {Pointers(kSuccess, 2, 0, {{2, 10}, {4, 20}})}, 2},
      {"a round ending in overflow then the rest", {Pointers(kBufferOverflow, 1, 0, {{2, 10}}),
                                                    Pointers(kSuccess, 1, 2, {{4, 12}})}, 1},
      {"first call fails", {Pointers(kEndOfFile, 0, 0, {})}, 0},
      {"the made-up single extent", {Pointers(kSuccess, 1, 1, {{0, 0}})}, -1},
      {"NextVcn not above the VCN", {Pointers(kSuccess, 2, 0, {{2, 10}, {2, 20}})}, -1},
      {"more extents than the buffer holds", {Pointers(kSuccess, 300, 0, {{2, 10}})}, -1},
      {"overflow without progress", {Pointers(kBufferOverflow, 0, 0, {})}, -1},
      {"a later round answers from elsewhere", {Pointers(kBufferOverflow, 1, 0, {{2, 10}}),
                                                Pointers(kSuccess, 1, 0, {{2, 10}})}, -1},
      {"a later round fails", {Pointers(kBufferOverflow, 1, 0, {{2, 10}}), Pointers(kAccessDenied, 0, 0, {})}, -1},
      {"a length beyond 32 bits", {Pointers(kSuccess, 1, 0, {{k4G + 1, 10}})}, -1},
      {"an LCN that wraps", {Pointers(kSuccess, 1, 0, {{10, INT64_MAX - 3}})}, -1},
  };
  for (const auto& c : pointerCases) {
    SCOPED_TRACE(c.name);
    ScriptedVolumes volumes;
    volumes.replies = c.replies;
    SimClock clock;
    DefragEnv env{volumes, clock, nullptr, nullptr};
    DefragEngine engine(env);
    std::vector<TFileFragment> list;
    int64_t span = -5;
    EXPECT_EQ(engine.ReadFileFragments(12, &list, &span), c.expected);
    EXPECT_EQ(static_cast<int>(list.size()), std::max(c.expected, 0));
    if (c.expected <= 0) EXPECT_EQ(span, 0);
  }

  struct BitmapCase {
    const char* name;
    std::vector<ScriptedVolumes::Reply> replies;
    bool readable;
    size_t extents;
  };
  const std::vector<BitmapCase> bitmapCases = {
      {"all free in two rounds", {Bitmap(kBufferOverflow, 0, 40000, 0), Bitmap(kSuccess, 32768, 40000 - 32768, 0)},
       true, 1},
      {"overflow without progress", {Bitmap(kBufferOverflow, 0, 0, 0)}, false, 0},
      {"a round that starts over", {Bitmap(kBufferOverflow, 0, 40000, 0xFF), Bitmap(kBufferOverflow, 0, 40000, 0xFF)},
       false, 0},
      {"a size that wraps", {Bitmap(kSuccess, 0, INT64_MAX, 0)}, true, 1},
      {"a size that wraps from a start", {Bitmap(kBufferOverflow, 0, 32768, 0xFF), Bitmap(kSuccess, 32768, INT64_MAX, 0)},
       false, 0},
      {"negative size", {Bitmap(kSuccess, 0, -1, 0)}, false, 0},
  };
  for (const auto& c : bitmapCases) {
    SCOPED_TRACE(c.name);
    ScriptedVolumes volumes;
    volumes.replies = c.replies;
    SimClock clock;
    DefragEnv env{volumes, clock, nullptr, nullptr};
    DefragEngine engine(env);
    std::vector<TFreeExtent> list;
    EXPECT_EQ(engine.ReadFreeExtents(8, list), c.readable);
    EXPECT_EQ(list.size(), c.extents);
    EXPECT_LT(volumes.calls, 10u);
  }
}

TEST(DefragEngine, ReportTimesFormat) {
  EXPECT_EQ(FormatTime(45000.5), u"12:00:00");
  EXPECT_EQ(FormatTime(1.0 / 24 + 2.0 / 1440 + 3.0 / 86400), u"01:02:03");
  TDateTime now = NowLocal();
  EXPECT_GT(now, 40000.0);  // after the year 2009
}

}  // namespace
}  // namespace zentura

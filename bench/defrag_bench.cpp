// The game defragmenter on a simulated volume of 100,000 files in one run:
//  - analysis: the scan worker's time and peak memory, with its time as a
//    ratio of a bare walk of the same folders (listing only, no file read);
//  - defrag: the clusters the run moved, as a ratio of the least any layout
//    must move (all but the largest fragment of each file made whole) and of
//    moving every defragmented file whole.
// DEFRAG_BENCH_FILES sets the number of files (default 100000).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_volume.h"
#include "zentura/defrag/defrag_engine.h"

namespace {

using platform::Text;
using platform::sim::SimExtent;
using platform::sim::SimVolume;
using Clock = std::chrono::steady_clock;

long ReadStatusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + std::string(field).size(), nullptr, 10);
  }
  return -1;
}

// Resets the peak so that the next VmHWM covers only what follows.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

int Walk(SimVolume& volume, const Text& folder) {
  int files = 0;
  for (const auto& e : volume.Find(folder + u"\\*.*")) {
    if (e.attributes & platform::attr::kDirectory) {
      if (e.name != u"." && e.name != u"..") files += Walk(volume, folder + u"\\" + e.name);
    } else {
      ++files;
    }
  }
  return files;
}

}  // namespace

int main() {
  const char* env = std::getenv("DEFRAG_BENCH_FILES");
  const int files = env && *env ? std::atoi(env) : 100000;
  std::mt19937 rng(42);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

  // Files of 1 to 16 clusters, one in ten in 2 to 8 fragments, with free
  // gaps between runs so that the free space is scattered too.
  const int64_t total = int64_t(files) * 20 + 100000;
  SimVolume volume(u'C', 4096, total);
  int64_t lcn = 0;
  for (int i = 0; i < files; ++i) {
    Text path = u"C:\\Games\\Big\\d" + platform::ToText(i / 100 / 10) + u"\\s" + platform::ToText(i / 100) +
                u"\\f" + platform::ToText(i) + u".dat";
    int clusters = pick(1, 16);
    int fragments = pick(1, 10) == 1 ? std::min(clusters, pick(2, 8)) : 1;
    std::vector<SimExtent> extents;
    int left = clusters;
    for (int f = 0; f < fragments; ++f) {
      int n = f + 1 == fragments ? left : std::max(1, left / (fragments - f));
      left -= n;
      extents.push_back({lcn, n});
      lcn += n + (fragments > 1 ? pick(1, 3) : 0);  // a gap breaks the run
    }
    lcn += pick(0, 4);
    volume.AddFile(path, uint64_t(clusters) * 4096, extents);
  }

  platform::sim::SimClock clock;
  zentura::TDefragReport report;
  zentura::DefragEnv defragEnv{volume, clock, nullptr, nullptr};
  defragEnv.report = &report;

  auto w0 = Clock::now();
  int walked = Walk(volume, u"C:\\Games\\Big");
  auto w1 = Clock::now();

  long before = ReadStatusKb("VmRSS:");
  ResetPeak();
  auto list = std::make_shared<zentura::FragmentList>();
  auto a0 = Clock::now();
  { zentura::TThreadAnalyze scan(defragEnv, nullptr, list, u"C:\\Games\\Big"); }
  auto a1 = Clock::now();
  long peak = ReadStatusKb("VmHWM:");

  // Least any layout moves, and moving each file whole.
  int64_t least = 0, whole = 0;
  for (const auto& f : *list) {
    const auto* file = volume.FindFile(f.FileName);
    int64_t largest = 0, sum = 0;
    for (const auto& e : file->extents) {
      sum += e.count;
      largest = std::max(largest, e.count);
    }
    least += sum - largest;
    whole += sum;
  }
  // As the page hands them over: last result first.
  std::reverse(list->begin(), list->end());
  auto d0 = Clock::now();
  { zentura::TThreadDefrag run(defragEnv, nullptr, list); }
  auto d1 = Clock::now();
  int64_t moved = 0;
  for (const auto& m : volume.Moves()) {
    if (m.status == 0) moved += m.count;
  }
  bool intact = volume.Verify().empty();

  std::printf("files %d (walked %d), fragmented %zu, total files %d\n", files, walked, list->size(), report.TotalFile);
  std::printf("analysis: %.3f s, bare walk %.3f s, ratio %.2f\n", Seconds(a0, a1), Seconds(w0, w1),
              Seconds(a0, a1) / std::max(1e-9, Seconds(w0, w1)));
  std::printf("analysis peak memory: %ld kB above the %ld kB resident before it (peak %ld kB)\n", peak - before,
              before, peak);
  std::printf("defrag: %.3f s, %d of %d files defragmented, data %s\n", Seconds(d0, d1), report.DefragedFile,
              report.FragFile, intact ? "intact" : "DAMAGED");
  std::printf("clusters moved %lld; least possible %lld, ratio %.2f; all moved whole %lld, ratio %.2f\n",
              static_cast<long long>(moved), static_cast<long long>(least), double(moved) / std::max<int64_t>(1, least),
              static_cast<long long>(whole), double(moved) / std::max<int64_t>(1, whole));
  return intact ? 0 : 1;
}

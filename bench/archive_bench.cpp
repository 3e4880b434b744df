// Packs and unpacks a generated folder tree with the archive codec and with
// plain zlib on the same files at the same level, in one run, and prints the
// codec's time as a ratio of the plain one.
//
// ARCHIVE_BENCH_MB sets the tree size (default 256), ARCHIVE_BENCH_REPS the
// runs of each side (default 3; the fastest counts).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "brantle/archive/zlib_multiple.h"
#include "platform/host.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kMiB = 1024 * 1024;
constexpr size_t kBuffer = 128 * 1024;

size_t EnvNumber(const char* name, size_t fallback) {
  const char* v = getenv(name);
  return v && *v ? static_cast<size_t>(std::strtoull(v, nullptr, 10)) : fallback;
}

struct Rng {
  uint64_t s;
  uint64_t Next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
};

void WriteBytes(const fs::path& path, const std::string& data) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(data.data(), static_cast<std::streamsize>(data.size()));
}

std::string RandomData(Rng& rng, size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i + 8 <= n; i += 8) {
    uint64_t v = rng.Next();
    std::memcpy(&s[i], &v, 8);
  }
  return s;
}

// Prose-like text from a small vocabulary: compresses about 3 to 1.
std::string TextData(Rng& rng, size_t n) {
  static const char* words[] = {"bookmark", "history", "cookie", "session",   "profile",
                                "password", "search",  "engine", "user_pref", "true",
                                "false",    "http://", "www",    "example",   "0x1F",
                                "window",   "toolbar", "places", "sqlite",    "backup"};
  std::string s;
  s.reserve(n + 32);
  while (s.size() < n) {
    uint64_t r = rng.Next();
    s += words[r % 20];
    s += (r >> 8) % 11 == 0 ? "\r\n" : " ";
    if ((r >> 16) % 7 == 0) s += std::to_string((r >> 24) % 100000);
  }
  s.resize(n);
  return s;
}

// About 45% compressible text in many small and middle files, 30% random
// bytes, 25% in four large files of both kinds.
void GenerateTree(const fs::path& root, size_t totalBytes) {
  Rng rng{0x9E3779B97F4A7C15ull};
  size_t text = totalBytes * 45 / 100, random = totalBytes * 30 / 100;
  size_t large = totalBytes - text - random;
  for (size_t done = 0, i = 0; done < text; ++i) {
    size_t n =
        std::min<size_t>(text - done, 1024 + rng.Next() % (i % 10 == 0 ? 2 * kMiB : 64 * 1024));
    WriteBytes(root / ("profile" + std::to_string(i % 8)) / ("sub" + std::to_string(i % 5)) /
                   ("file" + std::to_string(i) + ".txt"),
               TextData(rng, n));
    done += n;
  }
  for (size_t done = 0, i = 0; done < random; ++i) {
    size_t n = std::min<size_t>(random - done, 4096 + rng.Next() % (1 * kMiB));
    WriteBytes(root / "cache" / ("blob" + std::to_string(i) + ".bin"), RandomData(rng, n));
    done += n;
  }
  for (int i = 0; i < 4; ++i)
    WriteBytes(root / ("large" + std::to_string(i) + (i % 2 ? ".bin" : ".sqlite")),
               i % 2 ? RandomData(rng, large / 4) : TextData(rng, large / 4));
}

struct Setup {
  fs::path dir;
  fs::path tree;
  size_t bytes = 0;
  std::unique_ptr<platform::HostPlatform> host = platform::OpenHostPlatform();

  Setup() {
    // On a memory file system when there is one: the disk's cost of creating
    // and deleting inodes varies run to run by more than the codec costs.
    std::string pattern = fs::is_directory("/dev/shm") ? "/dev/shm/archive_bench.XXXXXX"
                                                       : "/tmp/archive_bench.XXXXXX";
    if (const char* where = std::getenv("ARCHIVE_BENCH_DIR")) pattern = std::string(where) + "/archive_bench.XXXXXX";
    dir = mkdtemp(pattern.data());
    tree = dir / "tree";
    bytes = EnvNumber("ARCHIVE_BENCH_MB", 256) * kMiB;
    GenerateTree(tree, bytes);
    sync();
  }
  ~Setup() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  platform::Text Win(const fs::path& p) { return host->FromHostPath(p.string()); }
};

Setup* setup = nullptr;

struct Timing {
  double wall = 0;
  double cpu = 0;  // user + system: less disturbed by other work on the machine
};
std::map<std::string, Timing> fastest;  // by measurement, the fastest run of each

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A side of a comparison: what to undo before a run, and the run itself.
struct Side {
  std::function<void()> prepare;
  std::function<void()> run;
};

Timing Time(const std::string& name, const Side& side) {
  if (side.prepare) side.prepare();
  sync();  // earlier runs' dirty pages would otherwise be written back on our time
  double cpu = CpuSeconds();
  auto start = std::chrono::steady_clock::now();
  side.run();
  Timing t{std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
           CpuSeconds() - cpu};
  auto it = fastest.find(name);
  if (it == fastest.end()) {
    fastest[name] = t;
  } else {
    it->second.wall = std::min(it->second.wall, t.wall);
    it->second.cpu = std::min(it->second.cpu, t.cpu);
  }
  return t;
}

// Each iteration runs the plain zlib baseline and the codec back to back, in
// alternating order, so that both meet the same machine; the reported time is
// the codec's.
void Compare(benchmark::State& state, const std::string& what, const Side& plain,
             const Side& codec) {
  bool plainFirst = true;
  for (auto _ : state) {
    Timing c;
    if (plainFirst) Time(what + " plain", plain);
    c = Time(what + " codec", codec);
    if (!plainFirst) Time(what + " plain", plain);
    plainFirst = !plainFirst;
    state.SetIterationTime(c.wall);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * setup->bytes));
  state.counters["ratio_wall"] = fastest[what + " codec"].wall / fastest[what + " plain"].wall;
  state.counters["ratio_cpu"] = fastest[what + " codec"].cpu / fastest[what + " plain"].cpu;
}

// The plain baseline: the same files in the same walk, each deflated with the
// same parameters into one output file behind a minimal head.
void RawPack(const fs::path& tree, const fs::path& archive) {
  FILE* out = std::fopen(archive.c_str(), "wb");
  std::vector<unsigned char> in(kBuffer), buf(kBuffer);
  std::vector<fs::path> files;
  for (auto& e : fs::recursive_directory_iterator(tree))
    if (e.is_regular_file()) files.push_back(e.path());
  for (const fs::path& path : files) {
    std::string rel = fs::relative(path, tree).string();
    uint32_t len = static_cast<uint32_t>(rel.size());
    std::fwrite(&len, 4, 1, out);
    std::fwrite(rel.data(), 1, len, out);
    long sizePos = std::ftell(out);
    uint32_t compressed = 0;
    std::fwrite(&compressed, 4, 1, out);
    z_stream zs{};
    deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    FILE* f = std::fopen(path.c_str(), "rb");
    int flush;
    do {
      zs.avail_in = static_cast<uInt>(std::fread(in.data(), 1, in.size(), f));
      zs.next_in = in.data();
      flush = zs.avail_in == 0 ? Z_FINISH : Z_NO_FLUSH;
      do {
        zs.next_out = buf.data();
        zs.avail_out = static_cast<uInt>(buf.size());
        deflate(&zs, flush);
        size_t n = buf.size() - zs.avail_out;
        std::fwrite(buf.data(), 1, n, out);
        compressed += static_cast<uint32_t>(n);
      } while (zs.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&zs);
    std::fclose(f);
    long end = std::ftell(out);
    std::fseek(out, sizePos, SEEK_SET);
    std::fwrite(&compressed, 4, 1, out);
    std::fseek(out, end, SEEK_SET);
  }
  std::fclose(out);
}

void RawUnpack(const fs::path& archive, const fs::path& target) {
  FILE* in = std::fopen(archive.c_str(), "rb");
  std::vector<unsigned char> src(kBuffer), buf(kBuffer);
  uint32_t len;
  while (std::fread(&len, 4, 1, in) == 1) {
    std::string rel(len, '\0');
    std::fread(rel.data(), 1, len, in);
    uint32_t compressed;
    std::fread(&compressed, 4, 1, in);
    fs::path path = target / rel;
    fs::create_directories(path.parent_path());
    FILE* out = std::fopen(path.c_str(), "wb");
    z_stream zs{};
    inflateInit2(&zs, 15);
    int code = Z_OK;
    while (code != Z_STREAM_END) {
      if (zs.avail_in == 0) {
        size_t k = std::min<size_t>(src.size(), compressed);
        zs.avail_in = static_cast<uInt>(std::fread(src.data(), 1, k, in));
        zs.next_in = src.data();
        compressed -= zs.avail_in;
      }
      zs.next_out = buf.data();
      zs.avail_out = static_cast<uInt>(buf.size());
      code = inflate(&zs, Z_NO_FLUSH);
      if (code < 0) break;
      std::fwrite(buf.data(), 1, buf.size() - zs.avail_out, out);
    }
    inflateEnd(&zs);
    std::fclose(out);
  }
  std::fclose(in);
}

void ClearFolder(const fs::path& p) {
  std::error_code ec;
  fs::remove_all(p, ec);
}

void BM_Pack(benchmark::State& state) {
  platform::Text tree = setup->Win(setup->tree), archive = setup->Win(setup->dir / "codec.dat");
  Compare(state, "pack", {nullptr, [&] { RawPack(setup->tree, setup->dir / "raw.z"); }},
          {nullptr, [&] {
             brantle::TZlibMultiple codec(setup->host->Get());
             codec.CompressDirectory(tree, true, archive);
           }});
}

void BM_Extract(benchmark::State& state) {
  fs::path rawTarget = setup->dir / "raw_out", codecTarget = setup->dir / "codec_out";
  platform::Text archive = setup->Win(setup->dir / "codec.dat");
  Compare(state, "extract",
          {[&] { ClearFolder(rawTarget); }, [&] { RawUnpack(setup->dir / "raw.z", rawTarget); }},
          {[&] { ClearFolder(codecTarget); },
           [&] {
             brantle::TZlibMultiple codec(setup->host->Get());
             codec.DecompressFile(archive, setup->Win(codecTarget), true, true);
           }});
}

void Register() {
  int reps = static_cast<int>(EnvNumber("ARCHIVE_BENCH_REPS", 3));
  for (auto [name, fn] : {std::pair{"pack", BM_Pack}, std::pair{"extract", BM_Extract}})
    benchmark::RegisterBenchmark(name, fn)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(reps);
}

void PrintRatio(const std::string& what) {
  if (!fastest.count(what + " codec") || !fastest.count(what + " plain")) return;
  Timing c = fastest[what + " codec"], p = fastest[what + " plain"];
  std::printf(
      "%-8s codec %7.3f s (cpu %7.3f s)   plain zlib %7.3f s (cpu %7.3f s)   "
      "ratio %.3f (cpu %.3f)   target <= 1.10\n",
      what.c_str(), c.wall, c.cpu, p.wall, p.cpu, c.wall / p.wall, c.cpu / p.cpu);
}

// One folder of many small files (a browser cache): the codec's unpack must
// stay linear in the number of files, so the time per file is printed for
// growing counts beside the ratio against plain zlib on the same archive.
void FlatFolder(size_t files) {
  const fs::path tree = setup->dir / ("flat" + std::to_string(files));
  Rng rng{files};
  for (size_t i = 0; i < files; ++i) WriteBytes(tree / "cache" / ("f" + std::to_string(i)), TextData(rng, 600));
  const fs::path raw = setup->dir / "flat.z", rawOut = setup->dir / "flat_raw", codecOut = setup->dir / "flat_codec";
  const platform::Text archive = setup->Win(setup->dir / "flat.dat");
  brantle::TZlibMultiple(setup->host->Get()).CompressDirectory(setup->Win(tree), true, archive);
  RawPack(tree, raw);
  const std::string name = "flat" + std::to_string(files);
  const int reps = static_cast<int>(EnvNumber("ARCHIVE_BENCH_REPS", 3));
  for (int i = 0; i < reps; ++i) {
    Time(name + " plain", {[&] { ClearFolder(rawOut); }, [&] { RawUnpack(raw, rawOut); }});
    Time(name + " codec", {[&] { ClearFolder(codecOut); }, [&] {
                             brantle::TZlibMultiple(setup->host->Get())
                                 .DecompressFile(archive, setup->Win(codecOut), true, true);
                           }});
  }
  const Timing c = fastest[name + " codec"], p = fastest[name + " plain"];
  std::printf("extract, %6zu files in one folder: codec %6.3f s (%5.1f us per file)   plain zlib %6.3f s   ratio %.3f\n",
              files, c.wall, 1e6 * c.wall / static_cast<double>(files), p.wall, c.wall / p.wall);
  ClearFolder(tree);
  ClearFolder(rawOut);
  ClearFolder(codecOut);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Setup s;
  setup = &s;
  std::printf("tree: %zu MiB in %s\n", s.bytes / kMiB, s.tree.c_str());
  Register();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\nfastest of each, codec time / plain zlib time:\n");
  PrintRatio("pack");
  PrintRatio("extract");
  // ARCHIVE_BENCH_FLAT_FILES sets the largest count (default 20,000).
  const size_t flat = EnvNumber("ARCHIVE_BENCH_FLAT_FILES", 20000);
  std::printf("\nlinear in the files of one folder (time per file about constant):\n");
  for (size_t n : {flat / 4, flat / 2, flat}) FlatFolder(n);
  return 0;
}

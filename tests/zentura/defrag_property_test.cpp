// Random volumes defragmented through zentura-defrag: whatever the layout,
// every file keeps its data, no cluster is owned twice, and the count of
// defragmented files is exactly the listed files that end in one piece.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include <unistd.h>

#include "platform/sim/sim_clock.h"
#include "zentura/defrag/cli/defrag_cli.h"
#include "zentura/defrag/cli/volume_json.h"

namespace zentura {
namespace {

namespace fs = std::filesystem;

std::string RandomVolume(std::mt19937& rng) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int total = pick(64, 3000);
  std::vector<int> owner(total, -1);  // -1 free, -2 other data, else file
  std::ostringstream json;
  json << "{\"cluster_size\": 4096, \"total_clusters\": " << total << ", \"used\": [";
  // Other data in a few runs.
  bool first = true;
  for (int runs = pick(0, 6); runs > 0; --runs) {
    int at = pick(0, total - 1), n = pick(1, std::max(1, total / 10));
    n = std::min(n, total - at);
    bool clear = true;
    for (int i = at; i < at + n; ++i) clear = clear && owner[i] == -1;
    if (!clear) continue;
    for (int i = at; i < at + n; ++i) owner[i] = -2;
    json << (first ? "" : ", ") << "[" << at << ", " << n << "]";
    first = false;
  }
  json << "], \"files\": [";
  int files = pick(1, 12);
  std::vector<std::string> fails;
  for (int f = 0; f < files; ++f) {
    std::string path = "C:\\\\Games\\\\G\\\\" + std::string(pick(0, 1) ? "sub\\\\" : "") + "f" + std::to_string(f) + ".dat";
    json << (f ? ", " : "") << "{\"path\": \"" << path << "\", \"size\": " << pick(0, 100000);
    if (pick(0, 9) == 0) {
      json << ", \"resident\": true}";
      continue;
    }
    json << ", \"extents\": [";
    int extents = pick(1, 8);
    bool any = false;
    for (int e = 0; e < extents; ++e) {
      if (pick(0, 15) == 0) {  // compressed or sparse run
        json << (any ? ", " : "") << "[-1, " << pick(1, 4) << "]";
        any = true;
        continue;
      }
      int n = pick(1, 40), at = pick(0, total - 1);
      n = std::min(n, total - at);
      bool clear = true;
      for (int i = at; i < at + n; ++i) clear = clear && owner[i] == -1;
      if (!clear) continue;
      for (int i = at; i < at + n; ++i) owner[i] = f;
      json << (any ? ", " : "") << "[" << at << ", " << n << "]";
      any = true;
    }
    if (!any) {
      json << "[-1, 1]";
    }
    json << "]}";
    if (pick(0, 7) == 0) fails.push_back("{\"path\": \"" + path + "\", \"nth\": " + std::to_string(pick(1, 3)) + "}");
  }
  json << "], \"fail_moves\": [";
  for (size_t i = 0; i < fails.size(); ++i) json << (i ? ", " : "") << fails[i];
  json << "]";
  if (pick(0, 9) == 0) json << ", \"pending\": true";
  json << "}";
  return json.str();
}

TEST(DefragProperty, RandomVolumesKeepTheirDataAndCountHonestly) {
  fs::path dir = fs::temp_directory_path() / ("zentura-defrag-property-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::mt19937 rng(20261210);
  int defragmented = 0;
  for (int round = 0; round < 300; ++round) {
    std::string volume = RandomVolume(rng);
    SCOPED_TRACE(volume);
    fs::path in = dir / "in.json", out = dir / "out.json";
    std::ofstream(in) << volume;
    platform::sim::SimClock clock;
    std::ostringstream stdout_, stderr_;
    int code = cli::RunDefrag({"defrag", "C:\\Games\\G", "--volume", in.string(), "--save-volume", out.string(),
                               "--check"},
                              nullptr, clock, stdout_, stderr_);
    std::string text = stdout_.str();
    ASSERT_NE(code, 2) << stderr_.str();
    ASSERT_NE(text.find("CHECK OK"), std::string::npos) << text;
    // The listed files: "path<TAB>size<TAB>fragments" lines.
    std::set<std::string> listed;
    std::istringstream lines(text);
    int counted = 0;
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("C:\\", 0) == 0) listed.insert(line.substr(0, line.find('\t')));
      if (line.rfind("Defragmented Files Count: ", 0) == 0) counted = std::stoi(line.substr(26));
    }
    std::ifstream saved(out);
    std::stringstream savedText;
    savedText << saved.rdbuf();
    auto after = cli::LoadVolume(savedText.str());
    int whole = 0;
    for (const auto& file : after->Files()) {
      if (listed.count(platform::ToUtf8(file.path)) && platform::sim::SimVolume::FragmentsOf(file) == 1) ++whole;
    }
    EXPECT_EQ(counted, whole);
    EXPECT_EQ(code, counted < static_cast<int>(listed.size()) ? 1 : 0);
    defragmented += counted;
  }
  // The volumes are not all hopeless: the run did real work.
  EXPECT_GT(defragmented, 100);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zentura

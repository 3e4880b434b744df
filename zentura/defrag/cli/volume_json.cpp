#include "zentura/defrag/cli/volume_json.h"

#include <nlohmann/json.hpp>

namespace zentura::cli {

using nlohmann::json;
using platform::sim::SimExtent;
using platform::sim::SimVolume;
using platform::Text;

namespace {

std::vector<SimExtent> ExtentsOf(const json& list, const std::string& what) {
  std::vector<SimExtent> extents;
  if (!list.is_array()) throw VolumeFileError(what + ": extents must be a list of [lcn, count]");
  for (const json& e : list) {
    if (!e.is_array() || e.size() != 2 || !e[0].is_number_integer() || !e[1].is_number_integer()) {
      throw VolumeFileError(what + ": an extent must be [lcn, count]");
    }
    int64_t lcn = e[0].get<int64_t>(), count = e[1].get<int64_t>();
    if (count <= 0 || lcn < -1) throw VolumeFileError(what + ": an extent needs lcn >= -1 and count > 0");
    extents.push_back({lcn, count});
  }
  return extents;
}

}  // namespace

std::unique_ptr<SimVolume> LoadVolume(const std::string& text) {
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::exception& e) {
    throw VolumeFileError(std::string("not valid JSON: ") + e.what());
  }
  try {
    int64_t clusterSize = doc.value("cluster_size", int64_t{4096});
    int64_t total = doc.at("total_clusters").get<int64_t>();
    if (clusterSize <= 0 || clusterSize > (1 << 26)) throw VolumeFileError("cluster_size out of range");
    if (total <= 0 || total > (int64_t{1} << 32)) throw VolumeFileError("total_clusters out of range");
    const json& files = doc.at("files");
    char16_t letter = u'C';
    if (!files.empty()) {
      Text first = platform::FromUtf8(files.at(0).at("path").get<std::string>());
      if (first.size() >= 3 && first[1] == u':' && first[2] == u'\\') letter = first[0];
    }
    auto volume = std::make_unique<SimVolume>(letter, static_cast<uint32_t>(clusterSize), total);
    if (doc.contains("used")) {
      for (const SimExtent& e : ExtentsOf(doc["used"], "used")) {
        if (e.lcn < 0 || e.lcn + e.count > total) throw VolumeFileError("used: run outside the volume");
        volume->MarkUsed(e.lcn, e.count);
      }
    }
    for (const json& f : files) {
      std::string path = f.at("path").get<std::string>();
      Text wide = platform::FromUtf8(path);
      if (wide.size() < 3 || platform::FoldCase(wide[0]) != platform::FoldCase(letter) || wide[1] != u':' ||
          wide[2] != u'\\') {
        throw VolumeFileError(path + ": paths must be absolute and on the volume's drive");
      }
      bool resident = f.value("resident", false);
      std::vector<SimExtent> extents = f.contains("extents") ? ExtentsOf(f["extents"], path) : std::vector<SimExtent>{};
      for (const SimExtent& e : extents) {
        if (e.lcn >= 0 && e.lcn + e.count > total) throw VolumeFileError(path + ": extent outside the volume");
      }
      if (!volume->AddFile(wide, f.value("size", uint64_t{0}), extents, resident)) {
        throw VolumeFileError(path + ": listed twice, or its clusters are already used");
      }
    }
    if (doc.contains("reparse_points")) {
      for (const json& r : doc["reparse_points"]) volume->AddFolder(platform::FromUtf8(r.get<std::string>()), true);
    }
    if (doc.contains("fail_moves")) {
      for (const json& m : doc["fail_moves"]) {
        volume->FailMove(platform::FromUtf8(m.at("path").get<std::string>()), m.at("nth").get<int>());
      }
    }
    volume->pendingReplies = doc.value("pending", false);
    return volume;
  } catch (const json::exception& e) {
    throw VolumeFileError(std::string("unexpected content: ") + e.what());
  }
}

std::string SaveVolume(const SimVolume& volume) {
  // One file a line, so saved states read and compare well.
  json used = json::array();
  for (const SimExtent& e : volume.ForeignRuns()) used.push_back({e.lcn, e.count});
  std::string text = "{\"cluster_size\": " + std::to_string(volume.ClusterSize()) +
                     ", \"total_clusters\": " + std::to_string(volume.TotalClusters()) +
                     ",\n \"used\": " + used.dump() + ",\n \"files\": [";
  bool first = true;
  for (const auto& file : volume.Files()) {
    json f;
    f["path"] = platform::ToUtf8(file.path);
    f["size"] = file.size;
    json extents = json::array();
    for (const SimExtent& e : file.extents) extents.push_back({e.lcn, e.count});
    f["extents"] = extents;
    if (file.resident) f["resident"] = true;
    text += (first ? "\n  " : ",\n  ") + f.dump();
    first = false;
  }
  return text + "\n ]}\n";
}

}  // namespace zentura::cli

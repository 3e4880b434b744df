#include "zentura/defrag/cli/defrag_cli.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "zentura/defrag/defrag_engine.h"
#ifdef ZENTURA_DEFRAG_SIM
#include "zentura/defrag/cli/volume_json.h"
#endif

namespace zentura::cli {

using namespace platform;

namespace {

constexpr const char* kUsage =
    "usage: zentura-defrag analyze|defrag FOLDER [--volume FILE.json] [--save-volume FILE.json]\n"
    "                      [--trace] [--check]\n";

// Passes every call through and prints each move-file call with its result.
class TracingVolumes : public Volumes {
 public:
  TracingVolumes(Volumes& inner, std::ostream& out) : inner_(inner), out_(out) {}
  VolumeHandle OpenVolume(const Text& path) override { return inner_.OpenVolume(path); }
  VolumeHandle OpenFile(const Text& path) override {
    VolumeHandle h = inner_.OpenFile(path);
    if (h != kNoHandle) paths_[h] = path;
    return h;
  }
  uint32_t FsControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, IoStatus* io) override {
    uint32_t status = inner_.FsControl(handle, code, in, inSize, out, outSize, io);
    if (code == fsctl::kMoveFile && in && inSize >= sizeof(MoveFileData)) {
      MoveFileData data;
      std::memcpy(&data, in, sizeof data);
      uint32_t final = status == ntstatus::kPending ? io->status : status;
      char tail[128];
      std::snprintf(tail, sizeof tail, " vcn=%lld lcn=%lld count=%u status=0x%x",
                    static_cast<long long>(data.StartingVcn), static_cast<long long>(data.StartingLcn),
                    data.ClusterCount, final);
      auto it = paths_.find(data.FileHandle);
      out_ << "MOVE " << (it == paths_.end() ? std::string("?") : ToUtf8(it->second)) << tail << "\n";
    }
    return status;
  }
  void Wait(VolumeHandle handle) override { inner_.Wait(handle); }
  void Close(VolumeHandle handle) override {
    paths_.erase(handle);
    inner_.Close(handle);
  }
  std::vector<FindEntry> Find(const Text& pattern) override { return inner_.Find(pattern); }

 private:
  Volumes& inner_;
  std::ostream& out_;
  std::map<VolumeHandle, Text> paths_;
};

}  // namespace

int RunDefrag(const std::vector<std::string>& args, Volumes* systemVolumes, Clock& clock, std::ostream& out,
              std::ostream& err) {
  std::string command, folder, volumeFile, saveFile;
  bool trace = false, check = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "--volume" || a == "--save-volume") && i + 1 < args.size()) {
      (a == "--volume" ? volumeFile : saveFile) = args[++i];
    } else if (a == "--trace") {
      trace = true;
    } else if (a == "--check") {
      check = true;
    } else if (a == "-h" || a == "--help") {
      out << kUsage;
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      err << "zentura-defrag: unknown option " << a << "\n" << kUsage;
      return 2;
    } else if (command.empty()) {
      command = a;
    } else if (folder.empty()) {
      folder = a;
    } else {
      err << "zentura-defrag: unexpected argument " << a << "\n" << kUsage;
      return 2;
    }
  }
  if ((command != "analyze" && command != "defrag") || folder.empty()) {
    err << kUsage;
    return 2;
  }

  Volumes* volumes = systemVolumes;
#ifdef ZENTURA_DEFRAG_SIM
  std::unique_ptr<sim::SimVolume> simVolume;
  if (!volumeFile.empty()) {
    std::ifstream in(volumeFile, std::ios::binary);
    if (!in) {
      err << "zentura-defrag: cannot read " << volumeFile << "\n";
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
      simVolume = LoadVolume(text.str());
    } catch (const VolumeFileError& e) {
      err << "zentura-defrag: " << volumeFile << ": " << e.what() << "\n";
      return 2;
    }
    volumes = simVolume.get();
  }
#else
  if (!volumeFile.empty() || !saveFile.empty() || check) {
    err << "zentura-defrag: simulated volumes are available only in the Linux build\n";
    return 2;
  }
#endif
  if (!volumes) {
    err << "zentura-defrag: no volume to work on here: give a simulated one with --volume FILE.json\n";
    return 2;
  }
  std::unique_ptr<TracingVolumes> tracing;
  if (trace) {
    tracing = std::make_unique<TracingVolumes>(*volumes, out);
    volumes = tracing.get();
  }

  Text root = FromUtf8(folder);
  if (volumes->Find(IncludeTrailingBackslash(root) + u"*.*").empty()) {
    err << "zentura-defrag: cannot list folder " << folder << "\n";
    return 2;
  }
  TDefragReport report;
  DefragEnv env{*volumes, clock, nullptr, nullptr};
  env.warn = [&err](const Text& text) { err << "zentura-defrag: " << ToUtf8(text) << "\n"; };
  env.report = &report;

  auto list = std::make_shared<FragmentList>();
  { TThreadAnalyze scan(env, nullptr, list, root); }
  for (const fragmts& f : *list) {
    out << ToUtf8(f.FileName) << "\t" << f.Size << "\t" << f.Fragments << "\n";
  }
  out << "Total files: " << report.TotalFile << "\n";
  out << "Fragmented files: " << list->size() << "\n";

  int code = 0;
  if (command == "defrag" && !list->empty()) {
    // The defrag run counts the files it was given; the scan's total stays.
    { TThreadDefrag run(env, nullptr, list); }
    out << "Start Defragmentation At: " << ToUtf8(FormatTime(report.StartTime)) << "\n";
    out << "Complete Defragmentation At: " << ToUtf8(FormatTime(report.EndTime)) << "\n";
    out << "Elapsed Time: " << ToUtf8(FormatTime(report.ElapsedTime)) << "\n";
    out << "Total Files: " << report.TotalFile << "\n";
    out << "Fragmented Files Count: " << report.FragFile << "\n";
    out << "Defragmented Files Count: " << report.DefragedFile << "\n";
    if (report.DefragedFile < report.FragFile) code = 1;
  } else if (command == "defrag") {
    out << "Nothing to defragment.\n";
  }

#ifdef ZENTURA_DEFRAG_SIM
  if (simVolume && check) {
    std::vector<std::string> problems = simVolume->Verify();
    for (const auto& p : problems) out << "CHECK FAILED " << p << "\n";
    if (problems.empty()) out << "CHECK OK\n";
    else code = 3;
  }
  if (simVolume && !saveFile.empty()) {
    std::ofstream save(saveFile, std::ios::binary);
    save << SaveVolume(*simVolume);
    if (!save) {
      err << "zentura-defrag: cannot write " << saveFile << "\n";
      return 2;
    }
  }
#endif
  return code;
}

}  // namespace zentura::cli

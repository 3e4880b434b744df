// pack, unpack, list, verify: the archive codec on the command line.
#include <chrono>

#include "brantle/archive/zlib_multiple.h"
#include "brantle/cli/cli_app.h"

namespace brantle::cli {

using platform::Text;
using platform::ToUtf8;

namespace {

// The current file and its bytes on one line of stderr, at most ten times a second.
class ProgressLine {
 public:
  ProgressLine(platform::HostPlatform& host, Console& console) : host_(host), console_(console) {}
  ~ProgressLine() { End(); }

  void Watch(TZlibMultiple& codec) {
    if (!console_.progress) return;
    codec.OnCompressingFile = [this](TZlibMultiple&, const Text& f) { current_ = f; };
    codec.OnDecompressingFile = [this](TZlibMultiple&, const Text& f, bool&) { current_ = f; };
    codec.OnProgress = [this](TZlibMultiple&, int32_t position, int32_t) {
      Show(current_, static_cast<uint32_t>(position));
    };
  }

  void Show(const Text& file, uint32_t bytes) {
    if (!console_.progress) return;
    auto now = std::chrono::steady_clock::now();
    if (now - lastShown_ < std::chrono::milliseconds(100)) return;
    lastShown_ = now;
    std::string line = host_.ToHostPath(file) + "  " + std::to_string(bytes) + " bytes";
    if (line.size() > 78) line = "..." + line.substr(line.size() - 75);
    console_.err << "\r" << line << std::string(line.size() < 78 ? 78 - line.size() : 0, ' ')
                 << std::flush;
    shown_ = true;
  }

  // Clears the line so that what follows starts on a clean one.
  void End() {
    if (shown_) console_.err << "\r" << std::string(78, ' ') << "\r" << std::flush;
    shown_ = false;
  }

 private:
  platform::HostPlatform& host_;
  Console& console_;
  Text current_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point lastShown_{};
};

class ArchiveCommands {
 public:
  explicit ArchiveCommands(CliContext& context)
      : host_(context.host), p_(context.host.Get()), console_(context.console) {}

  int Pack(const std::string& dir, const std::string& archive) {
    Text source = host_.FromHostPath(dir);
    if (!p_.files.DirExists(source)) throw Failure{"folder not found: " + dir};
    TZlibMultiple codec(p_);
    ProgressLine progress(host_, console_);
    progress.Watch(codec);
    size_t skipped = 0, changed = 0;
    codec.OnFileSkip = [&](TZlibMultiple&, const Text& file, const Text& type, const Text& message) {
      progress.End();
      bool stored = type == u"EFileChanged";
      console_.err << (stored ? "changed " : "skipped ") << host_.ToHostPath(file) << ": " << ToUtf8(message) << "\n";
      ++(stored ? changed : skipped);
    };
    Text target = host_.FromHostPath(archive);
    codec.CompressDirectory(source, true, target);
    progress.End();
    if (skipped == 0 && changed == 0) return exitcode::kDone;
    console_.err << "brantle-cli: " << host_.ToHostPath(target) << " written, but " << skipped
                 << (skipped == 1 ? " file or folder was" : " files or folders were") << " left out and "
                 << changed << (changed == 1 ? " file" : " files") << " changed while packed (named above)\n";
    return exitcode::kSkipped;
  }

  int Unpack(const std::string& archive, const std::string& dir) {
    Text source = ExistingArchive(archive);
    Text target = host_.FromHostPath(dir);
    bool created = !p_.files.Exists(target);
    TZlibMultiple codec(p_);
    ProgressLine progress(host_, console_);
    progress.Watch(codec);
    WatchRenames(codec, progress, "restored as");
    try {
      codec.DecompressFile(source, target, true, true);
    } catch (...) {
      progress.End();
      // A folder made only for this extraction goes again with what it holds.
      if (created) RemoveTree(target);
      throw;
    }
    progress.End();
    if (renamed_ == 0) return exitcode::kDone;
    console_.err << "brantle-cli: " << renamed_ << (renamed_ == 1 ? " file was" : " files were")
                 << " restored under another name (named above)\n";
    return exitcode::kSkipped;
  }

  int List(const std::string& archive) {
    TZlibMultiple codec(p_);
    codec.ForEachStoredEntry(ExistingArchive(archive), [&](const TZlibMultiple::StoredEntry& e) {
      console_.out << ToUtf8(e.path) << "\n";
    });
    return exitcode::kDone;
  }

  int Verify(const std::string& archive) {
    Text source = ExistingArchive(archive);
    TZlibMultiple codec(p_);
    size_t count = 0;
    ProgressLine progress(host_, console_);
    WatchRenames(codec, progress, "would be restored as");
    codec.ForceDirectoriesFlag = false;
    codec.OnDecompressingFile = [&](TZlibMultiple& c, const Text&, bool& write) {
      write = false;
      progress.Show(c.CurrentEntry().path, 0);
    };
    codec.OnDecompressedFile = [&](TZlibMultiple& c, const Text&, uint32_t size) {
      const auto& e = c.CurrentEntry();
      if (size != e.FileSize) {
        progress.End();
        throw Failure{"bad entry " + ToUtf8(e.path) + ": holds " + std::to_string(size) +
                      " bytes, its head says " + std::to_string(e.FileSize)};
      }
      ++count;
    };
    try {
      // Nothing is written: the target folder only completes the entry paths.
      codec.DecompressFile(source, u"\\", true, true);
    } catch (...) {
      progress.End();
      throw;
    }
    progress.End();
    console_.out << count << " entries verified\n";
    if (renamed_ == 0) return exitcode::kDone;
    console_.err << "brantle-cli: " << renamed_ << (renamed_ == 1 ? " name is" : " names are")
                 << " not valid on Windows (named above)\n";
    return exitcode::kSkipped;
  }

 private:
  // Names an entry whose stored name Windows would refuse, and its new name.
  void WatchRenames(TZlibMultiple& codec, ProgressLine& progress, const char* how) {
    renamed_ = 0;
    codec.OnFileRenamed = [this, &progress, how](TZlibMultiple&, const Text& stored, const Text& target) {
      progress.End();
      console_.err << "renamed " << ToUtf8(stored) << ": not a valid Windows name, " << how << " "
                   << host_.ToHostPath(target) << "\n";
      ++renamed_;
    };
  }

  Text ExistingArchive(const std::string& archive) {
    Text path = host_.FromHostPath(archive);
    if (!p_.files.FileExists(path)) throw Failure{"archive not found: " + archive};
    return path;
  }

  void RemoveTree(const Text& dir) {
    for (const auto& e : p_.files.Find(platform::IncludeTrailingBackslash(dir) + u"*")) {
      if (e.name == u"." || e.name == u"..") continue;
      Text path = platform::IncludeTrailingBackslash(dir) + e.name;
      if (e.attributes & platform::attr::kDirectory)
        RemoveTree(path);
      else
        p_.files.Remove(path);
    }
    p_.files.RemoveDir(dir);
  }

  platform::HostPlatform& host_;
  platform::Platform& p_;
  Console& console_;
  size_t renamed_ = 0;
};

// Adds a sub-command whose positional arguments are all paths.
CLI::App* PathCommand(CLI::App& app, CliContext& context, const char* name, const char* description,
                      std::vector<std::pair<const char*, const char*>> paths,
                      std::function<int(ArchiveCommands&, const std::vector<std::string>&)> run) {
  CLI::App* sub = app.add_subcommand(name, description);
  auto values = std::make_shared<std::vector<std::string>>(paths.size());
  for (size_t i = 0; i < paths.size(); ++i)
    sub->add_option(paths[i].first, (*values)[i], paths[i].second)->required()->check(NonEmptyPath());
  sub->callback([&context, values, run] {
    context.action = [&context, values, run] {
      ArchiveCommands commands(context);
      return run(commands, *values);
    };
  });
  return sub;
}

}  // namespace

void RegisterArchiveCommands(CLI::App& app, CliContext& context) {
  PathCommand(app, context, "pack", "Packs a folder's tree into an archive",
              {{"DIR", "the folder to pack"}, {"ARCHIVE", "the archive to write (NAME.dat)"}},
              [](ArchiveCommands& c, const auto& v) { return c.Pack(v[0], v[1]); });
  PathCommand(app, context, "unpack", "Extracts an archive into a folder, over files already there",
              {{"ARCHIVE", "the archive to read"}, {"DIR", "the folder to extract into"}},
              [](ArchiveCommands& c, const auto& v) { return c.Unpack(v[0], v[1]); });
  PathCommand(app, context, "list", "Lists an archive's files in archive order",
              {{"ARCHIVE", "the archive to read"}},
              [](ArchiveCommands& c, const auto& v) { return c.List(v[0]); });
  PathCommand(app, context, "verify", "Inflates every entry of an archive and checks its size",
              {{"ARCHIVE", "the archive to check"}},
              [](ArchiveCommands& c, const auto& v) { return c.Verify(v[0]); });
}

}  // namespace brantle::cli

#include "brantle/cli/cli_commands.h"

#include <chrono>
#include <functional>
#include <map>

#include "brantle/archive/zlib_multiple.h"
#include "brantle/browsers/mozilla/mozilla_discovery.h"
#include "brantle/shell/file_helpers.h"

namespace brantle::cli {

using platform::Text;
using platform::ToUtf8;

namespace {

constexpr char kUsage[] =
    "usage: brantle-cli pack DIR ARCHIVE.dat\n"
    "       brantle-cli unpack ARCHIVE.dat DIR\n"
    "       brantle-cli list ARCHIVE.dat\n"
    "       brantle-cli verify ARCHIVE.dat\n"
    "       brantle-cli profiles firefox|flock\n";

// A failure to report on one line and end with a non-zero exit.
struct Failure {
  std::string message;
};

class Command {
 public:
  Command(platform::HostPlatform& host, Console& console)
      : host_(host), p_(host.Get()), console_(console) {}

  int Pack(const std::string& dir, const std::string& archive) {
    Text source = host_.FromHostPath(dir);
    if (!p_.files.DirExists(source)) throw Failure{"folder not found: " + dir};
    TZlibMultiple codec(p_);
    WatchProgress(codec);
    codec.OnFileSkip = [&](TZlibMultiple&, const Text& file, const Text&, const Text& message) {
      EndProgressLine();
      console_.err << "skipped " << host_.ToHostPath(file) << ": " << ToUtf8(message) << "\n";
    };
    codec.CompressDirectory(source, true, host_.FromHostPath(archive));
    EndProgressLine();
    return 0;
  }

  int Unpack(const std::string& archive, const std::string& dir) {
    Text source = ExistingArchive(archive);
    Text target = host_.FromHostPath(dir);
    bool created = !p_.files.Exists(target);
    TZlibMultiple codec(p_);
    WatchProgress(codec);
    try {
      codec.DecompressFile(source, target, true, true);
    } catch (...) {
      EndProgressLine();
      // A folder made only for this extraction goes again with what it holds.
      if (created) RemoveTree(target);
      throw;
    }
    EndProgressLine();
    return 0;
  }

  int List(const std::string& archive) {
    TZlibMultiple codec(p_);
    std::vector<Text> files;
    codec.ListStoredFiles(ExistingArchive(archive), files);
    for (const Text& f : files) console_.out << ToUtf8(f) << "\n";
    return 0;
  }

  int Verify(const std::string& archive) {
    Text source = ExistingArchive(archive);
    TZlibMultiple codec(p_);
    std::vector<TZlibMultiple::StoredEntry> entries = codec.ListStoredEntries(source);
    size_t index = 0;
    codec.ForceDirectoriesFlag = false;
    codec.OnDecompressingFile = [&](TZlibMultiple&, const Text&, bool& write) {
      write = false;
      if (console_.progress && index < entries.size()) ShowProgress(entries[index].path, 0);
    };
    codec.OnDecompressedFile = [&](TZlibMultiple&, const Text&, uint32_t size) {
      const auto& e = entries.at(index++);
      if (size != e.FileSize)
        throw Failure{"bad entry " + ToUtf8(e.path) + ": holds " + std::to_string(size) +
                      " bytes, its head says " + std::to_string(e.FileSize)};
    };
    // Nothing is written: the target folder only completes the entry paths.
    codec.DecompressFile(source, u"\\", true, true);
    EndProgressLine();
    console_.out << entries.size() << " entries verified\n";
    return 0;
  }

  int Profiles(const std::string& browserName) {
    MozillaBrowser browser;
    if (browserName == "firefox")
      browser = MozillaBrowser::kFirefox;
    else if (browserName == "flock")
      browser = MozillaBrowser::kFlock;
    else
      throw Failure{"unknown browser: " + browserName + " (firefox or flock)"};
    FileHelpers helpers(p_);
    MozillaDiscovery d;
    if (!FindProfileRoot(helpers, p_, browser, DiscoveryForm::kSelective, d))
      throw Failure{ToUtf8(NotFoundText(DiscoveryForm::kSelective))};
    std::vector<Text> profiles;
    ListProfiles(helpers, d, profiles);
    console_.out << "Windows version: " << ToUtf8(d.VersionNumber) << "\n";
    console_.out << "Profile root: " << ToUtf8(d.ffpath) << "\n";
    for (const Text& name : profiles) console_.out << ToUtf8(name) << "\n";
    return 0;
  }

 private:
  Text ExistingArchive(const std::string& archive) {
    Text path = host_.FromHostPath(archive);
    if (!p_.files.FileExists(path)) throw Failure{"archive not found: " + archive};
    return path;
  }

  void WatchProgress(TZlibMultiple& codec) {
    if (!console_.progress) return;
    codec.OnCompressingFile = [this](TZlibMultiple&, const Text& f) { current_ = f; };
    codec.OnDecompressingFile = [this](TZlibMultiple&, const Text& f, bool&) { current_ = f; };
    codec.OnProgress = [this](TZlibMultiple&, int32_t position, int32_t) {
      ShowProgress(current_, static_cast<uint32_t>(position));
    };
  }

  void ShowProgress(const Text& file, uint32_t bytes) {
    auto now = std::chrono::steady_clock::now();
    if (now - lastShown_ < std::chrono::milliseconds(100)) return;
    lastShown_ = now;
    std::string line = host_.ToHostPath(file) + "  " + std::to_string(bytes) + " bytes";
    if (line.size() > 78) line = "..." + line.substr(line.size() - 75);
    console_.err << "\r" << line << std::string(line.size() < 78 ? 78 - line.size() : 0, ' ')
                 << std::flush;
    lineShown_ = true;
  }


 public:
  // Clears a progress line so that what follows starts on a clean line.
  void EndProgressLine() {
    if (lineShown_) console_.err << "\r" << std::string(78, ' ') << "\r" << std::flush;
    lineShown_ = false;
  }

 private:
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
  Text current_;
  bool lineShown_ = false;
  std::chrono::steady_clock::time_point lastShown_{};
};

}  // namespace

int Run(platform::HostPlatform& host, const std::vector<std::string>& args, Console& console) {
  using Handler = std::function<int(Command&, const std::vector<std::string>&)>;
  const std::map<std::string, std::pair<size_t, Handler>> commands = {
      {"pack", {2, [](Command& c, const auto& a) { return c.Pack(a[1], a[2]); }}},
      {"unpack", {2, [](Command& c, const auto& a) { return c.Unpack(a[1], a[2]); }}},
      {"list", {1, [](Command& c, const auto& a) { return c.List(a[1]); }}},
      {"verify", {1, [](Command& c, const auto& a) { return c.Verify(a[1]); }}},
      {"profiles", {1, [](Command& c, const auto& a) { return c.Profiles(a[1]); }}},
  };
  auto it = args.empty() ? commands.end() : commands.find(args[0]);
  if (it == commands.end() || args.size() != it->second.first + 1) {
    console.err << kUsage;
    return 2;
  }
  Command command(host, console);
  try {
    return it->second.second(command, args);
  } catch (const Failure& f) {
    command.EndProgressLine();
    console.err << "brantle-cli: " << f.message << "\n";
  } catch (const std::exception& e) {
    command.EndProgressLine();
    console.err << "brantle-cli: " << args[0] << ": " << e.what() << "\n";
  }
  return 1;
}

}  // namespace brantle::cli

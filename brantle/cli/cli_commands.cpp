#include "brantle/cli/cli_commands.h"
#include "brantle/cli/update_command.h"

#include <chrono>
#include <functional>
#include <algorithm>
#include <map>

#include "brantle/archive/zlib_multiple.h"
#include "brantle/browsers/common/operations.h"
#include "brantle/shell/file_helpers.h"

namespace brantle::cli {

using platform::FromUtf8;
using platform::Text;
using platform::ToUtf8;

namespace {

constexpr char kUsage[] =
    "usage: brantle-cli pack DIR ARCHIVE.dat\n"
    "       brantle-cli unpack ARCHIVE.dat DIR\n"
    "       brantle-cli list ARCHIVE.dat\n"
    "       brantle-cli verify ARCHIVE.dat\n"
    "       brantle-cli profiles firefox|flock|chrome|safari|ie\n"
    "       brantle-cli backup firefox|flock|chrome|safari --to DIR [--items CAPTION,...|all]\n"
    "                          [--profile NAME | --custom-profile DIR]\n"
    "       brantle-cli backup firefox|flock|chrome|safari --full --to DIR\n"
    "       brantle-cli restore firefox|flock|chrome|safari --from DIR [--archive NAME.dat]\n"
    "                          [--items CAPTION,...|all] [--profile NAME | --custom-profile DIR]\n"
    "                          [--delete-backup-file]   (firefox only)\n"
    "       brantle-cli restore firefox|flock|chrome|safari --full --from DIR\n"
    "       brantle-cli backup ie [--full] --to DIR [--items CAPTION,...|all]\n"
    "       brantle-cli restore ie [--full] --from DIR [--items CAPTION,...|all]\n"
    "       brantle-cli update --check|--install [--server HOST[:PORT]]\n";

// Options of backup and restore, as given.
struct WizardOptions {
  bool restore = false;
  bool full = false;
  std::string browser, folder, items, profile, customProfile, archive;
  bool hasItems = false, hasProfile = false, hasCustom = false, hasArchive = false;
  bool deleteBackupFile = false;
};

// Reads backup/restore arguments; false when they do not make a valid command.
bool ParseWizardOptions(const std::vector<std::string>& args, WizardOptions& o) {
  if (args.size() < 2) return false;
  o.restore = args[0] == "restore";
  o.browser = args[1];
  bool hasFolder = false;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into, bool& seen) {
      if (seen || i + 1 >= args.size()) return false;
      into = args[++i];
      seen = true;
      return true;
    };
    bool ok = true;
    if (a == "--full" && !o.full)
      o.full = true;
    else if (a == (o.restore ? "--from" : "--to"))
      ok = value(o.folder, hasFolder);
    else if (a == "--items")
      ok = value(o.items, o.hasItems);
    else if (a == "--profile")
      ok = value(o.profile, o.hasProfile);
    else if (a == "--custom-profile")
      ok = value(o.customProfile, o.hasCustom);
    else if (o.restore && a == "--archive")
      ok = value(o.archive, o.hasArchive);
    else if (o.restore && a == "--delete-backup-file" && !o.deleteBackupFile)
      o.deleteBackupFile = true;
    else
      ok = false;
    if (!ok) return false;
  }
  if (!hasFolder || (o.hasProfile && o.hasCustom)) return false;
  bool selectiveOnly =
      o.hasItems || o.hasProfile || o.hasCustom || o.hasArchive || o.deleteBackupFile;
  return !(o.full && selectiveOnly);
}

// A backup or restore that ran to its end without some of its registry keys.
constexpr int kIncompleteExit = 3;

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
    const BrowserDescription& browser = BrowserOf(browserName);
    FileHelpers helpers(p_);
    Discovery d;
    bool found = Discover(helpers, p_, browser.search, DiscoveryForm::kSelective, d);
    if (browser.afterSearch) browser.afterSearch(d, DiscoveryForm::kSelective);
    if (!browser.hasProfiles) {
      // Without a marker the data folder is unknown; its items are skipped.
      console_.out << "Windows version: " << ToUtf8(d.VersionNumber) << "\n";
      console_.out << "Data folder: "
                   << (found ? host_.ToHostPath(platform::ExcludeTrailingBackslash(d.ffpath))
                             : "not found (no " + ToUtf8(d.fileName) + " in any candidate)")
                   << "\n";
      return 0;
    }
    if (!found) throw Failure{ToUtf8(browser.notFoundSelective)};
    std::vector<Text> profiles = ListProfiles(helpers, browser, d);
    console_.out << "Windows version: " << ToUtf8(d.VersionNumber) << "\n";
    console_.out << "Profile root: " << ToUtf8(d.ffpath) << "\n";
    for (const Text& name : profiles) console_.out << ToUtf8(name) << "\n";
    return 0;
  }

  // backup/restore: the wizards' operations, with the choices a user would
  // make in the window given as options.
  int Wizard(const WizardOptions& o) {
    const BrowserDescription& browser = BrowserOf(o.browser);
    FileHelpers helpers(p_);
    HeadlessWizardHost host;
    helpers.ShowMessage = [&host](const Text& text) { host.ShowMessage(text); };
    Text folder = platform::ExcludeTrailingBackslash(host_.FromHostPath(o.folder));
    if (o.full) {
      FullOperation wizard(browser, helpers, p_, host);
      wizard.Activate();
      NextResult result = o.restore ? wizard.Restore(folder) : wizard.Backup(folder);
      ReportUnticked(browser, wizard.Unticked());
      int code = ReportMessages(host, result);
      Text source = browser.fullStaged ? Text(browser.name) : FromUtf8(host_.ToHostPath(wizard.ffpath));
      if (o.restore)
        console_.out << "Restored " << host_.ToHostPath(wizard.ArchiveFile()) << " into " << ToUtf8(source) << "\n";
      else
        console_.out << "Backed up " << ToUtf8(source) << " to " << host_.ToHostPath(wizard.ArchiveFile()) << "\n";
      return code;
    }

    SelectiveOperation wizard(browser, helpers, p_, host);
    SelectiveChoice choice;
    wizard.Activate(choice.profiles);
    choice.backupLocation = folder;
    choice.ticked = Items(wizard.catalogue, o);
    if ((o.hasCustom || o.hasProfile) && !browser.hasProfiles)
      throw Failure{"--profile, --custom-profile: " + o.browser + " has no profiles to choose"};
    if (o.hasArchive && browser.stagingName)
      throw Failure{"--archive: " + o.browser + " always restores " + ToUtf8(browser.stagingName) + ".dat"};
    if (o.hasCustom) {
      choice.customProfile = platform::ExcludeTrailingBackslash(host_.FromHostPath(o.customProfile));
    } else if (o.hasProfile) {
      if (!wizard.rootFound) throw Failure{ToUtf8(browser.notFoundSelective)};
      choice.profileIndex = IndexOf(choice.profiles, FromUtf8(o.profile));
      if (choice.profileIndex < 0)
        throw Failure{"profile not found: " + o.profile + " (profiles: " + Join(choice.profiles) + ")"};
    } else {
      choice.profileIndex = wizard.preselected;  // as the window selects it
    }
    if (o.restore) {
      if (o.deleteBackupFile && !wizard.catalogue.hasDeleteBackupFileBox)
        throw Failure{"--delete-backup-file: the " + o.browser + " restore has no such choice"};
      choice.deleteBackupFile = o.deleteBackupFile;
      choice.backupFiles = ListBackupFiles(p_.files, folder);
      if (o.hasArchive) {
        choice.backupFileIndex = IndexOf(choice.backupFiles, FromUtf8(o.archive));
        if (choice.backupFileIndex < 0)
          throw Failure{"backup file not found in " + o.folder + ": " + o.archive};
      } else if (!choice.backupFiles.empty()) {
        choice.backupFileIndex = 0;
      }
    }

    NextResult result = o.restore ? wizard.Restore(choice) : wizard.Backup(choice);
    ReportUnticked(browser, wizard.unticked);
    int code = ReportMessages(host, result);
    std::string target = browser.hasProfiles ? host_.ToHostPath(wizard.ffpath) : ToUtf8(Text(browser.name));
    if (o.restore)
      console_.out << "Restored " << ToUtf8(wizard.atspaudziam) << " into " << target << "\n";
    else
      console_.out << "Backed up " << target << " to " << host_.ToHostPath(wizard.ArchiveFile()) << "\n";
    return code;
  }

 private:
  static const BrowserDescription& BrowserOf(const std::string& name) {
    if (const BrowserDescription* b = FindBrowser(FromUtf8(name))) return *b;
    std::string names;
    for (const BrowserEntry& e : Browsers())
      if (e.description) names += (names.empty() ? "" : ", ") + ToUtf8(Text(e.description->cliName));
    throw Failure{"unknown browser: " + name + " (" + names + ")"};
  }

  void ReportUnticked(const BrowserDescription& browser, const std::vector<int>& unticked) {
    for (int n : unticked)
      console_.out << "Skipped " << ToUtf8(Text(browser.catalogue->Item(n).caption)) << ": its folder is missing\n";
  }

  static int IndexOf(const std::vector<Text>& list, const Text& name) {
    for (size_t i = 0; i < list.size(); ++i)
      if (platform::SameText(list[i], name)) return static_cast<int>(i);
    return -1;
  }

  static std::string Join(const std::vector<Text>& list) {
    std::string out;
    for (const Text& t : list) out += (out.empty() ? "" : ", ") + ToUtf8(t);
    return out;
  }

  // The ticked check boxes: the captions given (any letter case), or all.
  static std::vector<int> Items(const Catalogue& catalogue, const WizardOptions& o) {
    std::vector<int> ticked;
    if (!o.hasItems || platform::SameText(FromUtf8(o.items), u"all")) return catalogue.Tickable();
    std::vector<Text> captions;
    for (int n : catalogue.Tickable()) captions.push_back(catalogue.Item(n).caption);
    size_t start = 0;
    while (start <= o.items.size()) {
      size_t end = o.items.find(',', start);
      if (end == std::string::npos) end = o.items.size();
      std::string caption = o.items.substr(start, end - start);
      size_t first = caption.find_first_not_of(' ');
      if (first == std::string::npos)
        caption.clear();
      else
        caption = caption.substr(first, caption.find_last_not_of(' ') - first + 1);
      const CatalogueItem* item = catalogue.FindCaption(FromUtf8(caption));
      const std::vector<int> tickable = catalogue.Tickable();
      if (!item || std::find(tickable.begin(), tickable.end(), item->checkBox) == tickable.end())
        throw Failure{"unknown item: \"" + caption + "\" (items: " + Join(captions) + ")"};
      ticked.push_back(item->checkBox);
      start = end + 1;
    }
    return ticked;
  }

  // What the window would have shown: message boxes on stdout; the one
  // that stopped the operation becomes the failure, and the one naming what
  // could not be saved or restored goes to stderr with exit code 3.
  int ReportMessages(const HeadlessWizardHost& host, NextResult result) {
    size_t shown = host.messages.size();
    if (result != NextResult::kFinished && shown > 0) --shown;
    for (size_t i = 0; i < shown; ++i) console_.out << ToUtf8(host.messages[i]) << "\n";
    if (result == NextResult::kStopped)
      throw Failure{host.messages.empty() ? std::string("stopped") : ToUtf8(host.messages.back())};
    if (result == NextResult::kIncomplete) {
      console_.err << "brantle-cli: " << (host.messages.empty() ? std::string() : ToUtf8(host.messages.back())) << "\n";
      return kIncompleteExit;
    }
    return 0;
  }

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
  if (!args.empty() && args[0] == "update") return RunUpdate(host, args, console);
  bool wizard = !args.empty() && (args[0] == "backup" || args[0] == "restore");
  WizardOptions options;
  auto it = args.empty() ? commands.end() : commands.find(args[0]);
  if (wizard ? !ParseWizardOptions(args, options)
             : it == commands.end() || args.size() != it->second.first + 1) {
    console.err << kUsage;
    return 2;
  }
  Command command(host, console);
  try {
    return wizard ? command.Wizard(options) : it->second.second(command, args);
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

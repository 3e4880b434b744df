// profiles, backup and restore of every browser in the browser table: the
// wizards' operations with the choices a user would make in their windows.
#include <algorithm>

#include "brantle/browsers/common/operations.h"
#include "brantle/cli/cli_app.h"
#include "brantle/shell/file_helpers.h"

namespace brantle::cli {

using platform::FromUtf8;
using platform::Text;
using platform::ToUtf8;

namespace {

// Options of backup and restore, as given.
struct WizardOptions {
  bool restore = false;
  bool full = false;
  std::string folder, items, profile, customProfile, archive, folderName;
  bool deleteBackupFile = false;
  bool hasItems = false, hasProfile = false, hasCustom = false, hasArchive = false;
};

class BrowserCommands {
 public:
  BrowserCommands(CliContext& context, const BrowserDescription& browser)
      : host_(context.host), p_(context.host.Get()), console_(context.console), browser_(browser) {}

  int Profiles() {
    FileHelpers helpers(p_);
    Discovery d;
    bool found = Discover(helpers, p_, browser_.search, DiscoveryForm::kSelective, d);
    if (browser_.afterSearch) browser_.afterSearch(d, DiscoveryForm::kSelective);
    if (!browser_.hasProfiles) {
      // Without a marker the data folder is unknown; its items are skipped.
      console_.out << "Windows version: " << ToUtf8(d.VersionNumber) << "\n";
      console_.out << "Data folder: "
                   << (found ? host_.ToHostPath(platform::ExcludeTrailingBackslash(d.ffpath))
                             : "not found (no " + ToUtf8(d.fileName) + " in any candidate)")
                   << "\n";
      return exitcode::kDone;
    }
    if (!found) throw Failure{ToUtf8(browser_.notFoundSelective)};
    std::vector<Text> profiles = ListProfiles(helpers, browser_, d);
    console_.out << "Windows version: " << ToUtf8(d.VersionNumber) << "\n";
    console_.out << "Profile root: " << ToUtf8(d.ffpath) << "\n";
    for (const Text& name : profiles) console_.out << ToUtf8(name) << "\n";
    return exitcode::kDone;
  }

  int Wizard(const WizardOptions& o) {
    FileHelpers helpers(p_);
    HeadlessWizardHost host;
    helpers.ShowMessage = [&host](const Text& text) { host.ShowMessage(text); };
    Text folder = platform::ExcludeTrailingBackslash(host_.FromHostPath(o.folder));
    if (o.full) {
      FullOperation wizard(browser_, helpers, p_, host);
      wizard.Activate();
      const Text typed = FromUtf8(o.folderName);
      NextResult result = o.restore ? wizard.Restore(folder, typed) : wizard.Backup(folder, typed);
      ReportUnticked(wizard.Unticked());
      int code = ReportMessages(host, result);
      Text source = browser_.fullStaged ? Text(browser_.name) : FromUtf8(host_.ToHostPath(wizard.ffpath));
      if (o.restore)
        console_.out << "Restored " << host_.ToHostPath(wizard.ArchiveFile()) << " into " << ToUtf8(source) << "\n";
      else
        console_.out << "Backed up " << ToUtf8(source) << " to " << host_.ToHostPath(wizard.ArchiveFile()) << "\n";
      return code;
    }

    SelectiveOperation wizard(browser_, helpers, p_, host);
    SelectiveChoice choice;
    wizard.Activate(choice.profiles);
    choice.backupLocation = folder;
    choice.ticked = Items(wizard.catalogue, o);
    if (o.hasCustom) {
      choice.customProfile = platform::ExcludeTrailingBackslash(host_.FromHostPath(o.customProfile));
    } else if (o.hasProfile) {
      if (!wizard.rootFound) throw Failure{ToUtf8(browser_.notFoundSelective)};
      choice.profileIndex = IndexOf(choice.profiles, FromUtf8(o.profile));
      if (choice.profileIndex < 0)
        throw Failure{"--profile: profile not found: " + o.profile + " (profiles: " + Join(choice.profiles) + ")"};
    } else {
      choice.profileIndex = wizard.preselected;  // as the window selects it
    }
    if (o.restore) {
      choice.deleteBackupFile = o.deleteBackupFile;
      choice.backupFiles = ListBackupFiles(p_.files, folder);
      if (o.hasArchive) {
        choice.backupFileIndex = IndexOf(choice.backupFiles, FromUtf8(o.archive));
        if (choice.backupFileIndex < 0)
          throw Failure{"--archive: backup file not found in " + o.folder + ": " + o.archive};
      } else if (!choice.backupFiles.empty()) {
        choice.backupFileIndex = 0;
      }
    }

    NextResult result = o.restore ? wizard.Restore(choice) : wizard.Backup(choice);
    ReportUnticked(wizard.unticked);
    int code = ReportMessages(host, result);
    std::string target = browser_.hasProfiles ? host_.ToHostPath(wizard.ffpath) : ToUtf8(Text(browser_.name));
    if (o.restore)
      console_.out << "Restored " << ToUtf8(wizard.atspaudziam) << " into " << target << "\n";
    else
      console_.out << "Backed up " << target << " to " << host_.ToHostPath(wizard.ArchiveFile()) << "\n";
    return code;
  }

 private:
  void ReportUnticked(const std::vector<int>& unticked) {
    for (int n : unticked)
      console_.out << "Skipped " << ToUtf8(Text(browser_.catalogue->Item(n).caption)) << ": its folder is missing\n";
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
    const std::vector<int> tickable = catalogue.Tickable();
    std::vector<Text> captions;
    for (int n : tickable) captions.push_back(catalogue.Item(n).caption);
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
      if (!item || std::find(tickable.begin(), tickable.end(), item->checkBox) == tickable.end())
        throw Failure{"--items: unknown item: \"" + caption + "\" (items: " + Join(captions) + ")"};
      ticked.push_back(item->checkBox);
      start = end + 1;
    }
    return ticked;
  }

  // What the window would have shown: message boxes on stdout, except the
  // closing reports of what could not be done in full, which go to stderr
  // (exit code 3 for what could not be saved or restored, 4 for files the
  // archive left out or renamed); the message that stopped the operation
  // becomes the failure.
  int ReportMessages(const HeadlessWizardHost& host, NextResult result) {
    size_t shown = host.messages.size();
    if (result == NextResult::kStopped && shown > 0) --shown;
    size_t report = 0;
    for (size_t i = 0; i < shown; ++i) {
      if (report < host.reports.size() && host.messages[i] == host.reports[report]) {
        console_.err << "brantle-cli: " << ToUtf8(host.messages[i]) << "\n";
        ++report;
      } else {
        console_.out << ToUtf8(host.messages[i]) << "\n";
      }
    }
    if (result == NextResult::kStopped)
      throw Failure{host.messages.empty() ? std::string("stopped") : ToUtf8(host.messages.back())};
    if (result == NextResult::kIncomplete) return exitcode::kIncomplete;
    if (result == NextResult::kLeftOut) return exitcode::kSkipped;
    return exitcode::kDone;
  }

  platform::HostPlatform& host_;
  platform::Platform& p_;
  Console& console_;
  const BrowserDescription& browser_;
};

// backup BROWSER or restore BROWSER, with the options this browser's wizards have.
void AddWizardCommand(CLI::App& parent, CliContext& context, const BrowserDescription& browser, bool restore) {
  std::string name = ToUtf8(Text(browser.cliName));
  CLI::App* sub = parent.add_subcommand(name, ToUtf8(Text(browser.name)));
  auto o = std::make_shared<WizardOptions>();
  o->restore = restore;
  const char* folderHelp = restore ? "the folder holding the backup files" : "the folder the archives go to";
  sub->add_option(restore ? "--from" : "--to", o->folder, folderHelp)->required()->check(NonEmptyPath());
  CLI::Option* full = sub->add_flag("--full", o->full, "the full form: the whole data folder in one archive");
  std::vector<CLI::Option*> selective;
  selective.push_back(sub->add_option("--items", o->items, "captions of the items to tick, comma-separated, or all"));
  if (browser.hasProfiles) {
    CLI::Option* profile = sub->add_option("--profile", o->profile, "the profile to use, by name");
    CLI::Option* custom = sub->add_option("--custom-profile", o->customProfile, "a profile folder of your own")
                              ->check(NonEmptyPath());
    profile->excludes(custom);
    selective.push_back(profile);
    selective.push_back(custom);
  }
  if (restore && !browser.stagingName)
    selective.push_back(sub->add_option("--archive", o->archive, "the backup file to restore (NAME.dat)")
                            ->check(NonEmptyPath()));
  if (restore && browser.catalogue->hasDeleteBackupFileBox)
    selective.push_back(sub->add_flag("--delete-backup-file", o->deleteBackupFile,
                                      "delete the backup file when finished"));
  for (CLI::Option* option : selective) full->excludes(option);
  if (browser.typedSearch)
    sub->add_option("--folder-name", o->folderName, "with --full: the profile folder's name, where it was renamed")
        ->needs(full);

  const BrowserDescription* b = &browser;
  sub->callback([&context, b, o, sub] {
    o->hasItems = sub->count("--items") > 0;
    o->hasProfile = b->hasProfiles && sub->count("--profile") > 0;
    o->hasCustom = b->hasProfiles && sub->count("--custom-profile") > 0;
    o->hasArchive = o->restore && !b->stagingName && sub->count("--archive") > 0;
    context.action = [&context, b, o] { return BrowserCommands(context, *b).Wizard(*o); };
  });
}

}  // namespace

void RegisterBrowserCommands(CLI::App& app, CliContext& context) {
  CLI::App* profiles = app.add_subcommand("profiles", "Shows the profiles (or the data folder) a browser's wizards find");
  CLI::App* backup = app.add_subcommand("backup", "Backs up a browser's settings as its backup wizard does");
  CLI::App* restore = app.add_subcommand("restore", "Restores a browser's settings as its restore wizard does");
  for (CLI::App* group : {profiles, backup, restore}) group->require_subcommand(1);
  // Every browser of the table with a description gets its three commands.
  for (const BrowserEntry& entry : Browsers()) {
    if (!entry.description) continue;
    const BrowserDescription* browser = entry.description;
    CLI::App* sub = profiles->add_subcommand(ToUtf8(Text(browser->cliName)), ToUtf8(Text(browser->name)));
    sub->callback([&context, browser] {
      context.action = [&context, browser] { return BrowserCommands(context, *browser).Profiles(); };
    });
    AddWizardCommand(*backup, context, *browser, false);
    AddWizardCommand(*restore, context, *browser, true);
  }
  std::string names;
  for (const BrowserEntry& entry : Browsers())
    if (entry.description) names += (names.empty() ? "" : ", ") + ToUtf8(Text(entry.description->cliName));
  for (CLI::App* group : {profiles, backup, restore}) {
    for (CLI::App* sub : group->get_subcommands({})) sub->ignore_case();
    // A name that is none of the browsers lands here and is refused with the list.
    group->add_option("BROWSER")
        ->group("")
        ->description("one of: " + names)
        ->check(CLI::Validator([names](std::string& v) { return "unknown browser: " + v + " (" + names + ")"; },
                               "BROWSER"));
  }
}

}  // namespace brantle::cli

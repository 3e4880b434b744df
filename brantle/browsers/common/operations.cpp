#include "brantle/browsers/common/operations.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "brantle/archive/zlib_multiple.h"

namespace brantle {

using namespace platform;

const char16_t kBackupLocationPlaceholder[] = u"Backup location:";
const char16_t kCustomProfilePlaceholder[] = u"Custom profile location (optional):";

namespace wizard_text {
const char16_t kSelectBackupLocation[] = u"Please Select Backup Location";
const char16_t kBackupLocationNotFound[] = u"Backup Location Not Found";
const char16_t kCustomProfileNotFound[] = u"Custom Profile Location Not Found";
const char16_t kNoProfileSelected[] = u"No Profile Selected. Select a Profile or a Custom Profile.";
const char16_t kNoBackupFile[] = u"No Backup File (*.dat) Found in the Backup Location";

Text BackupFileNotFound(const Text& name) { return u"Backup File \"" + name + u"\" Not Found"; }
}  // namespace wizard_text

namespace {

NextResult Outcome(bool incomplete, bool leftOut) {
  return incomplete ? NextResult::kIncomplete : leftOut ? NextResult::kLeftOut : NextResult::kFinished;
}

// Windows drops trailing dots and spaces from folder names, so a name made
// only of them would stand for the backup folder itself or its parent.
bool UsableFolderName(const Text& name) {
  return std::any_of(name.begin(), name.end(), [](char16_t c) { return c != u'.' && c != u' '; });
}

Text Join(const Text& folder, const Text& name) {
  return folder.empty() ? Text() : IncludeTrailingBackslash(folder) + name;
}

Text ExistingStagingText(const Text& folder) {
  return u"The folder " + folder +
         u" already exists, perhaps left by a backup that did not finish. Move or delete it, "
         u"then press Next again.";
}

Text CannotCreateText(const Text& backups) {
  return u"Cannot create a working folder in " + backups + u".";
}

class SleepingClock : public Clock {
 public:
  void SleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  uint64_t TickMs() override {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
  }
};

}  // namespace

Clock& RealClock() {
  static SleepingClock clock;
  return clock;
}

Text StagingName(const Text& profile) {
  // Names of nine characters or fewer would leave nothing and make the
  // staging folder the backup folder; such a profile keeps its whole name.
  // Longer names keep the usual rule, which restores of older archives need.
  Text shortName = profile.size() > 9 ? profile.substr(9) : Text();
  return UsableFolderName(shortName) ? shortName : profile;
}

Text RestoreStagingName(const Text& archiveName) {
  Text name = RemoveAllNoCase(archiveName, u".dat");
  return UsableFolderName(name) ? name : archiveName + u"_restore";
}

std::vector<Text> ListBackupFiles(FileSystem& files, const Text& folder) {
  std::vector<Text> names;
  for (const FindEntry& e : files.Find(IncludeTrailingBackslash(folder) + u"*.dat")) {
    if (e.attributes & (attr::kDirectory | attr::kHidden | attr::kSystem | attr::kReadOnly))
      continue;
    names.push_back(e.name);
  }
  return names;
}

std::vector<Text> ListProfiles(FileHelpers& helpers, const BrowserDescription& browser,
                               const Discovery& found) {
  std::vector<Text> all, profiles;
  helpers.GetSubDirectories(found.ffpath2.empty() ? found.ffpath : found.ffpath2, all);
  for (const Text& name : all) {
    bool listed = true;
    for (const char16_t* other : browser.notProfiles) listed = listed && !SameText(name, other);
    if (listed) profiles.push_back(name);
  }
  return profiles;
}

int PreselectedProfile(const BrowserDescription& browser, const Discovery& found,
                       const std::vector<Text>& profiles) {
  if (profiles.empty()) return -1;
  if (browser.markerInProfile) {
    // The root holds other folders too ("Crashpad", "Safe Browsing"...), so
    // the first one listed is rarely a profile.
    const Text& folder = found.Base(FolderBase::kDataFolder);
    const Text markerFolder = folder.substr(folder.find_last_of(u'\\') + 1);
    for (size_t i = 0; i < profiles.size(); ++i)
      if (SameText(profiles[i], markerFolder)) return static_cast<int>(i);
  }
  return 0;
}

// ---- Selective operation ----

SelectiveOperation::SelectiveOperation(const BrowserDescription& browser, FileHelpers& helpers,
                                       Platform& p, WizardHost& host, Clock& clock)
    : description(browser),
      catalogue(*browser.catalogue),
      helpers_(helpers),
      p_(p),
      host_(host),
      clock_(clock) {}

bool SelectiveOperation::Activate(std::vector<Text>& profileList) {
  profileList.clear();
  discovery = Discovery();
  rootFound = Discover(helpers_, p_, description.search, DiscoveryForm::kSelective, discovery);
  if (description.afterSearch) description.afterSearch(discovery, DiscoveryForm::kSelective);
  // Without profiles the folders are searched again at Next, and a missing
  // one only unticks its item.
  if (!description.hasProfiles) return rootFound;
  if (!rootFound) {
    host_.ShowMessage(description.notFoundSelective);
    return false;
  }
  profileList = ListProfiles(helpers_, description, discovery);
  preselected = PreselectedProfile(description, discovery, profileList);
  return true;
}

bool SelectiveOperation::Ticked(const std::vector<int>& ticked, int checkBox) const {
  return std::find(ticked.begin(), ticked.end(), checkBox) != ticked.end();
}

bool SelectiveOperation::ResolveTarget(const SelectiveChoice& choice) {
  if (!description.hasProfiles) {
    discovery = Discovery();
    rootFound = Discover(helpers_, p_, description.search, DiscoveryForm::kSelective, discovery);
    if (description.afterSearch) description.afterSearch(discovery, DiscoveryForm::kSelective);
    ffpath = discovery.ffpath;
    profile = u"Default";
    return true;
  }
  bool custom = choice.customProfile != kCustomProfilePlaceholder;
  if (custom && !p_.files.DirExists(IncludeTrailingBackslash(choice.customProfile))) {
    host_.ShowMessage(wizard_text::kCustomProfileNotFound);
    return false;
  }
  if (!custom && (choice.profileIndex < 0 ||
                  static_cast<size_t>(choice.profileIndex) >= choice.profiles.size())) {
    host_.ShowMessage(rootFound ? Text(wizard_text::kNoProfileSelected) : Text(description.notFoundSelective));
    return false;
  }
  if (custom) {
    ffpath = choice.customProfile + u"\\";
    profile = description.customProfileName;
  } else {
    profile = choice.profiles[static_cast<size_t>(choice.profileIndex)];
    const Text& listed = discovery.ffpath2.empty() ? discovery.ffpath : discovery.ffpath2;
    ffpath = IncludeTrailingBackslash(listed) + profile + u"\\";
  }
  if (description.onProfile) description.onProfile(p_.files, discovery, ffpath, profile, custom);
  return true;
}

Text SelectiveOperation::BaseFolder(FolderBase base) const {
  return base == FolderBase::kProfile ? ExcludeTrailingBackslash(ffpath) : discovery.Base(base);
}

std::vector<Text> SelectiveOperation::GuardedFolders(const std::vector<int>& ticked) const {
  std::vector<Text> live;
  if (description.hasProfiles) live.push_back(ffpath);
  for (const CatalogueItem& item : catalogue.items) {
    if (!Ticked(ticked, item.checkBox)) continue;
    if (item.folder && item.folderBase != FolderBase::kProfile)
      live.push_back(Join(BaseFolder(item.folderBase), item.folder));
    for (const StoredFolder& more : item.storedFolders)
      if (!discovery.Base(more.base).empty()) live.push_back(discovery.Base(more.base));
  }
  return live;
}

void SelectiveOperation::StepProgress(int step) {
  if (step == 0) return;
  if (!full_) {
    host_.ProgressAdvance(step);
    return;
  }
  bar_ += step;
  host_.SetBar(std::min(bar_, 100), 100);
}

void SelectiveOperation::StageItems(const std::vector<int>& ticked, const std::vector<int>& order,
                                    bool restore, const Text& stagingFolder) {
  const Text stage = IncludeTrailingBackslash(stagingFolder);
  for (int n : order) {
    const CatalogueItem& item = catalogue.Item(n);
    if (Ticked(ticked, n)) {
      const int step = restore ? item.RestoreStep() : item.progressStep;
      if (catalogue.advanceFirst) StepProgress(step);
      for (const HiveStep& h : item.hives) {
        if (h.pauseMs) clock_.SleepMs(static_cast<uint32_t>(h.pauseMs));
        StepProgress(h.advance);
        if (!h.file) continue;
        long result = restore ? helpers_.RestoreKeyFromFile(h.key, stage + h.file)
                              : helpers_.SaveKeyToFile(h.key, stage + h.file);
        if (result != 0) hiveFailures_.push_back({h.key, result});
      }
      // A file the profile lacks is simply not taken; one that is there but
      // cannot be read or replaced (a running browser holds it) is reported.
      const Text& from = restore ? stage : ffpath;
      const Text& to = restore ? ffpath : stage;
      for (const char16_t* file : item.files) {
        if (p_.files.Copy(from + file, to + file, false)) continue;
        const uint32_t error = p_.files.LastError();
        if (error == platform::err::kFileNotFound || error == platform::err::kPathNotFound) continue;
        findings_.Add((restore ? u"Cannot restore file \"" + to + file : u"Cannot copy file \"" + from + file) +
                      u"\". " + p_.system.ErrorMessage(error));
      }
      if (item.folder) {
        const Text base = BaseFolder(item.folderBase);
        const Text live = Join(base, item.folder);
        const bool liveExists = !live.empty() && p_.files.DirExists(IncludeTrailingBackslash(live));
        if (base.empty() && !item.untickWhenMissing) {
          // Not found: taken relative to the current folder it would be
          // some other program's folder of that name.
          if (!restore || p_.files.DirExists(stage + item.folder + u"\\"))
            missingBases_.push_back(u"\"" + Text(item.caption) + u"\"");
        } else if (item.untickWhenMissing && !liveExists) {
          unticked.push_back(n);
          host_.UntickItem(n);
        } else if (!restore && liveExists) {
          helpers_.CopyDir(live, stagingFolder);
        } else if (restore && p_.files.DirExists(stage + item.folder + u"\\") &&
                   (liveExists || !item.restoreOnlyOverExisting)) {
          // Merged into the profile: nothing there is deleted first.
          helpers_.CopyDir(stage + item.folder, base);
        }
      }
      for (const StoredFolder& more : item.storedFolders) StageStoredFolder(item, more, restore, stage);
      if (!catalogue.advanceFirst) StepProgress(step);
    }
    if (item.pauseAfterMs) clock_.SleepMs(static_cast<uint32_t>(item.pauseAfterMs));
  }
}

void SelectiveOperation::StageStoredFolder(const CatalogueItem& item, const StoredFolder& more, bool restore,
                                           const Text& stage) {
  const Text live = discovery.Base(more.base);
  const Text stored = stage + more.stored;
  const size_t liveSlash = live.find_last_of(u'\\');
  if (!restore) {
    // Unknown or absent: there is nothing to take.
    if (live.empty() || !p_.files.DirExists(IncludeTrailingBackslash(live))) return;
    const Text storedParent = stored.substr(0, stored.find_last_of(u'\\'));
    p_.files.ForceDirectories(storedParent);
    helpers_.CopyDir(live, storedParent);
  } else if (p_.files.DirExists(stored + u"\\")) {
    if (live.empty() || liveSlash == Text::npos) {
      missingBases_.push_back(u"\"" + Text(item.caption) + u"\" (" + more.stored + u")");
      return;
    }
    // Into the folder that holds it, made first: copied onto a missing
    // folder the copy would take that folder's name.
    const Text liveParent = live.substr(0, liveSlash);
    p_.files.ForceDirectories(liveParent);
    helpers_.CopyDir(stored, liveParent);
  }
}

bool SelectiveOperation::ReportHiveFailures(bool restore) {
  if (hiveFailures_.empty()) return false;
  std::map<long, std::vector<Text>> byReason;
  for (const auto& [key, error] : hiveFailures_) byReason[error].push_back(key);
  Text text = restore ? u"These registry keys could not be restored:" : u"These registry keys could not be saved:";
  for (const auto& [error, keys] : byReason) {
    text += u"\n";
    for (const Text& key : keys) text += u"\nHKEY_CURRENT_USER\\" + key;
    text += u"\n" + p_.system.ErrorMessage(static_cast<uint32_t>(error));
  }
  hiveFailures_.clear();
  host_.ShowReport(text);
  return true;
}

bool SelectiveOperation::ReportMissingBases(bool restore) {
  if (missingBases_.empty()) return false;
  Text text = restore ? u"Not restored, as the folder it belongs in was not found:"
                      : u"Not backed up, as the folder that holds it was not found:";
  for (const Text& what : missingBases_) text += u"\n" + what;
  missingBases_.clear();
  host_.ShowReport(text);
  return true;
}

void SelectiveOperation::ForgetReports() {
  unticked.clear();
  hiveFailures_.clear();
  missingBases_.clear();
  findings_.Clear();
}

Text SelectiveOperation::MakeWorkingFolder(const Text& name, const std::vector<int>& ticked, bool backup) {
  Text conflict = WorkingFolderConflict(backups, name, GuardedFolders(ticked));
  if (backup && conflict.empty() && description.refuseExistingStaging && p_.files.Exists(backups + u"\\" + name))
    conflict = ExistingStagingText(backups + u"\\" + name);
  if (!conflict.empty()) {
    host_.ShowMessage(conflict);
    return Text();
  }
  Text made = CreateFreshFolder(p_.files, backups, name);
  if (made.empty()) host_.ShowMessage(CannotCreateText(backups));
  return made;
}

NextResult SelectiveOperation::Backup(const SelectiveChoice& choice) {
  if (choice.backupLocation == kBackupLocationPlaceholder) {
    host_.ShowMessage(wizard_text::kSelectBackupLocation);
    return NextResult::kStopped;
  }
  backups = choice.backupLocation;
  if (!p_.files.DirExists(IncludeTrailingBackslash(backups))) {
    host_.ShowMessage(wizard_text::kBackupLocationNotFound);
    return NextResult::kStopped;
  }
  if (!ResolveTarget(choice)) return NextResult::kStopped;
  ForgetReports();

  const Text name = description.stagingName ? Text(description.stagingName)
                    : description.wholeProfileName ? profile
                                                   : StagingName(profile);
  staging = MakeWorkingFolder(name, choice.ticked, true);
  if (staging.empty()) return NextResult::kStopped;
  datfile = u"\\" + name;
  host_.ProgressShow();
  StepProgress(description.firstStep);
  StageItems(choice.ticked, catalogue.backupOrder, false, staging);
  StepProgress(description.backupEndStep);

  {
    TZlibMultiple codec(p_);
    codec.OnCompressingFile = [this](TZlibMultiple&, const Text&) { host_.Repaint(); };
    findings_.Watch(codec, staging);
    std::unique_ptr<BusyCursorScope> busy;
    if (description.busyCursorInBackup) busy = std::make_unique<BusyCursorScope>(host_);
    host_.SetHeader(Text());
    codec.CompressDirectory(staging, true, ArchiveFile());
  }
  if (description.hasProfiles) host_.EmptyProfileList();
  helpers_.DelTree(staging);
  host_.ProgressSet(100);
  host_.ProgressHide();
  bool incomplete = ReportHiveFailures(false);
  incomplete = ReportMissingBases(false) || incomplete;
  const bool leftOut = findings_.Report(host_, false);
  host_.ShowFinish();
  return Outcome(incomplete, leftOut);
}

NextResult SelectiveOperation::Restore(const SelectiveChoice& choice) {
  if (choice.backupLocation == kBackupLocationPlaceholder) {
    host_.ShowMessage(wizard_text::kSelectBackupLocation);
    return NextResult::kStopped;
  }
  backups = choice.backupLocation;
  if (!ResolveTarget(choice)) return NextResult::kStopped;
  if (description.stagingName) {
    atspaudziam = Text(description.stagingName) + u".dat";
  } else {
    if (choice.backupFileIndex < 0 ||
        static_cast<size_t>(choice.backupFileIndex) >= choice.backupFiles.size()) {
      host_.ShowMessage(wizard_text::kNoBackupFile);
      return NextResult::kStopped;
    }
    atspaudziam = choice.backupFiles[static_cast<size_t>(choice.backupFileIndex)];
  }
  const Text archive = backups + u"\\" + atspaudziam;
  if (!p_.files.FileExists(archive)) {
    host_.ShowMessage(wizard_text::BackupFileNotFound(atspaudziam));
    return NextResult::kStopped;
  }
  ForgetReports();
  atspaudziam2 = description.stagingName ? Text(description.stagingName) : RestoreStagingName(atspaudziam);
  staging = MakeWorkingFolder(atspaudziam2, choice.ticked, false);
  if (staging.empty()) return NextResult::kStopped;
  backuploc = staging + u"\\";
  host_.ProgressShow();
  StepProgress(description.RestoreFirstStep());

  {
    TZlibMultiple codec(p_);
    codec.OnDecompressingFile = [this](TZlibMultiple&, const Text&, bool&) { host_.Repaint(); };
    findings_.Watch(codec, staging);
    BusyCursorScope busy(host_);
    codec.DecompressFile(archive, staging, true, true);
  }
  StepProgress(description.extractStep);
  StageItems(choice.ticked, catalogue.restoreOrder, true, staging);
  StepProgress(description.restoreEndStep);
  helpers_.DelTree(staging);
  // Reached only when everything above went through; the archive goes to
  // the recycle bin where its drive has one, so it can be brought back.
  if (choice.deleteBackupFile) helpers_.DelTree(archive);

  if (description.hasProfiles) host_.EmptyProfileList();
  host_.ProgressSet(100);
  host_.ProgressHide();
  bool incomplete = ReportHiveFailures(true);
  incomplete = ReportMissingBases(true) || incomplete;
  const bool leftOut = findings_.Report(host_, true);
  host_.ShowFinish();
  return Outcome(incomplete, leftOut);
}

// ---- Full operation ----

FullOperation::FullOperation(const BrowserDescription& browser, FileHelpers& helpers, Platform& p,
                             WizardHost& host, Clock& clock)
    : description(browser),
      fileName(browser.FullArchiveName()),
      helpers_(helpers),
      p_(p),
      host_(host),
      items_(browser, helpers, p, host, clock) {
  items_.full_ = true;
}

bool FullOperation::Activate() {
  discovery = Discovery();
  rootFound = Discover(helpers_, p_, description.search, DiscoveryForm::kFull, discovery);
  if (description.afterSearch) description.afterSearch(discovery, DiscoveryForm::kFull);
  ffpath = discovery.ffpath;
  fullFilePath = discovery.fullFilePath;
  if (!rootFound && !description.fullStaged) {
    host_.ShowMessage(description.notFoundFull);
    if (description.typedSearch) host_.AskFolderName();
  }
  return rootFound;
}

void FullOperation::WatchCodec(TZlibMultiple& codec) {
  items_.findings_.Watch(codec);
  codec.OnProgress = [this](TZlibMultiple&, int32_t position, int32_t total) {
    host_.SetBar(position, total);
    host_.Repaint();
  };
  codec.OnCompressingFile = [this](TZlibMultiple&, const Text& file) {
    host_.SetFileLabel(file);
    host_.Repaint();
  };
  codec.OnDecompressingFile = [this](TZlibMultiple&, const Text& file, bool&) {
    host_.SetFileLabel(file);
    host_.Repaint();
  };
}

NextResult FullOperation::Backup(const Text& backupLocation, const Text& folderName) {
  if (backupLocation == kBackupLocationPlaceholder) {
    host_.ShowMessage(wizard_text::kSelectBackupLocation);
    return NextResult::kStopped;
  }
  backups = backupLocation;
  if (description.fullStaged) return StagedBackup();
  // Without a root the codec would pack the process's current folder.
  if (!Locate(folderName)) return NextResult::kStopped;
  if (!p_.files.DirExists(IncludeTrailingBackslash(backups))) {
    host_.ShowMessage(wizard_text::kBackupLocationNotFound);
    return NextResult::kStopped;
  }
  std::vector<Text> live{ffpath};
  for (const ExtraArchive& extra : description.extraArchives)
    if (!discovery.Base(extra.folder).empty()) live.push_back(discovery.Base(extra.folder));
  Text conflict = WorkingFolderConflict(backups, fileName, live);
  if (!conflict.empty()) {
    host_.ShowMessage(conflict);
    return NextResult::kStopped;
  }
  items_.findings_.Clear();
  {
    TZlibMultiple codec(p_);
    BusyCursorScope busy(host_);
    host_.SetFileLabel(Text());
    host_.SetBar(0, 100);
    WatchCodec(codec);
    codec.CompressDirectory(ffpath, true, ArchiveFile());
    // A missing folder gives an empty archive, so that an older one of
    // that name is not restored with this backup; nothing of it is lost.
    for (const ExtraArchive& extra : description.extraArchives) {
      const Text& folder = discovery.Base(extra.folder);
      if (folder.empty()) continue;
      if (p_.files.DirExists(IncludeTrailingBackslash(folder)))
        items_.findings_.Watch(codec);
      else
        codec.OnFileSkip = nullptr;
      codec.CompressDirectory(folder, true, backups + u"\\" + extra.name);
    }
  }
  host_.SetBar(0, 100);
  host_.SetFileLabel(u"Finished");
  const bool leftOut = items_.findings_.Report(host_, false);
  host_.ShowFinish();
  return Outcome(false, leftOut);
}

NextResult FullOperation::Restore(const Text& backupLocation, const Text& folderName) {
  if (backupLocation == kBackupLocationPlaceholder) {
    host_.ShowMessage(wizard_text::kSelectBackupLocation);
    return NextResult::kStopped;
  }
  backups = backupLocation;
  if (!p_.files.FileExists(ArchiveFile())) {
    host_.ShowMessage(wizard_text::BackupFileNotFound(fileName));
    return NextResult::kStopped;
  }
  if (description.fullStaged) return StagedRestore();
  // Without a root the archive would land in the process's current folder.
  if (!Locate(folderName)) return NextResult::kStopped;
  std::vector<Text> notRestored;
  items_.findings_.Clear();
  {
    TZlibMultiple codec(p_);
    BusyCursorScope busy(host_);
    host_.SetFileLabel(Text());
    host_.SetBar(0, 100);
    WatchCodec(codec);
    codec.DecompressFile(ArchiveFile(), ffpath, true, true);
    for (const ExtraArchive& extra : description.extraArchives) {
      const Text& folder = discovery.Base(extra.folder);
      const Text archive = backups + u"\\" + extra.name;
      if (!p_.files.FileExists(archive)) continue;
      if (folder.empty())
        notRestored.push_back(u"\"" + Text(extra.name) + u"\"");
      else
        codec.DecompressFile(archive, folder, true, true);
    }
  }
  host_.SetBar(0, 100);
  host_.SetFileLabel(u"Finished");
  if (!notRestored.empty()) {
    Text text = u"Not restored, as the folder it belongs in was not found:";
    for (const Text& name : notRestored) text += u"\n" + name;
    host_.ShowReport(text);
  }
  const bool leftOut = items_.findings_.Report(host_, true);
  host_.ShowFinish();
  return Outcome(!notRestored.empty(), leftOut);
}

bool FullOperation::Locate(const Text& folderName) {
  if (folderName.empty() || !description.typedSearch) {
    if (rootFound) return true;
    host_.ShowMessage(description.notFoundFull);
    if (description.typedSearch) host_.AskFolderName();
    return false;
  }
  Discovery typed;
  typed.customdir = folderName;
  if (!Discover(helpers_, p_, description.typedSearch(folderName), DiscoveryForm::kFull, typed)) {
    host_.ShowMessage(description.notFoundTyped ? description.notFoundTyped : description.notFoundFull);
    host_.AskFolderName();
    return false;
  }
  if (description.afterSearch) description.afterSearch(typed, DiscoveryForm::kFull);
  discovery = typed;
  rootFound = true;
  ffpath = discovery.ffpath;
  fullFilePath = discovery.fullFilePath;
  return true;
}

bool FullOperation::BeginStaged(bool backup) {
  SelectiveOperation& run = items_;
  run.backups = backups;
  run.ResolveTarget(SelectiveChoice());
  discovery = run.discovery;
  ffpath = run.ffpath;
  run.ForgetReports();
  if (backup && !p_.files.DirExists(IncludeTrailingBackslash(backups))) {
    host_.ShowMessage(wizard_text::kBackupLocationNotFound);
    return false;
  }
  staging = run.MakeWorkingFolder(description.FullStagingName(), run.catalogue.Tickable(), backup);
  if (staging.empty()) return false;
  run.bar_ = 0;
  host_.SetBar(0, 100);
  run.StepProgress(description.firstStep);
  return true;
}

NextResult FullOperation::StagedBackup() {
  if (!BeginStaged(true)) return NextResult::kStopped;
  SelectiveOperation& run = items_;
  const std::vector<int> all = run.catalogue.Tickable();
  run.StageItems(all, run.catalogue.backupOrder, false, staging);
  run.StepProgress(description.backupEndStep);
  {
    TZlibMultiple codec(p_);
    BusyCursorScope busy(host_);
    host_.SetHeader(Text());
    codec.OnCompressingFile = [this](TZlibMultiple&, const Text&) { host_.Repaint(); };
    run.findings_.Watch(codec, staging);
    codec.CompressDirectory(staging, true, ArchiveFile());
  }
  helpers_.DelTree(staging);
  // The full wizards' bar ends empty.
  host_.SetBar(0, 100);
  bool incomplete = run.ReportHiveFailures(false);
  const bool leftOut = run.findings_.Report(host_, false);
  host_.ShowFinish();
  return Outcome(incomplete, leftOut);
}

NextResult FullOperation::StagedRestore() {
  if (!BeginStaged(false)) return NextResult::kStopped;
  SelectiveOperation& run = items_;
  const std::vector<int> all = run.catalogue.Tickable();
  {
    TZlibMultiple codec(p_);
    BusyCursorScope busy(host_);
    codec.OnDecompressingFile = [this](TZlibMultiple&, const Text&, bool&) { host_.Repaint(); };
    run.findings_.Watch(codec, staging);
    codec.DecompressFile(ArchiveFile(), staging, true, true);
  }
  run.StageItems(all, run.catalogue.restoreOrder, true, staging);
  helpers_.DelTree(staging);
  host_.SetBar(0, 100);
  bool incomplete = run.ReportHiveFailures(true);
  const bool leftOut = run.findings_.Report(host_, true);
  host_.ShowFinish();
  return Outcome(incomplete, leftOut);
}

}  // namespace brantle

#include "brantle/browsers/mozilla/mozilla_backup.h"

#include <algorithm>

#include "brantle/archive/zlib_multiple.h"

namespace brantle {

using namespace platform;

const char16_t kBackupLocationPlaceholder[] = u"Backup location:";

namespace mozilla_text {
const char16_t kSelectBackupLocation[] = u"Please Select Backup Location";
const char16_t kBackupLocationNotFound[] = u"Backup Location Not Found";
const char16_t kCustomProfileNotFound[] = u"Custom Profile Location Not Found";
const char16_t kNoProfileSelected[] = u"No Profile Selected. Select a Profile or a Custom Profile.";
const char16_t kNoBackupFile[] = u"No Backup File (*.dat) Found in the Backup Location";

Text BackupFileNotFound(const Text& name) { return u"Backup File \"" + name + u"\" Not Found"; }
}  // namespace mozilla_text

namespace {

// Windows drops trailing dots and spaces from folder names, so a name made
// only of them would stand for the backup folder itself or its parent.
bool UsableFolderName(const Text& name) {
  return std::any_of(name.begin(), name.end(), [](char16_t c) { return c != u'.' && c != u' '; });
}

}  // namespace

Text StagingName(const Text& profile) {
  // Names of nine characters or fewer would leave nothing and make the
  // staging folder the backup folder; such a profile keeps its whole name.
  // Longer names keep the usual rule, which restores of older archives need.
  Text shortName = ProfileShortName(profile);
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

// ---- Selective wizards ----

MozillaSelectiveWizard::MozillaSelectiveWizard(MozillaBrowser browser, FileHelpers& helpers,
                                               Platform& p, WizardHost& host)
    : browser(browser), catalogue(CatalogueOf(browser)), helpers_(helpers), p_(p), host_(host) {}

bool MozillaSelectiveWizard::Activate(std::vector<Text>& profileList) {
  profileList.clear();
  discovery = MozillaDiscovery();
  rootFound = FindProfileRoot(helpers_, p_, browser, DiscoveryForm::kSelective, discovery);
  if (!rootFound) {
    host_.ShowMessage(NotFoundText(DiscoveryForm::kSelective));
    return false;
  }
  ListProfiles(helpers_, discovery, profileList);
  return true;
}

bool MozillaSelectiveWizard::Ticked(const SelectiveChoice& choice, int checkBox) const {
  return std::find(choice.ticked.begin(), choice.ticked.end(), checkBox) != choice.ticked.end();
}

bool MozillaSelectiveWizard::ResolveTarget(const SelectiveChoice& choice) {
  bool custom = choice.customProfile != kCustomProfilePlaceholder;
  if (custom && !p_.files.DirExists(IncludeTrailingBackslash(choice.customProfile))) {
    host_.ShowMessage(mozilla_text::kCustomProfileNotFound);
    return false;
  }
  if (!custom && (choice.profileIndex < 0 ||
                  static_cast<size_t>(choice.profileIndex) >= choice.profiles.size())) {
    host_.ShowMessage(rootFound ? Text(mozilla_text::kNoProfileSelected)
                                : NotFoundText(DiscoveryForm::kSelective));
    return false;
  }
  ProfileChoice target =
      ResolveProfile(choice.customProfile, discovery, choice.profiles, choice.profileIndex);
  ffpath = target.folder;
  profile = target.name;
  return true;
}

void MozillaSelectiveWizard::CopyItem(const MozillaItem& item, const Text& fromFolder,
                                      const Text& toFolder) {
  // Copies ignore failures: a file the profile lacks is simply not taken.
  for (const char16_t* file : item.files) p_.files.Copy(fromFolder + file, toFolder + file, false);
  if (item.folder && p_.files.DirExists(fromFolder + item.folder))
    helpers_.CopyDir(fromFolder + item.folder, ExcludeTrailingBackslash(toFolder));
  if (item.progressStep) host_.ProgressAdvance(item.progressStep);
}

NextResult MozillaSelectiveWizard::Backup(const SelectiveChoice& choice) {
  if (choice.backupLocation == kBackupLocationPlaceholder) {
    host_.ShowMessage(mozilla_text::kSelectBackupLocation);
    return NextResult::kStopped;
  }
  backups = choice.backupLocation;
  if (!p_.files.DirExists(IncludeTrailingBackslash(backups))) {
    host_.ShowMessage(mozilla_text::kBackupLocationNotFound);
    return NextResult::kStopped;
  }
  if (!ResolveTarget(choice)) return NextResult::kStopped;
  host_.ProgressShow();
  host_.ProgressAdvance(5);

  datfile = u"\\" + StagingName(profile);
  const Text staging = StagingFolder();
  p_.files.CreateDir(staging);
  for (int n : catalogue.backupOrder)
    if (Ticked(choice, n)) CopyItem(catalogue.Item(n), ffpath, staging + u"\\");
  host_.ProgressAdvance(9);

  {
    TZlibMultiple codec(p_);
    codec.OnCompressingFile = [this](TZlibMultiple&, const Text&) { host_.Repaint(); };
    host_.SetHeader(Text());
    codec.CompressDirectory(staging, true, ArchiveFile());
  }
  host_.EmptyProfileList();
  helpers_.DelTree(staging);
  host_.ProgressSet(100);
  host_.ProgressHide();
  host_.ShowFinish();
  return NextResult::kFinished;
}

NextResult MozillaSelectiveWizard::Restore(const SelectiveChoice& choice) {
  if (choice.backupLocation == kBackupLocationPlaceholder) {
    host_.ShowMessage(mozilla_text::kSelectBackupLocation);
    return NextResult::kStopped;
  }
  backups = choice.backupLocation;
  if (!ResolveTarget(choice)) return NextResult::kStopped;
  if (choice.backupFileIndex < 0 ||
      static_cast<size_t>(choice.backupFileIndex) >= choice.backupFiles.size()) {
    host_.ShowMessage(mozilla_text::kNoBackupFile);
    return NextResult::kStopped;
  }
  atspaudziam = choice.backupFiles[static_cast<size_t>(choice.backupFileIndex)];
  const Text archive = backups + u"\\" + atspaudziam;
  if (!p_.files.FileExists(archive)) {
    host_.ShowMessage(mozilla_text::BackupFileNotFound(atspaudziam));
    return NextResult::kStopped;
  }
  atspaudziam2 = RestoreStagingName(atspaudziam);
  backuploc = backups + u"\\" + atspaudziam2 + u"\\";
  host_.ProgressShow();
  host_.ProgressAdvance(5);

  {
    TZlibMultiple codec(p_);
    codec.OnDecompressingFile = [this](TZlibMultiple&, const Text&, bool&) { host_.Repaint(); };
    BusyCursorScope busy(host_);
    codec.DecompressFile(archive, backups + u"\\" + atspaudziam2, true, true);
  }
  // Merged into the profile: nothing there is deleted first.
  for (int n : catalogue.restoreOrder)
    if (Ticked(choice, n)) CopyItem(catalogue.Item(n), backuploc, ffpath);
  host_.ProgressAdvance(9);
  helpers_.DelTree(backups + u"\\" + atspaudziam2);
  // Reached only when everything above went through; the archive goes to
  // the recycle bin, so even then it can be brought back.
  if (choice.deleteBackupFile) helpers_.DelTree(archive);

  host_.EmptyProfileList();
  host_.ProgressSet(100);
  host_.ProgressHide();
  host_.ShowFinish();
  return NextResult::kFinished;
}

// ---- Full wizards ----

MozillaFullWizard::MozillaFullWizard(MozillaBrowser browser, FileHelpers& helpers, Platform& p,
                                     WizardHost& host)
    : browser(browser),
      fileName(browser == MozillaBrowser::kFlock ? u"fbackup_flock.dat" : u"fbackup_firefox.dat"),
      helpers_(helpers),
      p_(p),
      host_(host) {}

bool MozillaFullWizard::Activate() {
  discovery = MozillaDiscovery();
  rootFound = FindProfileRoot(helpers_, p_, browser, DiscoveryForm::kFull, discovery);
  ffpath = discovery.ffpath;
  fullFilePath = discovery.fullFilePath;
  if (!rootFound) host_.ShowMessage(NotFoundText(DiscoveryForm::kFull));
  return rootFound;
}

void MozillaFullWizard::WatchCodec(TZlibMultiple& codec) {
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

NextResult MozillaFullWizard::Backup(const Text& backupLocation) {
  if (backupLocation == kBackupLocationPlaceholder) {
    host_.ShowMessage(mozilla_text::kSelectBackupLocation);
    return NextResult::kStopped;
  }
  backups = backupLocation;
  // Without a root the codec would pack the process's current folder.
  if (!rootFound) {
    host_.ShowMessage(NotFoundText(DiscoveryForm::kFull));
    return NextResult::kStopped;
  }
  if (!p_.files.DirExists(IncludeTrailingBackslash(backups))) {
    host_.ShowMessage(mozilla_text::kBackupLocationNotFound);
    return NextResult::kStopped;
  }
  {
    TZlibMultiple codec(p_);
    BusyCursorScope busy(host_);
    host_.SetFileLabel(Text());
    host_.SetBar(0, 100);
    WatchCodec(codec);
    codec.CompressDirectory(ffpath, true, ArchiveFile());
  }
  host_.SetBar(0, 100);
  host_.SetFileLabel(u"Finished");
  host_.ShowFinish();
  return NextResult::kFinished;
}

NextResult MozillaFullWizard::Restore(const Text& backupLocation) {
  if (backupLocation == kBackupLocationPlaceholder) {
    host_.ShowMessage(mozilla_text::kSelectBackupLocation);
    return NextResult::kStopped;
  }
  backups = backupLocation;
  if (!p_.files.FileExists(ArchiveFile())) {
    host_.ShowMessage(mozilla_text::BackupFileNotFound(fileName));
    return NextResult::kStopped;
  }
  // Without a root the archive would land in the process's current folder.
  if (!rootFound) {
    host_.ShowMessage(NotFoundText(DiscoveryForm::kFull));
    return NextResult::kStopped;
  }
  {
    TZlibMultiple codec(p_);
    BusyCursorScope busy(host_);
    host_.SetFileLabel(Text());
    host_.SetBar(0, 100);
    WatchCodec(codec);
    codec.DecompressFile(ArchiveFile(), ffpath, true, true);
  }
  host_.SetBar(0, 100);
  host_.SetFileLabel(u"Finished");
  host_.ShowFinish();
  return NextResult::kFinished;
}

}  // namespace brantle

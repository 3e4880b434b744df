// The operations behind every wizard's Next button, over a browser
// description: selective backup and restore of chosen items, and full
// backup and restore. A wizard window reads its controls into a choice,
// calls one of these and shows what the host is told; brantle-cli does the
// same without windows.
#pragma once

#include <vector>

#include "brantle/browsers/common/browser.h"
#include "brantle/browsers/common/file_findings.h"
#include "brantle/browsers/common/wizard_host.h"
#include "brantle/browsers/common/working_folders.h"
#include "platform/clock.h"

namespace brantle {

class TZlibMultiple;

extern const char16_t kBackupLocationPlaceholder[];  // "Backup location:"
extern const char16_t kCustomProfilePlaceholder[];   // "Custom profile location (optional):"

// Finished: the operation ran to its end (Finish is shown). Incomplete: it
// ran to its end, but a message named what could not be saved or restored.
// LeftOut: it ran to its end, but a message named files the archive left out
// or restored under other names (Incomplete wins when both apply).
// Stopped: a message said why nothing was done.
enum class NextResult { kFinished, kStopped, kIncomplete, kLeftOut };

// What the selective wizard's controls hold when Next is pressed.
struct SelectiveChoice {
  Text backupLocation = kBackupLocationPlaceholder;  // DirectoryEdit2
  Text customProfile = kCustomProfilePlaceholder;    // DirectoryEdit1
  std::vector<Text> profiles;                        // ListBox1
  int profileIndex = -1;
  std::vector<int> ticked;  // check-box numbers of the ticked items
  // Restore window only: the backup-file list and "Delete backup file when finished".
  std::vector<Text> backupFiles;
  int backupFileIndex = -1;
  bool deleteBackupFile = false;
};

// The folder name, inside the backup folder, of a profile's staging folder
// and archive: the profile name without its random nine-character prefix,
// or the whole name when nothing usable would be left.
Text StagingName(const Text& profile);
// The folder a restore unpacks an archive into: its name without ".dat",
// unless that leaves no usable folder name.
Text RestoreStagingName(const Text& archiveName);

// The names of the "*.dat" files in a folder that the backup-file list
// shows (ordinary files: not hidden, system or read-only).
std::vector<Text> ListBackupFiles(platform::FileSystem& files, const Text& folder);

// The profiles a selective wizard lists: the sub-folders of the profile
// root, without those the browser knows are not profiles.
std::vector<Text> ListProfiles(FileHelpers& helpers, const BrowserDescription& browser,
                               const Discovery& found);
// The entry a fresh profile list selects: the profile the marker was found
// in where the browser keeps it in one, else the first; -1 for an empty list.
int PreselectedProfile(const BrowserDescription& browser, const Discovery& found,
                       const std::vector<Text>& profiles);

// A clock that really waits, for the programs (tests pass a simulated one).
platform::Clock& RealClock();

// Selective backup and restore (Tfb_<browser>, Tfr_<browser>).
class SelectiveOperation {
 public:
  SelectiveOperation(const BrowserDescription& browser, FileHelpers& helpers, platform::Platform& p,
                     WizardHost& host, platform::Clock& clock = RealClock());

  // On each activation: runs the search and refills the profile list
  // (emptied first, so that switching between wizards lists nothing twice).
  // Shows the not-found message and returns false when nothing was found.
  bool Activate(std::vector<Text>& profileList);

  NextResult Backup(const SelectiveChoice& choice);
  NextResult Restore(const SelectiveChoice& choice);

  // The staging folder of the last backup, and its archive.
  Text StagingFolder() const { return staging; }
  Text ArchiveFile() const { return backups + datfile + u".dat"; }

  const BrowserDescription& description;
  const Catalogue& catalogue;
  Discovery discovery;
  bool rootFound = false;
  int preselected = -1;  // the profile-list entry a fresh window selects
  // The window's working values.
  Text backups, profile, ffpath, datfile;
  Text atspaudziam, atspaudziam2, backuploc;
  Text staging;  // the folder this run created to stage or extract in
  // Boxes a run unticked because their folder is missing (also told to the host).
  std::vector<int> unticked;

 protected:
  bool Ticked(const std::vector<int>& ticked, int checkBox) const;
  // Sets profile and ffpath, or shows why there is none.
  bool ResolveTarget(const SelectiveChoice& choice);
  // The live folders no working folder may lie in.
  std::vector<Text> GuardedFolders(const std::vector<int>& ticked) const;
  Text BaseFolder(FolderBase base) const;

  // The staged item run shared with the full wizards: `full` drives the
  // window's own bar instead of the progress window.
  void StageItems(const std::vector<int>& ticked, const std::vector<int>& order, bool restore,
                  const Text& stagingFolder);
  void StepProgress(int step);
  // A further folder of an item, into or out of the staging folder.
  void StageStoredFolder(const CatalogueItem& item, const StoredFolder& more, bool restore, const Text& stage);
  // Forgets what an earlier run had to report.
  void ForgetReports();
  // The run's own working folder, made fresh under the backup folder by
  // `name`; empty after the message that stops the run (a backup also
  // refuses an existing folder where the browser keeps that rule).
  Text MakeWorkingFolder(const Text& name, const std::vector<int>& ticked, bool backup);
  // Tells the user, once, which keys could not be saved or restored.
  bool ReportHiveFailures(bool restore);
  // Tells the user, once, which ticked items had no folder to work on.
  bool ReportMissingBases(bool restore);

  FileHelpers& helpers_;
  platform::Platform& p_;
  WizardHost& host_;
  platform::Clock& clock_;
  bool full_ = false;
  int bar_ = 0;
  std::vector<std::pair<Text, long>> hiveFailures_;  // key, system error
  std::vector<Text> missingBases_;                   // quoted captions
  FileFindings findings_;

  friend class FullOperation;
};

// Full backup and restore (Tffb_<browser>, Tffr_<browser>).
class FullOperation {
 public:
  FullOperation(const BrowserDescription& browser, FileHelpers& helpers, platform::Platform& p,
                WizardHost& host, platform::Clock& clock = RealClock());

  // Runs the search; shows the not-found message when nothing was found
  // (and asks for a folder name where the browser takes one).
  bool Activate();

  // `folderName`: the folder-name edit's text; when given, the browser's
  // typed search finds the root instead of the activation's search.
  NextResult Backup(const Text& backupLocation, const Text& folderName = Text());
  NextResult Restore(const Text& backupLocation, const Text& folderName = Text());

  Text ArchiveFile() const { return backups + u"\\" + fileName; }

  const BrowserDescription& description;
  Discovery discovery;
  bool rootFound = false;
  Text backups;
  Text ffpath, fullFilePath;  // the folder found (no trailing backslash) and its marker
  Text fileName;              // "fbackup_firefox.dat"...
  Text staging;               // staged browsers: the folder this run created
  // Staged browsers: items skipped because their folder is missing.
  const std::vector<int>& Unticked() const { return items_.unticked; }

 private:
  void WatchCodec(TZlibMultiple& codec);
  // The root for this run: the typed folder name's, else the activation's;
  // false after the message that none was found.
  bool Locate(const Text& folderName);
  // The start of a staged run: the item run's target and a working folder
  // of its own; false after the message that stops it.
  bool BeginStaged(bool backup);
  NextResult StagedBackup();
  NextResult StagedRestore();

  FileHelpers& helpers_;
  platform::Platform& p_;
  WizardHost& host_;
  SelectiveOperation items_;  // the staged browsers' item run
};

// The messages the operations show besides those of the search.
namespace wizard_text {
extern const char16_t kSelectBackupLocation[];  // "Please Select Backup Location"
extern const char16_t kBackupLocationNotFound[];
extern const char16_t kCustomProfileNotFound[];
extern const char16_t kNoProfileSelected[];
extern const char16_t kNoBackupFile[];
// "Backup File "NAME" Not Found"
Text BackupFileNotFound(const Text& name);
}  // namespace wizard_text

}  // namespace brantle

// The operations behind the Firefox and Flock wizards' Next buttons:
// selective backup and restore of chosen items of one profile, and full
// backup and restore of the whole profile root. A wizard window reads its
// controls into a choice, calls one of these and shows what the host is
// told; the command line does the same without windows.
#pragma once

#include <vector>

#include "brantle/browsers/mozilla/mozilla_discovery.h"
#include "brantle/browsers/mozilla/mozilla_items.h"
#include "brantle/browsers/mozilla/wizard_host.h"

namespace brantle {

class TZlibMultiple;

extern const char16_t kBackupLocationPlaceholder[];  // "Backup location:"

// Finished: the operation ran to its end (Finish is shown). Stopped: a
// message said why nothing was done.
enum class NextResult { kFinished, kStopped };

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

// Tfb_Firefox, Tfr_Firefox, Tfb_Flock, Tfr_Flock.
class MozillaSelectiveWizard {
 public:
  MozillaSelectiveWizard(MozillaBrowser browser, FileHelpers& helpers, platform::Platform& p,
                         WizardHost& host);

  // On each activation: finds the profile root and refills the profile list
  // (emptied first, so that switching between wizards lists nothing twice).
  // Shows the not-found message and returns false when there is no root.
  bool Activate(std::vector<Text>& profileList);

  NextResult Backup(const SelectiveChoice& choice);
  NextResult Restore(const SelectiveChoice& choice);

  // The staging folder and archive of the last backup.
  Text StagingFolder() const { return backups + datfile; }
  Text ArchiveFile() const { return backups + datfile + u".dat"; }

  const MozillaBrowser browser;
  const MozillaCatalogue& catalogue;
  MozillaDiscovery discovery;
  bool rootFound = false;
  // The window's working values.
  Text backups, profile, ffpath, datfile;
  Text atspaudziam, atspaudziam2, backuploc;

 private:
  bool Ticked(const SelectiveChoice& choice, int checkBox) const;
  // Sets profile and ffpath, or shows why there is none.
  bool ResolveTarget(const SelectiveChoice& choice);
  void CopyItem(const MozillaItem& item, const Text& fromFolder, const Text& toFolder);

  FileHelpers& helpers_;
  platform::Platform& p_;
  WizardHost& host_;
};

// Tffb_Firefox, Tffr_Firefox, Tffb_Flock, Tffr_Flock.
class MozillaFullWizard {
 public:
  MozillaFullWizard(MozillaBrowser browser, FileHelpers& helpers, platform::Platform& p,
                    WizardHost& host);

  // Finds the profile root; shows "Settings Files Not Found." when there is none.
  bool Activate();

  NextResult Backup(const Text& backupLocation);
  NextResult Restore(const Text& backupLocation);

  Text ArchiveFile() const { return backups + u"\\" + fileName; }

  const MozillaBrowser browser;
  MozillaDiscovery discovery;
  bool rootFound = false;
  Text backups;
  Text ffpath, fullFilePath;  // the root (no trailing backslash) and its "profiles.ini"
  Text fileName;              // "fbackup_firefox.dat" or "fbackup_flock.dat"

 private:
  void WatchCodec(TZlibMultiple& codec);

  FileHelpers& helpers_;
  platform::Platform& p_;
  WizardHost& host_;
};

// The messages the operations show besides those of discovery.
namespace mozilla_text {
extern const char16_t kSelectBackupLocation[];  // "Please Select Backup Location"
extern const char16_t kBackupLocationNotFound[];
extern const char16_t kCustomProfileNotFound[];
extern const char16_t kNoProfileSelected[];
extern const char16_t kNoBackupFile[];
// "Backup File "NAME" Not Found"
Text BackupFileNotFound(const Text& name);
}  // namespace mozilla_text

}  // namespace brantle

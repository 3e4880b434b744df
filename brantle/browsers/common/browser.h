// One browser as data: its names, where its folders are, its items, how its
// staging folders and archives are named, and what its full wizards pack.
// The operations, the wizard windows, the ribbon and brantle-cli all work
// from this description.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "brantle/browsers/common/catalogue.h"
#include "brantle/browsers/common/folder_search.h"

namespace brantle {

// A further archive a full backup writes beside the main one.
struct ExtraArchive {
  const char16_t* name;  // e.g. "fbackup_opera2.dat"
  FolderBase folder;     // packed whole; restored over the same folder
};

struct BrowserDescription {
  const char16_t* id;       // ribbon command names: "btn_b_" + id
  const char16_t* name;     // "Internet Explorer": captions and headers
  const char16_t* cliName;  // "ie": brantle-cli's browser argument
  const char16_t* word;     // "ie": the full archive "fbackup_" + word + ".dat"
  FolderSearch search;
  const Catalogue* catalogue;
  uint32_t badgeColor = 0xC08040;  // the wizards' badge, as a Windows colour (0x00BBGGRR)

  // Selective wizards.
  // A profile list and a custom profile folder; without them the wizards
  // work on the data folders the search found ("Default").
  bool hasProfiles = true;
  const char16_t* customProfileName = nullptr;  // "123456789ff_custom"
  // Sub-folders of the profile root that are not profiles ("Preferences").
  std::vector<const char16_t*> notProfiles;
  // The marker lies in a profile ("Default\Bookmarks"): that profile is the
  // one preselected, not merely the first listed.
  bool markerInProfile = false;
  // The staging folder and archive take the profile's whole name, not the
  // name without its random nine-character prefix.
  bool wholeProfileName = false;
  // A fixed staging name ("backup_ie", archive "backup_ie.dat"); null: the
  // profile's name, and the restore takes the archive chosen in its list.
  const char16_t* stagingName = nullptr;
  // A leftover staging folder stops the backup instead of a fresh name.
  bool refuseExistingStaging = false;
  // Progress window steps: after showing it, after the restore's
  // extraction, and after the items (backup / restore).
  int firstStep = 5;
  int restoreFirstStep = -1;  // -1: as the backup's
  int extractStep = 0;
  int backupEndStep = 9;
  int restoreEndStep = 9;
  bool busyCursorInBackup = false;
  // The restore window's bar over its backup-file list.
  const char16_t* backupFileBar = u"Backup file:";

  // Full wizards: the catalogue's items staged in "fbackup_" + word (all
  // ticked), or else the folder the search found packed as it is.
  bool fullStaged = false;
  std::vector<ExtraArchive> extraArchives;

  // The full wizards' search with a folder name the user typed in place of
  // the profile folder's own (null: they have no folder-name edit), and
  // the message when that finds nothing either.
  std::function<FolderSearch(const Text& folderName)> typedSearch;
  const char16_t* notFoundTyped = nullptr;

  // The messages when the search finds nothing (selective, full).
  const char16_t* notFoundSelective = u"Settings Files Not Found. Select Custom Profile.";
  const char16_t* notFoundFull = u"Settings Files Not Found.";

  // What a browser derives beyond the table: after the search, and once the
  // profile a selective wizard works on is known (its folder with a
  // trailing backslash, which the hook may change; its name; whether the
  // user named the folder instead of choosing from the list).
  std::function<void(Discovery&, DiscoveryForm)> afterSearch;
  std::function<void(platform::FileSystem&, Discovery&, Text& profileFolder, const Text& profileName, bool custom)>
      onProfile;

  int RestoreFirstStep() const { return restoreFirstStep < 0 ? firstStep : restoreFirstStep; }
  Text FullArchiveName() const { return Text(u"fbackup_") + word + u".dat"; }
  Text FullStagingName() const { return Text(u"fbackup_") + word; }
};

// The four wizards of every browser.
enum class WizardKind { kBackup, kRestore, kFullBackup, kFullRestore };

// Every browser of this build, in the ribbon's order; the ones whose
// description is null are not built yet.
struct BrowserEntry {
  const char16_t* id;       // "IE", "Firefox"...
  const char16_t* name;     // "Internet Explorer"
  const char16_t* caption;  // ribbon button, with its accelerator: "&Internet Explorer"
  char16_t letter;          // shortcut and key-tip letter
  const BrowserDescription* description;
};
const std::vector<BrowserEntry>& Browsers();
// By id or CLI name, letters compared without regard to case; null if none is built.
const BrowserDescription* FindBrowser(const Text& idOrCliName);

}  // namespace brantle

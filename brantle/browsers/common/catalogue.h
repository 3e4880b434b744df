// The items of a browser's selective wizards as data: what each check box
// stands for (files, a folder on its base folder, registry keys saved as
// hive files), how it moves the progress, where its box stands, and the
// order the operations handle the items in.
#pragma once

#include <vector>

#include "brantle/browsers/common/folder_search.h"

namespace brantle {

// One step of an item's registry part: a key saved to (or restored from) a
// hive file of the staging folder, or a pause, or an extra progress advance.
struct HiveStep {
  const char16_t* file = nullptr;  // e.g. "set.reg"; null for a pause or an advance
  const char16_t* key = nullptr;   // under HKEY_CURRENT_USER
  int pauseMs = 0;
  int advance = 0;
};
inline HiveStep Hive(const char16_t* file, const char16_t* key) { return {file, key, 0, 0}; }
inline HiveStep Pause(int ms) { return {nullptr, nullptr, ms, 0}; }
inline HiveStep Advance(int step) { return {nullptr, nullptr, 0, step}; }

// A further folder of an item on a base of its own (the base is the folder
// itself), kept in the archive as `stored`, whose last name is the
// folder's own: Opera's local mail folder as "loc\mail".
struct StoredFolder {
  FolderBase base;
  const char16_t* stored;
};

struct CatalogueItem {
  int checkBox;                        // CheckBox<n> of the wizard window
  const char16_t* caption;
  std::vector<const char16_t*> files;  // copied one by one from the profile folder
  const char16_t* folder = nullptr;    // a whole sub-folder of `folderBase`, or null
  int progressStep = 0;                // advance of the backup (see Catalogue::advanceFirst)
  int restoreStep = -1;                // advance of the restore; -1: as the backup
  FolderBase folderBase = FolderBase::kProfile;
  std::vector<HiveStep> hives;         // saved before the files and the folder
  std::vector<StoredFolder> storedFolders;  // after the folder
  // A folder item whose folder is missing loses its tick and is skipped.
  bool untickWhenMissing = false;
  // The folder is restored only over one already there (a folder shared
  // with other programs is not created by a restore).
  bool restoreOnlyOverExisting = false;
  bool inSelectAll = true;
  // A box shown but never read by Next (not in either order).
  bool initiallyTicked = true;
  bool enabled = true;
  int pauseAfterMs = 0;                // after the item's turn, ticked or not
  int slot = -1;                       // position on the page; -1: by check-box number

  int RestoreStep() const { return restoreStep < 0 ? progressStep : restoreStep; }
};

struct Catalogue {
  std::vector<CatalogueItem> items;  // by check-box number, CheckBox1 first
  std::vector<int> backupOrder;      // check-box numbers
  std::vector<int> restoreOrder;
  // The page's layout: `columns` columns; with `rows` > 0 the slots run down
  // each column first, otherwise along each row.
  int columns = 3;
  int rows = 0;
  // Each ticked item advances before its work (else after it).
  bool advanceFirst = false;
  // The restore window's "Delete backup file when finished" box.
  bool hasDeleteBackupFileBox = false;

  const CatalogueItem& Item(int checkBox) const {
    return items.at(static_cast<size_t>(checkBox - 1));
  }
  // The item with this caption, letters compared without regard to case; null if none.
  const CatalogueItem* FindCaption(const Text& caption) const;
  // The items a user can tick (those Next reads), by check-box number.
  std::vector<int> Tickable() const;
};

}  // namespace brantle

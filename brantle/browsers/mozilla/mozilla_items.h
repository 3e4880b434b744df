// The items of the Firefox and Flock selective wizards: which profile files
// and folder each check box stands for, and the order the wizards work in.
#pragma once

#include <vector>

#include "brantle/browsers/mozilla/mozilla_discovery.h"

namespace brantle {

struct MozillaItem {
  int checkBox;                         // CheckBox<n> of the wizard window
  const char16_t* caption;
  std::vector<const char16_t*> files;   // copied one by one, in this order
  const char16_t* folder;               // a whole sub-folder, or null
  int progressStep;                     // advance of the progress window after the item
};

struct MozillaCatalogue {
  std::vector<MozillaItem> items;  // by check-box number, CheckBox1 first
  std::vector<int> backupOrder;    // check-box numbers
  std::vector<int> restoreOrder;
  // The restore window's "Delete backup file when finished" box (Firefox only).
  bool hasDeleteBackupFileBox;

  const MozillaItem& Item(int checkBox) const { return items.at(static_cast<size_t>(checkBox - 1)); }
  // The item with this caption, letters compared without regard to case; null if none.
  const MozillaItem* FindCaption(const Text& caption) const;
};

const MozillaCatalogue& CatalogueOf(MozillaBrowser browser);

}  // namespace brantle

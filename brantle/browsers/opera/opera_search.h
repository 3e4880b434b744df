// Where Opera keeps its profiles: six candidate folders built on the
// profile folder's name ("Opera", or a name the user types when it was
// renamed), in the flat layout and with a "profile" sub-folder.
#pragma once

#include "brantle/browsers/common/folder_search.h"

namespace brantle {

extern const char16_t kOperaFolder[];     // "Opera": the default profile folder name
extern const char16_t kSpeedDialFile[];   // "speeddial.ini": the wizards' marker
extern const char16_t kOperaPrefsFile[];  // "operaprefs.ini": the converter's marker

// The search for `marker` in the six candidates of the profile folder
// `folderName`, with the tails that leave the Opera root: with a trailing
// backslash for the selective wizards, without one for the full wizards.
FolderSearch OperaSearch(const Text& folderName = kOperaFolder, const char16_t* marker = kSpeedDialFile);

}  // namespace brantle

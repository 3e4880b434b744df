// Finding a browser's data folder: candidate folders built from a table by
// the Windows-version rule, a marker file searched in them (first hit wins)
// and a tail removed from the hit. Every browser is one FolderSearch.
#pragma once

#include <vector>

#include "brantle/shell/file_helpers.h"

namespace brantle {

// What a candidate folder or a base folder is built on.
enum class Root {
  kAppData,       // sfp: the roaming application-data folder
  kLocalAppData,  // loc: the local application-data folder
  kHome,          // drv + "\Users\" + uzer (Vista/7) or drv + "\Documents and Settings\" + uzer
};

// One candidate: root + tail. `only5` keeps it out of the non-Vista list on
// any version but 5 (the roaming folder was trusted only on 2000/XP).
struct Candidate {
  Root root;
  const char16_t* tail;
  bool only5 = false;
};

// Folders an item may be based on besides the profile, by version rule.
enum class FolderBase {
  kProfile,         // the profile folder a selective wizard works on
  kDataFolder,      // the folder the marker was found in (IE data folder)
  kCookieParent,    // the folder holding "Cookies"
  kFavoritesParent, // the folder holding "Favorites"
  kLocalMail,       // a browser's local mail folder (set by its own code)
  kShared,          // a browser's shared folder beside its profiles (set by its own code)
  kCount
};

struct BaseRule {
  FolderBase base;
  Candidate vista, other;
};

// Selective wizards keep the derived folder with a trailing backslash;
// full wizards pack it and keep it without one.
enum class DiscoveryForm { kSelective, kFull };

struct FolderSearch {
  const char16_t* marker;          // "profiles.ini", "brndlog.txt"...
  std::vector<Candidate> vista;    // windoze == "6"
  std::vector<Candidate> other;    // every other major version
  // Removed (every occurrence, ignoring case) from the hit, in turn.
  std::vector<const char16_t*> selectiveTails, fullTails;
  // The marker is first tried alone, relative to the current folder.
  bool bareNameFirst = false;
  std::vector<BaseRule> bases;
};

// The values a wizard computes, under the names it keeps them.
struct Discovery {
  Text uzer, drv, sfp, loc;
  Text VersionNumber, windoze;
  Text fileName;
  std::vector<Text> candidates;  // in search order; empty ones are skipped
  Text dir1, dir2, dir3, dir4;   // the first four candidates
  Text fullFilePath;
  Text ffpath, ffpath2;
  Text customdir;  // full wizards: the folder name the user typed, else empty
  Text base[static_cast<int>(FolderBase::kCount)];

  Text& Base(FolderBase b) { return base[static_cast<int>(b)]; }
  const Text& Base(FolderBase b) const { return base[static_cast<int>(b)]; }
};

// Searches name alone (relative to the current folder) when bareNameFirst,
// then in each non-empty folder of the semicolon-separated list; the first
// existing file wins. Empty when none exists.
Text FileSearch(platform::FileSystem& files, const Text& name, const Text& dirList,
                bool bareNameFirst = true);

// Fills d by the table and returns true when the marker was found. A
// candidate built on a special folder that could not be read is skipped:
// it would name a folder at the root of the current drive.
bool Discover(FileHelpers& helpers, platform::Platform& p, const FolderSearch& search,
              DiscoveryForm form, Discovery& d);

}  // namespace brantle

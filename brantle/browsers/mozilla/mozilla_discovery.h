// Finding the Firefox or Flock profile root of the current user and listing
// its profiles, by the folder conventions of Windows 2000/XP and Vista/7.
#pragma once

#include <vector>

#include "brantle/shell/file_helpers.h"

namespace brantle {

enum class MozillaBrowser { kFirefox, kFlock };

// Selective wizards keep the root with a trailing backslash and list the
// profiles; full wizards pack the root itself and keep it without one.
enum class DiscoveryForm { kSelective, kFull };

// The values a wizard computes on activation, under the names it keeps them.
struct MozillaDiscovery {
  Text uzer, drv, sfp, loc;
  Text VersionNumber, windoze;
  Text fileName = u"profiles.ini";
  Text dir1, dir2, dir3, dir4;
  Text fullFilePath;
  Text ffpath, ffpath2;
};

Text BrowserName(MozillaBrowser browser);

// Searches name alone (relative to the current folder), then in each
// non-empty folder of the semicolon-separated list; the first existing file
// wins. Empty when none exists.
Text FileSearch(platform::FileSystem& files, const Text& name, const Text& dirList);

// Fills d and returns true when "profiles.ini" was found.
bool FindProfileRoot(FileHelpers& helpers, platform::Platform& p, MozillaBrowser browser,
                     DiscoveryForm form, MozillaDiscovery& d);

// The message a wizard shows when the root was not found.
Text NotFoundText(DiscoveryForm form);

// Appends the profile folder names under ffpath2.
void ListProfiles(FileHelpers& helpers, const MozillaDiscovery& d, std::vector<Text>& list);

extern const char16_t kCustomProfilePlaceholder[];
extern const char16_t kCustomProfileName[];

struct ProfileChoice {
  Text folder;  // with a trailing backslash
  Text name;
};

// The profile Next works on: the custom folder when its edit holds more than
// the placeholder, else the selected list item under ffpath. Raises
// std::out_of_range when neither gives one (empty list, nothing selected).
ProfileChoice ResolveProfile(const Text& customEditText, const MozillaDiscovery& d,
                             const std::vector<Text>& profiles, int itemIndex);

// A profile folder's name without its first nine characters: the random
// prefix such as "a1b2c3d4." is dropped, leaving e.g. "default".
Text ProfileShortName(const Text& profileName);

}  // namespace brantle

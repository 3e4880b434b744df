// Firefox and Flock: their profile-root search (by the folder conventions of
// Windows 2000/XP and Vista/7), their descriptions for the shared engine,
// and the profile a selective wizard works on.
#pragma once

#include <vector>

#include "brantle/browsers/common/browser.h"
#include "brantle/browsers/common/folder_search.h"

namespace brantle {

enum class MozillaBrowser { kFirefox, kFlock };

// The values a wizard computes on activation, under the names it keeps them.
using MozillaDiscovery = Discovery;

Text BrowserName(MozillaBrowser browser);

// The browser's description (names, search, items, archives).
const BrowserDescription& DescriptionOf(MozillaBrowser browser);

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

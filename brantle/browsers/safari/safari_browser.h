// Safari as a browser of the shared engine: the "Apple Computer" folder
// (found by the "Bookmarks.plist" of its "Safari" profile), the profile
// items, and the "Preferences" folder that the profiles share beside them.
#pragma once

#include "brantle/browsers/common/browser.h"

namespace brantle {

const BrowserDescription& Safari();

}  // namespace brantle

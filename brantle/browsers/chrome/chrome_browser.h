// Chrome as a browser of the shared engine: the "User Data" folder (found
// by the "Bookmarks" file of its "Default" profile), the profile items and
// the archives named after the profile and "fbackup_chrome.dat".
#pragma once

#include "brantle/browsers/common/browser.h"

namespace brantle {

const BrowserDescription& Chrome();

}  // namespace brantle

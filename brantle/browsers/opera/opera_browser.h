// Opera as a description for the browser engine: its profiles in either
// layout, its sixteen items with the local mail folder, and its full
// wizards' two archives and typed folder name.
#pragma once

#include "brantle/browsers/common/browser.h"

namespace brantle {

const BrowserDescription& Opera();

}  // namespace brantle

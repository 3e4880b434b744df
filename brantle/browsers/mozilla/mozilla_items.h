// The items of the Firefox and Flock selective wizards: which profile files
// and folder each check box stands for, and the order the wizards work in.
#pragma once

#include "brantle/browsers/common/catalogue.h"
#include "brantle/browsers/mozilla/mozilla_discovery.h"

namespace brantle {

using MozillaItem = CatalogueItem;
using MozillaCatalogue = Catalogue;

const Catalogue& CatalogueOf(MozillaBrowser browser);

}  // namespace brantle

// The Firefox and Flock wizards' operations: the shared engine's selective
// and full operations over the two browsers' descriptions.
#pragma once

#include "brantle/browsers/common/operations.h"
#include "brantle/browsers/mozilla/mozilla_discovery.h"
#include "brantle/browsers/mozilla/mozilla_items.h"

namespace brantle {

namespace mozilla_text = wizard_text;

// Tfb_Firefox, Tfr_Firefox, Tfb_Flock, Tfr_Flock.
class MozillaSelectiveWizard : public SelectiveOperation {
 public:
  MozillaSelectiveWizard(MozillaBrowser browser, FileHelpers& helpers, platform::Platform& p,
                         WizardHost& host)
      : SelectiveOperation(DescriptionOf(browser), helpers, p, host), browser(browser) {}
  const MozillaBrowser browser;
};

// Tffb_Firefox, Tffr_Firefox, Tffb_Flock, Tffr_Flock.
class MozillaFullWizard : public FullOperation {
 public:
  MozillaFullWizard(MozillaBrowser browser, FileHelpers& helpers, platform::Platform& p, WizardHost& host)
      : FullOperation(DescriptionOf(browser), helpers, p, host), browser(browser) {}
  const MozillaBrowser browser;
};

}  // namespace brantle

// The browsers of this build, in the ribbon's order. A browser without a
// description opens its "not available" window from the ribbon.
#include "brantle/browsers/chrome/chrome_browser.h"
#include "brantle/browsers/common/browser.h"
#include "brantle/browsers/ie/ie_browser.h"
#include "brantle/browsers/mozilla/mozilla_discovery.h"
#include "brantle/browsers/opera/opera_browser.h"
#include "brantle/browsers/safari/safari_browser.h"

namespace brantle {

const std::vector<BrowserEntry>& Browsers() {
  static const std::vector<BrowserEntry> table = {
      {u"IE", u"Internet Explorer", u"&Internet Explorer", u'I', &InternetExplorer()},
      {u"Firefox", u"Firefox", u"&Firefox", u'F', &DescriptionOf(MozillaBrowser::kFirefox)},
      {u"Chrome", u"Chrome", u"&Chrome", u'C', &Chrome()},
      {u"Opera", u"Opera", u"&Opera", u'O', &Opera()},
      {u"Safari", u"Safari", u"&Safari", u'S', &Safari()},
      // L: each of the six has a letter of its own.
      {u"Flock", u"Flock", u"F&lock", u'L', &DescriptionOf(MozillaBrowser::kFlock)},
  };
  return table;
}

const BrowserDescription* FindBrowser(const Text& idOrCliName) {
  for (const BrowserEntry& e : Browsers())
    if (e.description && (platform::SameText(e.id, idOrCliName) ||
                          platform::SameText(e.description->cliName, idOrCliName)))
      return e.description;
  return nullptr;
}

}  // namespace brantle

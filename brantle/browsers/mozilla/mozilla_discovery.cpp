#include "brantle/browsers/mozilla/mozilla_discovery.h"

#include <stdexcept>

#include "brantle/browsers/mozilla/mozilla_items.h"

namespace brantle {

using namespace platform;

const char16_t kCustomProfileName[] = u"123456789ff_custom";

namespace {

// The candidates of both browsers differ only in the browser's own folder
// names: B under each application-data folder and the longer forms below
// the user's home.
FolderSearch SearchOf(const char16_t* b, const char16_t* localSettings, const char16_t* roaming5,
                      const char16_t* local6, const char16_t* roaming6) {
  FolderSearch s;
  s.marker = u"profiles.ini";
  s.vista = {{Root::kAppData, b}, {Root::kHome, local6}, {Root::kHome, roaming6}, {Root::kLocalAppData, b}};
  s.other = {{Root::kAppData, b, true},
             {Root::kHome, localSettings},
             {Root::kHome, roaming5},
             {Root::kLocalAppData, b}};
  s.selectiveTails = {u"profiles.ini"};
  s.fullTails = {u"\\profiles.ini"};
  s.bareNameFirst = true;
  return s;
}

BrowserDescription Describe(MozillaBrowser browser) {
  const bool flock = browser == MozillaBrowser::kFlock;
  BrowserDescription d;
  d.id = flock ? u"Flock" : u"Firefox";
  d.name = d.id;
  d.cliName = flock ? u"flock" : u"firefox";
  d.word = d.cliName;
  d.search = flock ? SearchOf(u"\\Flock\\Browser", u"\\Local Settings\\Application Data\\Flock\\Browser",
                              u"\\Application Data\\Flock\\Browser", u"\\AppData\\Local\\Flock\\Browser",
                              u"\\AppData\\Roaming\\Flock\\Browser")
                   : SearchOf(u"\\Mozilla\\Firefox", u"\\Local Settings\\Application Data\\Mozilla\\Firefox",
                              u"\\Application Data\\Mozilla\\Firefox", u"\\AppData\\Local\\Mozilla\\Firefox",
                              u"\\AppData\\Roaming\\Mozilla\\Firefox");
  d.catalogue = &CatalogueOf(browser);
  d.customProfileName = kCustomProfileName;
  d.badgeColor = flock ? 0xC07830 : 0x1E7CE6;
  if (flock) d.backupFileBar = u"Profile:";
  // The profiles are the sub-folders of "Profiles" under the root.
  d.afterSearch = [](Discovery& found, DiscoveryForm form) {
    if (form == DiscoveryForm::kSelective && !found.fullFilePath.empty()) found.ffpath2 = found.ffpath + u"Profiles";
  };
  return d;
}

}  // namespace

Text BrowserName(MozillaBrowser browser) {
  return browser == MozillaBrowser::kFlock ? u"Flock" : u"Firefox";
}

const BrowserDescription& DescriptionOf(MozillaBrowser browser) {
  static const BrowserDescription firefox = Describe(MozillaBrowser::kFirefox);
  static const BrowserDescription flock = Describe(MozillaBrowser::kFlock);
  return browser == MozillaBrowser::kFlock ? flock : firefox;
}

bool FindProfileRoot(FileHelpers& helpers, Platform& p, MozillaBrowser browser, DiscoveryForm form,
                     MozillaDiscovery& d) {
  const BrowserDescription& description = DescriptionOf(browser);
  bool found = Discover(helpers, p, description.search, form, d);
  description.afterSearch(d, form);
  return found;
}

Text NotFoundText(DiscoveryForm form) {
  return form == DiscoveryForm::kSelective ? u"Settings Files Not Found. Select Custom Profile."
                                           : u"Settings Files Not Found.";
}

void ListProfiles(FileHelpers& helpers, const MozillaDiscovery& d, std::vector<Text>& list) {
  helpers.GetSubDirectories(d.ffpath2, list);
}

ProfileChoice ResolveProfile(const Text& customEditText, const MozillaDiscovery& d,
                             const std::vector<Text>& profiles, int itemIndex) {
  if (customEditText != kCustomProfilePlaceholder)
    return {customEditText + u"\\", kCustomProfileName};
  if (itemIndex < 0 || static_cast<size_t>(itemIndex) >= profiles.size())
    throw std::out_of_range("List index out of bounds (" + std::to_string(itemIndex) + ")");
  const Text& name = profiles[static_cast<size_t>(itemIndex)];
  return {d.ffpath + u"Profiles\\" + name + u"\\", name};
}

Text ProfileShortName(const Text& profileName) {
  return profileName.size() > 9 ? profileName.substr(9) : Text();
}

}  // namespace brantle

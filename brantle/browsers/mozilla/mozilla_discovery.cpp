#include "brantle/browsers/mozilla/mozilla_discovery.h"

#include <stdexcept>

namespace brantle {

using namespace platform;

const char16_t kCustomProfilePlaceholder[] = u"Custom profile location (optional):";
const char16_t kCustomProfileName[] = u"123456789ff_custom";

namespace {

struct FolderNames {
  const char16_t* b;
  const char16_t* localSettings;
  const char16_t* roaming5;
  const char16_t* local6;
  const char16_t* roaming6;
};

FolderNames NamesOf(MozillaBrowser browser) {
  if (browser == MozillaBrowser::kFlock)
    return {u"\\Flock\\Browser", u"\\Local Settings\\Application Data\\Flock\\Browser",
            u"\\Application Data\\Flock\\Browser", u"\\AppData\\Local\\Flock\\Browser",
            u"\\AppData\\Roaming\\Flock\\Browser"};
  return {u"\\Mozilla\\Firefox", u"\\Local Settings\\Application Data\\Mozilla\\Firefox",
          u"\\Application Data\\Mozilla\\Firefox", u"\\AppData\\Local\\Mozilla\\Firefox",
          u"\\AppData\\Roaming\\Mozilla\\Firefox"};
}

}  // namespace

Text BrowserName(MozillaBrowser browser) {
  return browser == MozillaBrowser::kFlock ? u"Flock" : u"Firefox";
}

Text FileSearch(FileSystem& files, const Text& name, const Text& dirList) {
  Text candidate = name;
  size_t p = 0;
  while (true) {
    if (files.FileExists(candidate)) return candidate;
    while (p < dirList.size() && dirList[p] == u';') ++p;
    if (p >= dirList.size()) return Text();
    size_t end = dirList.find(u';', p);
    if (end == Text::npos) end = dirList.size();
    candidate = dirList.substr(p, end - p);
    p = end;
    if (candidate.back() != u'\\' && candidate.back() != u':') candidate += u'\\';
    candidate += name;
  }
}

bool FindProfileRoot(FileHelpers& helpers, Platform& p, MozillaBrowser browser, DiscoveryForm form,
                     MozillaDiscovery& d) {
  d.uzer = helpers.GetLoginName();
  d.drv = helpers.GetSystemDrive();
  d.sfp = helpers.GetSpecialFolderPath(csidl::kAppData);
  d.loc = helpers.GetSpecialFolderPath(csidl::kLocalAppData);
  OsVersion v = p.system.Version();
  d.VersionNumber = ToText(v.major) + u"." + ToText(v.minor);
  d.windoze = ToText(v.major);

  FolderNames n = NamesOf(browser);
  const Text xpHome = d.drv + u"\\Documents and Settings\\" + d.uzer;
  if (d.windoze == u"6") {
    const Text home = d.drv + u"\\Users\\" + d.uzer;
    d.dir1 = d.sfp + n.b;
    d.dir2 = home + n.local6;
    d.dir3 = home + n.roaming6;
  } else {
    // The roaming candidate is trusted only on the versions the rules were made for.
    d.dir1 = d.windoze == u"5" ? d.sfp + n.b : Text();
    d.dir2 = xpHome + n.localSettings;
    d.dir3 = xpHome + n.roaming5;
  }
  d.dir4 = d.loc + n.b;

  d.fullFilePath =
      FileSearch(p.files, d.fileName, d.dir1 + u";" + d.dir2 + u";" + d.dir3 + u";" + d.dir4);
  if (d.fullFilePath.empty()) return false;
  if (form == DiscoveryForm::kSelective) {
    d.ffpath = RemoveAllNoCase(d.fullFilePath, u"profiles.ini");
    d.ffpath2 = d.ffpath + u"Profiles";
  } else {
    d.ffpath = RemoveAllNoCase(d.fullFilePath, u"\\profiles.ini");
  }
  return true;
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

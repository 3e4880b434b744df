#include "brantle/browsers/safari/safari_browser.h"

namespace brantle {

namespace {

constexpr int kStep = 8;
constexpr char16_t kTail[] = u"\\Apple Computer\\Safari";

FolderSearch Search() {
  FolderSearch s;
  s.marker = u"Bookmarks.plist";
  s.vista = {{Root::kAppData, kTail},
             {Root::kHome, u"\\AppData\\Local\\Apple Computer\\Safari"},
             {Root::kHome, u"\\AppData\\Roaming\\Apple Computer\\Safari"},
             {Root::kLocalAppData, kTail}};
  s.other = {{Root::kAppData, kTail, true},
             {Root::kHome, u"\\Application Data\\Apple Computer\\Safari"},
             {Root::kHome, u"\\Local Settings\\Application Data\\Apple Computer\\Safari"},
             {Root::kLocalAppData, kTail}};
  s.selectiveTails = {u"Safari\\Bookmarks.plist"};
  s.fullTails = {u"\\Safari\\Bookmarks.plist"};
  return s;
}

CatalogueItem Box(int n, const char16_t* caption, int slot) {
  CatalogueItem item;
  item.checkBox = n;
  item.caption = caption;
  item.slot = slot;
  return item;
}

CatalogueItem File(int n, const char16_t* caption, const char16_t* file, bool advances, int slot) {
  CatalogueItem item = Box(n, caption, slot);
  item.files = {file};
  item.progressStep = advances ? kStep : 0;
  return item;
}

CatalogueItem Folder(int n, const char16_t* caption, const char16_t* folder, int slot) {
  CatalogueItem item = Box(n, caption, slot);
  item.folder = folder;
  item.progressStep = kStep;
  return item;
}

// Two columns of seven, each read from top to bottom.
Catalogue Items() {
  Catalogue c;
  c.items = {
      File(1, u"Bookmarks", u"Bookmarks.plist", true, 0),
      Folder(2, u"Cookies", u"Cookies", 2),
      File(3, u"Downloads", u"Downloads.plist", false, 3),
      Folder(4, u"Feeds", u"PubSub", 4),
      File(5, u"Form values", u"Form Values.plist", false, 5),
      File(6, u"History", u"History.plist", true, 6),
      File(7, u"Last session", u"LastSession.plist", true, 7),
      Folder(8, u"Preferences", u"Preferences", 8),
      File(9, u"Top sites", u"TopSites.plist", true, 9),
      // Shown ticked and greyed; nothing stands behind it.
      Box(10, u"Cache", 1),
  };
  // Shared by every profile: taken from, and put back only into, the
  // "Preferences" folder of the "Apple Computer" folder found.
  CatalogueItem& preferences = c.items[7];
  preferences.folderBase = FolderBase::kShared;
  preferences.restoreOnlyOverExisting = true;
  c.items[9].enabled = false;
  c.backupOrder = c.restoreOrder = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  c.columns = 2;
  c.rows = 7;
  return c;
}

BrowserDescription Describe() {
  static const Catalogue catalogue = Items();
  BrowserDescription d;
  d.id = u"Safari";
  d.name = u"Safari";
  d.cliName = u"safari";
  d.word = u"safari";
  d.search = Search();
  d.catalogue = &catalogue;
  d.customProfileName = u"ch_custom";
  d.markerInProfile = true;
  d.wholeProfileName = true;
  d.badgeColor = 0xD08A2E;
  d.firstStep = kStep;
  d.backupEndStep = kStep;
  d.restoreFirstStep = 5;
  d.restoreEndStep = 9;
  // mpath: the "Apple Computer" folder itself, which is not a profile.
  d.notProfiles = {u"Preferences"};
  d.afterSearch = [](Discovery& found, DiscoveryForm form) {
    if (form == DiscoveryForm::kSelective && !found.ffpath.empty())
      found.Base(FolderBase::kShared) = platform::ExcludeTrailingBackslash(found.ffpath);
  };
  return d;
}

}  // namespace

const BrowserDescription& Safari() {
  static const BrowserDescription safari = Describe();
  return safari;
}

}  // namespace brantle

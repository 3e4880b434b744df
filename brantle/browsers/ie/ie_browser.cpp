#include "brantle/browsers/ie/ie_browser.h"

namespace brantle {

namespace {

constexpr int kStep = 9;
constexpr int kSecond = 1000;

#define IE_KEY(name) u"Software\\Microsoft\\Internet Explorer\\" name u"\\"

FolderSearch Search() {
  FolderSearch s;
  s.marker = u"brndlog.txt";
  s.vista = {{Root::kAppData, u"\\Microsoft\\Internet Explorer"},
             {Root::kHome, u"\\AppData\\Local\\Microsoft\\Internet Explorer"},
             {Root::kHome, u"\\AppData\\Roaming\\Microsoft\\Internet Explorer"}};
  s.other = {{Root::kAppData, u"\\Microsoft\\Internet Explorer", true},
             {Root::kHome, u"\\Application Data\\Microsoft\\Internet Explorer"},
             {Root::kHome, u"\\Local Settings\\Application Data\\Microsoft\\Internet Explorer"}};
  s.selectiveTails = {u"brndlog.txt"};
  s.fullTails = {u"brndlog.txt"};
  s.bases = {{FolderBase::kCookieParent, {Root::kHome, u"\\AppData\\Roaming\\Microsoft\\Windows"}, {Root::kHome, u""}},
             {FolderBase::kFavoritesParent, {Root::kHome, u""}, {Root::kHome, u""}}};
  return s;
}

Catalogue Items() {
  Catalogue c;
  auto hiveItem = [](int n, const char16_t* caption, std::vector<HiveStep> hives, int slot) {
    CatalogueItem item{n, caption, {}, nullptr, kStep};
    item.hives = std::move(hives);
    item.slot = slot;
    return item;
  };
  auto folderItem = [](int n, const char16_t* caption, const char16_t* folder, FolderBase base, int slot) {
    CatalogueItem item{n, caption, {}, folder, kStep};
    item.folderBase = base;
    item.untickWhenMissing = true;
    item.slot = slot;
    return item;
  };
  c.items = {
      hiveItem(1, u"Autocomplete", {Hive(u"autocomplete.reg", IE_KEY(u"IntelliForms"))}, 0),
      folderItem(2, u"Cookies", u"Cookies", FolderBase::kCookieParent, 1),
      folderItem(3, u"Favorites", u"Favorites", FolderBase::kFavoritesParent, 3),
      hiveItem(4, u"History", {Hive(u"hist.reg", IE_KEY(u"TypedURLs"))}, 4),
      hiveItem(5, u"Search providers", {Hive(u"search.reg", IE_KEY(u"SearchScopes"))}, 6),
      folderItem(6, u"Sessions", u"Recovery", FolderBase::kDataFolder, 7),
      hiveItem(7, u"Settings",
               {Hive(u"set.reg", IE_KEY(u"Main")), Hive(u"set2.reg", IE_KEY(u"Settings")), Pause(kSecond),
                Hive(u"set3.reg", IE_KEY(u"Security")), Hive(u"set4.reg", IE_KEY(u"Download")), Pause(kSecond),
                Advance(kStep), Hive(u"set5.reg", IE_KEY(u"International")),
                Hive(u"set6.reg", IE_KEY(u"PhishingFilter")), Pause(kSecond),
                Hive(u"set7.reg", IE_KEY(u"User Preferences"))},
               8),
      hiveItem(8, u"Toolbar", {Hive(u"toolbar.reg", IE_KEY(u"Toolbar"))}, 9),
      hiveItem(9, u"Links bar", {Hive(u"links.reg", IE_KEY(u"LinksBar"))}, 5),
      // Shown for completeness; nothing stands behind it.
      CatalogueItem{10, u"Dialup", {}, nullptr, 0},
  };
  c.items[5].hives = {Hive(u"rec.reg", IE_KEY(u"Recovery"))};
  // The pause between Search providers and Sessions comes ticked or not.
  c.items[4].pauseAfterMs = kSecond;
  CatalogueItem& dialup = c.items[9];
  dialup.slot = 2;
  dialup.inSelectAll = false;
  dialup.initiallyTicked = false;
  dialup.enabled = false;
  c.backupOrder = c.restoreOrder = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  c.columns = 2;
  c.rows = 7;
  c.advanceFirst = true;
  return c;
}

BrowserDescription Describe() {
  static const Catalogue catalogue = Items();
  BrowserDescription d;
  d.id = u"IE";
  d.name = u"Internet Explorer";
  d.cliName = u"ie";
  d.word = u"ie";
  d.search = Search();
  d.catalogue = &catalogue;
  d.hasProfiles = false;
  d.stagingName = u"backup_ie";
  d.refuseExistingStaging = true;
  d.firstStep = kStep;
  d.extractStep = kStep;
  d.backupEndStep = kStep;
  d.restoreEndStep = 0;
  d.busyCursorInBackup = true;
  d.fullStaged = true;
  return d;
}

}  // namespace

const BrowserDescription& InternetExplorer() {
  static const BrowserDescription ie = Describe();
  return ie;
}

const std::vector<IeKey>& IeKeys() {
  static const std::vector<IeKey> keys = [] {
    std::vector<IeKey> all;
    for (const CatalogueItem& item : InternetExplorer().catalogue->items)
      for (const HiveStep& h : item.hives)
        if (h.file) all.push_back({h.file, h.key});
    return all;
  }();
  return keys;
}

}  // namespace brantle

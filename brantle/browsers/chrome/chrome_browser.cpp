#include "brantle/browsers/chrome/chrome_browser.h"

namespace brantle {

namespace {

constexpr int kStep = 7;
constexpr char16_t kTail[] = u"\\Google\\Chrome\\User Data\\Default";

FolderSearch Search() {
  FolderSearch s;
  s.marker = u"Bookmarks";
  s.vista = {{Root::kAppData, kTail},
             {Root::kHome, u"\\AppData\\Local\\Google\\Chrome\\User Data\\Default"},
             {Root::kHome, u"\\AppData\\Roaming\\Google\\Chrome\\User Data\\Default"},
             {Root::kLocalAppData, kTail}};
  s.other = {{Root::kAppData, kTail, true},
             {Root::kHome, u"\\Application Data\\Google\\Chrome\\User Data\\Default"},
             {Root::kHome, u"\\Local Settings\\Application Data\\Google\\Chrome\\User Data\\Default"},
             {Root::kLocalAppData, kTail}};
  s.selectiveTails = {u"Default\\Bookmarks"};
  s.fullTails = {u"\\Default\\Bookmarks"};
  return s;
}

CatalogueItem Box(int n, const char16_t* caption, int slot) {
  CatalogueItem item;
  item.checkBox = n;
  item.caption = caption;
  item.slot = slot;
  return item;
}

// backup / restore: whether the item moves the progress window by 7.
CatalogueItem File(int n, const char16_t* caption, const char16_t* file, bool backup, bool restore,
                   int slot) {
  CatalogueItem item = Box(n, caption, slot);
  item.files = {file};
  item.progressStep = backup ? kStep : 0;
  item.restoreStep = restore ? kStep : 0;
  return item;
}

CatalogueItem Folder(int n, const char16_t* caption, const char16_t* folder, int slot) {
  CatalogueItem item = Box(n, caption, slot);
  item.folder = folder;
  item.progressStep = kStep;
  return item;
}

// Three columns of seven, each read from top to bottom.
Catalogue Items() {
  Catalogue c;
  c.items = {
      Folder(1, u"Extensions", u"Extensions", 5),
      Folder(2, u"Plugin data", u"Plugin Data", 10),
      File(3, u"Bookmarks", u"Bookmarks", true, true, 0),
      File(4, u"Cookies", u"Cookies", true, true, 2),
      File(5, u"Current session", u"Current Session", true, true, 3),
      File(6, u"Current tabs", u"Current Tabs", false, false, 4),
      File(7, u"Extension cookies", u"Extension Cookies", true, true, 6),
      File(8, u"History", u"History", true, true, 7),
      File(9, u"Last session", u"Last Session", false, false, 8),
      File(10, u"Last tabs", u"Last Tabs", true, false, 9),
      File(11, u"Preferences", u"Preferences", false, true, 11),
      File(12, u"Thumbnails", u"Thumbnails", true, true, 12),
      File(13, u"Visited links", u"Visited Links", true, true, 13),
      File(14, u"Login Data", u"Login Data", false, false, 15),
      File(15, u"Web data", u"Web Data", false, false, 14),
      // Shown ticked and greyed; nothing stands behind it.
      Box(16, u"Cache", 1),
  };
  // Saved passwords are ticked or cleared only one by one.
  c.items[13].inSelectAll = false;
  c.items[15].enabled = false;
  c.backupOrder = c.restoreOrder = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  c.columns = 3;
  c.rows = 7;
  return c;
}

BrowserDescription Describe() {
  static const Catalogue catalogue = Items();
  BrowserDescription d;
  d.id = u"Chrome";
  d.name = u"Chrome";
  d.cliName = u"chrome";
  d.word = u"chrome";
  d.search = Search();
  d.catalogue = &catalogue;
  d.customProfileName = u"ch_custom";
  d.markerInProfile = true;
  d.wholeProfileName = true;
  d.badgeColor = 0x3DA84C;
  d.firstStep = kStep;
  d.backupEndStep = kStep;
  d.restoreFirstStep = 5;
  d.restoreEndStep = 9;
  return d;
}

}  // namespace

const BrowserDescription& Chrome() {
  static const BrowserDescription chrome = Describe();
  return chrome;
}

}  // namespace brantle

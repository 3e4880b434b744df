#include "brantle/browsers/mozilla/mozilla_items.h"

namespace brantle {

namespace {

std::vector<MozillaItem> FirefoxItems() {
  return {
      {1, u"Bookmarks", {u"bookmarks.html", u"places.sqlite"}, nullptr, 5},
      {2, u"Cookies", {u"cookies.txt", u"cookies.sqlite"}, nullptr, 5},
      {3, u"Download history", {u"downloads.rdf", u"downloads.sqlite"}, nullptr, 5},
      {4, u"Extensions", {u"extensions.ini"}, u"extensions", 5},
      {5, u"History", {u"history.dat", u"places.sqlite"}, nullptr, 5},
      {6, u"Preferences", {u"prefs.js", u"user.js"}, u"preferences", 5},
      {7, u"Saved form data", {u"formhistory.dat", u"formhistory.sqlite"}, nullptr, 5},
      {8, u"Saved passwords", {u"key3.db", u"signons2.txt", u"signons3.txt", u"signons.sqlite"}, nullptr, 5},
      {9, u"Site(s) preferences", {u"hostperm.1", u"content-prefs.sqlite"}, nullptr, 5},
      {10, u"Mime types", {u"mimeTypes.rdf"}, nullptr, 5},
      {11, u"Search engines", {u"search.rdf", u"search.sqlite"}, u"searchplugins", 5},
      {12, u"Sessions", {u"sessionstore.js"}, nullptr, 5},
      {13, u"Spelling dictionary", {u"persdict.dat"}, nullptr, 5},
      {14, u"Toolbar size settings", {u"localstore.rdf"}, nullptr, 5},
      // The one item that leaves the progress window where it is.
      {15, u"User set preferences", {}, u"chrome", 0},
  };
}

MozillaCatalogue MakeFirefox() {
  MozillaCatalogue c;
  c.items = FirefoxItems();
  c.backupOrder = {4, 6, 11, 15, 12, 13, 14, 1, 2, 3, 5, 10, 7, 8, 9};
  c.restoreOrder = {4, 15, 6, 11, 5, 10, 1, 2, 3, 7, 8, 9, 12, 13, 14};
  c.hasDeleteBackupFileBox = true;
  return c;
}

MozillaCatalogue MakeFlock() {
  std::vector<MozillaItem> items = FirefoxItems();
  items.push_back({16, u"Flock specific data", {u"flock-data.sqlite", u"webdetective.sqlite"}, nullptr, 5});
  items.push_back({17, u"Feed data", {u"feedcontent.sqlite"}, nullptr, 5});
  MozillaCatalogue c;
  c.items = items;
  c.backupOrder = {4, 6, 11, 15, 12, 13, 14, 1, 2, 3, 5, 10, 7, 16, 17, 8, 9};
  c.restoreOrder = {4, 15, 6, 11, 5, 10, 1, 2, 3, 7, 16, 17, 8, 9, 12, 13, 14};
  return c;
}

}  // namespace

const MozillaCatalogue& CatalogueOf(MozillaBrowser browser) {
  static const MozillaCatalogue firefox = MakeFirefox();
  static const MozillaCatalogue flock = MakeFlock();
  return browser == MozillaBrowser::kFlock ? flock : firefox;
}

}  // namespace brantle

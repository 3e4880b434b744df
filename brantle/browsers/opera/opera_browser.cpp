#include "brantle/browsers/opera/opera_browser.h"

#include "brantle/browsers/opera/opera_search.h"

namespace brantle {

using platform::Text;

namespace {

constexpr int kStep = 5;

CatalogueItem Item(int n, const char16_t* caption, std::vector<const char16_t*> files, const char16_t* folder,
                   int slot) {
  CatalogueItem item;
  item.checkBox = n;
  item.caption = caption;
  item.files = std::move(files);
  item.folder = folder;
  item.progressStep = kStep;
  item.slot = slot;
  return item;
}

// Three columns of up to seven, each read from top to bottom, in the
// order of their captions.
Catalogue Items() {
  Catalogue c;
  c.items = {
      Item(1, u"Bookmarks", {u"opera6.adr", u"bookmarks.adr"}, nullptr, 0),
      Item(2, u"Sessions", {}, u"sessions", 11),
      Item(3, u"Skins", {}, u"skin", 12),
      Item(4, u"Toolbar configuration", {}, u"toolbar", 13),
      Item(5, u"Keyboard configuration", {}, u"keyboard", 5),
      Item(6, u"Mail and feeds", {}, u"mail", 6),
      Item(7, u"Menu configuration", {}, u"menu", 7),
      Item(8, u"Mouse configuration", {}, u"mouse", 8),
      Item(9, u"Certificate data", {u"opcacrt6.dat", u"opcert6.dat"}, nullptr, 1),
      Item(10, u"Contacts", {u"contacts.adr"}, nullptr, 2),
      Item(11, u"Cookies", {u"cookies4.dat"}, nullptr, 3),
      Item(12, u"History", {u"download.dat", u"global.dat", u"global_history.dat", u"typed_history.xml"}, nullptr,
           4),
      Item(13, u"Notes", {u"notes.adr"}, nullptr, 9),
      Item(14, u"Preferences",
           {u"adprefs.ini", u"opera6.ini", u"operaprefs.ini", u"override_downloaded.ini", u"search.ini",
            u"speeddial.ini", u"urlfilter.ini"},
           u"dictionaries", 10),
      Item(15, u"Visited links", {u"vlink4.dat"}, nullptr, 14),
      Item(16, u"Wand data (passwords)", {u"wand.dat"}, nullptr, 15),
  };
  // The profile's mail lives in the roaming folder; its local copy is kept
  // in the archive beside it.
  c.items[5].storedFolders = {{FolderBase::kLocalMail, u"loc\\mail"}};
  for (int n = 1; n <= 16; ++n) c.backupOrder.push_back(n);
  c.restoreOrder = c.backupOrder;
  c.columns = 3;
  c.rows = 7;
  return c;
}

// loc + "\Opera\" + name + "\mail"; unknown without the local folder, which
// would otherwise make it a folder at the root of the current drive.
Text LocalMail(const Discovery& found, const Text& name) {
  return found.loc.empty() ? Text() : found.loc + u"\\Opera\\" + name + u"\\mail";
}

BrowserDescription Describe() {
  static const Catalogue catalogue = Items();
  BrowserDescription d;
  d.id = u"Opera";
  d.name = u"Opera";
  d.cliName = u"opera";
  d.word = u"opera";
  d.search = OperaSearch();
  d.catalogue = &catalogue;
  d.badgeColor = 0x2020C0;
  d.customProfileName = u"op_custom";
  d.wholeProfileName = true;
  d.firstStep = kStep;
  d.backupEndStep = kStep;
  d.restoreEndStep = 9;
  d.extraArchives = {{u"fbackup_opera2.dat", FolderBase::kLocalMail}};
  d.typedSearch = [](const Text& folderName) { return OperaSearch(folderName); };
  d.notFoundTyped = u"Settings Files Not Found. Please Re-Check Folder Name.";
  d.notFoundFull = u"Settings Files Not Found. Please Type Folder Name.";
  d.afterSearch = [](Discovery& found, DiscoveryForm form) {
    if (form == DiscoveryForm::kFull)
      found.Base(FolderBase::kLocalMail) = LocalMail(found, found.customdir.empty() ? Text(kOperaFolder) : found.customdir);
  };
  d.onProfile = [](platform::FileSystem& files, Discovery& found, Text& folder, const Text& name, bool custom) {
    // A custom folder has no local mail folder Opera would read.
    found.Base(FolderBase::kLocalMail) = custom ? Text() : LocalMail(found, name);
    if (custom) return;
    // Each profile may have its own "profile" sub-folder layout.
    if (files.FileExists(folder + u"profile\\" + kSpeedDialFile)) folder += u"profile\\";
  };
  return d;
}

}  // namespace

const BrowserDescription& Opera() {
  static const BrowserDescription opera = Describe();
  return opera;
}

}  // namespace brantle

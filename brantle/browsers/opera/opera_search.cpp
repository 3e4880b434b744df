#include "brantle/browsers/opera/opera_search.h"

#include <mutex>
#include <set>

namespace brantle {

const char16_t kOperaFolder[] = u"Opera";
const char16_t kSpeedDialFile[] = u"speeddial.ini";
const char16_t kOperaPrefsFile[] = u"operaprefs.ini";

namespace {

// The table holds plain text pointers; a typed folder name gives texts
// that must outlive any copy of it, so they are kept here for good.
const char16_t* Keep(const Text& text) {
  static std::mutex mutex;
  static std::set<Text> kept;
  std::lock_guard<std::mutex> lock(mutex);
  return kept.insert(text).first->c_str();
}

}  // namespace

FolderSearch OperaSearch(const Text& folderName, const char16_t* marker) {
  const Text opera = u"\\Opera\\" + folderName;
  const Text profile = opera + u"\\profile";
  FolderSearch s;
  s.marker = marker;
  s.vista = {{Root::kAppData, Keep(opera)},
             {Root::kHome, Keep(u"\\AppData\\Local" + opera)},
             {Root::kAppData, Keep(profile)},
             {Root::kHome, Keep(u"\\AppData\\Local" + profile)},
             {Root::kHome, Keep(u"\\AppData\\Roaming" + profile)},
             {Root::kLocalAppData, Keep(profile)}};
  s.other = {{Root::kAppData, Keep(opera), true},
             {Root::kHome, Keep(u"\\Application Data" + opera)},
             {Root::kAppData, Keep(profile)},
             {Root::kHome, Keep(u"\\Application Data" + profile)},
             {Root::kHome, Keep(u"\\Local Settings\\Application Data" + profile)},
             {Root::kLocalAppData, Keep(profile)}};
  const Text name = folderName + u"\\";
  s.selectiveTails = {Keep(name + u"profile\\" + marker), Keep(name + marker)};
  s.fullTails = {Keep(u"\\" + name + u"profile\\" + marker), Keep(u"\\" + name + marker)};
  return s;
}

}  // namespace brantle

#include "brantle/browsers/common/folder_search.h"

namespace brantle {

using namespace platform;

Text FileSearch(FileSystem& files, const Text& name, const Text& dirList, bool bareNameFirst) {
  if (bareNameFirst && files.FileExists(name)) return name;
  size_t p = 0;
  while (true) {
    while (p < dirList.size() && dirList[p] == u';') ++p;
    if (p >= dirList.size()) return Text();
    size_t end = dirList.find(u';', p);
    if (end == Text::npos) end = dirList.size();
    Text candidate = dirList.substr(p, end - p);
    p = end;
    if (candidate.back() != u'\\' && candidate.back() != u':') candidate += u'\\';
    candidate += name;
    if (files.FileExists(candidate)) return candidate;
  }
}

namespace {

// Root + tail; empty when the root itself is unknown.
Text Build(const Discovery& d, const Candidate& c, bool vista) {
  Text root;
  switch (c.root) {
    case Root::kAppData: root = d.sfp; break;
    case Root::kLocalAppData: root = d.loc; break;
    case Root::kHome:
      if (d.drv.empty() || d.uzer.empty()) return Text();
      root = d.drv + (vista ? u"\\Users\\" : u"\\Documents and Settings\\") + d.uzer;
      break;
  }
  return root.empty() ? Text() : root + c.tail;
}

}  // namespace

bool Discover(FileHelpers& helpers, Platform& p, const FolderSearch& search, DiscoveryForm form,
              Discovery& d) {
  d.uzer = helpers.GetLoginName();
  d.drv = helpers.GetSystemDrive();
  d.sfp = helpers.GetSpecialFolderPath(csidl::kAppData);
  d.loc = helpers.GetSpecialFolderPath(csidl::kLocalAppData);
  OsVersion v = p.system.Version();
  d.VersionNumber = ToText(v.major) + u"." + ToText(v.minor);
  d.windoze = ToText(v.major);
  d.fileName = search.marker;

  const bool vista = d.windoze == u"6";
  d.candidates.clear();
  for (const Candidate& c : vista ? search.vista : search.other)
    d.candidates.push_back(!vista && c.only5 && d.windoze != u"5" ? Text() : Build(d, c, vista));
  Text* named[] = {&d.dir1, &d.dir2, &d.dir3, &d.dir4};
  for (size_t i = 0; i < 4; ++i) *named[i] = i < d.candidates.size() ? d.candidates[i] : Text();
  for (const BaseRule& rule : search.bases) d.Base(rule.base) = Build(d, vista ? rule.vista : rule.other, vista);

  Text list;
  for (const Text& c : d.candidates) list += c + u";";
  d.fullFilePath = FileSearch(p.files, d.fileName, list, search.bareNameFirst);
  if (d.fullFilePath.empty()) return false;
  Text folder = d.fullFilePath;
  for (const char16_t* tail : form == DiscoveryForm::kSelective ? search.selectiveTails : search.fullTails)
    folder = RemoveAllNoCase(folder, tail);
  d.ffpath = folder;
  d.Base(FolderBase::kDataFolder) = ExcludeTrailingBackslash(RemoveAllNoCase(d.fullFilePath, d.fileName));
  return true;
}

}  // namespace brantle

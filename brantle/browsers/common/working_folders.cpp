#include "brantle/browsers/common/working_folders.h"

namespace brantle {

using namespace platform;

bool SameOrInside(const Text& path, const Text& folder) {
  Text a = ExcludeTrailingBackslash(path), b = ExcludeTrailingBackslash(folder);
  if (b.empty() || a.size() < b.size()) return false;
  if (!SameText(a.substr(0, b.size()), b)) return false;
  return a.size() == b.size() || a[b.size()] == u'\\';
}

Text WorkingFolderConflict(const Text& backups, const Text& name, const std::vector<Text>& live) {
  const Text folder = ExcludeTrailingBackslash(backups) + u"\\" + name;
  for (const Text& l : live) {
    if (l.empty()) continue;
    if (SameOrInside(backups, l))
      return u"The backup location " + backups + u" lies inside " + ExcludeTrailingBackslash(l) +
             u", which is being backed up or restored. Choose a backup location outside it.";
    if (SameOrInside(folder, l))
      return u"The working folder " + folder + u" would be " + ExcludeTrailingBackslash(l) +
             u" or lie inside it. Choose another backup location.";
  }
  return Text();
}

Text CreateFreshFolder(FileSystem& files, const Text& backups, const Text& name) {
  const Text base = ExcludeTrailingBackslash(backups) + u"\\" + name;
  if (!files.DirExists(IncludeTrailingBackslash(backups))) return Text();
  // CreateDir fails on an existing name, so success means this run made it.
  if (files.CreateDir(base)) return base;
  for (int n = 1; n < 1000; ++n) {
    Text candidate = base + u"~" + ToText(static_cast<unsigned>(n));
    if (!files.Exists(candidate) && files.CreateDir(candidate)) return candidate;
  }
  return Text();
}

}  // namespace brantle

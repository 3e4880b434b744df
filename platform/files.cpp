#include "platform/files.h"

namespace platform {

bool FileSystem::ForceDirectories(const Text& path) {
  Text dir = ExcludeTrailingBackslash(path);
  if (dir.empty()) return false;
  // A drive ("C:") or a share root always exists as far as we are concerned.
  if (dir.size() <= 2 || DirExists(dir)) return true;
  size_t slash = dir.find_last_of(u'\\');
  if (slash != Text::npos && slash > 0) {
    if (!ForceDirectories(dir.substr(0, slash))) return false;
  }
  return CreateDir(dir) || DirExists(dir);
}

}  // namespace platform

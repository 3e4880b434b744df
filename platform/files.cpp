#include "platform/files.h"

#include "platform/errors.h"

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

std::unique_ptr<File> FileSystem::CreateTemporaryBeside(const Text& target, Text* temp, uint32_t* error) {
  std::unique_ptr<File> file;
  for (int attempt = 0; attempt < 100 && !file; ++attempt) {
    *temp = target + u".tmp" + (attempt ? ToText(attempt) : Text());
    file = Open(*temp, Access::kReadWrite, Share::kExclusive, Disposition::kCreateNew, error);
    if (!file && *error != err::kFileExists && *error != err::kAlreadyExists) break;
  }
  return file;
}

}  // namespace platform

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
  // Temporaries an interrupted run left behind go first; one still open
  // (another run at work) cannot be removed and is left alone.
  size_t slash = target.find_last_of(u'\\');
  Text folder = slash == Text::npos ? Text() : target.substr(0, slash + 1);
  Text stem = target.substr(slash == Text::npos ? 0 : slash + 1) + u".tmp";
  for (const FindEntry& e : Find(target + u".tmp*")) {
    if (e.attributes & attr::kDirectory) continue;
    if (UpperCase(e.name).compare(0, stem.size(), UpperCase(stem)) != 0) continue;
    Text suffix = e.name.substr(stem.size());
    if (suffix.find_first_not_of(u"0123456789") == Text::npos) Remove(folder + e.name);
  }
  std::unique_ptr<File> file;
  for (int attempt = 0; attempt < 100 && !file; ++attempt) {
    *temp = target + u".tmp" + (attempt ? ToText(attempt) : Text());
    file = Open(*temp, Access::kReadWrite, Share::kExclusive, Disposition::kCreateNew, error);
    if (!file && *error != err::kFileExists && *error != err::kAlreadyExists) break;
  }
  return file;
}

}  // namespace platform

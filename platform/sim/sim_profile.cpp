#include "platform/sim/sim_profile.h"

#include "platform/sim/sim_ini_document.h"

namespace platform::sim {

bool FileSystemProfileStore::Load(const Text& path, std::string* bytes) {
  uint32_t error = 0;
  std::unique_ptr<File> f = files_.Open(path, Access::kRead, Share::kReadWrite,
                                        Disposition::kOpenExisting, &error);
  if (!f) return false;
  bytes->clear();
  char buffer[4096];
  try {
    for (size_t n; (n = f->Read(buffer, sizeof buffer)) != 0;) bytes->append(buffer, n);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool FileSystemProfileStore::Save(const Text& path, const std::string& bytes) {
  uint32_t error = 0;
  std::unique_ptr<File> f = files_.Open(path, Access::kWrite, Share::kRead,
                                        Disposition::kCreateAlways, &error);
  if (!f) return false;
  try {
    f->Write(bytes.data(), bytes.size());
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool MemoryProfileStore::Load(const Text& path, std::string* bytes) {
  auto it = files.find(UpperCase(path));
  if (it == files.end()) return false;
  *bytes = it->second;
  return true;
}

bool MemoryProfileStore::Save(const Text& path, const std::string& bytes) {
  files[UpperCase(path)] = bytes;
  return true;
}

namespace {

IniDocument LoadDocument(ProfileStore& store, const Text& file, bool* exists = nullptr) {
  std::string bytes;
  bool ok = store.Load(file, &bytes);
  if (exists) *exists = ok;
  return IniDocument::Parse(ok ? bytes : std::string());
}

}  // namespace

Text SimProfile::ReadString(const Text& file, const Text& section, const Text& key,
                            const Text& defaultValue, bool* found) {
  Text value;
  bool ok = LoadDocument(store_, file).Get(section, key, &value);
  if (found) *found = ok;
  return ok ? value : defaultValue;
}

std::vector<Text> SimProfile::ReadKeys(const Text& file, const Text& section) {
  return LoadDocument(store_, file).Keys(section);
}

std::vector<Text> SimProfile::ReadSections(const Text& file) {
  return LoadDocument(store_, file).Sections();
}

bool SimProfile::WriteString(const Text& file, const Text& section, const Text& key,
                             const Text& value) {
  IniDocument doc = LoadDocument(store_, file);
  doc.Set(section, key, value);
  return store_.Save(file, doc.Serialize());
}

bool SimProfile::DeleteKey(const Text& file, const Text& section, const Text& key) {
  bool exists = false;
  IniDocument doc = LoadDocument(store_, file, &exists);
  if (!exists) return true;
  doc.Delete(section, key);
  return store_.Save(file, doc.Serialize());
}

bool SimProfile::EraseSection(const Text& file, const Text& section) {
  bool exists = false;
  IniDocument doc = LoadDocument(store_, file, &exists);
  if (!exists) return true;
  doc.Erase(section);
  return store_.Save(file, doc.Serialize());
}

}  // namespace platform::sim

// The profile functions on an ini file model, as Wine's implementation
// behaves: lines kept as read, names trimmed and compared without regard to
// case, the first of duplicate sections and keys seen, one pair of quotes
// around a value dropped, comment lines and lines without "=" left out of
// key lists, new keys appended to their section.
#pragma once

#include <map>
#include <string>

#include "platform/files.h"
#include "platform/profile.h"

namespace platform::sim {

// Where the model reads and writes whole files.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  virtual bool Load(const Text& path, std::string* bytes) = 0;
  virtual bool Save(const Text& path, const std::string& bytes) = 0;
};

// Files of a (simulated or real) platform file system.
class FileSystemProfileStore : public ProfileStore {
 public:
  explicit FileSystemProfileStore(FileSystem& files) : files_(files) {}
  bool Load(const Text& path, std::string* bytes) override;
  bool Save(const Text& path, const std::string& bytes) override;

 private:
  FileSystem& files_;
};

// Files held in memory, names compared without regard to case.
class MemoryProfileStore : public ProfileStore {
 public:
  bool Load(const Text& path, std::string* bytes) override;
  bool Save(const Text& path, const std::string& bytes) override;
  std::map<Text, std::string> files;  // keys upper case
};

class SimProfile : public Profile {
 public:
  explicit SimProfile(ProfileStore& store) : store_(store) {}
  Text ReadString(const Text& file, const Text& section, const Text& key,
                  const Text& defaultValue, bool* found = nullptr) override;
  std::vector<Text> ReadKeys(const Text& file, const Text& section) override;
  std::vector<Text> ReadSections(const Text& file) override;
  bool WriteString(const Text& file, const Text& section, const Text& key,
                   const Text& value) override;
  bool DeleteKey(const Text& file, const Text& section, const Text& key) override;
  bool EraseSection(const Text& file, const Text& section) override;

 private:
  ProfileStore& store_;
};

}  // namespace platform::sim

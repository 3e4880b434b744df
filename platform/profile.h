// Ini files through the Windows profile functions: section and key names
// compare without regard to case, spaces around names and values are
// dropped, the first of duplicate keys wins, and writes keep the file's order.
#pragma once

#include <vector>

#include "platform/text.h"

namespace platform {

class Profile {
 public:
  virtual ~Profile() = default;
  // GetPrivateProfileStringW; *found is false (and the default returned)
  // when the file, section or key is missing.
  virtual Text ReadString(const Text& file, const Text& section, const Text& key,
                          const Text& defaultValue, bool* found = nullptr) = 0;
  // The key names of a section, in file order (GetPrivateProfileStringW with no key).
  virtual std::vector<Text> ReadKeys(const Text& file, const Text& section) = 0;
  // The section names, in file order (GetPrivateProfileSectionNamesW).
  virtual std::vector<Text> ReadSections(const Text& file) = 0;
  // WritePrivateProfileStringW: replaces the key's value or appends the key
  // (and the section); creates the file when missing.
  virtual bool WriteString(const Text& file, const Text& section, const Text& key,
                           const Text& value) = 0;
  virtual bool DeleteKey(const Text& file, const Text& section, const Text& key) = 0;
  virtual bool EraseSection(const Text& file, const Text& section) = 0;
};

}  // namespace platform

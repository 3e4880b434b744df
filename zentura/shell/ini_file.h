// One ini file read and written through the profile functions, with the
// integer and true/false conventions of the optimiser's settings.
#pragma once

#include <vector>

#include "platform/profile.h"

namespace zentura {

using platform::Text;

// Decimal, or hexadecimal after a leading 0x, with an optional sign; false
// for anything else (empty text included) or a value beyond 32 bits.
bool ParseIniInteger(const Text& text, int* value);

class TIniFile {
 public:
  TIniFile(platform::Profile& profile, Text fileName)
      : profile_(profile), fileName_(std::move(fileName)) {}
  const Text& FileName() const { return fileName_; }

  Text ReadString(const Text& section, const Text& key, const Text& defaultValue);
  // A missing or unreadable value gives the default.
  int ReadInteger(const Text& section, const Text& key, int defaultValue);
  // An integer, 0 false and anything else true.
  bool ReadBool(const Text& section, const Text& key, bool defaultValue);
  // Key names in file order.
  std::vector<Text> ReadSection(const Text& section);
  std::vector<Text> ReadSections();
  bool SectionExists(const Text& section);
  bool WriteString(const Text& section, const Text& key, const Text& value);
  bool WriteInteger(const Text& section, const Text& key, int value);
  // Written as "1" or "0".
  bool WriteBool(const Text& section, const Text& key, bool value);
  bool DeleteKey(const Text& section, const Text& key);
  bool EraseSection(const Text& section);

 private:
  platform::Profile& profile_;
  Text fileName_;
};

}  // namespace zentura

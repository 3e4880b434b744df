// An ini file as the profile functions see it.
#pragma once

#include <string>
#include <vector>

#include "platform/text.h"

namespace platform::sim {

class IniDocument {
 public:
  enum class Encoding { kAnsi, kUtf8Bom, kUtf16Le };

  static IniDocument Parse(const std::string& bytes);
  std::string Serialize() const;

  // The value with surrounding matching quotes removed; false when missing.
  bool Get(const Text& section, const Text& key, Text* value) const;
  std::vector<Text> Keys(const Text& section) const;
  std::vector<Text> Sections() const;
  void Set(const Text& section, const Text& key, const Text& value);
  bool Delete(const Text& section, const Text& key);
  bool Erase(const Text& section);

 private:
  struct Entry {
    Text name;
    bool hasValue = false;  // false: a line without "=" (or an empty line)
    Text value;
  };
  struct Section {
    bool header = false;  // false only for lines before the first header
    Text name;
    std::vector<Entry> entries;
  };

  Section* Find(const Text& section);
  const Section* Find(const Text& section) const;

  Encoding encoding_ = Encoding::kAnsi;
  std::vector<Section> sections_;
};

}  // namespace platform::sim

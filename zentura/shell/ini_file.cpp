#include "zentura/shell/ini_file.h"

#include <cstdint>

namespace zentura {

bool ParseIniInteger(const Text& text, int* value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int base = 10;
  if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    char16_t c = text[i];
    int digit;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  // Hexadecimal covers the full 32 bits (0xFFFFFFFF is -1), decimal the signed range.
  int64_t v = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  if (base == 16 && !negative) {
    *value = static_cast<int>(static_cast<uint32_t>(magnitude));
    return true;
  }
  if (v < INT32_MIN || v > INT32_MAX) return false;
  *value = static_cast<int>(v);
  return true;
}

Text TIniFile::ReadString(const Text& section, const Text& key, const Text& defaultValue) {
  return profile_.ReadString(fileName_, section, key, defaultValue);
}

int TIniFile::ReadInteger(const Text& section, const Text& key, int defaultValue) {
  int value;
  return ParseIniInteger(ReadString(section, key, Text()), &value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const Text& section, const Text& key, bool defaultValue) {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<Text> TIniFile::ReadSection(const Text& section) {
  return profile_.ReadKeys(fileName_, section);
}

std::vector<Text> TIniFile::ReadSections() { return profile_.ReadSections(fileName_); }

bool TIniFile::SectionExists(const Text& section) {
  for (const Text& s : ReadSections()) {
    if (platform::SameText(s, section)) return true;
  }
  return false;
}

bool TIniFile::WriteString(const Text& section, const Text& key, const Text& value) {
  return profile_.WriteString(fileName_, section, key, value);
}

bool TIniFile::WriteInteger(const Text& section, const Text& key, int value) {
  return WriteString(section, key, platform::ToText(value));
}

bool TIniFile::WriteBool(const Text& section, const Text& key, bool value) {
  return WriteString(section, key, value ? u"1" : u"0");
}

bool TIniFile::DeleteKey(const Text& section, const Text& key) {
  return profile_.DeleteKey(fileName_, section, key);
}

bool TIniFile::EraseSection(const Text& section) {
  return profile_.EraseSection(fileName_, section);
}

}  // namespace zentura

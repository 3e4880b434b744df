#include "platform/sim/sim_ini_document.h"

namespace platform::sim {

namespace {

bool IsSpace(char16_t c) { return c == u' ' || (c >= 9 && c <= 13) || c == 0x1A; }

Text Trim(const Text& s) {
  size_t a = 0, b = s.size();
  while (a < b && IsSpace(s[a])) ++a;
  while (b > a && IsSpace(s[b - 1])) --b;
  return s.substr(a, b - a);
}

Text Decode(const std::string& bytes, IniDocument::Encoding* encoding) {
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
      static_cast<uint8_t>(bytes[1]) == 0xFE) {
    *encoding = IniDocument::Encoding::kUtf16Le;
    Text out;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      out.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                          (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    }
    return out;
  }
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    *encoding = IniDocument::Encoding::kUtf8Bom;
    return FromUtf8(bytes.substr(3));
  }
  *encoding = IniDocument::Encoding::kAnsi;
  return FromCp1252(bytes);
}

std::string Encode(const Text& text, IniDocument::Encoding encoding) {
  switch (encoding) {
    case IniDocument::Encoding::kUtf16Le: {
      std::string out = "\xFF\xFE";
      for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
      }
      return out;
    }
    case IniDocument::Encoding::kUtf8Bom:
      return "\xEF\xBB\xBF" + ToUtf8(text);
    case IniDocument::Encoding::kAnsi:
      break;
  }
  return ToCp1252(text);
}

// Removes one pair of matching single or double quotes around a value.
Text StripQuotes(const Text& v) {
  if (v.size() >= 2 && (v[0] == u'"' || v[0] == u'\'') && v.back() == v[0]) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

}  // namespace

IniDocument IniDocument::Parse(const std::string& bytes) {
  IniDocument doc;
  Text text = Decode(bytes, &doc.encoding_);
  doc.sections_.push_back(Section{});
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == Text::npos) end = text.size();
    Text line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty()) {
      doc.sections_.back().entries.push_back(Entry{});
      continue;
    }
    if (line[0] == u'[') {
      size_t close = line.rfind(u']');
      if (close != Text::npos) {
        doc.sections_.push_back(Section{true, Trim(line.substr(1, close - 1)), {}});
        continue;
      }
    }
    Entry e;
    size_t eq = line.find(u'=');
    if (eq == Text::npos) {
      e.name = line;
    } else {
      e.name = Trim(line.substr(0, eq));
      e.hasValue = true;
      e.value = Trim(line.substr(eq + 1));
    }
    doc.sections_.back().entries.push_back(e);
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  Text out;
  for (const Section& s : sections_) {
    if (s.header) out += u"[" + s.name + u"]\r\n";
    for (const Entry& e : s.entries) {
      out += e.name;
      if (e.hasValue) out += u"=" + e.value;
      out += u"\r\n";
    }
  }
  return Encode(out, encoding_);
}

IniDocument::Section* IniDocument::Find(const Text& section) {
  for (Section& s : sections_) {
    if (s.header && SameText(s.name, section)) return &s;
  }
  return nullptr;
}

const IniDocument::Section* IniDocument::Find(const Text& section) const {
  return const_cast<IniDocument*>(this)->Find(section);
}

bool IniDocument::Get(const Text& section, const Text& key, Text* value) const {
  const Section* s = Find(section);
  if (!s) return false;
  for (const Entry& e : s->entries) {
    if (!e.name.empty() && SameText(e.name, key)) {
      if (!e.hasValue) return false;
      *value = StripQuotes(e.value);
      return true;
    }
  }
  return false;
}

std::vector<Text> IniDocument::Keys(const Text& section) const {
  std::vector<Text> keys;
  const Section* s = Find(section);
  if (!s) return keys;
  for (const Entry& e : s->entries) {
    if (!e.hasValue || (!e.name.empty() && e.name[0] == u';')) continue;
    keys.push_back(e.name);
  }
  return keys;
}

std::vector<Text> IniDocument::Sections() const {
  std::vector<Text> names;
  for (const Section& s : sections_) {
    if (s.header) names.push_back(s.name);
  }
  return names;
}

void IniDocument::Set(const Text& section, const Text& key, const Text& value) {
  Section* s = Find(section);
  if (!s) {
    sections_.push_back(Section{true, section, {}});
    s = &sections_.back();
  }
  for (Entry& e : s->entries) {
    if (!e.name.empty() && SameText(e.name, key)) {
      e.hasValue = true;
      e.value = value;
      return;
    }
  }
  s->entries.push_back(Entry{key, true, value});
}

bool IniDocument::Delete(const Text& section, const Text& key) {
  Section* s = Find(section);
  if (!s) return false;
  for (size_t i = 0; i < s->entries.size(); ++i) {
    if (!s->entries[i].name.empty() && SameText(s->entries[i].name, key)) {
      s->entries.erase(s->entries.begin() + i);
      return true;
    }
  }
  return false;
}

bool IniDocument::Erase(const Text& section) {
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (sections_[i].header && SameText(sections_[i].name, section)) {
      sections_.erase(sections_.begin() + i);
      return true;
    }
  }
  return false;
}

}  // namespace platform::sim

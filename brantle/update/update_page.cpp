#include "brantle/update/update_page.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace brantle {
namespace {

constexpr size_t kWindow = 255;

// The text from `start` up to the next double quote, looked for within
// 255 characters; cut at 255 when there is none.
Text Quoted(const Text& line, size_t start) {
  if (start >= line.size()) return Text();
  Text window = line.substr(start, kWindow);
  size_t quote = window.find(u'"');
  return quote == Text::npos ? window : window.substr(0, quote);
}

size_t FindNoCase(const Text& text, const Text& what) {
  Text upper = platform::UpperCase(text);
  return upper.find(what);
}

void DefineFromLine(const Text& line, const TTagInfo& tags, TPageValues* v) {
  size_t meta = line.find(u"META NAME");
  if (meta == Text::npos) return;
  size_t content = FindNoCase(line, u"CONTENT=");
  if (content == Text::npos) return;
  Text name = Quoted(line, meta + 11);
  Text value = Quoted(line, content + 9);
  const std::pair<const Text*, Text*> table[] = {
      {&tags.ProductName, &v->ProductName},   {&tags.Version, &v->ProductVersion},
      {&tags.Download, &v->UpdateURL},        {&tags.ClientFileName, &v->ClientFileName},
      {&tags.Redirection, &v->RedirectionURL}, {&tags.RunParameters, &v->RunParameters},
      {&tags.Author, &v->Author},             {&tags.Email, &v->EMail}};
  for (const auto& [tag, target] : table) {
    if (name == *tag) {
      *target = value;
      return;
    }
  }
}

// A dotted part as an integer; anything that is not a 32-bit decimal
// number counts 0.
long long PartValue(const Text& part) {
  size_t i = 0;
  bool negative = false;
  if (i < part.size() && (part[i] == u'+' || part[i] == u'-')) negative = part[i++] == u'-';
  if (i == part.size()) return 0;
  long long value = 0;
  for (; i < part.size(); ++i) {
    if (part[i] < u'0' || part[i] > u'9') return 0;
    value = value * 10 + (part[i] - u'0');
    if (value > 0x7FFFFFFFLL + (negative ? 1 : 0)) return 0;
  }
  return negative ? -value : value;
}

std::vector<Text> Parts(const Text& version) {
  std::vector<Text> parts;
  size_t start = 0;
  for (;;) {
    size_t dot = version.find(u'.', start);
    parts.push_back(version.substr(start, dot == Text::npos ? Text::npos : dot - start));
    if (dot == Text::npos) return parts;
    start = dot + 1;
  }
}

bool ParseNumber(const Text& text, double* value) {
  std::string ascii;
  for (char16_t c : text) {
    if (c > 127) return false;
    ascii += static_cast<char>(c);
  }
  if (ascii.empty() || ascii.find_first_of(" \t\r\n") != std::string::npos) return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtod(ascii.c_str(), &end);
  return end == ascii.c_str() + ascii.size() && errno == 0 &&
         ascii.find_first_of("xXpPnNiI") == std::string::npos;
}

}  // namespace

void ParseUpdatePage(const Text& page, const TTagInfo& tags, TPageValues* values) {
  size_t start = 0;
  while (start < page.size()) {
    size_t end = page.find_first_of(u"\r\n", start);
    if (end == Text::npos) end = page.size();
    DefineFromLine(page.substr(start, end - start), tags, values);
    if (end < page.size() && page[end] == u'\r' && end + 1 < page.size() && page[end + 1] == u'\n') ++end;
    start = end + 1;
  }
}

bool IsNewerVersion(TVersionFormat format, const Text& running, const Text& latest) {
  switch (format) {
    case TVersionFormat::vfString:
      return latest > running;
    case TVersionFormat::vfNumber: {
      double a = 0, b = 0;
      return ParseNumber(running, &a) && ParseNumber(latest, &b) && b > a;
    }
    case TVersionFormat::vfStandard:
      break;
  }
  std::vector<Text> a = Parts(running);
  std::vector<Text> b = Parts(latest);
  for (size_t i = 0; i < a.size() || i < b.size(); ++i) {
    long long x = i < a.size() ? PartValue(a[i]) : 0;
    long long y = i < b.size() ? PartValue(b[i]) : 0;
    if (x != y) return y > x;
  }
  return false;
}

}  // namespace brantle

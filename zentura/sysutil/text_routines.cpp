#include "zentura/sysutil/text_routines.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace zentura {

size_t BackPos(const Text& text, char16_t c, size_t n) {
  if (n == 0) return 0;
  size_t seen = 0;
  for (size_t i = text.size(); i > 0; --i) {
    if (text[i - 1] == c && ++seen == n) return i;
  }
  return 0;
}

Text LeftPart(const Text& text, size_t n, char16_t c) {
  if (c == 0) return text.substr(0, n);
  size_t at = text.find(c);
  return at == Text::npos ? Text() : text.substr(0, at);
}

Text RightPart(const Text& text, size_t n, char16_t c) {
  if (c == 0) return n >= text.size() ? text : text.substr(text.size() - n);
  size_t at = text.rfind(c);
  return at == Text::npos ? text : text.substr(at + 1);
}

Text TrimChars(const Text& text, char16_t c) {
  size_t first = 0;
  while (first < text.size() && text[first] <= c) ++first;
  size_t last = text.size();
  while (last > first && text[last - 1] <= c) --last;
  return text.substr(first, last - first);
}

std::vector<Text> SplitText(const Text& text, char16_t separator) {
  std::vector<Text> parts;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == separator) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(text.substr(start));
  return parts;
}

Text FormatFixed2(double value, char16_t decimalSeparator) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  Text out = platform::FromUtf8(buffer);
  for (char16_t& ch : out) {
    if (ch == u'.') ch = decimalSeparator;
  }
  return out;
}

Text SizeText(uint64_t bytes, char16_t decimalSeparator) {
  constexpr double kKb = 1024.0;
  if (bytes < 1024) return platform::ToText(static_cast<long long>(bytes)) + u" Byte";
  double b = static_cast<double>(bytes);
  if (bytes < 1024ull * 1024) return FormatFixed2(b / kKb, decimalSeparator) + u" KB";
  if (bytes < 1024ull * 1024 * 1024) {
    return FormatFixed2(b / (kKb * kKb), decimalSeparator) + u" MB";
  }
  return FormatFixed2(b / (kKb * kKb * kKb), decimalSeparator) + u" GB";
}

namespace {

// Decimal integer with optional sign and surrounding blanks, as the
// program's text-to-integer conversion reads a version part.
long long VersionPart(const Text& part) {
  Text t = TrimChars(part, u' ');
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
  if (i == t.size()) throw std::invalid_argument("'" + platform::ToUtf8(part) + "' is not a valid integer value");
  long long value = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < u'0' || t[i] > u'9' || value > (1LL << 40)) {
      throw std::invalid_argument("'" + platform::ToUtf8(part) + "' is not a valid integer value");
    }
    value = value * 10 + (t[i] - u'0');
  }
  return negative ? -value : value;
}

}  // namespace

bool IsNewerVersion(const Text& a, const Text& b) {
  std::vector<Text> pa = SplitText(a, u'.');
  std::vector<Text> pb = SplitText(b, u'.');
  for (size_t i = 0; i < pa.size(); ++i) {
    long long x = VersionPart(pa[i]);
    if (i >= pb.size()) throw std::out_of_range("version '" + platform::ToUtf8(b) + "' has too few parts");
    long long y = VersionPart(pb[i]);
    if (x > y) return true;
    if (x < y) return false;
  }
  return false;
}

Text ReplaceAll(const Text& text, const Text& what, const Text& with) {
  if (what.empty()) return text;
  Text out;
  size_t start = 0;
  for (size_t at; (at = text.find(what, start)) != Text::npos; start = at + what.size()) {
    out.append(text, start, at - start);
    out += with;
  }
  out.append(text, start, Text::npos);
  return out;
}

}  // namespace zentura

// Formatting of messages that come from language files anyone can edit. The
// format is data, so no format string may crash the program or read past
// its arguments: a missing argument renders empty, a surplus one is ignored,
// a mismatched type renders as its own value, and anything unknown ("%n",
// "%*d", a trailing "%") is copied literally. Width and precision are capped.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace zentura {

using platform::Text;

class FormatArg {
 public:
  enum class Type { Text, Signed, Unsigned };
  FormatArg(const Text& text) : type_(Type::Text), text_(text) {}
  FormatArg(const char16_t* text) : type_(Type::Text), text_(text ? text : u"") {}
  FormatArg(int value) : type_(Type::Signed), signed_(value) {}
  FormatArg(long value) : type_(Type::Signed), signed_(value) {}
  FormatArg(long long value) : type_(Type::Signed), signed_(value) {}
  FormatArg(unsigned value) : type_(Type::Unsigned), unsigned_(value) {}
  FormatArg(unsigned long value) : type_(Type::Unsigned), unsigned_(value) {}
  FormatArg(unsigned long long value) : type_(Type::Unsigned), unsigned_(value) {}

  Type GetType() const { return type_; }
  const Text& AsText() const { return text_; }
  int64_t AsSigned() const { return signed_; }
  uint64_t AsUnsigned() const { return unsigned_; }

 private:
  Type type_;
  Text text_;
  int64_t signed_ = 0;
  uint64_t unsigned_ = 0;
};

// Largest width or precision honoured; larger ones are cut to it.
constexpr int kMaxFormatWidth = 1024;

// Conversions: %s, %d (also %i), %u, %x and %X, with the flags "-" (left
// justify) and "0" (zero padding), a width and a precision ("%.2u": at least
// two digits; "%.3s": at most three characters), and "%%".
Text SafeFormat(const Text& format, const std::vector<FormatArg>& args);

// The conversion letters of a format in order ("%s%%%d" gives "sd"); what
// SafeFormat copies literally is not a conversion.
Text FormatConversions(const Text& format);

}  // namespace zentura

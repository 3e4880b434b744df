#include "zentura/lang/safe_format.h"

#include <algorithm>

namespace zentura {
namespace {

struct Directive {
  bool left = false;
  bool zero = false;
  int width = 0;
  int precision = -1;
  char16_t conversion = 0;
  size_t end = 0;  // index just past the conversion letter
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads digits from `i`, saturating at the cap, so a huge number cannot overflow.
int ReadNumber(const Text& f, size_t& i) {
  int value = 0;
  while (i < f.size() && IsDigit(f[i])) {
    value = std::min(kMaxFormatWidth, value * 10 + static_cast<int>(f[i] - u'0'));
    ++i;
  }
  return value;
}

// Parses the directive after the "%" at `start`; false when it is not one
// this formatter knows, in which case the caller copies it literally.
bool ParseDirective(const Text& f, size_t start, Directive* directive) {
  size_t i = start + 1;
  while (i < f.size() && (f[i] == u'-' || f[i] == u'0')) {
    if (f[i] == u'-') directive->left = true;
    else directive->zero = true;
    ++i;
  }
  directive->width = ReadNumber(f, i);
  if (i < f.size() && f[i] == u'.') {
    ++i;
    directive->precision = ReadNumber(f, i);
  }
  if (i >= f.size()) return false;
  switch (f[i]) {
    case u's': case u'd': case u'i': case u'u': case u'x': case u'X':
      directive->conversion = f[i];
      directive->end = i + 1;
      return true;
    default:
      return false;
  }
}

Text Digits(uint64_t value, unsigned base, bool upper) {
  const char16_t* digits = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
  Text out;
  do {
    out.insert(out.begin(), digits[value % base]);
    value /= base;
  } while (value != 0);
  return out;
}

// A negative number under %u or %x shows its 32-bit two's complement when it
// fits in 32 bits, as the programs' integers are 32-bit.
uint64_t AsUnsignedBits(int64_t value) {
  if (value < 0 && value >= INT32_MIN) return static_cast<uint32_t>(static_cast<int32_t>(value));
  return static_cast<uint64_t>(value);
}

Text Pad(Text body, const Directive& directive, bool numeric) {
  size_t width = static_cast<size_t>(directive.width);
  if (body.size() >= width) return body;
  size_t fill = width - body.size();
  if (directive.left) return body + Text(fill, u' ');
  if (directive.zero && numeric) {
    size_t at = (!body.empty() && body[0] == u'-') ? 1 : 0;
    body.insert(at, fill, u'0');
    return body;
  }
  return Text(fill, u' ') + body;
}

Text Render(const Directive& directive, const FormatArg* arg) {
  if (!arg) return Pad(Text(), directive, false);
  if (directive.conversion == u's' || arg->GetType() == FormatArg::Type::Text) {
    Text body;
    switch (arg->GetType()) {
      case FormatArg::Type::Text: body = arg->AsText(); break;
      case FormatArg::Type::Signed:
        body = arg->AsSigned() < 0 ? u"-" + Digits(0 - static_cast<uint64_t>(arg->AsSigned()), 10, false)
                                   : Digits(static_cast<uint64_t>(arg->AsSigned()), 10, false);
        break;
      case FormatArg::Type::Unsigned: body = Digits(arg->AsUnsigned(), 10, false); break;
    }
    if (directive.precision >= 0 && body.size() > static_cast<size_t>(directive.precision)) body.resize(directive.precision);
    return Pad(body, directive, false);
  }
  bool negative = false;
  uint64_t magnitude = 0;
  unsigned base = (directive.conversion == u'x' || directive.conversion == u'X') ? 16 : 10;
  bool isSigned = directive.conversion == u'd' || directive.conversion == u'i';
  if (arg->GetType() == FormatArg::Type::Signed) {
    int64_t v = arg->AsSigned();
    if (isSigned && v < 0) {
      negative = true;
      magnitude = 0 - static_cast<uint64_t>(v);
    } else {
      magnitude = isSigned ? static_cast<uint64_t>(v) : AsUnsignedBits(v);
    }
  } else {
    magnitude = arg->AsUnsigned();
  }
  Text digits = Digits(magnitude, base, directive.conversion == u'X');
  if (directive.precision > 0 && digits.size() < static_cast<size_t>(directive.precision)) {
    digits.insert(0, static_cast<size_t>(directive.precision) - digits.size(), u'0');
  }
  if (negative) digits.insert(digits.begin(), u'-');
  return Pad(digits, directive, directive.precision < 0);
}

}  // namespace

Text SafeFormat(const Text& format, const std::vector<FormatArg>& args) {
  Text out;
  size_t next = 0;
  size_t i = 0;
  while (i < format.size()) {
    char16_t c = format[i];
    if (c != u'%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == u'%') {
      out += u'%';
      i += 2;
      continue;
    }
    Directive directive;
    if (!ParseDirective(format, i, &directive)) {
      out += u'%';
      ++i;
      continue;
    }
    out += Render(directive, next < args.size() ? &args[next] : nullptr);
    ++next;
    i = directive.end;
  }
  return out;
}

Text FormatConversions(const Text& format) {
  Text letters;
  size_t i = 0;
  while (i < format.size()) {
    if (format[i] != u'%') {
      ++i;
    } else if (i + 1 < format.size() && format[i + 1] == u'%') {
      i += 2;
    } else {
      Directive directive;
      if (ParseDirective(format, i, &directive)) {
        letters += directive.conversion;
        i = directive.end;
      } else {
        ++i;
      }
    }
  }
  return letters;
}

}  // namespace zentura

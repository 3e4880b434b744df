// Small text routines of the optimiser. Positions count from 1; a character
// is one UTF-16 unit.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace zentura {

using platform::Text;

// Index of the n-th occurrence of c counted from the end; 0 when fewer.
size_t BackPos(const Text& text, char16_t c, size_t n);
// With c not null: the text before the first c (empty when absent);
// with c null: the first n characters.
Text LeftPart(const Text& text, size_t n, char16_t c);
// With c not null: the text after the last c (the whole text when absent);
// with c null: the last n characters.
Text RightPart(const Text& text, size_t n, char16_t c);
// Drops leading and trailing characters whose code is not above c.
Text TrimChars(const Text& text, char16_t c);
// The parts between separators; the part after the last one is always added.
std::vector<Text> SplitText(const Text& text, char16_t separator);
// "1023 Byte", "1.00 KB", "1.50 MB", "2.00 GB".
Text SizeText(uint64_t bytes, char16_t decimalSeparator = u'.');
// Compares dotted versions part by part as numbers. A part that is not a
// number raises std::invalid_argument; b lacking a part that a has, with
// all earlier parts equal, raises std::out_of_range.
bool IsNewerVersion(const Text& a, const Text& b);
// Replaces every occurrence of `what`, letters compared with case.
Text ReplaceAll(const Text& text, const Text& what, const Text& with);
// A number with two decimals and the given separator ("0.00").
Text FormatFixed2(double value, char16_t decimalSeparator);

}  // namespace zentura

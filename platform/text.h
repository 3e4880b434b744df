// Text as both programs hold it: UTF-16 code units, converted only at the edges.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

using Text = std::u16string;

Text FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view text);

// Case folding as the Windows file system and profile functions see it for
// the characters our names use (ASCII and Latin-1).
char16_t FoldCase(char16_t c);
Text LowerCase(std::u16string_view text);
Text UpperCase(std::u16string_view text);
bool SameText(std::u16string_view a, std::u16string_view b);

// Removes every occurrence of `what`, letters compared without regard to case.
Text RemoveAllNoCase(std::u16string_view text, std::u16string_view what);

bool EndsWith(std::u16string_view text, std::u16string_view tail);
Text IncludeTrailingBackslash(std::u16string_view path);
Text ExcludeTrailingBackslash(std::u16string_view path);

// Windows code page 1252, the ANSI code page of the machines the programs
// are tested on; unmapped characters become '?', the code page's default.
std::string ToCp1252(std::u16string_view text, bool* usedDefault = nullptr);
Text FromCp1252(std::string_view bytes);

Text ToText(long long value);

}  // namespace platform

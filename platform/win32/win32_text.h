// Text as the wide-character API takes it: on Windows wchar_t is UTF-16.
#pragma once

#include <windows.h>

#include "platform/text.h"

namespace platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16");

inline const wchar_t* W(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline Text FromW(const wchar_t* text) { return Text(reinterpret_cast<const char16_t*>(text)); }
inline Text FromW(const wchar_t* text, size_t size) {
  return Text(reinterpret_cast<const char16_t*>(text), size);
}

}  // namespace platform::win32

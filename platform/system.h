// Facts about the running system and its user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace platform {

struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
};

class System {
 public:
  virtual ~System() = default;
  // GetUserNameW; false on failure.
  virtual bool UserName(Text* name) = 0;
  virtual OsVersion Version() = 0;
  // FormatMessageW text for a system error code, without trailing line break.
  virtual Text ErrorMessage(uint32_t code) = 0;
  // Conversions to and from the machine's ANSI code page; characters it
  // lacks become its default character.
  virtual std::string ToAnsi(std::u16string_view text, bool* usedDefault = nullptr) = 0;
  virtual Text FromAnsi(std::string_view bytes) = 0;
  virtual void SleepMs(uint32_t ms) = 0;
  // IsWow64Process of the current process, looked up in kernel32 by name:
  // a system without it answers false. Returns false when the call fails.
  virtual bool Wow64Process(bool* wow64) = 0;
};

}  // namespace platform

// Token privileges of the current process.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/text.h"

namespace platform {

namespace tokenaccess {
constexpr uint32_t kAdjustPrivileges = 0x20;
constexpr uint32_t kQuery = 0x8;
}  // namespace tokenaccess

constexpr uint32_t kSePrivilegeEnabled = 0x2;

class Token {
 public:
  virtual ~Token() = default;
};

// Calls return a Windows error code (0 = success).
class Security {
 public:
  virtual ~Security() = default;
  virtual uint32_t OpenProcessToken(uint32_t access, std::unique_ptr<Token>* token) = 0;
  virtual uint32_t LookupPrivilege(const Text& name, uint64_t* luid) = 0;
  // AdjustTokenPrivileges with one privilege, or with DisableAllPrivileges.
  // kNotAllAssigned (1300) is what Windows reports as a successful call
  // followed by GetLastError() == ERROR_NOT_ALL_ASSIGNED: nothing was enabled.
  virtual uint32_t AdjustPrivilege(Token& token, bool disableAll, uint64_t luid,
                                   uint32_t attributes) = 0;
};

}  // namespace platform

#include "platform/sim/sim_security.h"

#include <algorithm>
#include <iterator>

namespace platform::sim {

namespace {

class SimToken : public Token {
 public:
  explicit SimToken(uint32_t access) : access(access) {}
  uint32_t access;
};

// The privileges the programs use, with the LUIDs Windows gives them.
struct Privilege {
  const char16_t* name;
  uint64_t luid;
};
constexpr Privilege kPrivileges[] = {{u"SeBackupPrivilege", 17},
                                     {u"SeRestorePrivilege", 18},
                                     {u"SeShutdownPrivilege", 19},
                                     {u"SeDebugPrivilege", 20}};

}  // namespace

uint32_t SimSecurity::OpenProcessToken(uint32_t access, std::unique_ptr<Token>* token) {
  *token = std::make_unique<SimToken>(access);
  return 0;
}

uint32_t SimSecurity::LookupPrivilege(const Text& name, uint64_t* luid) {
  for (const auto& p : kPrivileges) {
    if (SameText(name, p.name)) {
      *luid = p.luid;
      return 0;
    }
  }
  return err::kNoSuchPrivilege;
}

uint32_t SimSecurity::AdjustPrivilege(Token& token, bool disableAll, uint64_t luid,
                                      uint32_t attributes) {
  std::lock_guard<std::recursive_mutex> lock(s_.mutex);
  if (!(static_cast<SimToken&>(token).access & tokenaccess::kAdjustPrivileges))
    return err::kAccessDenied;
  if (disableAll) {
    s_.enabledPrivileges.clear();
    return 0;
  }
  auto known = std::find_if(std::begin(kPrivileges), std::end(kPrivileges),
                            [&](const Privilege& p) { return p.luid == luid; });
  const auto& held = s_.config.heldPrivileges;
  bool isHeld = known != std::end(kPrivileges) &&
                std::any_of(held.begin(), held.end(),
                            [&](const Text& h) { return SameText(h, known->name); });
  // Windows reports a privilege the token lacks as a success with ERROR_NOT_ALL_ASSIGNED.
  if (!isHeld) return err::kNotAllAssigned;
  if (attributes & kSePrivilegeEnabled)
    s_.enabledPrivileges.insert(known->name);
  else
    s_.enabledPrivileges.erase(known->name);
  return 0;
}

}  // namespace platform::sim

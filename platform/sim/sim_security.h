// The simulated process token and its privileges.
#pragma once

#include "platform/security.h"
#include "platform/sim/sim_state.h"

namespace platform::sim {

class SimSecurity : public Security {
 public:
  explicit SimSecurity(SimState& state) : s_(state) {}
  uint32_t OpenProcessToken(uint32_t access, std::unique_ptr<Token>* token) override;
  uint32_t LookupPrivilege(const Text& name, uint64_t* luid) override;
  uint32_t AdjustPrivilege(Token& token, bool disableAll, uint64_t luid,
                           uint32_t attributes) override;

 private:
  SimState& s_;
};

}  // namespace platform::sim

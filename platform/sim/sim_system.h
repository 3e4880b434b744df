// The simulated user, version, messages and code page.
#pragma once

#include "platform/sim/sim_state.h"
#include "platform/system.h"

namespace platform::sim {

class SimSystem : public System {
 public:
  explicit SimSystem(SimState& state) : s_(state) {}
  bool UserName(Text* name) override;
  OsVersion Version() override;
  Text ErrorMessage(uint32_t code) override;
  std::string ToAnsi(std::u16string_view text, bool* usedDefault = nullptr) override;
  Text FromAnsi(std::string_view bytes) override;
  void SleepMs(uint32_t ms) override;
  bool Wow64Process(bool* wow64) override;

 private:
  SimState& s_;
};

}  // namespace platform::sim

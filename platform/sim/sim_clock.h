// Simulated time: sleeping advances it at once, so waits cost no real time.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace platform::sim {

class SimClock : public Clock {
 public:
  void SleepMs(uint32_t ms) override {
    now_ += ms;
    slept_ += ms;
    ++sleeps_;
  }
  uint64_t TickMs() override { return now_; }
  void Advance(uint64_t ms) { now_ += ms; }
  uint64_t Now() const { return now_; }
  uint64_t TotalSlept() const { return slept_; }
  uint64_t SleepCount() const { return sleeps_; }

 private:
  uint64_t now_ = 0;
  uint64_t slept_ = 0;
  uint64_t sleeps_ = 0;
};

}  // namespace platform::sim

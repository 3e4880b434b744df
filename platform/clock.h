// Waiting and elapsed time, so that waits can run on simulated time in tests.
#pragma once

#include <cstdint>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Sleep.
  virtual void SleepMs(uint32_t ms) = 0;
  // A millisecond counter for measuring intervals (GetTickCount).
  virtual uint64_t TickMs() = 0;
};

}  // namespace platform

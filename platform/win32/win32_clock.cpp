#include <windows.h>

#include "platform/win32/win32_system_platform.h"

namespace platform::win32 {

namespace {

// GetTickCount wraps after 49 days; the counter carries the wraps, so that
// it also runs on systems without GetTickCount64.
class Win32Clock : public Clock {
 public:
  void SleepMs(uint32_t ms) override { ::Sleep(ms); }
  uint64_t TickMs() override {
    DWORD now = ::GetTickCount();
    total_ += static_cast<DWORD>(now - last_);
    last_ = now;
    return total_;
  }

 private:
  DWORD last_ = ::GetTickCount();
  uint64_t total_ = 0;
};

}  // namespace

std::unique_ptr<Clock> MakeClock() { return std::make_unique<Win32Clock>(); }

}  // namespace platform::win32

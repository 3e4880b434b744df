#include "platform/win32/win32_system_platform.h"

namespace platform::win32 {

Win32SystemPlatform::Win32SystemPlatform()
    : services_(MakeServiceManager()),
      processes_(MakeProcesses()),
      memory_(MakeMemory()),
      profile_(MakeProfile()),
      desktop_(MakeDesktop()),
      clock_(MakeClock()),
      platform_{*services_, *processes_, *memory_, *profile_, *desktop_, *clock_} {}

Win32SystemPlatform::~Win32SystemPlatform() = default;

}  // namespace platform::win32

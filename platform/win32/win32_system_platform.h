// The optimiser's system operations on the real Windows API.
#pragma once

#include <memory>

#include "platform/system_platform.h"

namespace platform::win32 {

std::unique_ptr<ServiceManager> MakeServiceManager();
std::unique_ptr<Processes> MakeProcesses();
std::unique_ptr<Memory> MakeMemory();
std::unique_ptr<Profile> MakeProfile();
std::unique_ptr<Desktop> MakeDesktop();
std::unique_ptr<Clock> MakeClock();

class Win32SystemPlatform {
 public:
  Win32SystemPlatform();
  ~Win32SystemPlatform();
  SystemPlatform& Get() { return platform_; }

 private:
  std::unique_ptr<ServiceManager> services_;
  std::unique_ptr<Processes> processes_;
  std::unique_ptr<Memory> memory_;
  std::unique_ptr<Profile> profile_;
  std::unique_ptr<Desktop> desktop_;
  std::unique_ptr<Clock> clock_;
  SystemPlatform platform_;
};

}  // namespace platform::win32

// The platform of a real Windows.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace platform::win32 {

class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Platform& Get() { return platform_; }

 private:
  std::unique_ptr<FileSystem> files_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Security> security_;
  std::unique_ptr<System> system_;
  Platform platform_;
};

}  // namespace platform::win32

// The real-API implementations of the platform interfaces.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace platform::win32 {

std::unique_ptr<FileSystem> MakeFileSystem();
std::unique_ptr<Shell> MakeShell();
std::unique_ptr<Registry> MakeRegistry();
std::unique_ptr<Security> MakeSecurity();
std::unique_ptr<System> MakeSystem();

}  // namespace platform::win32

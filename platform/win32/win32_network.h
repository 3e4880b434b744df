// The network operations on WinINet and URLMon.
#pragma once

#include <memory>

#include "platform/network.h"

namespace platform::win32 {

std::unique_ptr<Network> MakeNetwork();

}  // namespace platform::win32

// The game explorer of a real Windows, through WMI.
#pragma once

#include <memory>

#include "platform/games.h"

namespace platform::win32 {

std::unique_ptr<GameExplorer> MakeWin32GameExplorer();

}  // namespace platform::win32

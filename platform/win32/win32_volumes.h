// The volume controls of a real Windows (NtFsControlFile from ntdll).
#pragma once

#include <memory>

#include "platform/volumes.h"

namespace platform::win32 {

std::unique_ptr<Volumes> MakeWin32Volumes();

}  // namespace platform::win32

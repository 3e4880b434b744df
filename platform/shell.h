// Shell operations: silent folder copy and delete, special folders.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace platform {

namespace fof {
constexpr uint32_t kSilent = 0x4;
constexpr uint32_t kNoConfirmation = 0x10;
constexpr uint32_t kAllowUndo = 0x40;
constexpr uint32_t kNoConfirmMkdir = 0x200;
}  // namespace fof

namespace csidl {
constexpr int kAppData = 26;
constexpr int kLocalAppData = 28;
}  // namespace csidl

enum class ShellOp { kCopy, kDelete };

class Shell {
 public:
  virtual ~Shell() = default;
  // SHFileOperationW with a one-entry source list; returns its result (0 = success).
  virtual int FileOperation(ShellOp op, const Text& from, const Text& to, uint32_t flags) = 0;
  // SHGetFolderPathW(no window, no token, current path); returns the HRESULT.
  virtual int32_t FolderPath(int csidl, Text* path) = 0;
};

}  // namespace platform

// The simulated shell: folder copy, delete to the recycle bin, special folders.
#pragma once

#include "platform/shell.h"
#include "platform/sim/sim_state.h"

namespace platform::sim {

class SimShell : public Shell {
 public:
  explicit SimShell(SimState& state) : s_(state) {}
  int FileOperation(ShellOp op, const Text& from, const Text& to, uint32_t flags) override;
  int32_t FolderPath(int csidl, Text* path) override;

 private:
  int CopyItem(const ResolvedPath& src, const Text& to);
  int DeleteItem(const ResolvedPath& item, uint32_t flags);

  SimState& s_;
};

}  // namespace platform::sim

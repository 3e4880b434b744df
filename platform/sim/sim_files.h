// The simulated file system: Windows paths on host folders.
#pragma once

#include "platform/files.h"
#include "platform/sim/sim_state.h"

namespace platform::sim {

class SimFileSystem : public FileSystem {
 public:
  explicit SimFileSystem(SimState& state) : s_(state) {}

  std::unique_ptr<File> Open(const Text& path, Access access, Share share,
                             Disposition disposition, uint32_t* error) override;
  bool CreateDir(const Text& path, uint32_t* error = nullptr) override;
  bool RemoveDir(const Text& path) override;
  bool Remove(const Text& path) override;
  bool Copy(const Text& from, const Text& to, bool failIfExists) override;
  bool Move(const Text& from, const Text& to, bool replaceExisting) override;
  uint32_t Attributes(const Text& path) override;
  bool SetAttributes(const Text& path, uint32_t attributes) override;
  std::vector<FindEntry> Find(const Text& pattern) override;
  Text CurrentDir() override;
  bool SetCurrentDir(const Text& path) override;
  bool WindowsDir(Text* path, uint32_t* error) override;
  uint32_t LastError() override;

 private:
  // Resolves a path that must exist; sets the last error (2 or 3) otherwise.
  bool ResolveExisting(const Text& path, ResolvedPath* r);

  SimState& s_;
};

}  // namespace platform::sim

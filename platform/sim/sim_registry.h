// The simulated registry: an in-memory tree per root key, hive files written
// through the simulated file system.
#pragma once

#include "platform/registry.h"
#include "platform/sim/sim_files.h"

namespace platform::sim {

class SimRegistry : public Registry {
 public:
  SimRegistry(SimState& state, FileSystem& files) : s_(state), files_(files) {}
  long OpenKey(RootKey root, const Text& subKey, uint32_t access,
               std::unique_ptr<RegKey>* key) override;
  long CreateKey(RootKey root, const Text& subKey, uint32_t options, uint32_t access,
                 std::unique_ptr<RegKey>* key) override;
  long QueryValue(RegKey& key, const Text& name, RegValue* value) override;
  long SetValue(RegKey& key, const RegValue& value) override;
  long DeleteValue(RegKey& key, const Text& name) override;
  long EnumValue(RegKey& key, uint32_t index, RegValue* value) override;
  long EnumKey(RegKey& key, uint32_t index, Text* name) override;
  long DeleteTree(RootKey root, const Text& subKey) override;
  long SaveKey(RegKey& key, const Text& file) override;
  long RestoreKey(RegKey& key, const Text& file, uint32_t flags) override;

 private:
  long Find(RootKey root, const Text& subKey, bool create, std::shared_ptr<RegNode>* node);

  SimState& s_;
  FileSystem& files_;
};

// The hive file format of the simulation.
std::vector<uint8_t> EncodeHive(const RegNode& node);
// False when the bytes are not a complete hive.
bool DecodeHive(const std::vector<uint8_t>& bytes, RegNode* node);

}  // namespace platform::sim

// What the contract suite needs of the platform under test: the platform, a
// fresh scratch folder and registry key per test, and on the simulation a
// look at what Windows itself would not show (the recycle bin, privileges).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace contract {

using platform::Text;

class ContractEnv {
 public:
  virtual ~ContractEnv() = default;
  virtual platform::Platform& Get() = 0;
  // An empty folder for this test (no trailing backslash), removed afterwards.
  virtual Text Scratch() = 0;
  // A key path under HKEY_CURRENT_USER for this test, deleted afterwards.
  virtual Text RegistryScratch() = 0;
  virtual bool IsSim() = 0;
  // The real API, but Wine's: where Wine is known to differ from Windows the
  // cases relax or skip their check.
  virtual bool IsWine() = 0;
  // Simulation only (empty on Windows): the items in the recycle bin.
  virtual std::vector<Text> RecycledItems() = 0;
  // Simulation only (false on Windows): whether a privilege is enabled now.
  virtual bool PrivilegeEnabled(const Text& name) = 0;
  // Simulation only (empty on Windows): a scratch folder on a drive without
  // a recycle bin.
  virtual Text ScratchWithoutRecycleBin() = 0;
};

std::unique_ptr<ContractEnv> MakeContractEnv();

class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override { env_ = MakeContractEnv(); }
  void TearDown() override { env_.reset(); }

  platform::Platform& P() { return env_->Get(); }
  platform::FileSystem& Files() { return env_->Get().files; }
  // A path inside the scratch folder.
  Text At(const Text& relative) { return env_->Scratch() + u"\\" + relative; }
  // The attributes Windows reports for a file set to `windows`; Wine adds the
  // archive bit to every file.
  uint32_t FileAttr(uint32_t windows) {
    if (!env_->IsWine()) return windows;
    return windows == platform::attr::kNormal ? platform::attr::kArchive
                                              : windows | platform::attr::kArchive;
  }

  void WriteFile(const Text& path, const std::string& bytes) {
    uint32_t error = 0;
    auto f = Files().Open(path, platform::Access::kWrite, platform::Share::kExclusive,
                          platform::Disposition::kCreateAlways, &error);
    ASSERT_TRUE(f) << "cannot create " << platform::ToUtf8(path) << ": error " << error;
    f->Write(bytes.data(), bytes.size());
  }

  std::string ReadFile(const Text& path) {
    uint32_t error = 0;
    auto f = Files().Open(path, platform::Access::kRead, platform::Share::kRead,
                          platform::Disposition::kOpenExisting, &error);
    if (!f) return "<error " + std::to_string(error) + ">";
    std::string out(static_cast<size_t>(f->Size()), '\0');
    f->ReadBuffer(out.data(), out.size());
    return out;
  }

  std::unique_ptr<ContractEnv> env_;
};

}  // namespace contract

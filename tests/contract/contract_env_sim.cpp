#include "contract_env.h"
#include "platform/sim/sim_windows.h"

namespace contract {

namespace {

class SimEnv : public ContractEnv {
 public:
  SimEnv() {
    Get().files.CreateDir(u"C:\\scratch");
    sim_.sim().MapDrive(u"D:", sim_.root() + "/D", false);
    Get().files.CreateDir(u"D:\\scratch");
  }
  platform::Platform& Get() override { return sim_.Get(); }
  Text Scratch() override { return u"C:\\scratch"; }
  Text RegistryScratch() override { return u"Software\\BrantleContractTests\\Case"; }
  bool IsSim() override { return true; }
  bool IsWine() override { return false; }
  std::vector<Text> RecycledItems() override { return sim_.sim().RecycledItems(); }
  bool PrivilegeEnabled(const Text& name) override { return sim_.sim().PrivilegeEnabled(name); }
  Text ScratchWithoutRecycleBin() override { return u"D:\\scratch"; }

 private:
  platform::sim::TempSimWindows sim_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimEnv>(); }

}  // namespace contract

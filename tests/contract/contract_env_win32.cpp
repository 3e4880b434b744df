#include <windows.h>

#include "contract_env.h"
#include "platform/host.h"

namespace contract {

namespace {

constexpr char16_t kRegistryRoot[] = u"Software\\BrantleContractTests";

Text TempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  return platform::ExcludeTrailingBackslash(Text(reinterpret_cast<char16_t*>(buffer), n));
}

class Win32Env : public ContractEnv {
 public:
  Win32Env() : host_(platform::OpenHostPlatform()) {
    static int counter = 0;
    scratch_ = TempFolder() + u"\\BrantleContract-" + platform::ToText(GetCurrentProcessId()) +
               u"-" + platform::ToText(++counter);
    Get().shell.FileOperation(platform::ShellOp::kDelete, scratch_, u"",
                              platform::fof::kSilent | platform::fof::kNoConfirmation);
    Get().files.ForceDirectories(scratch_);
    Get().registry.DeleteTree(platform::RootKey::kCurrentUser, kRegistryRoot);
  }
  ~Win32Env() override {
    Get().files.SetCurrentDir(TempFolder());
    Get().shell.FileOperation(platform::ShellOp::kDelete, scratch_, u"",
                              platform::fof::kSilent | platform::fof::kNoConfirmation);
    Get().registry.DeleteTree(platform::RootKey::kCurrentUser, kRegistryRoot);
  }
  platform::Platform& Get() override { return host_->Get(); }
  Text Scratch() override { return scratch_; }
  Text RegistryScratch() override { return Text(kRegistryRoot) + u"\\Case"; }
  bool IsSim() override { return false; }
  bool IsWine() override {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  }
  std::vector<Text> RecycledItems() override { return {}; }
  bool PrivilegeEnabled(const Text&) override { return false; }
  Text ScratchWithoutRecycleBin() override { return {}; }

 private:
  std::unique_ptr<platform::HostPlatform> host_;
  Text scratch_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<Win32Env>(); }

}  // namespace contract

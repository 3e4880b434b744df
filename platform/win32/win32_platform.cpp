#include "platform/win32/win32_platform.h"

#include "platform/host.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

Win32Platform::Win32Platform()
    : files_(MakeFileSystem()),
      shell_(MakeShell()),
      registry_(MakeRegistry()),
      security_(MakeSecurity()),
      system_(MakeSystem()),
      platform_{*files_, *shell_, *registry_, *security_, *system_} {}

Win32Platform::~Win32Platform() = default;

namespace {

class Win32HostPlatform : public HostPlatform {
 public:
  Platform& Get() override { return platform_.Get(); }

  // The command line arrives as UTF-8 (converted from GetCommandLineW).
  Text FromHostPath(const std::string& path) override {
    Text wide = FromUtf8(path);
    DWORD n = GetFullPathNameW(W(wide), 0, nullptr, nullptr);
    if (n == 0) return wide;
    std::wstring buffer(n, L'\0');
    n = GetFullPathNameW(W(wide), n, buffer.data(), nullptr);
    return FromW(buffer.data(), n);
  }

  std::string ToHostPath(const Text& path) override { return ToUtf8(path); }

 private:
  Win32Platform platform_;
};

}  // namespace

}  // namespace platform::win32

namespace platform {

std::unique_ptr<HostPlatform> OpenHostPlatform() {
  return std::make_unique<win32::Win32HostPlatform>();
}

}  // namespace platform

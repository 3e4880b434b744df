// The command-line tool's platform on Linux: a simulated Windows whose drive
// Z: is the host's root folder, so host paths work as they are.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "platform/host.h"
#include "platform/sim/sim_windows.h"

namespace platform {

namespace {

sim::SimConfig HostConfig() {
  sim::SimConfig config;
  const char* user = getenv("USER");
  if (!user || !*user) user = getenv("LOGNAME");
  config.userName = FromUtf8(user && *user ? user : "user");
  config.userNameFails = !user || !*user;
  config.windowsDir = u"Z:\\tmp";
  return config;
}

class LinuxHostPlatform : public HostPlatform {
 public:
  LinuxHostPlatform() : sim_(HostConfig()) {
    // Real data: deleting means deleting, never a recycle folder beside "/".
    sim_.MapDrive(u"Z:", "/", false);
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    sim_.Get().files.SetCurrentDir(ec ? Text(u"Z:\\") : FromHostPath(cwd));
  }

  Platform& Get() override { return sim_.Get(); }

  Text FromHostPath(const std::string& path) override {
    std::error_code ec;
    std::filesystem::path p(path);
    if (p.is_relative()) p = std::filesystem::current_path(ec) / p;
    std::string abs = p.lexically_normal().string();
    Text out = u"Z:";
    for (char16_t c : FromUtf8(abs)) out.push_back(c == u'/' ? u'\\' : c);
    if (out.size() == 2) out.push_back(u'\\');
    if (out.size() > 3 && out.back() == u'\\') out.pop_back();
    return out;
  }

  std::string ToHostPath(const Text& path) override {
    std::string host = sim_.HostPath(path);
    return host.empty() ? ToUtf8(path) : host;
  }

 private:
  sim::SimWindows sim_;
};

}  // namespace

std::unique_ptr<HostPlatform> OpenHostPlatform() { return std::make_unique<LinuxHostPlatform>(); }

}  // namespace platform

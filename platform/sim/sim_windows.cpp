#include "platform/sim/sim_windows.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "platform/sim/sim_files.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_security.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_system.h"

namespace platform::sim {

namespace fs = std::filesystem;

struct SimWindows::Impl {
  explicit Impl(SimConfig config)
      : state(std::move(config)),
        files(state),
        shell(state),
        registry(state, files),
        security(state),
        system(state),
        platform{files, shell, registry, security, system} {}

  SimState state;
  SimFileSystem files;
  SimShell shell;
  SimRegistry registry;
  SimSecurity security;
  SimSystem system;
  Platform platform;
};

SimWindows::SimWindows(SimConfig config) : impl_(std::make_unique<Impl>(std::move(config))) {}
SimWindows::~SimWindows() = default;

Platform& SimWindows::Get() { return impl_->platform; }
SimConfig& SimWindows::Config() { return impl_->state.config; }

void SimWindows::MapDrive(const Text& drive, const std::string& hostFolder, bool hasRecycleBin) {
  std::string host = hostFolder;
  while (host.size() > 1 && host.back() == '/') host.pop_back();
  std::error_code ec;
  fs::create_directories(host, ec);
  std::lock_guard<std::recursive_mutex> lock(impl_->state.mutex);
  impl_->state.drives[UpperCase(drive.substr(0, 1))[0]] = Drive{host, hasRecycleBin, nullptr};
}

void SimWindows::MapDrive(const Text& drive, const std::string& hostFolder, Recycler recycler) {
  MapDrive(drive, hostFolder, false);
  std::lock_guard<std::recursive_mutex> lock(impl_->state.mutex);
  impl_->state.drives[UpperCase(drive.substr(0, 1))[0]].recycler = std::move(recycler);
}

std::string SimWindows::HostPath(const Text& windowsPath) {
  std::lock_guard<std::recursive_mutex> lock(impl_->state.mutex);
  ResolvedPath r;
  uint32_t error = 0;
  return impl_->state.Resolve(windowsPath, &r, &error) ? r.host : std::string();
}

std::vector<Text> SimWindows::RecycledItems() const {
  std::lock_guard<std::recursive_mutex> lock(impl_->state.mutex);
  std::vector<Text> names;
  for (const auto& item : impl_->state.recycled) names.push_back(item.name);
  return names;
}

std::string SimWindows::RecycledHostPath(size_t index) const {
  std::lock_guard<std::recursive_mutex> lock(impl_->state.mutex);
  return impl_->state.recycled.at(index).host;
}

bool SimWindows::PrivilegeEnabled(const Text& name) const {
  std::lock_guard<std::recursive_mutex> lock(impl_->state.mutex);
  for (const auto& p : impl_->state.enabledPrivileges)
    if (SameText(p, name)) return true;
  return false;
}

TempSimWindows::TempSimWindows(SimConfig config) {
  std::string tmpl = (fs::temp_directory_path() / "simwin-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a temporary folder");
  root_ = tmpl;
  Text profile = u"C:\\Users\\" + config.userName + u"\\AppData";
  config.specialFolders.emplace(csidl::kAppData, profile + u"\\Roaming");
  config.specialFolders.emplace(csidl::kLocalAppData, profile + u"\\Local");
  Text windowsDir = config.windowsDir;
  sim_ = std::make_unique<SimWindows>(std::move(config));
  sim_->MapDrive(u"C:", root_ + "/C");
  FileSystem& files = sim_->Get().files;
  files.ForceDirectories(windowsDir);
  files.ForceDirectories(profile + u"\\Roaming");
  files.ForceDirectories(profile + u"\\Local");
}

TempSimWindows::~TempSimWindows() {
  sim_.reset();
  std::error_code ec;
  fs::remove_all(root_, ec);
}

}  // namespace platform::sim

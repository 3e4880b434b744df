// The command-line tool's platform on Linux: a simulated Windows whose drive
// Z: is the host's root folder, so host paths work as they are.
#include <ctype.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/host.h"
#include "platform/sim/sim_windows.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

// The desktop's trash folder ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash), or empty when the user has none.
std::string DesktopTrash() {
  std::string base;
  const char* data = getenv("XDG_DATA_HOME");
  const char* home = getenv("HOME");
  if (data && data[0] == '/') base = data;
  else if (home && home[0] == '/') base = std::string(home) + "/.local/share";
  else return {};
  std::error_code ec;
  std::string trash = base + "/Trash";
  return fs::is_directory(trash, ec) ? trash : std::string();
}

// A path as the trash's info files write it: bytes outside the unreserved
// set (and '/') as %XX.
std::string EscapePath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

// Moves a file or folder into the trash the way desktops do: the item under
// files/, its origin and time in info/NAME.trashinfo. Only a move within one
// file system; false when the item stays where it was.
bool MoveToTrash(const std::string& trash, const std::string& item) {
  std::error_code ec;
  fs::create_directories(trash + "/files", ec);
  fs::create_directories(trash + "/info", ec);
  const std::string name = fs::path(item).filename().string();
  char when[32] = {};
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
  const std::string info = "[Trash Info]\nPath=" + EscapePath(fs::absolute(item, ec).lexically_normal().string()) +
                           "\nDeletionDate=" + when + "\n";
  for (int n = 1; n < 1000; ++n) {
    const std::string slot = n == 1 ? name : name + "." + std::to_string(n);
    const std::string infoPath = trash + "/info/" + slot + ".trashinfo";
    // The info file, made exclusively, reserves the name.
    int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    bool written = write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
    written = close(fd) == 0 && written;
    const std::string target = trash + "/files/" + slot;
    const bool taken = fs::exists(fs::symlink_status(target, ec));
    if (written && !taken && rename(item.c_str(), target.c_str()) == 0) return true;
    unlink(infoPath.c_str());
    if (!taken) return false;
  }
  return false;
}

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
    // Real data: the recycle bin is the desktop's trash where the user has
    // one; without it, deleting means deleting.
    if (std::string trash = DesktopTrash(); !trash.empty())
      sim_.MapDrive(u"Z:", "/", [trash](const std::string& item) { return MoveToTrash(trash, item); });
    else
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

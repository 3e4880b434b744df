#include "brantle/cli/update_command.h"

#include "brantle/update/update_settings.h"
#include "platform/host_network.h"

namespace brantle::cli {

int RunUpdate(platform::HostPlatform& host, const std::vector<std::string>& args, Console& console) {
  bool check = false, install = false;
  std::string server;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--check" && !check && !install) {
      check = true;
    } else if (args[i] == "--install" && !check && !install) {
      install = true;
    } else if (args[i] == "--server" && i + 1 < args.size() && server.empty() && !args[i + 1].empty()) {
      server = args[++i];
    } else {
      check = install = false;
      break;
    }
  }
  if (!check && !install) {
    console.err << "usage:" << std::string(kUpdateUsage).substr(12);
    return 2;
  }

  platform::Platform& p = host.Get();
  std::unique_ptr<platform::Network> net = platform::OpenHostNetwork();
  bool started = false, available = false, failed = false;
  TWebUpdate update(WebUpdateEnv{
      *net, p.files, p.system, nullptr,
      [&](const Text& file, const Text& parameters) {
        intptr_t result = platform::StartHostProgram(file, parameters);
        started = result > 32;
        return result;
      },
      [] {}, [&] { return platform::HostTempFolder(host); }});
  ConfigureWebUpdate(update, platform::FromUtf8(server));
  update.OnAfterGetInfo = [&](TWebUpdate& u) { u.TargetFolder = p.files.CurrentDir(); };
  update.OnDownloadError = [&](TWebUpdate&) {
    // The window shows this twice when the page cannot be read; once is enough here.
    if (!failed) console.err << "Cannot download data from the web\n";
    failed = true;
  };
  update.OnNoUpdateFound = [&](TWebUpdate&) { console.out << "There is no update available!\n"; };
  update.OnUpdateAvailable = [&](TWebUpdate&, const Text& actual, const Text& latest, bool& canUpdate) {
    console.out << "You are using version " << platform::ToUtf8(actual) << ", but version "
                << platform::ToUtf8(latest) << " is available.\n";
    available = true;
    canUpdate = install;
  };
  update.OnBeforeShowInfo = [](TWebUpdate&, bool& showInfo, bool&) { showInfo = false; };
  update.OnCannotExecute = [&](TWebUpdate& u) {
    console.err << "Cannot start " << host.ToHostPath(u.FileName) << "\n";
  };
  update.OnAfterDownload = [&](TWebUpdate& u, const Text& file) {
    if (u.DownloadResult) console.out << "Downloaded " << host.ToHostPath(file) << "\n";
  };

  bool downloaded = update.CheckForAnUpdate();
  if (failed) return 1;
  if (!available) return 0;
  if (!install) return 10;
  return downloaded && started ? 10 : 1;
}

}  // namespace brantle::cli

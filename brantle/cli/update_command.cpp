// update: the web update check without windows.
#include "brantle/cli/cli_app.h"

#include "brantle/update/update_settings.h"
#include "platform/host_network.h"

namespace brantle::cli {

namespace {

int Update(platform::HostPlatform& host, Console& console, bool install, const std::string& server) {
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
  if (failed) return exitcode::kFailed;
  if (!available) return exitcode::kDone;
  if (!install) return exitcode::kUpdateAvailable;
  return downloaded && started ? exitcode::kUpdateAvailable : exitcode::kFailed;
}

}  // namespace

void RegisterUpdateCommand(CLI::App& app, CliContext& context) {
  CLI::App* sub = app.add_subcommand("update", "Checks the web for a newer version, and with --install installs it");
  auto install = std::make_shared<bool>(false);
  auto check = std::make_shared<bool>(false);
  auto server = std::make_shared<std::string>();
  CLI::Option* checkFlag = sub->add_flag("--check", *check, "only say whether an update is available");
  CLI::Option* installFlag = sub->add_flag("--install", *install, "download the update and start its installer");
  checkFlag->excludes(installFlag);
  sub->add_option("--server", *server, "the update host instead of the usual one")
      ->type_name("HOST[:PORT]")
      ->check(CLI::Validator(
          [](std::string& v) { return v.empty() ? std::string("an empty host is not allowed") : std::string(); },
          "HOST"));
  sub->callback([&context, sub, install, check, server] {
    if (sub->count("--check") + sub->count("--install") == 0)
      throw CLI::RequiredError("--check or --install");
    context.action = [&context, install, server] { return Update(context.host, context.console, *install, *server); };
  });
}

}  // namespace brantle::cli

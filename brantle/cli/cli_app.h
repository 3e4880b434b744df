// What every brantle-cli command group shares: the exit codes, the failure
// it reports on one line, the host it runs on and the argument checks.
// A group is one Register function that adds its sub-commands to the
// program's CLI::App; cli_commands.cpp lists the groups.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

#include "brantle/cli/cli_commands.h"

namespace brantle::cli {

// brantle-cli's exit codes.
namespace exitcode {
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;
// A backup or restore that ran to its end without some of its registry keys.
constexpr int kIncomplete = 3;
// Finished, but some files or folders were left out (each one was reported).
constexpr int kSkipped = 4;
// update: an update is available (with --install: downloaded and started).
constexpr int kUpdateAvailable = 10;
}  // namespace exitcode

// A failure to report on one line and end with exit code 1.
struct Failure {
  std::string message;
};

// One run of the program: where it runs, where it writes, and the work the
// chosen sub-command set (run after the arguments were all accepted).
struct CliContext {
  platform::HostPlatform& host;
  Console& console;
  std::function<int()> action;
};

// Refuses an empty argument where a path is expected: an empty path would
// mean the current folder, which nobody types on purpose.
inline CLI::Validator NonEmptyPath() {
  return CLI::Validator(
      [](std::string& value) { return value.empty() ? std::string("an empty path is not allowed") : std::string(); },
      "PATH");
}

// The command groups.
void RegisterArchiveCommands(CLI::App& app, CliContext& context);
void RegisterBrowserCommands(CLI::App& app, CliContext& context);
void RegisterUpdateCommand(CLI::App& app, CliContext& context);
void RegisterConvertCommands(CLI::App& app, CliContext& context);

}  // namespace brantle::cli

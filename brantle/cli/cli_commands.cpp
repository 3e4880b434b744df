#include "brantle/cli/cli_commands.h"

#include <algorithm>

#include "brantle/cli/cli_app.h"

namespace brantle::cli {

namespace {

// The command groups, in the order the help lists them. A new group is one
// more line here and a Register function of its own.
constexpr void (*kGroups[])(CLI::App&, CliContext&) = {
    RegisterArchiveCommands,
    RegisterBrowserCommands,
    RegisterConvertCommands,
    RegisterUpdateCommand,
};

constexpr char kExitCodes[] =
    "Exit codes: 0 done, 1 failed, 2 bad arguments, 3 finished without some registry keys,\n"
    "4 finished but files or folders were left out, changed or renamed (each is named on stderr),\n"
    "10 update available (update only).";

}  // namespace

int Run(platform::HostPlatform& host, const std::vector<std::string>& args, Console& console) {
  CLI::App app("Backs up and restores web browser settings in \".dat\" archives.", "brantle-cli");
  // "/x" is a path (Wine passes host paths as they are), never an option.
  app.allow_windows_style_options(false);
  app.require_subcommand(1);
  app.footer(kExitCodes);
  CliContext context{host, console, {}};
  for (auto group : kGroups) group(app, context);

  // "--opt=" gives the option an empty value (which the path checks refuse),
  // rather than letting it take the next argument as its value.
  std::vector<std::string> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) {
    if (it->size() > 3 && it->compare(0, 2, "--") == 0 && it->back() == '=' &&
        it->find('=') == it->size() - 1) {
      reversed.push_back("");
      reversed.push_back(it->substr(0, it->size() - 1));
    } else {
      reversed.push_back(*it);
    }
  }
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    console.out << app.help();
    return exitcode::kDone;
  } catch (const CLI::CallForAllHelp&) {
    console.out << app.help("", CLI::AppFormatMode::All);
    return exitcode::kDone;
  } catch (const CLI::ParseError& e) {
    // The help of the sub-command that was asked for, when it was the one asked.
    CLI::App* asked = &app;
    while (!asked->get_subcommands().empty()) asked = asked->get_subcommands().front();
    if (args.empty()) {
      console.err << app.help();
    } else {
      std::string path;
      for (CLI::App* a = asked; a && a != &app; a = a->get_parent()) path = " " + a->get_name() + path;
      console.err << "brantle-cli" << path << ": " << e.what() << "\n"
                  << "Run brantle-cli" << path << " --help for its usage.\n";
    }
    return exitcode::kBadArguments;
  }

  std::string name = app.get_subcommands().front()->get_name();
  try {
    return context.action ? context.action() : exitcode::kBadArguments;
  } catch (const Failure& f) {
    console.err << "brantle-cli: " << f.message << "\n";
  } catch (const std::exception& e) {
    console.err << "brantle-cli: " << name << ": " << e.what() << "\n";
  }
  return exitcode::kFailed;
}

}  // namespace brantle::cli

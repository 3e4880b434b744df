#include <cstdio>
#include <iostream>

#include "brantle/cli/cli_commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args = platform::CommandLineArguments(argc, argv);
  if (!args.empty()) args.erase(args.begin());
  auto host = platform::OpenHostPlatform();
  brantle::cli::Console console{std::cout, std::cerr, platform::IsTerminal(2)};
  int code = brantle::cli::Run(*host, args, console);
  std::cout.flush();
  return code;
}

#include <iostream>

#include "platform/host.h"
#include "zentura/defrag/cli/defrag_cli.h"
#ifdef _WIN32
#include "platform/win32/win32_volumes.h"
#endif

namespace {

// Real time for the pauses between move pieces.
class WallClock : public platform::Clock {
 public:
  void SleepMs(uint32_t ms) override;
  uint64_t TickMs() override;
};

}  // namespace

#include <chrono>
#include <thread>

void WallClock::SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
uint64_t WallClock::TickMs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int main(int argc, char** argv) {
  std::vector<std::string> args = platform::CommandLineArguments(argc, argv);
  if (!args.empty()) args.erase(args.begin());
  WallClock clock;
#ifdef _WIN32
  auto volumes = platform::win32::MakeWin32Volumes();
  int code = zentura::cli::RunDefrag(args, volumes.get(), clock, std::cout, std::cerr);
#else
  int code = zentura::cli::RunDefrag(args, nullptr, clock, std::cout, std::cerr);
#endif
  std::cout.flush();
  return code;
}

// TUpdateThread: once per start, fetches the update-information file, and
// when it announces a version newer than the installed program asks the
// user whether to open the download page. It never shows anything else.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "platform/network.h"
#include "platform/platform.h"
#include "platform/system_platform.h"

namespace zentura {

using platform::Text;

struct UpdateCheckContext {
  platform::Network& net;
  platform::FileSystem& files;
  platform::SystemPlatform& sp;
  Text programFolder;  // ends in "\"
  Text address;        // the update-information file on the update server
  // The question, Yes and No, caption "Zentura Update"; true on Yes. Runs
  // on the worker and blocks it until answered.
  std::function<bool(const Text& text, const Text& caption)> ask;
};

class TUpdateThread {
 public:
  explicit TUpdateThread(UpdateCheckContext context);
  // Joins a thread that has ended; one still waiting for the network or the
  // user is let go and touches nothing once it wakes.
  ~TUpdateThread();
  TUpdateThread(const TUpdateThread&) = delete;
  TUpdateThread& operator=(const TUpdateThread&) = delete;

  Text Prompt;  // message 17, set before Start

  void Start();
  // The check itself, on the calling thread.
  void Execute();
  bool Finished() const { return state_->finished; }

 private:
  // What the worker uses; it outlives this object when the worker is let go.
  struct State {
    explicit State(UpdateCheckContext c) : context(std::move(c)) {}
    UpdateCheckContext context;
    Text prompt;
    std::atomic<bool> finished{false};
    std::atomic<bool> abandoned{false};
  };
  static void Run(State& state);
  std::shared_ptr<State> state_;
  std::thread thread_;
};

// An address the download page may have: http or https, with a host.
bool IsWebAddress(const Text& address);

}  // namespace zentura

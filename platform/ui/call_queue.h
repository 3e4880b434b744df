// Calls handed from worker threads to the UI thread. A synchronous call
// waits until the UI thread has run it and rethrows what it threw.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::ui {

struct Completion;

class CallQueue {
 public:
  CallQueue();
  // The thread that runs the calls; the constructing thread by default.
  void SetUiThread(std::thread::id id) { uiThread_ = id; }
  bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }
  // Called after each enqueue so that a waiting message loop wakes up.
  void SetWake(std::function<void()> wake);

  void Post(std::function<void()> call);
  // On the UI thread the call runs at once.
  void Send(std::function<void()> call);
  // Runs everything queued so far; returns whether anything ran. Only
  // exceptions of posted calls escape (sent ones go back to their sender).
  bool RunPending();
  // Waits up to `milliseconds` for a call to arrive.
  void WaitForCall(int milliseconds);

 private:
  struct Call {
    std::function<void()> run;
    // Set for synchronous calls: the sender waits on it.
    std::shared_ptr<Completion> done;
  };
  std::thread::id uiThread_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Call> calls_;
  std::function<void()> wake_;
};

}  // namespace platform::ui

#include "platform/ui/call_queue.h"

#include <chrono>

namespace platform::ui {

struct Completion {
  bool done = false;
  std::exception_ptr error;
};

CallQueue::CallQueue() : uiThread_(std::this_thread::get_id()) {}

void CallQueue::SetWake(std::function<void()> wake) {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_ = std::move(wake);
}

void CallQueue::Post(std::function<void()> call) {
  std::function<void()> wake;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(Call{std::move(call), nullptr});
    wake = wake_;
  }
  arrived_.notify_all();
  if (wake) wake();
}

void CallQueue::Send(std::function<void()> call) {
  if (OnUiThread()) {
    call();
    return;
  }
  auto done = std::make_shared<Completion>();
  std::function<void()> wake;
  std::unique_lock<std::mutex> lock(mutex_);
  calls_.push_back(Call{std::move(call), done});
  wake = wake_;
  lock.unlock();
  arrived_.notify_all();
  if (wake) wake();
  lock.lock();
  arrived_.wait(lock, [&] { return done->done; });
  if (done->error) std::rethrow_exception(done->error);
}

bool CallQueue::RunPending() {
  std::deque<Call> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(calls_);
  }
  bool ran = !batch.empty();
  while (!batch.empty()) {
    Call call = std::move(batch.front());
    batch.pop_front();
    if (!call.done) {
      try {
        call.run();
      } catch (...) {
        // The rest of the batch still runs later; the error goes to the loop.
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.insert(calls_.begin(), std::make_move_iterator(batch.begin()),
                      std::make_move_iterator(batch.end()));
        throw;
      }
      continue;
    }
    std::exception_ptr error;
    try {
      call.run();
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      call.done->error = error;
      call.done->done = true;
    }
    arrived_.notify_all();
  }
  return ran;
}

void CallQueue::WaitForCall(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  arrived_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return !calls_.empty(); });
}

}  // namespace platform::ui

// GoogleTest's port settings for Windows builds with the "win32" thread model
// of MinGW-w64, whose C++ library has no std::mutex and no
// std::condition_variable. GoogleTest needs those only for its Notification,
// which it uses in its own thread tests; this one waits by spinning.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
  public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true, std::memory_order_release); }
    void WaitForNotification() {
        while (!notified_.load(std::memory_order_acquire)) {
        }
    }

  private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

// The clock of one child run, the same for the POSIX and the Windows runner:
// when the run has lasted too long, and when the requested signal is due.
#pragma once

#include <chrono>

#include "support/child_process.h"

namespace testsupport {

class ChildDeadline {
  public:
    explicit ChildDeadline(const ChildOptions& options);

    // True once the run has lasted longer than the timeout.
    bool Expired() const;
    // True once, at the first call after the signal time; never without one.
    bool SignalDue();

  private:
    long long ElapsedMs() const;

    std::chrono::steady_clock::time_point start_;
    const ChildOptions& options_;
    bool signalled_ = false;
};

}  // namespace testsupport

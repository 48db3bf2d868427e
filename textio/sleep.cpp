#include "textio/sleep.h"

#include <poll.h>

#include <chrono>
#include <thread>

#include "textio/interrupts.h"

namespace textio {

namespace {
SleepFunction gSleepFunction = nullptr;
}  // namespace

SleepFunction SetSleepFunction(SleepFunction function) {
    const SleepFunction previous = gSleepFunction;
    gSleepFunction = function;
    return previous;
}

void SleepMilliseconds(int milliseconds) {
    if (gSleepFunction != nullptr) {
        gSleepFunction(milliseconds);
        return;
    }
    HandlePendingInterrupt();
    if (milliseconds <= 0) {
        std::this_thread::yield();
        return;
    }
    const int fd = InterruptWakeFd();
    if (fd < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    struct pollfd p {
        fd, POLLIN, 0
    };
    poll(&p, 1, milliseconds);
    HandlePendingInterrupt();
}

}  // namespace textio

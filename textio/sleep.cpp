#include "textio/sleep.h"

#include "textio/interrupts.h"
#include "platform/interrupt_source.h"

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
    platform::SleepOrWake(milliseconds);
    if (milliseconds > 0) HandlePendingInterrupt();
}

}  // namespace textio

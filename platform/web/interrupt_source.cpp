// Interrupts in a page: no signal reaches it, so nothing is installed and
// none is ever pending. Waits are the browser's turns, which WakeWaits
// (browser_turn.cpp) ends early.
#include "platform/interrupt_source.h"

#include "platform/web/browser_turn.h"

namespace platform {

void InstallInterruptSources() {}

int PendingInterruptStatus() {
    return 0;
}

void SleepOrWake(int milliseconds) {
    TakeTurn(milliseconds);
}

}  // namespace platform

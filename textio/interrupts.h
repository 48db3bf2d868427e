// Ctrl+C, SIGTERM and hang-up: the handler only records the signal and wakes
// any wait; the main thread then ends the program in order (terminal restored,
// files written out) with exit status 128 + signal number.
#pragma once

namespace textio {

void InstallInterruptHandlers();
// The file descriptor that becomes readable when a signal arrived, or -1.
int InterruptWakeFd();
// The signal number that arrived, or 0.
int PendingInterrupt();
// Ends the program when a signal arrived; returns otherwise.
void HandlePendingInterrupt();

}  // namespace textio

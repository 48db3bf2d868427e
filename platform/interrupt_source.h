// Where interrupts come from and how they wake the main thread's waits:
// signals on POSIX systems, console control events on Windows.
#pragma once

namespace platform {

// Installs the handlers. Safe to call more than once.
void InstallInterruptSources();

// The exit status that an interrupt that arrived asks for, or 0 when none
// arrived: 128 + signal number on POSIX systems, STATUS_CONTROL_C_EXIT on
// Windows.
int PendingInterruptStatus();

// Wakes the main thread's current or next wait (WaitForInput, SleepOrWake).
// Safe from any thread and from a signal handler.
void WakeWaits();

// Sleeps for `milliseconds`, or less when the wait is woken. 0 or less yields
// the processor once.
void SleepOrWake(int milliseconds);

}  // namespace platform

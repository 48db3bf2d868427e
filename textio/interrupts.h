// Ctrl+C, SIGTERM and hang-up (on Windows: Ctrl+C, Ctrl+Break and closing the
// console): the handler only records the interrupt and wakes any wait; the
// main thread then ends the program in order (terminal restored, files written
// out) with exit status 128 + signal number (Windows: STATUS_CONTROL_C_EXIT).
#pragma once

#include <cstddef>

#include "platform/file_io.h"

namespace textio {

void InstallInterruptHandlers();
// The exit status the interrupt that arrived asks for, or 0.
int PendingInterrupt();
// Ends the program when a signal arrived or an end was requested; returns
// otherwise. Only the main thread calls it (every wait of the text layer does).
void HandlePendingInterrupt();

// Writes the program's output to descriptor `fd` as platform::WriteAll does.
// When an interrupt or an end request stops the write (a reader that takes
// nothing), the program ends here, so such a reader cannot hold it. A
// standard stream that was closed when the program started takes nothing:
// kNotOpen. Main thread.
platform::IoError WriteOrEnd(int fd, const char* bytes, size_t length);

// For waits of the main thread on another thread, which an interrupt cannot
// wake (the window thread, which may hang on a display server that stopped
// answering): true once an interrupt has gone unserved for longer than an
// orderly end takes (kInterruptGraceMs, counted from the first call that saw
// it). Such a wait then ends the program with EndProgramNow (runtime.h)
// instead of waiting on. Main thread.
inline constexpr int kInterruptGraceMs = 1000;
bool InterruptOverdue();

// Asks the main thread to end the program with `status` at its next wait,
// after writing `message` (a static text, may be null) and a line end to
// standard error. Safe from any thread; the first request wins.
void RequestProgramEnd(int status, const char* message);

}  // namespace textio

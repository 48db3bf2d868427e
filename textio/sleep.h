// Millisecond sleeps that a Ctrl+C or SIGTERM cuts short.
#pragma once

namespace textio {

// Every wait of the main thread sleeps through here.
void SleepMilliseconds(int milliseconds);

// Replaces what SleepMilliseconds does (null restores the real sleep) and
// returns the function it replaces. Tests use it to script the keys that
// arrive while a wait loop sleeps and to record the waits, without a clock.
using SleepFunction = void (*)(int milliseconds);
SleepFunction SetSleepFunction(SleepFunction function);

}  // namespace textio

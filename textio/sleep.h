// Millisecond sleeps that a Ctrl+C or SIGTERM cuts short.
#pragma once

namespace textio {

void SleepMilliseconds(int milliseconds);

}  // namespace textio

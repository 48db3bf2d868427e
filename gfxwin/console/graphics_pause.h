// The sleep slot of the console operations while a screen is open: timed waits
// and the wait for a key press, both by polling the key-posted flag.
#pragma once

#include <cstdint>

namespace gfxwin {

// How often a wait looks at the key-posted flag.
constexpr int32_t kPausePollMs = 50;

// textio::kSleepUntilKey: returns once a key was posted (the flag is taken
// every 50 ms).
// 100 and more: the same for at most ms, looking at the flag only while more
// than 50 ms remain; the rest (1..50 ms) is slept without looking at keys.
// 1..99: sleeps ms regardless of keys. 0 and below (but kSleepUntilKey):
// returns.
// Keys posted before a key was last taken out of the key buffer do not count.
void GraphicsPause(int32_t milliseconds);

}  // namespace gfxwin

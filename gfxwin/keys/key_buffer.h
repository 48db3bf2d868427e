// The key buffer between the window thread and the drawing thread: a 16-slot
// ring of key codes (so at most 15 waiting) and the key-posted flag.
//
// A code is a character byte (1..255, or -128..-1 for bytes 128..255 posted by
// the character path) or an extended key 255 + 256 * b, read as the two bytes
// 255, b. 0 means no key. The buffer lives for the whole process and is never
// reset: codes posted before a screen is reopened stay readable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gfxwin {

// Window thread, under the driver lock: stores the code; when the ring is full
// the oldest code is lost. Sets the key-posted flag.
void PostKey(int32_t code);

// Drawing thread; each takes the screen lock for its own call.
// The oldest code, or 0 when none. Clears the key-posted flag.
int32_t TakeKey();
// 1 when a code is waiting, else 0.
int KeyAvailable();
// The key-posted flag, cleared.
int TakeKeyPostedFlag();
// Takes one key as text: one byte, two bytes (255, b) for an extended key, or
// nothing (returns 0) when no screen is open or no key is waiting.
size_t ReadKeyText(char out[2]);
// Waits (20 ms polls) for a key while a screen is open; 0 when none is open.
int32_t WaitForKey();

// Test aid: empties the ring and clears the flag.
void ResetKeyBufferForTest();

}  // namespace gfxwin

// Runtime start-up, program end and the shutdown that runs at exit.
#pragma once

#include <cstdint>

namespace textio {

// Zeroes the runtime state, sets rounding to nearest and the character-type
// locale, prepares the terminal and registers the shutdown. Runs once.
void RuntimeStartup();
// Closes every open file, releases the key text and the input context. Runs
// from the C library's exit.
void RuntimeShutdown();

void StoreArguments(int argumentCount, char** arguments, intptr_t extra);

// The program's name as it was started (its first argument), or null.
const char* ProgramName();

// The hook the program end runs first (an open screen closes itself there);
// null when none is set.
using ProgramEndHook = void (*)();
ProgramEndHook CurrentProgramEndHook();
void SetProgramEndHook(ProgramEndHook hook);

// Runs the program-end hook (it closes the screen), then exits with `code`.
[[noreturn]] void EndProgram(int32_t code);

// Ends the program without waiting for the program-end hook, when that can no
// longer finish (a window thread that does not answer): every open file is
// written out and the terminal restored (the runtime shutdown), then the
// process ends with `code` at once, without other exit routines. Main thread,
// outside any file operation.
[[noreturn]] void EndProgramNow(int32_t code);

}  // namespace textio

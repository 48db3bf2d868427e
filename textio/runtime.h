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

}  // namespace textio

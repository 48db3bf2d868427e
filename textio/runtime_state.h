// Process-wide runtime state of the text input/output layer, behind one accessor.
#pragma once

#include <array>
#include <cstdint>

#include "textio/console_hooks.h"
#include "textio/file_record.h"

namespace textio {

constexpr int kFileSlots = 256;

struct RuntimeState {
    int argumentCount;
    char** arguments;
    intptr_t argumentExtra;
    ConsoleHooks hooks;
    FileRecord screen;
    std::array<FileRecord, kFileSlots> files;  // slot n = file n; slot 0 = channel -1
    bool filesUsed;
    void (*programEndHook)();
    TextView view;
    unsigned closedAtStart;  // bit n: standard descriptor n was closed at start-up
};

RuntimeState& Runtime();

// Zeroes the whole state (runtime start-up and tests).
void ResetRuntimeState();

// The record for a channel number: 0 the screen, 1..255 files, -1 slot 0, else null.
FileRecord* ResolveChannel(int channel);

}  // namespace textio

// The console operations as the text input/output layer calls them: each runs
// the graphics version from ConsoleHooks when a screen has filled the slot, and
// the terminal version otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "textio/console_hooks.h"

namespace textio {

size_t ConsoleReadKeyText(char out[2]);
int ConsoleKeyWaiting();
int32_t ConsoleLocate(int32_t row, int32_t column, int32_t visibility);
void ConsoleCursorPosition(int32_t* column, int32_t* row);
void ConsoleTextSize(int32_t* columns, int32_t* rows);
void ConsolePrintBytes(const char* bytes, size_t length, uint32_t flags);
void ConsoleSleep(int32_t milliseconds);
int ConsoleLineInput(const std::string_view* prompt, std::string* destination, bool question,
                     bool lineEnd);
int ConsoleInputRedirected();

// The clear-screen operation of the dialogue: clears (by default as the screen
// chooses) and sets the screen channel's column to 0.
void ClearScreen(uint32_t mode = kClearDefault);

// An open screen hands its versions of the console operations over, and takes
// them back (every slot empty) when it closes.
void InstallConsoleHooks(const ConsoleHooks& hooks);
void RemoveConsoleHooks();

// The text view: the rows printing uses. A screen sets it when it opens or its
// grid changes, and resets it to "not set" when it closes.
TextView CurrentTextView();
void SetTextView(TextView view);

}  // namespace textio

namespace textio {
// True when keys come from the terminal and its input has ended: key waits
// then return at once instead of waiting for keys that never come.
bool ConsoleInputEnded();
}  // namespace textio

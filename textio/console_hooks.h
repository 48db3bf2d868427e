// The console operations that an open graphics screen takes over. An empty
// slot means the terminal (console) version runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace textio {

// Print flag: an empty print still carries out a pending line feed.
constexpr uint32_t kPrintForce = 8;

// Clear mode chosen by the screen: the graphics viewport when one is set, else
// the whole screen when the text view covers every row, else the text view.
constexpr uint32_t kClearDefault = 0xFFFF0000u;

// The sleep that lasts until a key is pressed.
constexpr int32_t kSleepUntilKey = -1;

// The rows that printing uses, 0-based; -1 = not set (the whole text grid).
struct TextView {
    int32_t top;
    int32_t bottom;
};

struct ConsoleHooks {
    // Takes one key and writes its text (0, 1 or 2 bytes) to out; returns the length.
    size_t (*readKeyText)(char out[2]) = nullptr;
    // Waits for a key code while a screen is open; 0 when none.
    int32_t (*waitKey)() = nullptr;
    // 1 when a key is waiting, else 0.
    int (*keyWaiting)() = nullptr;
    // Clears by mode (0 screen, 1 viewport, 2 text view, 0xFFFF0000 default).
    void (*clearScreen)(uint32_t mode) = nullptr;
    // Returns the previous colours as foreground + 65536 * background.
    int32_t (*setColours)(int32_t foreground, int32_t background, int32_t flags) = nullptr;
    // 1-based row and column, 0 keeps; returns the packed 0-based position.
    int32_t (*locate)(int32_t row, int32_t column, int32_t visibility) = nullptr;
    // Returns previous columns + 65536 * previous rows.
    int32_t (*setTextSize)(int32_t columns, int32_t rows) = nullptr;
    // 1-based cursor column and row.
    int32_t (*cursorColumn)() = nullptr;
    int32_t (*cursorRow)() = nullptr;
    // Either output may be null.
    void (*cursorPosition)(int32_t* column, int32_t* row) = nullptr;
    // Text columns and rows; either output may be null.
    void (*textSize)(int32_t* columns, int32_t* rows) = nullptr;
    // Prints bytes; kPrintForce makes an empty print apply a pending line feed.
    void (*printBytes)(const char* bytes, size_t length, uint32_t flags) = nullptr;
    // Prints 16-bit text (units above 255 become '?').
    void (*printWide)(const uint16_t* units, size_t length, uint32_t flags) = nullptr;
    // Reads one line of text with a simple editor; returns an error code.
    int (*readTextLine)(std::string* line) = nullptr;
    // -1 when the key with that scan code is down, else 0.
    int32_t (*keyDown)(int32_t scanCode) = nullptr;
    // Error code; outputs set to -1 on failure. wheel, buttons, clip may be null.
    int32_t (*readMouse)(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons,
                         int32_t* clip) = nullptr;
    // Error code.
    int32_t (*setMouse)(int32_t x, int32_t y, int32_t visibility, int32_t clip) = nullptr;
    // VGA port emulation.
    int32_t (*portIn)(int32_t port) = nullptr;
    void (*portOut)(int32_t port, int32_t value) = nullptr;
    // The text view changed.
    void (*viewChanged)() = nullptr;
    // Line input (prompt may be null); returns an error code.
    int (*lineInput)(const std::string_view* prompt, std::string* destination, int64_t size,
                     int fill, bool question, bool lineEnd) = nullptr;
    // The 16-bit form of lineInput.
    int (*lineInputWide)(const std::u16string_view* prompt, std::u16string* destination,
                         int64_t size, int fill, bool question, bool lineEnd) = nullptr;
    // Character code (selector 0) or colours of a cell; 0 outside the grid.
    int32_t (*readCell)(int32_t column, int32_t row, int32_t selector) = nullptr;
    // Sleep / key wait in milliseconds, or kSleepUntilKey.
    void (*sleep)(int32_t milliseconds) = nullptr;
    // 1 when keyboard input is redirected.
    int (*inputRedirected)() = nullptr;
    // Copies one page to another; error code.
    int (*copyPage)(int32_t source, int32_t destination) = nullptr;
    // Sets the work and the visible page (negative keeps); error code.
    int (*selectPages)(int32_t work, int32_t visible) = nullptr;
};

}  // namespace textio

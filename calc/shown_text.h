// The command line's own texts (help, version, messages) on standard output
// and standard error. They are code page 437 like every text of the program;
// they go out as UTF-8 under a UTF-8 locale, or on a terminal under the plain
// C locale, otherwise as the code page 437 bytes, exactly as terminal mode
// shows the dialogue. Each of the two streams is judged on its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_io.h"

namespace calc {

constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// Makes standard input, output and error usable: a windowed Windows program
// started from a console attaches to it. Call before the first read or write.
void ReadyStandardStreams();

// `cp437` as it is written to descriptor `fd` (kStandardOutput or
// kStandardError): each descriptor has its own encoding, so a message on a
// terminal is UTF-8 while the CSV goes to a file.
std::string ShownText(int fd, std::string_view cp437);

// A name or an argument as the user gave it (in the system's character set,
// not re-encoded) for a message on descriptor `fd`: its control bytes shown
// as the echo shows them, so that they never act on a terminal.
std::string ShownName(int fd, std::string_view name);

// Writes all bytes to descriptor `fd`: kNone, or why it took no more (kClosed
// for a closed pipe). Windows consoles get the bytes' characters.
platform::IoError WriteOut(int fd, std::string_view bytes);

// Writes `bytes` to standard output. When it cannot, says why in one line on
// standard error (a reader that went away, a closed pipe, gets no word, as
// with other tools) and returns false.
bool WriteStandardOutput(std::string_view bytes);

// A text for each of some values of `Key`, and the lookup in such a table.
template <typename Key>
using TextTable = std::pair<Key, std::string_view>;
template <typename Key, size_t N>
std::string_view TextFor(const TextTable<Key> (&table)[N], Key key, std::string_view otherwise) {
    for (const auto& [known, text] : table) {
        if (known == key) return text;
    }
    return otherwise;
}

// Why a write or an open failed, as a German phrase in code page 437.
std::string_view IoErrorText(platform::IoError error);

}  // namespace calc

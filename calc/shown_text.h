// The command line's own texts (help, version, messages) on standard output
// and standard error. They are code page 437 like every text of the program;
// under a UTF-8 locale they go out as UTF-8, otherwise as the code page 437
// bytes, exactly as terminal mode shows the dialogue.
#pragma once

#include <string>
#include <string_view>

namespace calc {

constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// Makes standard input, output and error usable: a windowed Windows program
// started from a console attaches to it. Call before the first read or write.
void ReadyStandardStreams();

// `cp437` as standard output and standard error show it.
std::string ShownText(std::string_view cp437);

// Writes all bytes to descriptor `fd`; false once it takes no more (a closed
// pipe). Windows consoles get the bytes' characters.
bool WriteOut(int fd, std::string_view bytes);

}  // namespace calc

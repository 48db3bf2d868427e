// The program's exit statuses, as the help, the README and the man pages list
// them. An interrupt ends it with 128 + the signal number (textio).
#pragma once

namespace calc {

constexpr int kExitOk = 0;
// A batch line could not be read, output could not be written, or the result
// file could not be made or written.
constexpr int kExitFailed = 1;
// The command line is wrong, or the batch input cannot be opened.
constexpr int kExitUsage = 2;

}  // namespace calc

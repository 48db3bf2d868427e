// Points the terminal console at pipes, so tests can type input and read what
// the program shows on channel 0 without a graphics screen.
#pragma once

#include <string>

namespace testsupport {

class TerminalCapture {
  public:
    // `input` is what the user types; the input then ends unless keepOpen is set.
    explicit TerminalCapture(const std::string& input = "", bool utf8 = false,
                             bool keepOpen = false);
    ~TerminalCapture();
    TerminalCapture(const TerminalCapture&) = delete;
    TerminalCapture& operator=(const TerminalCapture&) = delete;

    // Everything shown since the last call.
    std::string TakeOutput();
    // Types more input (only when keepOpen was set).
    void Type(const std::string& more);

  private:
    int inWrite_ = -1;
    int inRead_ = -1;
    int outRead_ = -1;
    int outWrite_ = -1;
};

// Resets the runtime state and the input context for a fresh test.
void ResetRuntimeForTest();

}  // namespace testsupport

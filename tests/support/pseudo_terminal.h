// A pseudo-terminal for tests of terminal mode: the text console is attached
// to its terminal side, the test types into the other side and reads what the
// program showed there.
#pragma once

#include <string>
#include <thread>

namespace testsupport {

class PseudoTerminal {
  public:
    // Opens the pair (80 x 25) and attaches the text console to it.
    explicit PseudoTerminal(bool utf8 = false);
    // Detaches the console (back to standard input and output) and closes.
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return terminal_ >= 0; }

    // Types `keys` as soon as the program has put the terminal into raw mode
    // (typing earlier would let the terminal echo and edit them itself).
    void TypeWhenRaw(const std::string& keys);
    // Waits until the typing has been done.
    void FinishTyping();

    // Everything the program wrote since the last call.
    std::string TakeOutput();

    // True while the terminal is in canonical mode with echo (its usual modes).
    bool InCookedMode() const;

  private:
    int controller_ = -1;  // the side the test types into
    int terminal_ = -1;    // the side the program uses
    std::thread typist_;
};

}  // namespace testsupport

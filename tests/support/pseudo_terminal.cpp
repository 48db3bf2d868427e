#include "support/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "textio/terminal.h"

namespace testsupport {

namespace {

// Marks the end of the output: the test writes it through the terminal side
// after the program, then reads up to it.
constexpr char kEndMark[] = "\x01<end of output>\x01";
// Upper bound for waits that only fail when the program misbehaves.
constexpr int kGiveUpMs = 10000;

}  // namespace

PseudoTerminal::PseudoTerminal(bool utf8) {
    controller_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (controller_ < 0 || grantpt(controller_) != 0 || unlockpt(controller_) != 0) return;
    const char* name = ptsname(controller_);
    if (name == nullptr) return;
    terminal_ = open(name, O_RDWR | O_NOCTTY);
    if (terminal_ < 0) return;
    winsize size{};
    size.ws_row = 25;
    size.ws_col = 80;
    ioctl(terminal_, TIOCSWINSZ, &size);
    textio::TerminalAttach(terminal_, terminal_, utf8);
}

PseudoTerminal::~PseudoTerminal() {
    FinishTyping();
    textio::TerminalAttach(0, 1, false);
    if (terminal_ >= 0) close(terminal_);
    if (controller_ >= 0) close(controller_);
}

void PseudoTerminal::TypeWhenRaw(const std::string& keys) {
    FinishTyping();
    typist_ = std::thread([this, keys] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kGiveUpMs);
        while (InCookedMode() && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        size_t done = 0;
        while (done < keys.size()) {
            const ssize_t n = write(controller_, keys.data() + done, keys.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
    });
}

void PseudoTerminal::FinishTyping() {
    if (typist_.joinable()) typist_.join();
}

bool PseudoTerminal::InCookedMode() const {
    termios modes{};
    if (tcgetattr(terminal_, &modes) != 0) return false;
    return (modes.c_lflag & ICANON) != 0 && (modes.c_lflag & ECHO) != 0;
}

std::string PseudoTerminal::TakeOutput() {
    FinishTyping();
    textio::TerminalFlush();
    if (controller_ < 0) return {};
    const std::string mark = kEndMark;
    if (write(terminal_, mark.data(), mark.size()) != static_cast<ssize_t>(mark.size())) return {};
    std::string all;
    char buffer[4096];
    while (all.size() < mark.size() ||
           all.compare(all.size() - mark.size(), mark.size(), mark) != 0) {
        pollfd p{controller_, POLLIN, 0};
        if (poll(&p, 1, kGiveUpMs) <= 0) break;
        const ssize_t n = read(controller_, buffer, sizeof buffer);
        if (n <= 0) break;
        all.append(buffer, static_cast<size_t>(n));
    }
    if (all.size() >= mark.size() &&
        all.compare(all.size() - mark.size(), mark.size(), mark) == 0) {
        all.resize(all.size() - mark.size());
    }
    return all;
}

}  // namespace testsupport

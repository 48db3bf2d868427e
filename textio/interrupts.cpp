#include "textio/interrupts.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <csignal>

#include "textio/runtime.h"

namespace textio {

namespace {

volatile sig_atomic_t gPending = 0;
int gWakePipe[2] = {-1, -1};

void OnSignal(int sig) {
    if (gPending == 0) gPending = sig;
    if (gWakePipe[1] >= 0) {
        const char byte = 1;
        ssize_t ignored = write(gWakePipe[1], &byte, 1);
        (void)ignored;
    }
}

}  // namespace

void InstallInterruptHandlers() {
    if (gWakePipe[0] < 0) {
        if (pipe(gWakePipe) != 0) {
            gWakePipe[0] = gWakePipe[1] = -1;
        } else {
            for (int fd : gWakePipe) {
                fcntl(fd, F_SETFD, FD_CLOEXEC);
                fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            }
        }
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: a blocking call returns and sees the signal
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    // A closed output pipe must not kill the program; the write just fails.
    signal(SIGPIPE, SIG_IGN);
}

int InterruptWakeFd() { return gWakePipe[0]; }

int PendingInterrupt() { return gPending; }

void HandlePendingInterrupt() {
    const int sig = gPending;
    if (sig == 0) return;
    EndProgram(128 + sig);
}

}  // namespace textio

#include "textio/interrupts.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

#include "textio/runtime.h"

namespace textio {

namespace {

volatile sig_atomic_t gPending = 0;
int gWakePipe[2] = {-1, -1};

struct EndRequest {
    std::atomic<bool> set{false};
    int status = 0;
    const char* message = nullptr;
};
EndRequest gEndRequest;
std::atomic<bool> gEndClaimed{false};

void Wake() {
    if (gWakePipe[1] >= 0) {
        const char byte = 1;
        ssize_t ignored = write(gWakePipe[1], &byte, 1);
        (void)ignored;
    }
}

void OnSignal(int sig) {
    if (gPending == 0) gPending = sig;
    Wake();
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

int InterruptWakeFd() {
    return gWakePipe[0];
}

int PendingInterrupt() {
    return gPending;
}

void HandlePendingInterrupt() {
    // Ending runs waits of its own (closing the window); they must not end again.
    static bool ending = false;
    if (ending) return;
    const int sig = gPending;
    if (sig != 0 || gEndRequest.set.load(std::memory_order_acquire)) ending = true;
    if (sig != 0) EndProgram(128 + sig);
    if (gEndRequest.set.load(std::memory_order_acquire)) {
        if (gEndRequest.message != nullptr) {
            ssize_t ignored = write(2, gEndRequest.message, std::strlen(gEndRequest.message));
            ignored = write(2, "\n", 1);
            (void)ignored;
        }
        EndProgram(gEndRequest.status);
    }
}

void RequestProgramEnd(int status, const char* message) {
    if (gEndClaimed.exchange(true)) return;
    gEndRequest.status = status;
    gEndRequest.message = message;
    gEndRequest.set.store(true, std::memory_order_release);
    Wake();
}

}  // namespace textio

// Interrupts on POSIX systems: Ctrl+C, SIGTERM and a hang-up. The handler only
// records the signal and writes a byte into a self-pipe that every wait of the
// main thread polls.
#include "platform/interrupt_source.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/wake_pipe.h"

namespace platform {

namespace {

volatile sig_atomic_t gSignal = 0;
int gWakePipe[2] = {-1, -1};

void OnSignal(int sig) {
    if (gSignal == 0) gSignal = sig;
    WakeWaits();
}

}  // namespace

int WakePipeReadEnd() {
    return gWakePipe[0];
}

void InstallInterruptSources() {
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

int PendingInterruptStatus() {
    const int sig = gSignal;
    return sig != 0 ? 128 + sig : 0;
}

void WakeWaits() {
    if (gWakePipe[1] >= 0) {
        const char byte = 1;
        ssize_t ignored = write(gWakePipe[1], &byte, 1);
        (void)ignored;
    }
}

void SleepOrWake(int milliseconds) {
    if (milliseconds <= 0) {
        sched_yield();
        return;
    }
    const int fd = gWakePipe[0];
    if (fd < 0) {
        timespec t{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
        while (nanosleep(&t, &t) != 0 && errno == EINTR) {
        }
        return;
    }
    struct pollfd p {
        fd, POLLIN, 0
    };
    poll(&p, 1, milliseconds);
}

}  // namespace platform

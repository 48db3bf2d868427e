#include "textio/interrupts.h"

#include <atomic>
#include <chrono>
#include <cstring>

#include "platform/interrupt_source.h"
#include "platform/terminal_io.h"
#include "textio/runtime.h"
#include "textio/runtime_state.h"

namespace textio {

namespace {

struct EndRequest {
    std::atomic<bool> set{false};
    int status = 0;
    const char* message = nullptr;
};
EndRequest gEndRequest;
std::atomic<bool> gEndClaimed{false};

}  // namespace

void InstallInterruptHandlers() {
    platform::InstallInterruptSources();
}

int PendingInterrupt() {
    return platform::PendingInterruptStatus();
}

void HandlePendingInterrupt() {
    // Ending runs waits of its own (closing the window); they must not end again.
    static bool ending = false;
    if (ending) return;
    const int status = platform::PendingInterruptStatus();
    if (status != 0 || gEndRequest.set.load(std::memory_order_acquire)) ending = true;
    if (status != 0) EndProgram(status);
    if (gEndRequest.set.load(std::memory_order_acquire)) {
        if (gEndRequest.message != nullptr) {
            platform::WriteAll(2, gEndRequest.message, std::strlen(gEndRequest.message));
            platform::WriteAll(2, "\n", 1);
        }
        EndProgram(gEndRequest.status);
    }
}

platform::IoError WriteOrEnd(int fd, const char* bytes, size_t length) {
    if (fd >= 0 && fd <= 2 && ((Runtime().closedAtStart >> fd) & 1u) != 0) {
        return platform::IoError::kNotOpen;
    }
    const platform::IoError result = platform::WriteAll(fd, bytes, length);
    if (result == platform::IoError::kInterrupted) HandlePendingInterrupt();
    return result;
}

bool InterruptOverdue() {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point seenAt{};
    static bool seen = false;
    if (platform::PendingInterruptStatus() == 0) return false;
    const Clock::time_point now = Clock::now();
    if (!seen) {
        seen = true;
        seenAt = now;
    }
    return now - seenAt >= std::chrono::milliseconds(kInterruptGraceMs);
}

void RequestProgramEnd(int status, const char* message) {
    if (gEndClaimed.exchange(true)) return;
    gEndRequest.status = status;
    gEndRequest.message = message;
    gEndRequest.set.store(true, std::memory_order_release);
    platform::WakeWaits();
}

}  // namespace textio

// Threads in a page: there is one, the page's. A lock only records that it is
// held (nothing else could take it), no thread can start, and a sleep is the
// browser's turn.
#include "platform/threads.h"

#include <new>

#include "platform/web/browser_turn.h"

namespace platform {

namespace {

struct ReadyState {
    bool ready;
    bool ended;
};

bool& Held(unsigned char* storage) {
    return *reinterpret_cast<bool*>(storage);
}

}  // namespace

Mutex::Mutex() {
    new (storage_) bool(false);
}

Mutex::~Mutex() = default;

void Mutex::Lock() {
    Held(storage_) = true;
}

// With one thread a held lock is held by the caller and stays so during any
// wait: there is no point in waiting.
bool Mutex::TryLockFor(int /*milliseconds*/) {
    if (Held(storage_)) return false;
    Held(storage_) = true;
    return true;
}

void Mutex::Unlock() {
    Held(storage_) = false;
}

ReadySignal::ReadySignal() {
    new (storage_) ReadyState{false, false};
}

ReadySignal::~ReadySignal() = default;

void ReadySignal::SignalReady() {
    reinterpret_cast<ReadyState*>(storage_)->ready = true;
}

void ReadySignal::SignalEnded() {
    reinterpret_cast<ReadyState*>(storage_)->ended = true;
}

ReadySignal::Outcome ReadySignal::WaitFor(int /*milliseconds*/) {
    const auto* s = reinterpret_cast<const ReadyState*>(storage_);
    return s->ready ? Outcome::kReady : s->ended ? Outcome::kEnded : Outcome::kNeither;
}

bool Thread::Start(void (* /*body*/)(void*), void* /*argument*/, ReadySignal* /*ended*/) {
    return false;
}

void Thread::Join() {}

bool Thread::JoinFor(int /*milliseconds*/) {
    return true;
}

void SleepMs(int milliseconds) {
    TakeTurn(milliseconds);
}

// The browser does not tell a page its processor time.
long long ProcessCpuMicros() {
    return 0;
}

}  // namespace platform

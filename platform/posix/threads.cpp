// POSIX threads behind the host synchronisation classes. The timed waits
// measure on the monotonic clock, so setting the system clock cannot stretch
// them; that takes pthread_mutex_clocklock and pthread_clockjoin_np, which
// glibc has from version 2.31 on. The thread sanitizer we build the window
// tests with knows neither call and would miss the lock and the join they
// make; its builds wait on the system clock with the calls it knows.
#include "platform/threads.h"

#include <pthread.h>
#include <sys/resource.h>
#include <time.h>

#include <cerrno>
#include <new>

#if defined(__SANITIZE_THREAD__)
#define WL_WAIT_ON_SYSTEM_CLOCK 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define WL_WAIT_ON_SYSTEM_CLOCK 1
#endif
#endif

namespace platform {

namespace {

struct ReadyState {
    pthread_mutex_t mutex;
    pthread_cond_t cond;
    bool ready;
    bool ended;
};

struct ThreadStart {
    void (*body)(void*);
    void* argument;
    ReadySignal* ended;
};

void* RunThread(void* raw) {
    ThreadStart start = *static_cast<ThreadStart*>(raw);
    delete static_cast<ThreadStart*>(raw);
    start.body(start.argument);
    if (start.ended != nullptr) start.ended->SignalEnded();
    return nullptr;
}

}  // namespace

static_assert(sizeof(pthread_mutex_t) <= 64);
static_assert(sizeof(ReadyState) <= 128);
static_assert(sizeof(pthread_t) <= 32);

Mutex::Mutex() {
    new (storage_) pthread_mutex_t(PTHREAD_MUTEX_INITIALIZER);
}

Mutex::~Mutex() {
    pthread_mutex_destroy(reinterpret_cast<pthread_mutex_t*>(storage_));
}

void Mutex::Lock() {
    pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(storage_));
}

namespace {
// The moment `milliseconds` from now on `clock` (by default the clock the
// timed waits use).
timespec Deadline(int milliseconds, clockid_t clock = CLOCK_MONOTONIC) {
    timespec t{};
    clock_gettime(clock, &t);
    const long long ns =
        t.tv_nsec + static_cast<long long>(milliseconds > 0 ? milliseconds : 0) * 1000000LL;
    t.tv_sec += static_cast<time_t>(ns / 1000000000LL);
    t.tv_nsec = static_cast<long>(ns % 1000000000LL);
    return t;
}
}  // namespace

bool Mutex::TryLockFor(int milliseconds) {
    auto* mutex = reinterpret_cast<pthread_mutex_t*>(storage_);
    // A free lock is taken without reading the clock.
    if (pthread_mutex_trylock(mutex) == 0) return true;
#ifdef WL_WAIT_ON_SYSTEM_CLOCK
    const timespec deadline = Deadline(milliseconds, CLOCK_REALTIME);
    return pthread_mutex_timedlock(mutex, &deadline) == 0;
#else
    const timespec deadline = Deadline(milliseconds);
    return pthread_mutex_clocklock(mutex, CLOCK_MONOTONIC, &deadline) == 0;
#endif
}

void Mutex::Unlock() {
    pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(storage_));
}

ReadySignal::ReadySignal() {
    auto* s = new (storage_) ReadyState{PTHREAD_MUTEX_INITIALIZER, {}, false, false};
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&s->cond, &attributes);
    pthread_condattr_destroy(&attributes);
}

ReadySignal::~ReadySignal() {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    pthread_cond_destroy(&s->cond);
    pthread_mutex_destroy(&s->mutex);
}

namespace {
// Sets one of the two outcomes and wakes the waiter.
void Signal(ReadyState* s, bool ReadyState::*outcome) {
    pthread_mutex_lock(&s->mutex);
    s->*outcome = true;
    pthread_cond_broadcast(&s->cond);
    pthread_mutex_unlock(&s->mutex);
}
}  // namespace

void ReadySignal::SignalReady() {
    Signal(reinterpret_cast<ReadyState*>(storage_), &ReadyState::ready);
}

void ReadySignal::SignalEnded() {
    Signal(reinterpret_cast<ReadyState*>(storage_), &ReadyState::ended);
}

ReadySignal::Outcome ReadySignal::WaitFor(int milliseconds) {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    const timespec deadline = Deadline(milliseconds);
    pthread_mutex_lock(&s->mutex);
    while (!s->ready && !s->ended) {
        if (pthread_cond_timedwait(&s->cond, &s->mutex, &deadline) == ETIMEDOUT) break;
    }
    const Outcome outcome = s->ready   ? Outcome::kReady
                            : s->ended ? Outcome::kEnded
                                       : Outcome::kNeither;
    pthread_mutex_unlock(&s->mutex);
    return outcome;
}

bool Thread::Start(void (*body)(void*), void* argument, ReadySignal* ended) {
    if (started_) return false;
    auto* start = new (std::nothrow) ThreadStart{body, argument, ended};
    if (start == nullptr) return false;
    auto* handle = reinterpret_cast<pthread_t*>(storage_);
    if (pthread_create(handle, nullptr, RunThread, start) != 0) {
        delete start;
        return false;
    }
    started_ = true;
    return true;
}

void Thread::Join() {
    if (!started_) return;
    pthread_join(*reinterpret_cast<pthread_t*>(storage_), nullptr);
    started_ = false;
}

bool Thread::JoinFor(int milliseconds) {
    if (!started_) return true;
    auto* thread = reinterpret_cast<pthread_t*>(storage_);
#ifdef WL_WAIT_ON_SYSTEM_CLOCK
    const timespec deadline = Deadline(milliseconds, CLOCK_REALTIME);
    if (pthread_timedjoin_np(*thread, nullptr, &deadline) != 0) return false;
#else
    const timespec deadline = Deadline(milliseconds);
    if (pthread_clockjoin_np(*thread, nullptr, CLOCK_MONOTONIC, &deadline) != 0) return false;
#endif
    started_ = false;
    return true;
}

void SleepMs(int milliseconds) {
    if (milliseconds <= 0) return;
    timespec t{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

long long ProcessCpuMicros() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_usec;
}

}  // namespace platform

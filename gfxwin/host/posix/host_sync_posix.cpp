// POSIX threads behind the host synchronisation classes.
#include <pthread.h>
#include <sys/resource.h>
#include <time.h>

#include <cerrno>
#include <new>

#include "gfxwin/host/host_sync.h"

namespace gfxwin::host {

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
    HostReadySignal* ended;
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

HostMutex::HostMutex() {
    new (storage_) pthread_mutex_t(PTHREAD_MUTEX_INITIALIZER);
}

HostMutex::~HostMutex() {
    pthread_mutex_destroy(reinterpret_cast<pthread_mutex_t*>(storage_));
}

void HostMutex::Lock() {
    pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(storage_));
}

void HostMutex::Unlock() {
    pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(storage_));
}

HostReadySignal::HostReadySignal() {
    new (storage_) ReadyState{PTHREAD_MUTEX_INITIALIZER, PTHREAD_COND_INITIALIZER, false, false};
}

HostReadySignal::~HostReadySignal() {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    pthread_cond_destroy(&s->cond);
    pthread_mutex_destroy(&s->mutex);
}

void HostReadySignal::SignalReady() {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    pthread_mutex_lock(&s->mutex);
    s->ready = true;
    pthread_cond_broadcast(&s->cond);
    pthread_mutex_unlock(&s->mutex);
}

void HostReadySignal::SignalEnded() {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    pthread_mutex_lock(&s->mutex);
    s->ended = true;
    pthread_cond_broadcast(&s->cond);
    pthread_mutex_unlock(&s->mutex);
}

bool HostReadySignal::WaitReadyOrEnded() {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    pthread_mutex_lock(&s->mutex);
    while (!s->ready && !s->ended) pthread_cond_wait(&s->cond, &s->mutex);
    const bool ready = s->ready;
    pthread_mutex_unlock(&s->mutex);
    return ready;
}

HostThread::~HostThread() {
    Join();
}

bool HostThread::Start(void (*body)(void*), void* argument, HostReadySignal* ended) {
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

void HostThread::Join() {
    if (!started_) return;
    pthread_join(*reinterpret_cast<pthread_t*>(storage_), nullptr);
    started_ = false;
}

bool HostThread::IsCurrent() const {
    return started_ &&
           pthread_equal(*reinterpret_cast<const pthread_t*>(storage_), pthread_self()) != 0;
}

void HostSleep(int milliseconds) {
    if (milliseconds <= 0) return;
    timespec t{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

long long HostProcessCpuMicros() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_usec;
}

}  // namespace gfxwin::host

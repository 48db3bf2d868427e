// Interrupts on Windows: Ctrl+C, Ctrl+Break and closing the console reach the
// program as console control events, on a thread of their own. The handler
// records the event and sets the wake event that every wait of the main thread
// watches; the main thread then ends the program in order.
#include "platform/interrupt_source.h"

#include <windows.h>

#include <atomic>

#include "platform/win32/wake_event.h"

namespace platform {

namespace {

// The status a process ended by Ctrl+C reports on Windows (STATUS_CONTROL_C_EXIT).
constexpr int kControlCExitStatus = static_cast<int>(0xC000013Au);

std::atomic<int> gStatus{0};

BOOL WINAPI OnControlEvent(DWORD type) {
    switch (type) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT: {
            int none = 0;
            gStatus.compare_exchange_strong(none, kControlCExitStatus);
            WakeWaits();
            if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) {
                // The system ends the process as soon as this returns: wait
                // here until the main thread has written the files out and
                // exits (which ends this thread), or the system's grace time
                // runs out.
                Sleep(INFINITE);
            }
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

HANDLE WakeEvent() {
    // Manual reset and never reset: once an end is on its way, every later wait
    // returns at once, as the program is ending.
    static const HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return event;
}

void InstallInterruptSources() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    WakeEvent();
    // A program started in a new process group inherits Ctrl+C switched off.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(OnControlEvent, TRUE);
}

int PendingInterruptStatus() {
    return gStatus.load(std::memory_order_acquire);
}

void WakeWaits() {
    if (HANDLE event = WakeEvent()) SetEvent(event);
}

void SleepOrWake(int milliseconds) {
    if (milliseconds <= 0) {
        Sleep(0);
        return;
    }
    HANDLE event = WakeEvent();
    if (event == nullptr) {
        Sleep(static_cast<DWORD>(milliseconds));
        return;
    }
    WaitForSingleObject(event, static_cast<DWORD>(milliseconds));
}

}  // namespace platform

// The event that wakes the main thread's waits when an interrupt or a
// program-end request arrives.
#pragma once

#include <windows.h>

namespace platform {

// Created on first use; null only when the system cannot create it.
HANDLE WakeEvent();

}  // namespace platform

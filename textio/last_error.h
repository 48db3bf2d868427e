// The one process-wide runtime error number, and the reason the system gave
// for the last file operation that failed in a system call.
#pragma once

#include "platform/file_io.h"

namespace textio {

enum ErrorCode : int {
    kOk = 0,
    kErrInvalidCall = 1,
    kErrOpenRefused = 2,
    kErrIo = 3,
    kErrOutOfMemory = 4,
};

int LastError();
// Stores the code and returns it, so operations can end with `return SetLastError(code);`.
int SetLastError(int code);

// Why the system refused the last file operation that failed in a system
// call (a full device, no permission, ...); kNone before any did.
platform::IoError LastSystemError();
// Notes the reason the C library gives for the call that just failed, and
// returns `code`: `return SystemFailure(kErrIo);`.
int SystemFailure(int code);

}  // namespace textio

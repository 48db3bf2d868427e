// The one process-wide runtime error number.
#pragma once

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

}  // namespace textio

#include "textio/last_error.h"

namespace textio {

namespace {

struct Errors {
    int code = kOk;
    platform::IoError system = platform::IoError::kNone;
};
Errors gErrors;

}  // namespace

int LastError() {
    return gErrors.code;
}

int SetLastError(int code) {
    gErrors.code = code;
    return code;
}

platform::IoError LastSystemError() {
    return gErrors.system;
}

int SystemFailure(int code) {
    gErrors.system = platform::LastIoError();
    return code;
}

}  // namespace textio

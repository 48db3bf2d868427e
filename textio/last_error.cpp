#include "textio/last_error.h"

namespace textio {

namespace {
int gLastError = 0;
}

int LastError() {
    return gLastError;
}

int SetLastError(int code) {
    gLastError = code;
    return code;
}

}  // namespace textio

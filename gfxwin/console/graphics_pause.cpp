#include "gfxwin/console/graphics_pause.h"

#include "gfxwin/keys/key_buffer.h"
#include "textio/console_hooks.h"
#include "textio/sleep.h"

namespace gfxwin {

namespace {
constexpr int32_t kFlagTestsFrom = 100;
}  // namespace

void GraphicsPause(int32_t milliseconds) {
    if (milliseconds == textio::kSleepUntilKey) {
        while (TakeKeyPostedFlag() == 0) textio::SleepMilliseconds(kPausePollMs);
        return;
    }
    if (milliseconds >= kFlagTestsFrom) {
        do {
            if (TakeKeyPostedFlag() != 0) return;
            textio::SleepMilliseconds(kPausePollMs);
            milliseconds -= kPausePollMs;
        } while (milliseconds > kPausePollMs);
        textio::SleepMilliseconds(milliseconds);
        return;
    }
    if (milliseconds > 0) textio::SleepMilliseconds(milliseconds);
}

}  // namespace gfxwin

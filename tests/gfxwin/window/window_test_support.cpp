#include "tests/gfxwin/window/window_test_support.h"

#include <chrono>
#include <cstdio>

#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/window/window.h"
#include "platform/threads.h"

namespace gfxwin::testing {

std::vector<WindowEvent> RecordedEvents() {
    std::vector<WindowEvent> events;
    LockScreen();
    const ScreenState& s = *CurrentScreen();
    for (int32_t i = s.eventHead; i != s.eventTail; i = (i + 1) % kEventQueueSize) {
        events.push_back(s.events[i]);
    }
    UnlockScreen(1, 0);
    return events;
}

void WaitIdle() {
    PresentationStats before = ReadPresentationStats();
    for (int i = 0; i < 300; ++i) {
        platform::SleepMs(10);
        const PresentationStats now = ReadPresentationStats();
        if (now.passes >= before.passes + 2 && now.transfers == before.transfers) return;
        if (now.transfers != before.transfers) before = now;
    }
}

std::string KeysAsText(int quietMs) {
    using Clock = std::chrono::steady_clock;
    std::string text;
    Clock::time_point quietSince = Clock::now();
    while (Clock::now() - quietSince < std::chrono::milliseconds(quietMs)) {
        char bytes[2];
        const size_t n = ReadKeyText(bytes);
        if (n == 0) {
            platform::SleepMs(10);
            continue;
        }
        text.append(bytes, n);
        quietSince = Clock::now();
    }
    return text;
}

::testing::AssertionResult FramebufferShown(const std::function<uint32_t(int, int)>& windowPixel) {
    LockScreen();
    const ScreenState& s = *CurrentScreen();
    int mismatches = 0;
    std::string first;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const uint32_t c = s.devicePalette[s.framebuffer[y * s.pitch + x]];
            const uint32_t want = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
            const uint32_t got = windowPixel(x, y);
            if (got != want && mismatches++ == 0) {
                char text[128];
                std::snprintf(text, sizeof text, "pixel (%d,%d) is %06X, expected %06X", x, y,
                              static_cast<unsigned>(got), static_cast<unsigned>(want));
                first = text;
            }
        }
    }
    UnlockScreen(1, 0);
    if (mismatches != 0) {
        return ::testing::AssertionFailure() << mismatches << " pixels differ; " << first;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace gfxwin::testing

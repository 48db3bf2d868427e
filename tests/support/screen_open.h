// Aids for the tests that open and close screens: colours in the screen's
// 0x00BBGGRR form, the check that no console operation is installed, and two
// fake window drivers ("DirectX" and "GDI") that log every call.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gfxwin/window/driver_list.h"
#include "gfxwin/window_driver.h"
#include "support/screen_dump.h"
#include "textio/runtime_state.h"

namespace gfxwin::testing {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

// True when every console-operation slot is empty (the terminal versions run).
inline bool HooksEmpty() {
    const textio::ConsoleHooks empty{};
    return std::memcmp(&textio::Runtime().hooks, &empty, sizeof empty) == 0;
}

// What the fake drivers were asked to do.
struct DriverLog {
    std::vector<std::string> calls;
    const char* accept = nullptr;  // name of the driver whose init succeeds
    int locks = 0;
    int unlocks = 0;
    std::vector<uint32_t> palette = std::vector<uint32_t>(256, 0xDEADBEEF);
};
inline DriverLog gDriverLog;

// Driver 0 is "DirectX", driver 1 "GDI"; only the slots up to the palette are filled.
template <int N>
struct FakeDriver {
    static constexpr const char* kName = N == 0 ? "DirectX" : "GDI";
    static int Init(const char*, int32_t w, int32_t h, int32_t depth, int32_t rate, int32_t flags) {
        gDriverLog.calls.push_back(std::string(kName) + " init " + std::to_string(w) + "x" +
                                   std::to_string(h) + "x" + std::to_string(depth) + " rate " +
                                   std::to_string(rate) + " flags " + std::to_string(flags));
        return gDriverLog.accept != nullptr && std::strcmp(gDriverLog.accept, kName) == 0 ? 0 : -1;
    }
    static void Exit() { gDriverLog.calls.push_back(std::string(kName) + " exit"); }
    static void Lock() { ++gDriverLog.locks; }
    static void Unlock() { ++gDriverLog.unlocks; }
    static void SetPalette(int i, int r, int g, int b) {
        gDriverLog.palette[static_cast<size_t>(i)] = Rgb(r, g, b);
    }
    static constexpr WindowDriver kDriver{.name = kName,
                                          .init = Init,
                                          .exit = Exit,
                                          .lock = Lock,
                                          .unlock = Unlock,
                                          .setPalette = SetPalette};
};

inline constexpr const WindowDriver* kFakeDriverList[] = {&FakeDriver<0>::kDriver,
                                                          &FakeDriver<1>::kDriver};

// Every test starts with no screen, an empty log and the two fake drivers as
// the platform's list; the list is restored after.
class FakeDriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetScreenWorld();
        gDriverLog = DriverLog{};
        OverrideDriverList(kFakeDriverList, 2);
    }
    void TearDown() override {
        ResetScreenWorld();
        OverrideDriverList(nullptr, 0);
    }
};

}  // namespace gfxwin::testing

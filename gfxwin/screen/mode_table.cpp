#include "gfxwin/screen/mode_table.h"

#include <array>

namespace gfxwin {

namespace {

constexpr ModeInfo kNone{0, 0, 0, 0, 1, -1, -1, 0, 0, 0};

constexpr std::array<ModeInfo, kModeCount> kModes{{
    kNone,                                    // 0: text mode
    {320, 200, 2, 1, 8, 1, 0, 40, 25, 0},     // 1
    {640, 200, 1, 2, 1, 1, 0, 80, 25, 0},     // 2
    kNone,                                    // 3
    kNone,                                    // 4
    kNone,                                    // 5
    kNone,                                    // 6
    {320, 200, 4, 1, 8, 1, 0, 40, 25, 0},     // 7
    {640, 200, 4, 2, 4, 1, 0, 80, 25, 0},     // 8
    {640, 350, 4, 1, 2, 2, 1, 80, 25, 0},     // 9
    {640, 350, 1, 1, 2, 0, 1, 80, 25, 0},     // 10
    {640, 480, 1, 1, 1, 0, 2, 80, 30, 0},     // 11
    {640, 480, 4, 1, 1, 3, 2, 80, 30, 0},     // 12
    {320, 200, 8, 1, 1, 3, 0, 40, 25, 0},     // 13
    {320, 240, 8, 1, 1, 3, 0, 40, 30, 0},     // 14
    {400, 300, 8, 1, 1, 3, 0, 50, 37, 0},     // 15
    {512, 384, 8, 1, 1, 3, 2, 64, 24, 0},     // 16
    {640, 400, 8, 1, 1, 3, 2, 80, 25, 0},     // 17
    {640, 480, 8, 1, 1, 3, 2, 80, 30, 0},     // 18
    {800, 600, 8, 1, 1, 3, 2, 100, 37, 0},    // 19
    {1024, 768, 8, 1, 1, 3, 2, 128, 48, 0},   // 20
    {1280, 1024, 8, 1, 1, 3, 2, 160, 64, 0},  // 21
}};

constexpr uint8_t kSixteen[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
constexpr uint8_t kMode9[16] = {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63};
constexpr uint8_t kMode2[2] = {0, 15};
constexpr uint8_t kMode1[4][4] = {{0, 11, 13, 15}, {0, 10, 12, 14}, {0, 3, 5, 7}, {0, 2, 4, 6}};

}  // namespace

const ModeInfo* FindMode(int32_t mode) {
    if (mode < 0 || mode >= kModeCount) return nullptr;
    return &kModes[static_cast<size_t>(mode)];
}

std::span<const uint8_t> ColourAssociation(int32_t mode, int selector) {
    switch (mode) {
        case 1: {
            int list = selector >= -1 ? 0 : (selector <= -4 ? 3 : -selector - 1);
            return kMode1[list];
        }
        case 2:
            return kMode2;
        case 7:
        case 8:
            return kSixteen;
        case 9:
            return kMode9;
        default:
            return {};
    }
}

}  // namespace gfxwin

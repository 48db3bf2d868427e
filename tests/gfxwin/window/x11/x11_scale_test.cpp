// The scale of the X11 picture: how it is chosen, and the scaling of rows.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfxwin/window/x11/x11_host.h"

namespace gfxwin::x11 {
namespace {

TEST(X11ScaleTest, WindowedScaleFromWlScaleThenGdkScaleThenXftDpi) {
    EXPECT_EQ(WindowedScale(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(WindowedScale(nullptr, "2", nullptr), 2);
    EXPECT_EQ(WindowedScale(nullptr, nullptr, "192"), 2);
    EXPECT_EQ(WindowedScale(nullptr, nullptr, "144"), 2);  // 1.5 rounds up
    EXPECT_EQ(WindowedScale(nullptr, nullptr, "120"), 1);
    EXPECT_EQ(WindowedScale(nullptr, nullptr, "384.0"), 4);
    EXPECT_EQ(WindowedScale(nullptr, nullptr, "2000"), 8);
    EXPECT_EQ(WindowedScale("1", "2", "192"), 1);
    EXPECT_EQ(WindowedScale("3", "2", nullptr), 3);
    // Not a whole number from 1 to 8: as if not set.
    EXPECT_EQ(WindowedScale("9", "0", "96"), 1);
    EXPECT_EQ(WindowedScale("1.5", "2.0", "192"), 2);
}

TEST(X11ScaleTest, FullScreenScaleIsTheLargestThatFits) {
    EXPECT_EQ(FullScreenScale(1920, 1080, 640, 480), 2);
    EXPECT_EQ(FullScreenScale(3840, 2160, 640, 480), 4);
    EXPECT_EQ(FullScreenScale(1024, 768, 640, 480), 1);
    EXPECT_EQ(FullScreenScale(1280, 1024, 640, 480), 2);
    EXPECT_EQ(FullScreenScale(800, 400, 640, 480), 1);
}

// Destination pixel (x, y) is source pixel (x / k, y / k), for every pixel
// size; padding after each destination row stays untouched.
TEST(X11ScaleTest, ScaledRowsRepeatEachPixelAsABlock) {
    constexpr int32_t kWidth = 5, kRows = 3, kScale = 3;
    for (int32_t bytes = 1; bytes <= 4; ++bytes) {
        const int32_t sourcePitch = kWidth * bytes + 3;
        const int32_t destinationPitch = kWidth * kScale * bytes + 7;
        std::vector<uint8_t> source(static_cast<size_t>(sourcePitch * kRows));
        for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + 1);
        std::vector<uint8_t> destination(static_cast<size_t>(destinationPitch * kRows * kScale),
                                         0xEE);
        ScaleRows(source.data(), sourcePitch, destination.data(), destinationPitch, kWidth, kRows,
                  bytes, kScale);
        for (int32_t y = 0; y < kRows * kScale; ++y) {
            for (int32_t x = 0; x < destinationPitch; ++x) {
                const uint8_t got = destination[static_cast<size_t>(y * destinationPitch + x)];
                const int32_t pixel = x / bytes, byte = x % bytes;
                const uint8_t want =
                    pixel < kWidth * kScale
                        ? source[static_cast<size_t>((y / kScale) * sourcePitch +
                                                     (pixel / kScale) * bytes + byte)]
                        : 0xEE;
                ASSERT_EQ(got, want) << bytes << " bytes, (" << x << "," << y << ")";
            }
        }
    }
}

}  // namespace
}  // namespace gfxwin::x11

// What the host's window shows: frames of both formats as top-down 32-bit
// pixels, RGB24 turned the right way up, YUY2 in studio range.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tools/tpp-host/display_pixels.h"

namespace {

uint32_t Bgr(int b, int g, int r) { return static_cast<uint32_t>(b | g << 8 | r << 16); }

bool Near(uint32_t pixel, uint32_t expected) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > 2)
            return false;
    return true;
}

TEST(DisplayPixels, Rgb24RowsComeOutTopDownWithoutPadding) {
    // 3 pixels a row: 9 bytes, not a multiple of 4. Stored bottom row first.
    const std::vector<uint8_t> frame = {
        1,  2,  3,  4,  5,  6,  7,  8,  9,   // bottom row of the picture
        10, 11, 12, 13, 14, 15, 16, 17, 18,  // top row
    };
    std::vector<uint32_t> out(6, 0xDEADBEEF);
    FrameToDisplayPixels(frame.data(), 3, 2, 1, out.data());
    EXPECT_EQ(out, (std::vector<uint32_t>{Bgr(10, 11, 12), Bgr(13, 14, 15), Bgr(16, 17, 18), Bgr(1, 2, 3), Bgr(4, 5, 6),
                                          Bgr(7, 8, 9)}));
}

TEST(DisplayPixels, Yuy2StudioRangeMapsToFullRange) {
    // Macropixels Y0 U Y1 V: black and white sharing neutral chroma, then
    // two pixels of saturated red.
    const std::vector<uint8_t> frame = {16, 128, 235, 128, 81, 90, 81, 240};
    std::vector<uint32_t> out(4);
    FrameToDisplayPixels(frame.data(), 4, 1, 0, out.data());
    EXPECT_EQ(out[0], Bgr(0, 0, 0));
    EXPECT_EQ(out[1], Bgr(255, 255, 255));
    EXPECT_TRUE(Near(out[2], Bgr(0, 0, 255))) << std::hex << out[2];
    EXPECT_EQ(out[3], out[2]);
}

TEST(DisplayPixels, Yuy2RowsStayTopDown) {
    const std::vector<uint8_t> frame = {16, 128, 16, 128, 235, 128, 235, 128};
    std::vector<uint32_t> out(4);
    FrameToDisplayPixels(frame.data(), 2, 2, 0, out.data());
    EXPECT_EQ(out[0], Bgr(0, 0, 0));
    EXPECT_EQ(out[2], Bgr(255, 255, 255));
}

}  // namespace

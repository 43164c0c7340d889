#include "tools/tpp-host/display_pixels.h"

#include <cstddef>

namespace {

uint32_t Clamp255(int value) { return static_cast<uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value); }

uint32_t YuvToPixel(int y, int u, int v) {
    const int c = 298 * (y - 16) + 128, d = u - 128, e = v - 128;
    const uint32_t r = Clamp255((c + 409 * e) >> 8);
    const uint32_t g = Clamp255((c - 100 * d - 208 * e) >> 8);
    const uint32_t b = Clamp255((c + 516 * d) >> 8);
    return b | g << 8 | r << 16;
}

void Yuy2Row(const uint8_t* row, int32_t width, uint32_t* out) {
    for (int32_t x = 0; x + 1 < width; x += 2, row += 4) {
        out[x] = YuvToPixel(row[0], row[1], row[3]);
        out[x + 1] = YuvToPixel(row[2], row[1], row[3]);
    }
}

void Rgb24Row(const uint8_t* row, int32_t width, uint32_t* out) {
    for (int32_t x = 0; x < width; ++x, row += 3) out[x] = row[0] | row[1] << 8 | static_cast<uint32_t>(row[2]) << 16;
}

}  // namespace

void FrameToDisplayPixels(const uint8_t* frame, int32_t width, int32_t height, int32_t pixelFormat, uint32_t* out) {
    const size_t w = static_cast<size_t>(width);
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* outRow = out + static_cast<size_t>(y) * w;
        if (pixelFormat == 0) {
            Yuy2Row(frame + static_cast<size_t>(y) * w * 2, width, outRow);
        } else {
            // RGB24 frames are stored bottom-up.
            Rgb24Row(frame + static_cast<size_t>(height - 1 - y) * w * 3, width, outRow);
        }
    }
}

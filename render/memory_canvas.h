// A 32-bit canvas in plain memory (blue, green, red, unused; rows top-down)
// for renderers that draw without a platform device context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "blend/frame_view.h"

class MemoryCanvas {
public:
    // Pixels of the given size, all zero; null (and no canvas) when the
    // size is not positive or the memory cannot be had.
    uint8_t* Allocate(int32_t width, int32_t height);
    void Release();

    bool empty() const { return pixels_.empty(); }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    uint8_t* PixelAt(int32_t x, int32_t y) { return &pixels_[(static_cast<size_t>(y) * width_ + x) * 4]; }

    // Fills [left, right) x [top, bottom), clipped to the canvas, with a
    // COLORREF; returns the part filled (empty when none).
    PixelRect FillPixels(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colorref);

private:
    std::vector<uint8_t> pixels_;
    int32_t width_ = 0, height_ = 0;
};

#include "render/memory_canvas.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "blend/canvas_runs.h"

uint8_t* MemoryCanvas::Allocate(int32_t width, int32_t height) {
    Release();
    if (width <= 0 || height <= 0) return nullptr;
    try {
        pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    width_ = width;
    height_ = height;
    return pixels_.data();
}

void MemoryCanvas::Release() {
    std::vector<uint8_t>().swap(pixels_);
    width_ = height_ = 0;
}

PixelRect MemoryCanvas::FillPixels(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colorref) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, width_), bottom = std::min(bottom, height_);
    if (pixels_.empty() || left >= right || top >= bottom) return {0, 0, 0, 0};
    const uint32_t pixel = CanvasBytes(colorref);
    for (int32_t y = top; y < bottom; ++y) {
        uint8_t* p = PixelAt(left, y);
        for (int32_t x = left; x < right; ++x, p += 4) std::memcpy(p, &pixel, 4);
    }
    return {left, top, right, bottom};
}

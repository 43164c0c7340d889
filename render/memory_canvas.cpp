#include "render/memory_canvas.h"

#include <algorithm>
#include <cstring>
#include <new>

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

void MemoryCanvas::FillPixels(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colorref) {
    if (pixels_.empty()) return;
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, width_), bottom = std::min(bottom, height_);
    if (left >= right) return;
    const uint32_t pixel = CanvasBytes(colorref);
    for (int32_t y = top; y < bottom; ++y) {
        uint8_t* p = PixelAt(left, y);
        for (int32_t x = left; x < right; ++x, p += 4) std::memcpy(p, &pixel, 4);
    }
}

uint32_t CanvasBytes(uint32_t colorref) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(colorref >> 16), static_cast<uint8_t>(colorref >> 8),
                              static_cast<uint8_t>(colorref), 0};
    uint32_t pixel;
    std::memcpy(&pixel, bytes, 4);
    return pixel;
}

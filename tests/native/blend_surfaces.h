// Frames of every format and canvases with their runs, in buffers of their
// own with padding after each row, for the blend kernels' tests and fuzzer.
#pragma once

#include <cstdint>
#include <vector>

#include "blend/blend.h"

struct TestFrame {
    FrameFormat format;
    int32_t width, height;
    bool bottomUp;
    int32_t padding;
    std::vector<uint8_t> planes[3];

    TestFrame(FrameFormat format, int32_t width, int32_t height, int32_t padding = 0, bool bottomUp = false);

    int PlaneCount() const;
    int32_t RowBytes(int plane) const;
    int32_t Rows(int plane) const;
    ptrdiff_t Stride(int plane) const { return RowBytes(plane) + padding; }
    FrameView View();
    // Byte x of picture row y of a plane.
    uint8_t& At(int plane, int32_t x, int32_t y);
    // Little-endian word i of picture row y of a plane (P010, I420_10LE).
    uint16_t Word(int plane, int32_t i, int32_t y) {
        return uint16_t(At(plane, 2 * i, y) | At(plane, 2 * i + 1, y) << 8);
    }
    void SetWord(int plane, int32_t i, int32_t y, uint16_t word) {
        At(plane, 2 * i, y) = uint8_t(word), At(plane, 2 * i + 1, y) = uint8_t(word >> 8);
    }
    bool operator==(const TestFrame& other) const;
};

// A canvas of background with a caption rectangle in it.
struct TestCanvas {
    int32_t width, height, padding;
    std::vector<uint8_t> bits;

    TestCanvas(int32_t width, int32_t height, int32_t padding = 0);
    CanvasView View() const { return {bits.data(), ptrdiff_t(width) * 4 + padding, width, height}; }
    void Paint(int32_t x, int32_t y, uint32_t colorref, uint8_t fourth = 0);
};

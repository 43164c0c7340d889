// The surfaces as the blend kernels see them. A frame, whoever hands it over: a format, a
// size and up to three planes, each a pointer to its top picture row and a
// byte stride. A negative stride walks a bottom-up buffer, so the host's
// RGB24 and a top-down BGR share one kernel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class FrameFormat {
    kYuy2,  // Y0 U Y1 V per pixel pair; an odd width's last column is left out
    kBgr,   // B, G, R
    kBgrx,  // B, G, R and a fourth byte that is left as it is (BGRx, BGRA)
    kI420,  // planes Y, U, V; chroma of each 2 x 2 block, ceil(w/2) x ceil(h/2)
    kNv12,  // planes Y and interleaved U, V; chroma as in I420
    kRgbx,  // R, G, B and a kept fourth byte (RGBx, RGBA)
    kXrgb,  // a kept byte, then R, G, B (xRGB, ARGB)
    kXbgr,  // a kept byte, then B, G, R (xBGR, ABGR)
    kUyvy,  // U Y0 V Y1 per pixel pair; an odd width's last column is left out
    kNv21,  // planes Y and interleaved V, U; chroma as in I420
    // 10-bit samples in 16-bit little-endian words, the other 6 bits left
    // as they are; chroma as in I420.
    kP010,     // planes Y and interleaved U, V; the sample in the top 10 bits
    kI420p10,  // planes Y, U, V; the sample in the low 10 bits
};

struct FramePlane {
    uint8_t* top;      // the top picture row
    ptrdiff_t stride;  // bytes from one picture row to the next; negative when bottom-up
};

struct FrameView {
    FrameFormat format;
    int32_t width, height;
    FramePlane planes[3];
};

// The host's pixel formats: YUY2 top-down, RGB24 bottom-up, neither padded.
FrameView HostYuy2Frame(uint8_t* bits, int32_t width, int32_t height);
FrameView HostRgb24Frame(uint8_t* bits, int32_t width, int32_t height);

// A frame of the format and size laid out top-down, unpadded, in storage
// (resized to fit; its old bytes are of no account).
FrameView FrameIn(std::vector<uint8_t>& storage, FrameFormat format, int32_t width, int32_t height);

// Rectangles in pixels, right and bottom exclusive.
struct PixelRect {
    int32_t left, top, right, bottom;
};

// The rendered canvas: pixel (x, y) is the four bytes B, G, R, ignored at
// bits + y * stride + x * 4.
struct CanvasView {
    const uint8_t* bits;
    ptrdiff_t stride;
    int32_t width, height;
};

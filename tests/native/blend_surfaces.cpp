#include "tests/native/blend_surfaces.h"

TestFrame::TestFrame(FrameFormat f, int32_t w, int32_t h, int32_t pad, bool up)
    : format(f), width(w), height(h), bottomUp(up), padding(pad) {
    for (int p = 0; p < PlaneCount(); ++p) planes[p].assign(size_t(Stride(p)) * Rows(p), 0);
}

int TestFrame::PlaneCount() const {
    switch (format) {
        case FrameFormat::kI420:
        case FrameFormat::kI420p10: return 3;
        case FrameFormat::kNv12:
        case FrameFormat::kNv21:
        case FrameFormat::kP010: return 2;
        default: return 1;
    }
}

int32_t TestFrame::RowBytes(int plane) const {
    const int32_t chroma = (width + 1) / 2;
    switch (format) {
        case FrameFormat::kYuy2:
        case FrameFormat::kUyvy: return width * 2;
        case FrameFormat::kBgr: return width * 3;
        case FrameFormat::kBgrx:
        case FrameFormat::kRgbx:
        case FrameFormat::kXrgb:
        case FrameFormat::kXbgr: return width * 4;
        case FrameFormat::kI420: return plane == 0 ? width : chroma;
        case FrameFormat::kNv12:
        case FrameFormat::kNv21: return plane == 0 ? width : 2 * chroma;
        case FrameFormat::kP010: return plane == 0 ? 2 * width : 4 * chroma;
        case FrameFormat::kI420p10: return plane == 0 ? 2 * width : 2 * chroma;
    }
    return 0;
}

int32_t TestFrame::Rows(int plane) const { return plane == 0 ? height : (height + 1) / 2; }

FrameView TestFrame::View() {
    FrameView view = {format, width, height, {}};
    for (int p = 0; p < PlaneCount(); ++p) {
        const ptrdiff_t stride = Stride(p);
        view.planes[p] = bottomUp && Rows(p) > 0 ? FramePlane{planes[p].data() + (Rows(p) - 1) * stride, -stride}
                                                 : FramePlane{planes[p].data(), stride};
    }
    return view;
}

uint8_t& TestFrame::At(int plane, int32_t x, int32_t y) {
    const int32_t row = bottomUp ? Rows(plane) - 1 - y : y;
    return planes[plane][size_t(row) * Stride(plane) + x];
}

bool TestFrame::operator==(const TestFrame& other) const {
    for (int p = 0; p < 3; ++p)
        if (planes[p] != other.planes[p]) return false;
    return true;
}

TestCanvas::TestCanvas(int32_t w, int32_t h, int32_t pad)
    : width(w), height(h), padding(pad), bits((size_t(w) * 4 + pad) * h, 0) {}

void TestCanvas::Paint(int32_t x, int32_t y, uint32_t colorref, uint8_t fourth) {
    uint8_t* p = &bits[size_t(y) * (size_t(width) * 4 + padding) + size_t(x) * 4];
    p[0] = uint8_t(colorref >> 16), p[1] = uint8_t(colorref >> 8), p[2] = uint8_t(colorref), p[3] = fourth;
}

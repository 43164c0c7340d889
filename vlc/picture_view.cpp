#include "vlc/picture_view.h"

#include <algorithm>

namespace {

// In RV24 and RV32, VLC's masks are those of the pixel read as a little-
// endian number: red in the top byte puts blue first in memory. Masks left
// at zero are VLC's defaults, which are these.
bool BlueFirst(const video_format_t& format) {
    const bool defaults = format.i_rmask == 0 && format.i_gmask == 0 && format.i_bmask == 0;
    return defaults || (format.i_rmask == 0xFF0000 && format.i_gmask == 0xFF00 && format.i_bmask == 0xFF);
}

// Pixels a chroma sample spans across and down.
struct Subsampling {
    int x, y;
};

Subsampling SubsamplingOf(FrameFormat format) {
    switch (format) {
        case FrameFormat::kI420:
        case FrameFormat::kNv12:
        case FrameFormat::kNv21:
        case FrameFormat::kP010:
        case FrameFormat::kI420p10: return {2, 2};
        case FrameFormat::kYuy2:
        case FrameFormat::kUyvy: return {2, 1};
        default: return {1, 1};
    }
}

// The first pixel at or after offset that begins a sample, within size.
int32_t SampleStart(unsigned offset, int step, unsigned size) {
    return int32_t(std::min((std::min(offset, size) + step - 1) / step * step, size));
}

}  // namespace

std::optional<FrameFormat> FormatOfChroma(const video_format_t& format) {
    switch (format.i_chroma) {
        case VLC_CODEC_I420:
        case VLC_CODEC_YV12: return FrameFormat::kI420;  // VisibleView swaps YV12's chroma planes
        case VLC_CODEC_NV12: return FrameFormat::kNv12;
        case VLC_CODEC_NV21: return FrameFormat::kNv21;
        case VLC_CODEC_P010: return FrameFormat::kP010;
        case VLC_CODEC_I420_10L: return FrameFormat::kI420p10;
        case VLC_CODEC_YUYV: return FrameFormat::kYuy2;
        case VLC_CODEC_UYVY: return FrameFormat::kUyvy;
        case VLC_CODEC_RGBA: return FrameFormat::kRgbx;
        case VLC_CODEC_ARGB: return FrameFormat::kXrgb;
        case VLC_CODEC_BGRA: return FrameFormat::kBgrx;
        case VLC_CODEC_RGB24: return BlueFirst(format) ? std::optional(FrameFormat::kBgr) : std::nullopt;
        case VLC_CODEC_RGB32: return BlueFirst(format) ? std::optional(FrameFormat::kBgrx) : std::nullopt;
        default: return std::nullopt;
    }
}

FrameView VisibleView(picture_t* picture, FrameFormat format) {
    const video_frame_format_t& size = picture->format;
    const Subsampling sub = SubsamplingOf(format);
    const int32_t left = SampleStart(size.i_x_offset, sub.x, size.i_width);
    const int32_t top = SampleStart(size.i_y_offset, sub.y, size.i_height);
    const int64_t right = std::min<int64_t>(int64_t{size.i_x_offset} + size.i_visible_width, size.i_width);
    const int64_t bottom = std::min<int64_t>(int64_t{size.i_y_offset} + size.i_visible_height, size.i_height);
    FrameView view = {
        format, int32_t(std::max<int64_t>(right - left, 0)), int32_t(std::max<int64_t>(bottom - top, 0)), {}};
    // YV12 keeps V before U: each plane goes where I420 keeps it.
    const bool vFirst = picture->format.i_chroma == VLC_CODEC_YV12;
    for (int plane = 0; plane < picture->i_planes && plane < 3; ++plane) {
        const plane_t& p = picture->p[plane];
        // The chroma planes of the 4:2:0 chromas hold a sample per 2 x 2
        // pixels; in NV12, NV21 and P010 VLC's pixel pitch is that of U or
        // V, a sample being both.
        const int xDivisor = plane == 0 ? 1 : sub.x, yDivisor = plane == 0 ? 1 : sub.y;
        const bool pairs = plane == 1 && (format == FrameFormat::kNv12 || format == FrameFormat::kNv21 ||
                                          format == FrameFormat::kP010);
        view.planes[vFirst && plane > 0 ? 3 - plane : plane] = {
            p.p_pixels + ptrdiff_t(top / yDivisor) * p.i_pitch +
                ptrdiff_t(left / xDivisor) * p.i_pixel_pitch * (pairs ? 2 : 1),
            p.i_pitch};
    }
    return view;
}

#include "blend/frame_view.h"

FrameView HostYuy2Frame(uint8_t* bits, int32_t width, int32_t height) {
    return {FrameFormat::kYuy2, width, height, {{bits, static_cast<ptrdiff_t>(width) * 2}, {}, {}}};
}

// Picture row 0 is the last row in memory.
FrameView HostRgb24Frame(uint8_t* bits, int32_t width, int32_t height) {
    const ptrdiff_t stride = static_cast<ptrdiff_t>(width) * 3;
    uint8_t* top = height > 0 ? bits + (height - 1) * stride : bits;
    return {FrameFormat::kBgr, width, height, {{top, -stride}, {}, {}}};
}

FrameView FrameIn(std::vector<uint8_t>& storage, FrameFormat format, int32_t width, int32_t height) {
    const ptrdiff_t w = width, h = height, cw = (w + 1) / 2, ch = (h + 1) / 2;
    switch (format) {
        case FrameFormat::kYuy2:
        case FrameFormat::kUyvy:
        case FrameFormat::kBgr:
        case FrameFormat::kBgrx:
        case FrameFormat::kRgbx:
        case FrameFormat::kXrgb:
        case FrameFormat::kXbgr: {
            const bool pairs = format == FrameFormat::kYuy2 || format == FrameFormat::kUyvy;
            const ptrdiff_t stride = w * (pairs ? 2 : format == FrameFormat::kBgr ? 3 : 4);
            storage.resize(static_cast<size_t>(stride * h));
            return {format, width, height, {{storage.data(), stride}, {}, {}}};
        }
        case FrameFormat::kI420:
        case FrameFormat::kI420p10: {
            const ptrdiff_t s = format == FrameFormat::kI420 ? 1 : 2;
            storage.resize(static_cast<size_t>(s * (w * h + 2 * cw * ch)));
            uint8_t* const p = storage.data();
            return {format, width, height, {{p, s * w}, {p + s * w * h, s * cw}, {p + s * (w * h + cw * ch), s * cw}}};
        }
        case FrameFormat::kNv12:
        case FrameFormat::kNv21:
        case FrameFormat::kP010: {
            const ptrdiff_t s = format == FrameFormat::kP010 ? 2 : 1;
            storage.resize(static_cast<size_t>(s * (w * h + 2 * cw * ch)));
            return {format, width, height, {{storage.data(), s * w}, {storage.data() + s * w * h, s * 2 * cw}, {}}};
        }
    }
    return {};
}

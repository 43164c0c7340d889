#include "overlay/frame_view.h"

FrameView HostYuy2Frame(uint8_t* bits, int32_t width, int32_t height) {
    return {FrameFormat::kYuy2, width, height, {{bits, static_cast<ptrdiff_t>(width) * 2}, {}, {}}};
}

// Picture row 0 is the last row in memory.
FrameView HostRgb24Frame(uint8_t* bits, int32_t width, int32_t height) {
    const ptrdiff_t stride = static_cast<ptrdiff_t>(width) * 3;
    uint8_t* top = height > 0 ? bits + (height - 1) * stride : bits;
    return {FrameFormat::kBgr, width, height, {{top, -stride}, {}, {}}};
}

// Host frames turned into what a window shows: 32-bit pixels B, G, R, x,
// rows top-down, whatever the frame's own format and row order.
#pragma once

#include <cstdint>

// out holds width x height pixels. YUY2 is taken as BT.601 studio range,
// as video decoders produce it.
void FrameToDisplayPixels(const uint8_t* frame, int32_t width, int32_t height, int32_t pixelFormat, uint32_t* out);

// The canvas as an overlay that someone else blends: premultiplied ARGB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "blend/frame_view.h"

// The canvas's area as premultiplied ARGB, one native-endian 32-bit word a
// pixel, rows stride bytes apart: each pixel opaque, except that with the
// key on one of exactly backColor (a COLORREF) is transparent. The opacity
// is left to whoever blends it.
void CanvasToArgb(const CanvasView& canvas, const PixelRect& area, uint32_t backColor, bool keyBackground, uint8_t* out,
                  ptrdiff_t stride);

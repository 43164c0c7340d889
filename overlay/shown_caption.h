// A frame's caption as the overlay engine hands it on to a host that does
// not have it blended (see OverlayEngine::frameCaption).
#pragma once

#include <cstdint>

#include "blend/frame_view.h"

// The canvas, the part of it the frame would take (the whole frame with
// BackType 2), what the key leaves out and the opacity. drawing changes
// whenever the canvas is drawn anew: the same value means the same pixels.
struct ShownCaption {
    CanvasView canvas;
    PixelRect area;
    uint32_t backColor;  // COLORREF
    bool keyBackground;  // pixels of exactly backColor show the frame
    uint32_t opacity;    // percent
    uint64_t drawing;
};

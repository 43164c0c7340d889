// One blend: a rectangle of the rendered canvas mixed into a frame in place.
#pragma once

#include <cstdint>

#include "blend/canvas_runs.h"
#include "blend/frame_view.h"

// Opacity is in percent; more counts as full (whoever hands a blend over
// need not clamp it).
constexpr uint32_t kFullOpacity = 100;

// The source rectangle of the canvas goes to the frame at (destLeft,
// destTop), clipped to both surfaces. Canvas pixels outside caption are
// taken as backColor without being read (a whole-frame background costs one
// pass over the frame); inside it, runs, when given, tell where the canvas
// differs from backColor, and only there, and in the caption up to 15
// pixels beside them (where whole vectors cost less than a remainder done
// pixel by pixel), is it read. A canvas that holds anything but backColor
// outside the runs gives undefined colours there, never an access outside
// the surfaces.
struct BlendJob {
    FrameView frame;
    CanvasView canvas;
    PixelRect source;
    int32_t destLeft, destTop;
    PixelRect caption;
    const CanvasRuns* runs;  // null: all of caption is read
    uint32_t opacity;        // see kFullOpacity
    uint32_t backColor;      // COLORREF 0x00BBGGRR
    bool keyBackground;      // canvas pixels of exactly backColor leave the frame as it is
};

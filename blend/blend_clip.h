// Where a blend lands once both surfaces have cut it.
#pragma once

#include <cstdint>
#include <optional>

#include "blend/blend_job.h"

// Frame pixels [left, right) x [top, bottom) of frame, each mixed with
// canvas pixel (x + dx, y + dy).
struct BlendArea {
    PixelRect frame;
    int32_t dx, dy;
};

// The job's source rectangle clipped to the canvas and, placed, to the
// frame (for YUY2 less an odd width's last column, which has no whole
// macropixel); none when nothing is left. Any rectangle may be given, far
// outside either surface or reversed.
std::optional<BlendArea> ClipBlend(const BlendJob& job);

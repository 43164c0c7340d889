// The overlay engine's stream and canvas, one set per instance.
#pragma once

#include <cstdint>
#include <optional>

#include "blend/frame_view.h"
#include "overlay/caption_effects.h"
#include "overlay/caption_renderer.h"

struct OverlayState {
    // The stream, from StreamStart to StreamStop.
    bool streaming = false;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    std::optional<FrameFormat> frameFormat;  // none: captions are drawn, not blended
    uint8_t* canvasBits = nullptr;           // null when the canvas could not be made

    // What the canvas holds: canvasFill everywhere outside lastCaptionRect,
    // so a caption drawn anew need only clear that rectangle; and in it the
    // caption of entry drawnEntry in drawnTextColor and font drawnFont. While
    // none of that changes, a shown frame blends the canvas as it is.
    // canvasFilled false: nothing is known of it.
    bool canvasFilled = false;
    uint32_t canvasFill = 0;
    CanvasRect lastCaptionRect = {0, 0, 0, 0};
    uint32_t drawnEntry = 0;
    uint32_t drawnFont = 0;
    uint32_t drawnTextColor = 0;
    CanvasRect drawnTextRect = {0, 0, 0, 0};
    CaptionEffects drawnEffects;
    PixelRect drawnPixels = {0, 0, 0, 0};  // lastCaptionRect in frame pixels
};

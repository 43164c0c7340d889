// The overlay engine's stream, schedule and caption, one set per instance.
#pragma once

#include <cstdint>
#include <optional>

#include "overlay/caption_renderer.h"
#include "overlay/frame_view.h"

struct OverlayState {
    // The stream, from StreamStart to StreamStop.
    bool streaming = false;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    std::optional<FrameFormat> frameFormat;  // none: captions are drawn, not blended
    uint8_t* canvasBits = nullptr;           // null when the canvas could not be made

    // The schedule: frames until the next entry, frames the entry still shows.
    uint32_t gapCounter = 0;
    uint32_t showCounter = 0;

    // The current caption on the canvas.
    int32_t captionLeft = 0;
    int32_t captionTop = 0;
    int32_t captionWidth = 0;
    int32_t captionHeight = 0;
    CanvasRect captionRect = {0, 0, 0, 0};

    // The canvas holds canvasFill everywhere outside the last caption's
    // rectangle, so a drawn frame need only clear that rectangle.
    bool canvasFilled = false;
    uint32_t canvasFill = 0;
    CanvasRect lastCaptionRect = {0, 0, 0, 0};
};

// The overlay engine's state, one set per loaded library.
#pragma once

#include <cstdint>
#include <mutex>

#include "overlay/caption_renderer.h"

struct OverlayState {
    CaptionRenderer* renderer = nullptr;

    // The stream, from StreamStart to StreamStop.
    bool streaming = false;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    int32_t pixelFormat = 0;
    uint8_t* canvasBits = nullptr;  // null when the canvas could not be made

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

extern OverlayState overlayState;

// The settings dialog may rebuild the caption font and change the working
// settings on its own thread while the host renders frames on another:
// ProcessFrame holds this lock for the whole frame, and font work and
// changes of workingSettings from another thread take it too. A frame takes
// captionLock inside it, never the other way round.
extern std::mutex renderLock;

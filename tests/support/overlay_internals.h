// The tests' view inside an overlay engine: its schedule, its layout and
// its canvas, which the engine's callers reach only through its operations.
#pragma once

#include <cstdint>
#include <string>

#include "overlay/overlay_engine.h"

class OverlayEngineInternals {
public:
    // Frames until the next entry is due, and frames the caption still shows.
    static uint32_t GapFrames(const OverlayEngine& engine) { return engine.schedule_.gapFrames(); }
    static uint32_t ShowFrames(const OverlayEngine& engine) { return engine.schedule_.showFrames(); }
    // The next frame takes the next entry, whatever the schedule held.
    static void MakeNextFrameDue(OverlayEngine& engine) { engine.schedule_.Interrupt(); }
    // The random source as at load: the captions that follow repeat the
    // first ones' places and durations.
    static void ResetRandomSource(OverlayEngine& engine) { engine.random_ = RandomSource(); }

    // The caption as the last frame laid it out: its lines, its letters'
    // block, and that block with the effects' margins (canvas units).
    static const std::string& CaptionLines(const OverlayEngine& engine) { return engine.layout_.lines(); }
    static CanvasRect TextRect(const OverlayEngine& engine) { return engine.layout_.textRect(); }
    static CanvasRect CaptionRect(const OverlayEngine& engine) { return engine.layout_.captionRect(); }

    // The stream's canvas (no bits when none could be made), to look at or
    // to plant pixels in.
    static CanvasView Canvas(const OverlayEngine& engine) { return engine.canvas_.view(); }
    static uint8_t* CanvasBits(OverlayEngine& engine) { return engine.canvas_.bits(); }
    // The effects the canvas's caption was drawn with, and where it lies in
    // frame pixels.
    static CaptionEffects DrawnEffects(const OverlayEngine& engine) { return engine.canvas_.drawn().effects; }
    static PixelRect DrawnPixels(const OverlayEngine& engine) { return engine.canvas_.drawnPixels(); }
    // Nothing is known of what the canvas holds: the next frame fills it
    // anew and draws the caption on it.
    static void ForgetCanvas(OverlayEngine& engine) { engine.canvas_.Forget(); }
};

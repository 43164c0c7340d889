// The caption's canvas: a picture of frame size that the renderer draws
// the caption on and the effects are painted on, kept while the caption
// stands, and blended from into the frames by the kernels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "blend/blend.h"
#include "blend/canvas_runs.h"
#include "blend/frame_view.h"
#include "overlay/caption_effects.h"
#include "overlay/caption_renderer.h"
#include "overlay/shown_caption.h"

// What a caption's pixels on the canvas follow from: the same drawing
// draws the same pixels.
struct CaptionDrawing {
    CanvasRect area = {0, 0, 0, 0};     // with the effects' margins, where the canvas may change
    CanvasRect letters = {0, 0, 0, 0};  // the letters' block inside it
    // The layout's counts of entries started and fonts set: its lines and
    // its font.
    uint32_t entry = 0;
    uint32_t font = 0;
    uint32_t background = 0;  // COLORREF, 24 bits
    uint32_t textColor = 0;
    CaptionEffects effects;
    bool operator==(const CaptionDrawing&) const = default;
};

class CaptionCanvas {
public:
    CaptionCanvas() : kernelPath_(ActivePath()) {}

    // A canvas for a stream of frames this size, of which nothing is known.
    void Start(CaptionRenderer& renderer, int32_t width, int32_t height);
    void Stop(CaptionRenderer& renderer);
    // False when no canvas could be made for the stream.
    bool ready() const { return bits_ != nullptr; }
    // Nothing is known of what it holds: the next drawing fills it anew.
    void Forget() { filled_ = false; }

    // Whether the canvas shows drawing already.
    bool Holds(const CaptionDrawing& drawing) const { return filled_ && drawn_ == drawing; }
    // Draws the caption's lines as drawing says, and notes where it drew.
    void Draw(CaptionRenderer& renderer, const std::string& lines, const CaptionDrawing& drawing);
    // The caption drawn last, in as much of the frame as backType gives,
    // blended into a frame of the stream's. held: it was drawn for an
    // earlier frame.
    void Blend(const FrameView& frame, int32_t backType, uint32_t opacity, bool held);
    // Or handed on instead, for a stream without a format; none when none
    // of it lies on the frame.
    std::optional<ShownCaption> HandOn(int32_t backType, uint32_t opacity) const;

    void SetKernelPath(KernelPath path) { kernelPath_ = path; }
    KernelPath kernelPath() const { return kernelPath_; }
    // Where the caption may differ from the background, rows of frame pixels.
    CanvasRuns runs() const { return runs_.view(); }
    uint8_t* bits() const { return bits_; }
    CanvasView view() const { return {bits_, ptrdiff_t{width_} * 4, width_, height_}; }
    const CaptionDrawing& drawn() const { return drawn_; }
    const PixelRect& drawnPixels() const { return drawnPixels_; }

private:
    void Prepare(CaptionRenderer& renderer, uint32_t background);
    PixelRect AreaOf(int32_t backType) const;

    uint8_t* bits_ = nullptr;  // null when the canvas could not be made
    int32_t width_ = 0, height_ = 0;
    // What the canvas holds, when filled_: drawn_.background everywhere
    // outside drawn_.area, so that a caption drawn anew need only clear
    // that rectangle, and in it the caption drawn_ describes. While that
    // stays the same, a frame blends the canvas as it is.
    bool filled_ = false;
    CaptionDrawing drawn_;
    PixelRect drawnPixels_ = {0, 0, 0, 0};  // drawn_.area in frame pixels
    CanvasRunList runs_;
    EffectsScratch effectsScratch_;
    uint64_t drawings_ = 0;  // canvases drawn
    // The held caption's colours in the frame's format, made at its second
    // frame (a caption shown once is not converted for nothing) for the
    // area that BackType gives; ready until the canvas is drawn again.
    struct HeldTargets {
        std::vector<uint8_t> storage;
        FrameView view{};
        bool ready = false;
        int32_t backType = 0;
    } heldTargets_;
    KernelPath kernelPath_;
};

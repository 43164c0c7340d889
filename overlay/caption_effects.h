// Outline and shadow round the caption's letters, painted on the canvas
// after the renderer has drawn them, so that every renderer gets the same
// effect. Both renderers draw monochrome: a glyph pixel is exactly the text
// colour, so the letters' mask is read back from the canvas.
#pragma once

#include <cstdint>
#include <vector>

#include "blend/canvas_runs.h"
#include "blend/frame_view.h"
#include "settings/settings_record.h"

// The effects of one caption in frame pixels.
struct CaptionEffects {
    int32_t outline = 0;                         // radius round the letters; 0: none
    int32_t shadowX = 0, shadowY = 0;            // where the shadow falls; both 0: none
    int32_t paddingX = 0, paddingY = 0;          // the box's margin beyond the letters
    uint32_t outlineColor = 0, shadowColor = 0;  // COLORREF, 24 bits

    bool Paints() const { return outline > 0 || shadowX > 0 || shadowY > 0; }
    // Frame pixels the caption needs beyond its letters on each side.
    int32_t MarginX() const { return outline + shadowX + paddingX; }
    int32_t MarginY() const { return outline + shadowY + paddingY; }
    bool operator==(const CaptionEffects&) const = default;
};

// The settings' effects on a frame of this size: canvas units scaled to
// pixels, at least one pixel when on. The outline is round (the canvas's
// vertical factor); the shadow and padding follow the canvas's stretch
// unless the letters keep their proportions. Padding only for BackType box.
CaptionEffects EffectsFor(const SettingsRecord& settings, int32_t frameWidth, int32_t frameHeight);

// The masks PaintEffects works in, one bit a pixel, kept from caption to
// caption.
struct EffectsScratch {
    std::vector<uint64_t> letters, grown, outline, copy, row;
};

// Paints the effects inside rect of the canvas (frame pixels, clipped by the
// caller to the canvas): pixels of textColor are the letters; round them
// the outline, beneath both the shadow. Pixels that are neither keep what
// they had. drawn, when not null, holds boxes that every letter pixel lies
// in (the renderer's DrawnBoxes): only they are read. Returns the runs of
// the painted caption, those ScanCanvasRuns would find against backColor
// with the same join, for a canvas that held only backColor in rect before
// the letters were drawn.
CanvasRunList PaintEffects(uint8_t* canvas, ptrdiff_t stride, const PixelRect& rect, uint32_t textColor,
                           uint32_t backColor, const CaptionEffects& effects, const std::vector<PixelRect>* drawn,
                           int32_t join, EffectsScratch& scratch);

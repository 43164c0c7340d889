// The caption's layout on the 768 x 576 virtual canvas: measured in the
// caption font, wrapped and set in a smaller font when it does not fit,
// and placed with its effects' margins inside the canvas.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "overlay/caption_effects.h"
#include "overlay/caption_renderer.h"
#include "settings/settings_record.h"

// The font request the settings make: the face name cut to what a font
// name holds, the height kept within its range.
CaptionFont CaptionFontFrom(const SettingsRecord& settings);

// The caption's margins beyond its letters, in canvas units.
struct CaptionMargins {
    int32_t x = 0, y = 0;
};
// The margins that hold the effects' pixels on a frame of this size.
CaptionMargins MarginsOf(const CaptionEffects& effects, int32_t frameWidth, int32_t frameHeight);

class CaptionLayout {
public:
    // Makes font the caption font from now on.
    void SetFont(CaptionRenderer& renderer, const CaptionFont& font);

    // A new caption: the text cut to what can be read while it shows, laid
    // out in the caption font, within the canvas less the margins; about
    // the last caption's centre when keepCentre.
    void Start(CaptionRenderer& renderer, std::string text, CaptionMargins margins, bool keepCentre = false);
    // The canvas row that captions stay above (the canvas's height: none).
    void SetBottom(int32_t bottom) { bottom_ = std::clamp(bottom, 1, kCanvasHeight); }
    // The letters' block centred on centre, before Place keeps it inside.
    void CentreAt(CanvasPoint centre);
    // A font was set since the caption was measured: its box is the old
    // font's, and a bigger font would be clipped to it.
    bool measuredInOldFont() const { return measuredFont_ != fontsSet_; }
    // The caption laid out anew in the font set since, about the centre
    // it stood at.
    void MeasureAgain(CaptionRenderer& renderer, CaptionMargins margins);
    // Keeps the letters and their margins inside the canvas together, about
    // centre when one is given; returns the centre they were placed at.
    CanvasPoint Place(CaptionMargins margins, const std::optional<CanvasPoint>& centre);

    // The caption as laid out: its lines, its letters' block and that block
    // with the margins, where the canvas may change.
    const std::string& lines() const { return lines_; }
    const CanvasRect& textRect() const { return textRect_; }
    const CanvasRect& captionRect() const { return captionRect_; }
    // Counted, so that a canvas can say which entry and font it was drawn
    // with.
    uint32_t entriesStarted() const { return entriesStarted_; }
    uint32_t fontsSet() const { return fontsSet_; }

private:
    void Measure(CaptionRenderer& renderer, CaptionMargins margins);
    bool Wrap(CaptionRenderer& renderer, int32_t roomWidth, int32_t roomHeight);

    // The font SetFont made; a caption too large for the canvas is drawn
    // with a smaller one, and the next caption gets this one back.
    CaptionFont captionFont_ = {};
    CaptionFont shrunkFont_ = {};
    bool fontShrunk_ = false;
    uint32_t entriesStarted_ = 0;
    uint32_t fontsSet_ = 0;
    uint32_t measuredFont_ = 0;  // fontsSet_ when the caption was measured
    // The entry as started, before it was laid out in lines: what a new
    // font lays out again.
    std::string entryText_;
    std::string lines_;
    // The letters' block, and as placed, with and without the margins.
    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int32_t bottom_ = kCanvasHeight;
    CanvasRect textRect_ = {0, 0, 0, 0};
    CanvasRect captionRect_ = {0, 0, 0, 0};
};

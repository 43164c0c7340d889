#include "overlay/caption_effects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "settings/canvas_units.h"
#include "settings/setting_choices.h"
#include "settings/settings_table.h"

namespace {

// Canvas units as frame pixels along an axis of the given length; a size
// that is on is at least one pixel.
int32_t Pixels(int32_t units, int32_t frameLength, int32_t canvasLength) {
    if (units <= 0) return 0;
    return std::max<int32_t>(1, static_cast<int32_t>((int64_t{units} * frameLength + canvasLength / 2) / canvasLength));
}

// The canvas's pixel as a COLORREF's 24 bits.
uint32_t ColourAt(const uint8_t* pixel) {
    return uint32_t{pixel[2]} | uint32_t{pixel[1]} << 8 | uint32_t{pixel[0]} << 16;
}

void Paint(uint8_t* pixel, uint32_t colorref) {
    pixel[0] = static_cast<uint8_t>(colorref >> 16);
    pixel[1] = static_cast<uint8_t>(colorref >> 8);
    pixel[2] = static_cast<uint8_t>(colorref);
}

enum : uint8_t { kLetter = 1, kOutline = 2, kShadow = 4 };

}  // namespace

CaptionEffects EffectsFor(const SettingsRecord& settings, int32_t frameWidth, int32_t frameHeight) {
    CaptionEffects effects;
    // A frame of no size has no effects; the clamps keep a hand-edited file's
    // numbers within the rows' ranges.
    if (frameWidth <= 0 || frameHeight <= 0) return effects;
    const bool square = settings.KeepProportions != 0;
    const auto across = [&](int32_t units) {
        return square ? Pixels(units, frameHeight, kCanvasHeight) : Pixels(units, frameWidth, kCanvasWidth);
    };
    const int32_t outline = RangeOf("OutlineWidth").Clamp(settings.OutlineWidth);
    const int32_t shadow = RangeOf("ShadowOffset").Clamp(settings.ShadowOffset);
    effects.outline = Pixels(outline, frameHeight, kCanvasHeight);
    effects.shadowX = across(shadow);
    effects.shadowY = Pixels(shadow, frameHeight, kCanvasHeight);
    if (settings.BackType == kBackgroundBox ||
        (settings.BackType != kBackgroundNone && settings.BackType != kBackgroundWholeFrame)) {
        const int32_t padding = RangeOf("BoxPadding").Clamp(settings.BoxPadding);
        effects.paddingX = across(padding);
        effects.paddingY = Pixels(padding, frameHeight, kCanvasHeight);
    }
    effects.outlineColor = settings.OutlineColor & 0xFFFFFF;
    effects.shadowColor = settings.ShadowColor & 0xFFFFFF;
    return effects;
}

void PaintEffects(uint8_t* canvas, ptrdiff_t stride, const PixelRect& rect, uint32_t textColor,
                  const CaptionEffects& effects, std::vector<uint8_t>& scratch) {
    const int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0 || !effects.Paints()) return;
    const auto at = [&](int32_t x, int32_t y) { return canvas + (rect.top + y) * stride + (rect.left + x) * 4; };

    // The letters' mask, one byte a pixel, and whether each row has any.
    const size_t area = size_t(w) * h;
    scratch.assign(area, 0);
    std::vector<uint8_t> inked(h);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* mask = &scratch[size_t(y) * w];
        const uint8_t* pixel = at(0, y);
        uint8_t any = 0;
        for (int32_t x = 0; x < w; ++x, pixel += 4) any |= mask[x] = ColourAt(pixel) == textColor ? kLetter : 0;
        inked[y] = any;
    }

    // The outline: a round pen of the outline's radius run over the letters.
    // Each row's distance to its nearest letter pixel (saturating) makes the
    // pen a row of comparisons per line of the disc, without branches.
    const int32_t r = std::min(effects.outline, 254);
    if (r > 0) {
        std::vector<uint8_t> nearest(area), pen(w);
        for (int32_t y = 0; y < h; ++y) {
            if (!inked[y]) continue;
            const uint8_t* mask = &scratch[size_t(y) * w];
            uint8_t* near = &nearest[size_t(y) * w];
            uint8_t d = 255;
            for (int32_t x = 0; x < w; ++x) near[x] = d = mask[x] ? 0 : d + (d < 255);
            d = 255;
            for (int32_t x = w - 1; x >= 0; --x) near[x] = std::min(near[x], d = mask[x] ? 0 : d + (d < 255));
        }
        std::vector<uint8_t> halfWidth(2 * r + 1);
        for (int32_t dy = -r; dy <= r; ++dy)
            halfWidth[dy + r] = static_cast<uint8_t>(std::sqrt((r + 0.5) * (r + 0.5) - double(dy) * dy));
        for (int32_t y = 0; y < h; ++y) {
            std::fill(pen.begin(), pen.end(), 0);
            bool touched = false;
            for (int32_t dy = std::max(-r, -y); dy <= r && y + dy < h; ++dy) {
                if (!inked[y + dy]) continue;
                const uint8_t* near = &nearest[size_t(y + dy) * w];
                const uint8_t reach = halfWidth[dy + r];
                for (int32_t x = 0; x < w; ++x) pen[x] |= near[x] <= reach;
                touched = true;
            }
            if (!touched) continue;
            uint8_t* mask = &scratch[size_t(y) * w];
            for (int32_t x = 0; x < w; ++x) mask[x] = mask[x] ? kLetter : pen[x] ? kOutline : 0;
        }
    }

    // The shadow: letters and outline moved right and down, beneath them.
    const int32_t sx = effects.shadowX, sy = effects.shadowY;
    if (sx > 0 || sy > 0)
        for (int32_t y = h - 1; y >= sy; --y) {
            uint8_t* mask = &scratch[size_t(y) * w];
            const uint8_t* from = &scratch[size_t(y - sy) * w];
            for (int32_t x = w - 1; x >= sx; --x)
                if (!mask[x] && (from[x - sx] & (kLetter | kOutline))) mask[x] = kShadow;
        }

    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* mask = &scratch[size_t(y) * w];
        uint8_t* pixel = at(0, y);
        for (int32_t x = 0; x < w; ++x, pixel += 4) {
            if (mask[x] == kOutline)
                Paint(pixel, effects.outlineColor);
            else if (mask[x] == kShadow)
                Paint(pixel, effects.shadowColor);
        }
    }
}

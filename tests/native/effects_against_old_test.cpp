// TEMPORARY: the bit-mask effects against the byte-mask implementation they replace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "overlay/caption_effects.h"
#include "render/freetype_caption_renderer.h"

namespace {

uint32_t ColourAt(const uint8_t* pixel) {
    return uint32_t{pixel[2]} | uint32_t{pixel[1]} << 8 | uint32_t{pixel[0]} << 16;
}
void Paint(uint8_t* pixel, uint32_t colorref) {
    pixel[0] = static_cast<uint8_t>(colorref >> 16);
    pixel[1] = static_cast<uint8_t>(colorref >> 8);
    pixel[2] = static_cast<uint8_t>(colorref);
}
enum : uint8_t { kLetter = 1, kOutline = 2, kShadow = 4 };
void OldPaintEffects(uint8_t* canvas, ptrdiff_t stride, const PixelRect& rect, uint32_t textColor,
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

bool SameRuns(const CanvasRunList& a, const CanvasRunList& b) {
    const CanvasRuns x = a.view(), y = b.view();
    if (x.top != y.top || x.rows != y.rows) return false;
    for (int32_t r = 0; r <= x.rows; ++r)
        if (x.rowStarts[r] != y.rowStarts[r]) return false;
    for (uint32_t i = 0; i < x.rowStarts[x.rows]; ++i)
        if (x.runs[i].left != y.runs[i].left || x.runs[i].right != y.runs[i].right) return false;
    return true;
}

void Compare(const std::vector<uint8_t>& canvas, int32_t width, int32_t height, const PixelRect& rect, uint32_t text,
             uint32_t back, const CaptionEffects& e, const std::vector<PixelRect>* boxes, const std::string& what) {
    std::vector<uint8_t> a = canvas, b = canvas;
    std::vector<uint8_t> oldScratch;
    OldPaintEffects(a.data(), ptrdiff_t{width} * 4, rect, text, e, oldScratch);
    const CanvasRunList oldRuns = ScanCanvasRuns({a.data(), ptrdiff_t{width} * 4, width, height}, rect, back, 16);
    EffectsScratch scratch;
    const CanvasRunList newRuns = PaintEffects(b.data(), ptrdiff_t{width} * 4, rect, text, back, e, boxes, 16, scratch);
    ASSERT_TRUE(a == b) << what;
    ASSERT_TRUE(SameRuns(oldRuns, newRuns)) << what;
}

TEST(EffectsAgainstOld, RandomLetters) {
    std::mt19937 random(7);
    int cases = 0;
    for (int32_t w : {1, 5, 63, 64, 65, 127, 128, 129, 200, 300})
        for (int32_t h : {1, 3, 40, 97})
            for (int32_t r : {0, 1, 2, 3, 4, 6, 9, 17, 40, 70, 130})
                for (int density : {2, 20, 200}) {
                    const int32_t width = w + 7, height = h + 5;
                    const uint32_t back = 0x202020, text = 0xFFFFFF;
                    std::vector<uint8_t> canvas(size_t(width) * height * 4);
                    const uint8_t backBytes[4] = {0x20, 0x20, 0x20, 0x5A}, textBytes[4] = {0xFF, 0xFF, 0xFF, 0x5A};
                    for (size_t i = 0; i < canvas.size(); i += 4)
                        std::memcpy(&canvas[i], random() % 1000 < unsigned(density) ? textBytes : backBytes, 4);
                    CaptionEffects e;
                    e.outline = r;
                    const int32_t shadow = int32_t(random() % 4);
                    e.shadowX = shadow ? int32_t(random() % 70) + 1 : 0,
                    e.shadowY = shadow ? int32_t(random() % 5) + 1 : 0;
                    e.outlineColor = random() % 3 ? 0x000000 : back;
                    e.shadowColor = random() % 3 ? 0x404040 : (random() % 2 ? back : text);
                    if (!e.Paints()) e.outline = 1;
                    const PixelRect rect = {3, 2, 3 + w, 2 + h};
                    Compare(canvas, width, height, rect, text, back, e, nullptr,
                            std::to_string(w) + "x" + std::to_string(h) + " r" + std::to_string(r));
                    ++cases;
                }
    EXPECT_GT(cases, 1000);
}

TEST(EffectsAgainstOld, FreeTypeCaptions) {
    const char* captions[] = {"niece\nплемянница",          "street\nStraße", "book\nβιβλίο", "book\nספר", "book\nكتاب",
                              "wide word with jjj gggg\nx", "Ёж\nребёнок"};
    int cases = 0;
    for (const auto& [width, height] :
         std::vector<std::pair<int32_t, int32_t>>{{320, 240}, {720, 576}, {1280, 720}, {1920, 1080}, {720, 1280}})
        for (int32_t units : {1, 2, 3, 5, 16})
            for (int32_t shadowUnits : {0, 3})
                for (const char* caption : captions) {
                    FreeTypeCaptionRenderer renderer;
                    ASSERT_TRUE(renderer.CreateContext());
                    uint8_t* bits = renderer.StartCanvas(width, height);
                    CaptionFont font = {};
                    std::strcpy(font.faceName, "Arial");
                    font.height = units == 16 ? -60 : -40, font.weight = 400, font.keepProportions = units % 2;
                    renderer.SetFont(font);
                    const uint32_t back = units == 3 ? 0xFFFFFF : 0x202020, text = units == 3 ? 0x00A0FF : 0xFFFFFF;
                    renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, back);
                    SettingsRecord settings;
                    settings.OutlineWidth = units, settings.ShadowOffset = shadowUnits, settings.BackType = 1;
                    settings.BoxPadding = 8, settings.KeepProportions = units % 2;
                    settings.ShadowColor = 0x404040;
                    const CaptionEffects e = EffectsFor(settings, width, height);
                    const CanvasRect textRect = {100, 150, 668, 400};
                    renderer.DrawCentred(caption, textRect, text);
                    const CanvasPoint a = renderer.ToFrame({100 - 40, 150 - 40}),
                                      b = renderer.ToFrame({668 + 40, 400 + 40});
                    const PixelRect rect = {std::max(a.x, 0), std::max(a.y, 0), std::min(b.x, width),
                                            std::min(b.y, height)};
                    const std::vector<uint8_t> canvas(bits, bits + size_t(width) * height * 4);
                    const std::string what = std::to_string(width) + "x" + std::to_string(height) + " " + caption +
                                             " u" + std::to_string(units) + " s" + std::to_string(shadowUnits);
                    Compare(canvas, width, height, rect, text, back, e, renderer.DrawnBoxes(), what);
                    Compare(canvas, width, height, rect, text, back, e, nullptr, what + " (no boxes)");
                    ++cases;
                }
    EXPECT_EQ(cases, 5 * 5 * 2 * 7);
}

}  // namespace

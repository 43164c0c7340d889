#include "overlay/caption_effects.h"

#include <algorithm>
#include <bit>
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

// The masks of a caption's rectangle hold a bit a pixel: pixel x of a row
// is bit x % 64 of the row's word x / 64. The rows lie one after another,
// each after a guard word that stays 0, and a last guard ends them: a step
// of less than a word spreads a row only into the guards beside it, so
// one pass spreads every row at once.
constexpr int32_t kBits = 64;

struct MaskLayout {
    int32_t words, stride, rows;
    size_t Size() const { return size_t(stride) * rows + 1; }
    size_t Row(int32_t y) const { return size_t(y) * stride + 1; }
};

// Sets the bits of the pixels [from, to) of a canvas row that are the
// letters' colour. A word's pixels are compared a byte each first, which
// the compiler does several at a time, then the bytes packed eight by
// eight: the product moves byte i's bit to bit 56 + i, and no two of its
// terms meet.
void ReadLetters(const uint8_t* row, int32_t from, int32_t to, uint32_t letter, uint32_t colourBits, uint64_t* bits) {
    for (int32_t x = from; x < to;) {
        const int32_t first = x % kBits, count = std::min(to - x, kBits - first);
        uint8_t same[kBits] = {};
        const uint8_t* pixel = row + size_t(x) * 4;
        for (int32_t i = 0; i < count; ++i) {
            uint32_t value;
            std::memcpy(&value, pixel + size_t(i) * 4, 4);
            same[first + i] = (value & colourBits) == letter;
        }
        uint64_t word = 0;
        for (int32_t k = 0; k < kBits / 8; ++k) {
            uint64_t eight;
            std::memcpy(&eight, same + k * 8, 8);
            word |= (eight * 0x0102040810204080u) >> 56 << (k * 8);
        }
        bits[x / kBits] |= word;
        x += count;
    }
}

// Every row of mask |= itself moved t pixels (less than a word) to the
// right and to the left: what lay within reach of a letter now lies within
// reach + t.
void SpreadBy(std::vector<uint64_t>& mask, std::vector<uint64_t>& copy, const MaskLayout& layout, int32_t t) {
    copy = mask;
    const uint64_t* from = copy.data();
    uint64_t* to = mask.data();
    for (size_t i = 1; i + 1 < mask.size(); ++i)
        to[i] = from[i] | from[i] << t | from[i] >> t | from[i - 1] >> (kBits - t) | from[i + 1] << (kBits - t);
    for (int32_t y = 1; y < layout.rows; ++y) to[size_t(y) * layout.stride] = 0;
}

// Spreads a mask that reaches from pixels round the letters on until it
// reaches to. No step is longer than the reach before it plus one, so every
// distance up to the new reach is a sum of steps taken in one direction: a
// pixel is reached from a letter without passing outside the pixels between
// them, and nothing is lost off the ends of a row.
void Spread(std::vector<uint64_t>& mask, std::vector<uint64_t>& copy, const MaskLayout& layout, int32_t from,
            int32_t to) {
    for (int32_t reach = from; reach < to;) {
        const int32_t t = std::min({to - reach, reach + 1, kBits - 1});
        SpreadBy(mask, copy, layout, t);
        reach += t;
    }
}

// to = from moved t pixels to the right, one row.
void MoveRight(uint64_t* to, const uint64_t* from, int32_t words, int32_t t) {
    const int32_t q = t / kBits, s = t % kBits;
    for (int32_t i = 0; i < words; ++i)
        to[i] = i < q ? 0 : from[i - q] << s | (s && i - q > 0 ? from[i - q - 1] >> (kBits - s) : 0);
}

// Calls run(left, right) for each run of set bits of the row, left to right.
template <typename Run>
void ForEachRun(const uint64_t* row, int32_t words, Run run) {
    for (int32_t i = 0; i < words; ++i) {
        uint64_t word = row[i];
        while (word) {
            const int32_t left = i * kBits + std::countr_zero(word);
            // The run ends at the first clear bit from its start on.
            int32_t j = i;
            uint64_t clear = ~word & ~uint64_t{0} << (left % kBits);
            while (!clear && ++j < words) clear = ~row[j];
            const int32_t right = j < words ? j * kBits + std::countr_zero(clear) : words * kBits;
            run(left, right);
            if (j >= words) return;
            i = j;
            word = row[j] & ~uint64_t{0} << (right % kBits);
        }
    }
}

// Paints pixels [left, right) of a canvas row, keeping their fourth byte.
void PaintRun(uint8_t* row, int32_t left, int32_t right, uint32_t colour, uint32_t colourBits) {
    for (uint8_t* pixel = row + size_t(left) * 4; left < right; ++left, pixel += 4) {
        uint32_t word;
        std::memcpy(&word, pixel, 4);
        word = (word & ~colourBits) | colour;
        std::memcpy(pixel, &word, 4);
    }
}

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

CanvasRunList PaintEffects(uint8_t* canvas, ptrdiff_t stride, const PixelRect& rect, uint32_t textColor,
                           uint32_t backColor, const CaptionEffects& effects, const std::vector<PixelRect>* drawn,
                           int32_t join, EffectsScratch& scratch) {
    CanvasRunList runs(rect.top, join);
    const int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return runs;
    uint8_t* const origin = canvas + rect.top * stride + ptrdiff_t{rect.left} * 4;
    const auto pixelsOf = [&](int32_t y) { return origin + y * stride; };
    const int32_t words = (w + kBits - 1) / kBits;
    const MaskLayout layout = {words, words + 1, h};
    const uint64_t lastWord = w % kBits ? (uint64_t{1} << (w % kBits)) - 1 : ~uint64_t{0};
    const uint32_t colourBits = CanvasBytes(0xFFFFFF);

    // The letters: only where the renderer drew, when it says where.
    std::vector<uint64_t>& letters = scratch.letters;
    letters.assign(layout.Size(), 0);
    const uint32_t letter = CanvasBytes(textColor);
    const auto read = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
        for (int32_t y = top; y < bottom; ++y)
            ReadLetters(pixelsOf(y), left, right, letter, colourBits, &letters[layout.Row(y)]);
    };
    if (drawn) {
        // Each row's boxes joined across the narrow gaps between glyphs: a
        // few long reads, where the compares go several at a time.
        const CanvasRunList boxes = RunsOfBoxes(*drawn, rect, kBits);
        const CanvasRuns view = boxes.view();
        for (int32_t row = 0; row < view.rows; ++row)
            for (uint32_t i = view.rowStarts[row]; i < view.rowStarts[row + 1]; ++i)
                read(view.runs[i].left - rect.left, row, view.runs[i].right - rect.left, row + 1);
    } else {
        read(0, 0, w, h);
    }

    // The outline: a round pen of the outline's radius run over the letters.
    // The pen's line dy rows away reaches halfWidth pixels either side, so
    // the letters, spread that far, are added dy rows above and below; the
    // lines are taken from the pen's edge (the narrowest) in, each spread
    // growing the last.
    std::vector<uint64_t>& outline = scratch.outline;
    outline.assign(layout.Size(), 0);
    const int32_t r = std::min(effects.outline, 254);  // a frame of 9,000 rows and more draws no wider
    const bool inked = std::any_of(letters.begin(), letters.end(), [](uint64_t word) { return word != 0; });
    if (r > 0 && inked) {
        std::vector<uint64_t>& grown = scratch.grown;
        grown = letters;
        const size_t size = layout.Size();
        int32_t reach = 0;
        for (int32_t dy = r; dy >= 0; --dy) {
            const auto halfWidth = static_cast<int32_t>(std::sqrt((r + 0.5) * (r + 0.5) - double(dy) * dy));
            if (halfWidth > reach) {
                Spread(grown, scratch.copy, layout, reach, halfWidth);
                reach = halfWidth;
            }
            // Rows are a whole number of strides apart, guards onto guards.
            const size_t rows = size_t(dy) * layout.stride;
            if (rows >= size) continue;
            uint64_t* into = outline.data();
            const uint64_t* from = grown.data();
            for (size_t i = rows; i < size; ++i) into[i] |= from[i - rows];
            if (dy > 0)
                for (size_t i = 0; i + rows < size; ++i) into[i] |= from[i + rows];
        }
        for (size_t i = 0; i < size; ++i) outline[i] &= ~letters[i];
        for (int32_t y = 0; y < h; ++y) outline[layout.Row(y) + words - 1] &= lastWord;
    }

    // The shadow: letters and outline moved right and down, beneath them;
    // then the painted pixels' runs, those that differ from the background.
    const int32_t sx = effects.shadowX, sy = effects.shadowY;
    const bool shadowed = sx > 0 || sy > 0;
    const uint32_t outlineColour = CanvasBytes(effects.outlineColor), shadowColour = CanvasBytes(effects.shadowColor);
    const bool outlineShows = effects.outlineColor != (backColor & 0xFFFFFF);
    const bool shadowShows = effects.shadowColor != (backColor & 0xFFFFFF);
    scratch.row.resize(size_t(words) * 2);
    uint64_t *const shadow = scratch.row.data(), *const shown = shadow + words;
    for (int32_t y = 0; y < h; ++y) {
        runs.NextRow();
        const uint64_t *ink = &letters[layout.Row(y)], *pen = &outline[layout.Row(y)];
        uint8_t* pixels = pixelsOf(y);
        ForEachRun(pen, words,
                   [&](int32_t left, int32_t right) { PaintRun(pixels, left, right, outlineColour, colourBits); });
        const bool hasShadow = shadowed && y >= sy;
        if (hasShadow) {
            const uint64_t *aboveInk = &letters[layout.Row(y - sy)], *abovePen = &outline[layout.Row(y - sy)];
            for (int32_t i = 0; i < words; ++i) shown[i] = aboveInk[i] | abovePen[i];
            MoveRight(shadow, shown, words, sx);
            for (int32_t i = 0; i < words; ++i) shadow[i] &= ~(ink[i] | pen[i]);
            shadow[words - 1] &= lastWord;
            ForEachRun(shadow, words,
                       [&](int32_t left, int32_t right) { PaintRun(pixels, left, right, shadowColour, colourBits); });
        }
        for (int32_t i = 0; i < words; ++i)
            shown[i] = ink[i] | (outlineShows ? pen[i] : 0) | (hasShadow && shadowShows ? shadow[i] : 0);
        ForEachRun(shown, words, [&](int32_t left, int32_t right) { runs.Add(rect.left + left, rect.left + right); });
    }
    return runs;
}

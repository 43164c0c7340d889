#include "overlay/caption_layout.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "dictionary/entry_separator.h"
#include "settings/settings_table.h"

namespace {

constexpr SettingRange kFontHeightRange = RangeOf("FontSize");
static_assert(kFontHeightRange.maximum == kCanvasHeight && kFontHeightRange.minimum == -kCanvasHeight,
              "a caption may be as tall as the canvas, no taller");

// A caption stands for a few frames: more characters than this no one
// reads in that time, and wrapped to fit the frame they would be a few
// pixels high. A longer entry is cut to them, so that what a renderer lays
// out (each line again for each try of wrapping) stays small, its sums far
// inside 32 bits, whichever renderer it is.
constexpr size_t kMostCaptionCharacters = 4096;

// The text cut after that many characters, at a character's first byte.
void CutToShowableLength(std::string& text) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<uint8_t>(text[i]) & 0xC0) == 0x80) continue;  // a continuation byte
        if (characters++ == kMostCaptionCharacters) {
            text.resize(i);
            return;
        }
    }
}

// The entry's own separator, whichever kind it is, as " - ", where the
// layout below breaks the word from its translation; a " - " after it
// breaks a line as it always has.
void MarkEntrySeparator(std::string& text) {
    const std::optional<EntrySeparator> separator = FindEntrySeparator(text);
    if (separator && text.compare(separator->at, separator->length, " - ") != 0)
        text.replace(separator->at, separator->length, " - ");
}

// Every " - " becomes a line break, in place (the text only shrinks).
void BreakAtSeparators(std::string& text) {
    size_t out = 0;
    for (size_t in = 0; in < text.size();) {
        if (text.compare(in, 3, " - ") == 0) {
            text[out++] = '\n';
            in += 3;
        } else {
            text[out++] = text[in++];
        }
    }
    text.resize(out);
}

// The caption's near edge moved inside the canvas, the far edge winning
// when the caption is the larger. Wide arithmetic: a hand-edited position
// may lie anywhere in 32 bits.
int32_t KeepInside(int64_t start, int32_t size, int32_t limit) {
    if (start < 0) start = 0;
    if (start + size > limit) start = int64_t{limit} - size;
    return static_cast<int32_t>(start);
}

// Frame pixels as canvas units along an axis, rounded up: a margin of
// these units holds the pixels on any frame.
int32_t CanvasUnits(int32_t pixels, int32_t frameLength, int32_t canvasLength) {
    if (pixels <= 0 || frameLength <= 0) return 0;
    return static_cast<int32_t>((int64_t{pixels} * canvasLength + frameLength - 1) / frameLength);
}

// The text's pieces between separators, as they are drawn one a line.
std::vector<std::string_view> DrawnLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t start = 0;;) {
        const size_t split = text.find(" - ", start);
        lines.push_back(text.substr(start, split == std::string_view::npos ? split : split - start));
        if (split == std::string_view::npos) return lines;
        start = split + 3;
    }
}

}  // namespace

CaptionFont CaptionFontFrom(const SettingsRecord& settings) {
    CaptionFont font = {};
    const size_t nameLength = std::min(settings.FontName.size(), sizeof font.faceName - 1);
    std::memcpy(font.faceName, settings.FontName.data(), nameLength);
    font.height = kFontHeightRange.Clamp(settings.FontSize);
    font.weight = settings.FontWeight;
    font.italic = settings.FontItalic;
    font.underline = settings.FontUnderline;
    font.strikeOut = settings.FontStrikeOut;
    font.charSet = settings.FontCharSet;
    font.keepProportions = settings.KeepProportions != 0;
    return font;
}

CaptionMargins MarginsOf(const CaptionEffects& effects, int32_t frameWidth, int32_t frameHeight) {
    return {CanvasUnits(effects.MarginX(), frameWidth, kCanvasWidth),
            CanvasUnits(effects.MarginY(), frameHeight, kCanvasHeight)};
}

void CaptionLayout::SetFont(CaptionRenderer& renderer, const CaptionFont& font) {
    ++fontsSet_;
    captionFont_ = font;
    fontShrunk_ = false;
    renderer.SetFont(captionFont_);
}

void CaptionLayout::Start(CaptionRenderer& renderer, std::string text, CaptionMargins margins, bool keepCentre) {
    const CanvasPoint centre = {left_ + width_ / 2, top_ + height_ / 2};
    MarkEntrySeparator(text);
    CutToShowableLength(text);
    entryText_ = text;
    lines_ = std::move(text);
    Measure(renderer, margins);
    if (keepCentre) CentreAt(centre);
    ++entriesStarted_;
}

void CaptionLayout::CentreAt(CanvasPoint centre) {
    left_ = centre.x - width_ / 2;
    top_ = centre.y - height_ / 2;
}

// Word above translation: the caption is as wide as its wider line and as
// tall as both. The second line is measured as it stands, separators and
// all. A caption that does not fit the canvas within its margins is laid
// out anew by Wrap.
void CaptionLayout::Measure(CaptionRenderer& renderer, CaptionMargins margins) {
    if (fontShrunk_) {  // the last caption's smaller font
        renderer.SetFont(captionFont_);
        fontShrunk_ = false;
        ++fontsSet_;
    }
    const int32_t roomWidth = std::max(1, kCanvasWidth - 2 * margins.x);
    const int32_t roomHeight = std::max(1, bottom_ - 2 * margins.y);
    const size_t split = lines_.find(" - ");
    if (split == std::string::npos) {
        const TextExtent line = renderer.MeasureLine(lines_.data(), lines_.size());
        width_ = line.width;
        height_ = line.height;
    } else {
        const TextExtent first = renderer.MeasureLine(lines_.data(), split);
        const TextExtent second = renderer.MeasureLine(lines_.data() + split + 3, lines_.size() - split - 3);
        width_ = std::max(first.width, second.width);
        height_ = first.height + second.height;
    }
    measuredFont_ = fontsSet_;
    if ((width_ > roomWidth || height_ > roomHeight) && Wrap(renderer, roomWidth, roomHeight)) return;
    BreakAtSeparators(lines_);
}

void CaptionLayout::MeasureAgain(CaptionRenderer& renderer, CaptionMargins margins) {
    const int64_t centreX = int64_t{left_} + width_ / 2;
    const int64_t centreY = int64_t{top_} + height_ / 2;
    lines_ = entryText_;
    Measure(renderer, margins);
    left_ = static_cast<int32_t>(std::clamp<int64_t>(centreX - width_ / 2, INT32_MIN, INT32_MAX));
    top_ = static_cast<int32_t>(std::clamp<int64_t>(centreY - height_ / 2, INT32_MIN, INT32_MAX));
}

// Each drawn line broken at spaces, greedily, into lines that fit
// roomWidth; a word wider than that on its own, or lines taller than
// roomHeight together, take a smaller font for this caption, until the
// caption fits or the font can shrink no more. A word is never broken.
// lines_ becomes the lines; false when there was nothing to lay out.
bool CaptionLayout::Wrap(CaptionRenderer& renderer, int32_t roomWidth, int32_t roomHeight) {
    const std::string text = lines_;
    std::vector<std::string> lines;
    for (int attempt = 0;; ++attempt) {
        lines.clear();
        int32_t widest = 0, widestWord = 0;
        int64_t height = 0;
        const auto finish = [&](std::string line) {
            const TextExtent extent = renderer.MeasureLine(line.data(), line.size());
            widest = std::max(widest, extent.width);
            height += extent.height;
            lines.push_back(std::move(line));
        };
        for (const std::string_view drawn : DrawnLines(text)) {
            std::string line;
            bool started = false;
            for (size_t start = 0; start <= drawn.size();) {
                size_t end = drawn.find(' ', start);
                if (end == std::string_view::npos) end = drawn.size();
                const std::string_view word = drawn.substr(start, end - start);
                start = end + 1;
                widestWord = std::max(widestWord, renderer.MeasureLine(word.data(), word.size()).width);
                if (!started) {
                    line.assign(word), started = true;
                    continue;
                }
                std::string longer = line + ' ';
                longer.append(word);
                if (renderer.MeasureLine(longer.data(), longer.size()).width <= roomWidth) {
                    line = std::move(longer);
                } else {
                    finish(std::move(line));
                    line.assign(word);
                }
            }
            finish(std::move(line));
        }
        width_ = widest;
        height_ = static_cast<int32_t>(std::min<int64_t>(height, INT32_MAX));
        if ((widestWord <= roomWidth && height <= roomHeight) || attempt == 12) break;
        // A smaller font in proportion to the overflow, by one unit at least.
        CaptionFont smaller = fontShrunk_ ? shrunkFont_ : captionFont_;
        const int64_t size = smaller.height < 0 ? -int64_t{smaller.height} : smaller.height;
        const double fits = std::min(double(roomWidth) / std::max(widestWord, 1),
                                     double(roomHeight) / double(std::max<int64_t>(height, 1)));
        const int64_t next = std::min<int64_t>(size - 1, static_cast<int64_t>(double(size) * fits));
        if (next < 1) break;
        smaller.height = static_cast<int32_t>(smaller.height < 0 ? -next : next);
        shrunkFont_ = smaller;
        renderer.SetFont(smaller);
        fontShrunk_ = true;
        measuredFont_ = ++fontsSet_;
    }
    if (lines.empty()) return false;
    lines_ = lines.front();
    for (size_t i = 1; i < lines.size(); ++i) lines_ += '\n' + lines[i];
    return true;
}

// The centre is the whole caption's, margins and all: the point the
// settings fix.
CanvasPoint CaptionLayout::Place(CaptionMargins margins, const std::optional<CanvasPoint>& centre) {
    const int32_t width = width_ + 2 * margins.x, height = height_ + 2 * margins.y;
    int64_t left = int64_t{left_} - margins.x, top = int64_t{top_} - margins.y;
    if (centre) {
        left = int64_t{centre->x} - width / 2;
        top = int64_t{centre->y} - height / 2;
    }
    const int32_t outerLeft = KeepInside(left, width, kCanvasWidth), outerTop = KeepInside(top, height, bottom_);
    left_ = outerLeft + margins.x;
    top_ = outerTop + margins.y;
    captionRect_ = {outerLeft, outerTop, outerLeft + width, outerTop + height};
    textRect_ = {left_, top_, left_ + width_, top_ + height_};
    return {outerLeft + width / 2, outerTop + height / 2};
}

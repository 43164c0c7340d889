#include "render/box_caption_renderer.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string_view>

#include "platform/utf8.h"

namespace {

// One box a character, whatever its bytes in UTF-8.
int32_t CharacterCount(std::string_view text) {
    int32_t count = 0;
    for (size_t i = 0; i < text.size(); ++count) DecodeUtf8(text, i);
    return count;
}

}  // namespace

uint8_t* BoxCaptionRenderer::StartCanvas(int32_t frameWidth, int32_t frameHeight) {
    StopCanvas();
    return failCanvas ? nullptr : canvas_.Allocate(frameWidth, frameHeight);
}

void BoxCaptionRenderer::StopCanvas() { canvas_.Release(); }

void BoxCaptionRenderer::SetFont(const CaptionFont& font) {
    font_ = font;
    cellHeight_ = font.height == 0 ? 16 : std::abs(font.height);
    cellWidth_ = std::max(1, cellHeight_ / 2);
}

int32_t BoxCaptionRenderer::ProportionalCellPixels() const {
    return std::max<int32_t>(1, static_cast<int32_t>(int64_t{cellHeight_} * FrameHeight() / kCanvasHeight / 2));
}

TextExtent BoxCaptionRenderer::MeasureLine(const char* text, size_t length) {
    const int32_t count = CharacterCount({text, length});
    if (!font_.keepProportions) return {count * cellWidth_, cellHeight_};
    // The line's pixels in canvas units, rounded up so that it is never clipped.
    const int64_t pixels = int64_t{count} * ProportionalCellPixels();
    return {static_cast<int32_t>((pixels * kCanvasWidth + FrameWidth() - 1) / FrameWidth()), cellHeight_};
}

CanvasPoint BoxCaptionRenderer::ToFrame(CanvasPoint point) {
    return {static_cast<int32_t>(int64_t{point.x} * canvas_.width() / kCanvasWidth),
            static_cast<int32_t>(int64_t{point.y} * canvas_.height() / kCanvasHeight)};
}

void BoxCaptionRenderer::Fill(const CanvasRect& rect, uint32_t colorref) {
    const CanvasPoint a = ToFrame({rect.left, rect.top}), b = ToFrame({rect.right, rect.bottom});
    canvas_.FillPixels(a.x, a.y, b.x, b.y, colorref);
}

void BoxCaptionRenderer::DrawCentred(const std::string& text, const CanvasRect& rect, uint32_t colorref) {
    ++drawCalls_;
    drawnBoxes_.clear();
    lastLines_.assign(1, std::string());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            lastLines_.emplace_back();
        } else if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '\n') {
            lastLines_.back() += text[++i];  // "&x" draws x, "&&" draws '&'
        } else if (text[i] != '&') {
            lastLines_.back() += text[i];
        }
    }
    const CanvasPoint clipA = ToFrame({rect.left, rect.top}), clipB = ToFrame({rect.right, rect.bottom});
    for (size_t line = 0; line < lastLines_.size(); ++line) {
        const std::string& characters = lastLines_[line];
        if (font_.keepProportions) {
            DrawProportionalLine(characters, rect, static_cast<int32_t>(line), colorref);
            continue;
        }
        const int32_t lineWidth = CharacterCount(characters) * cellWidth_;
        const int32_t x0 = rect.left + (rect.right - rect.left - lineWidth) / 2;
        const int32_t y0 = rect.top + static_cast<int32_t>(line) * cellHeight_;
        int32_t x = x0 - cellWidth_;
        for (size_t i = 0; i < characters.size();) {
            x += cellWidth_;
            if (DecodeUtf8(characters, i) == ' ') continue;
            const CanvasPoint a = ToFrame({x + 1, y0 + 1}), b = ToFrame({x + cellWidth_ - 1, y0 + cellHeight_ - 1});
            drawnBoxes_.push_back(canvas_.FillPixels(std::max(a.x, clipA.x), std::max(a.y, clipA.y),
                                                     std::min(b.x, clipB.x), std::min(b.y, clipB.y), colorref));
        }
    }
}

void BoxCaptionRenderer::DrawProportionalLine(const std::string& characters, const CanvasRect& rect, int32_t line,
                                              uint32_t colorref) {
    const CanvasPoint clipA = ToFrame({rect.left, rect.top}), clipB = ToFrame({rect.right, rect.bottom});
    const int32_t cell = ProportionalCellPixels(), inset = cell > 2 ? 1 : 0;
    const int32_t y0 = rect.top + line * cellHeight_;
    const int32_t top = ToFrame({0, y0 + 1}).y, bottom = ToFrame({0, y0 + cellHeight_ - 1}).y;
    int32_t x = clipA.x + (clipB.x - clipA.x - CharacterCount(characters) * cell) / 2 - cell;
    for (size_t i = 0; i < characters.size();) {
        x += cell;
        if (DecodeUtf8(characters, i) == ' ') continue;
        drawnBoxes_.push_back(canvas_.FillPixels(std::max(x + inset, clipA.x), std::max(top, clipA.y),
                                                 std::min(x + cell - inset, clipB.x), std::min(bottom, clipB.y),
                                                 colorref));
    }
}

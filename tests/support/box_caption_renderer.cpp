#include "tests/support/box_caption_renderer.h"

#include <algorithm>
#include <cstdlib>
#include <new>

uint8_t* BoxCaptionRenderer::StartCanvas(int32_t frameWidth, int32_t frameHeight) {
    StopCanvas();
    if (failCanvas) return nullptr;
    try {
        canvas_.assign(static_cast<size_t>(frameWidth) * static_cast<size_t>(frameHeight) * 4, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    width_ = frameWidth;
    height_ = frameHeight;
    return canvas_.data();
}

void BoxCaptionRenderer::StopCanvas() {
    std::vector<uint8_t>().swap(canvas_);
    width_ = height_ = 0;
}

void BoxCaptionRenderer::SetFont(const CaptionFont& font) {
    font_ = font;
    cellHeight_ = font.height == 0 ? 16 : std::abs(font.height);
    cellWidth_ = std::max(1, cellHeight_ / 2);
}

TextExtent BoxCaptionRenderer::MeasureLine(const char*, size_t length) {
    return {static_cast<int32_t>(length) * cellWidth_, cellHeight_};
}

CanvasPoint BoxCaptionRenderer::ToFrame(CanvasPoint point) {
    return {static_cast<int32_t>(int64_t{point.x} * width_ / kCanvasWidth),
            static_cast<int32_t>(int64_t{point.y} * height_ / kCanvasHeight)};
}

void BoxCaptionRenderer::FillDevice(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colorref) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, width_), bottom = std::min(bottom, height_);
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) {
            uint8_t* p = &canvas_[(static_cast<size_t>(y) * width_ + x) * 4];
            p[0] = static_cast<uint8_t>(colorref >> 16);
            p[1] = static_cast<uint8_t>(colorref >> 8);
            p[2] = static_cast<uint8_t>(colorref);
            p[3] = 0;
        }
}

void BoxCaptionRenderer::Fill(const CanvasRect& rect, uint32_t colorref) {
    const CanvasPoint a = ToFrame({rect.left, rect.top}), b = ToFrame({rect.right, rect.bottom});
    FillDevice(a.x, a.y, b.x, b.y, colorref);
}

void BoxCaptionRenderer::DrawCentred(const std::string& text, const CanvasRect& rect, uint32_t colorref) {
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
        const int32_t lineWidth = static_cast<int32_t>(lastLines_[line].size()) * cellWidth_;
        const int32_t x0 = rect.left + (rect.right - rect.left - lineWidth) / 2;
        const int32_t y0 = rect.top + static_cast<int32_t>(line) * cellHeight_;
        for (size_t c = 0; c < lastLines_[line].size(); ++c) {
            if (lastLines_[line][c] == ' ') continue;
            const int32_t x = x0 + static_cast<int32_t>(c) * cellWidth_;
            const CanvasPoint a = ToFrame({x + 1, y0 + 1}), b = ToFrame({x + cellWidth_ - 1, y0 + cellHeight_ - 1});
            FillDevice(std::max(a.x, clipA.x), std::max(a.y, clipA.y), std::min(b.x, clipB.x), std::min(b.y, clipB.y),
                       colorref);
        }
    }
}

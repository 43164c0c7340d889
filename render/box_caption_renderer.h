// A deterministic renderer for tests, benchmarks and fuzzers: every character
// is a filled box one cell wide, so layout and blending can be checked
// without a font engine.
#pragma once

#include <vector>

#include "overlay/caption_renderer.h"
#include "render/memory_canvas.h"

class BoxCaptionRenderer : public CaptionRenderer {
public:
    bool CreateContext() override { return true; }
    uint8_t* StartCanvas(int32_t frameWidth, int32_t frameHeight) override;
    void StopCanvas() override;
    void SetFont(const CaptionFont& font) override;
    TextExtent MeasureLine(const char* text, size_t length) override;
    void Fill(const CanvasRect& rect, uint32_t colorref) override;
    void DrawCentred(const std::string& text, const CanvasRect& rect, uint32_t colorref) override;
    CanvasPoint ToFrame(CanvasPoint point) override;

    // Cell size in canvas units: the font height, half as wide.
    int32_t cellWidth() const { return cellWidth_; }
    int32_t cellHeight() const { return cellHeight_; }
    const CaptionFont& font() const { return font_; }
    // Lines drawn by the last DrawCentred, after prefix processing.
    const std::vector<std::string>& lastLines() const { return lastLines_; }
    // When set, StartCanvas fails as if no bitmap could be made.
    bool failCanvas = false;

private:
    MemoryCanvas canvas_;
    int32_t cellWidth_ = 20, cellHeight_ = 40;
    CaptionFont font_ = {};
    std::vector<std::string> lastLines_;
};

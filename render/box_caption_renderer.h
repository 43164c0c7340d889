// A deterministic renderer for tests, benchmarks and fuzzers: every character
// is a filled box one cell wide, so layout and blending can be checked
// without a font engine. A cell is half as wide as it is high: on the
// canvas, or, when the font keeps its proportions, in frame pixels.
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
    const std::vector<PixelRect>* DrawnBoxes() const override { return &drawnBoxes_; }
    CanvasPoint ToFrame(CanvasPoint point) override;

    // Cell size in canvas units: the font height, half as wide (the width
    // as the canvas stretches it, whatever the font asks).
    int32_t cellWidth() const { return cellWidth_; }
    int32_t cellHeight() const { return cellHeight_; }
    const CaptionFont& font() const { return font_; }
    // Lines drawn by the last DrawCentred, after prefix processing.
    const std::vector<std::string>& lastLines() const { return lastLines_; }
    // How often DrawCentred was called.
    int32_t drawCalls() const { return drawCalls_; }
    // When set, StartCanvas fails as if no bitmap could be made.
    bool failCanvas = false;

private:
    // A cell's width in frame pixels when the font keeps its proportions.
    int32_t ProportionalCellPixels() const;
    // One line of cells laid out in frame pixels, centred in rect.
    void DrawProportionalLine(const std::string& characters, const CanvasRect& rect, int32_t line, uint32_t colorref);
    int32_t FrameWidth() const { return canvas_.empty() ? kCanvasWidth : canvas_.width(); }
    int32_t FrameHeight() const { return canvas_.empty() ? kCanvasHeight : canvas_.height(); }

    MemoryCanvas canvas_;
    int32_t cellWidth_ = 20, cellHeight_ = 40;
    CaptionFont font_ = {};
    std::vector<std::string> lastLines_;
    std::vector<PixelRect> drawnBoxes_;
    int32_t drawCalls_ = 0;
};

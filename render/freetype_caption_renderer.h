// Captions drawn with FreeType, faces found by fontconfig: monochrome
// glyphs only, so that every glyph pixel is exactly the text colour (the
// blend keys on it), scaled from the 768 x 576 canvas to the frame with
// separate horizontal and vertical factors.
#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <unordered_map>
#include <vector>

#include "overlay/caption_renderer.h"
#include "render/memory_canvas.h"

class FreeTypeCaptionRenderer : public CaptionRenderer {
public:
    FreeTypeCaptionRenderer() = default;
    FreeTypeCaptionRenderer(const FreeTypeCaptionRenderer&) = delete;
    FreeTypeCaptionRenderer& operator=(const FreeTypeCaptionRenderer&) = delete;
    ~FreeTypeCaptionRenderer() override;

    bool CreateContext() override;
    uint8_t* StartCanvas(int32_t frameWidth, int32_t frameHeight) override;
    void StopCanvas() override;
    void SetFont(const CaptionFont& font) override;
    TextExtent MeasureLine(const char* text, size_t length) override;
    void Fill(const CanvasRect& rect, uint32_t colorref) override;
    void DrawCentred(const std::string& text, const CanvasRect& rect, uint32_t colorref) override;
    CanvasPoint ToFrame(CanvasPoint point) override;

    // The file fontconfig chose for the current font; empty when none loaded.
    const std::string& fontFile() const { return fontFile_; }

private:
    struct Glyph {
        int32_t left = 0, top = 0, width = 0, rows = 0, advance = 0;
        std::vector<uint8_t> ink;  // one byte per pixel, 0 or 1
    };
    struct LineMetrics {
        int32_t ascent = 0, height = 0;
        int32_t underlineOffset = 0, strikeOffset = 0, lineThickness = 1;  // below the baseline, pixels
    };

    bool LoadFace();
    bool SizeFace();
    const Glyph* GlyphFor(char32_t codePoint);
    int32_t LineWidth(const char* text, size_t length);
    void DrawGlyph(const Glyph& glyph, int32_t x, int32_t baseline, const CanvasRect& clip, uint32_t colorref);

    FcConfig* fonts_ = nullptr;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool faceWanted_ = false;  // SetFont was called and the face is not yet loaded
    bool syntheticBold_ = false, syntheticItalic_ = false;
    CaptionFont font_ = {};
    std::string fontFile_;

    // The mapping stays 1:1 while there is no canvas.
    MemoryCanvas canvas_;
    int32_t width_ = kCanvasWidth, height_ = kCanvasHeight;
    int32_t sizedWidth_ = 0, sizedHeight_ = 0;  // frame size the face and glyphs are scaled for
    LineMetrics metrics_;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

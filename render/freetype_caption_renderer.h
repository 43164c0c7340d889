// Captions drawn with FreeType, faces found by fontconfig: monochrome
// glyphs only, so that every glyph pixel is exactly the text colour (the
// blend keys on it), scaled from the 768 x 576 canvas to the frame with
// separate horizontal and vertical factors. The text is UTF-8; a character
// that the chosen face lacks comes from the face fontconfig finds for it.
#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <unordered_map>
#include <unordered_set>
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
    const std::vector<PixelRect>* DrawnBoxes() const override { return &drawnBoxes_; }
    CanvasPoint ToFrame(CanvasPoint point) override;

    // The file fontconfig chose for the current font; empty when none loaded.
    const std::string& fontFile() const { return face_.file; }
    // The file of the face that draws a code point: the current font's, or
    // the fallback's that has it. Empty when no font is loaded.
    std::string FontFileFor(char32_t codePoint);

private:
    struct Face {
        FT_Face face = nullptr;
        std::string file;
        bool syntheticBold = false, syntheticItalic = false;
    };
    struct Glyph {
        int32_t left = 0, top = 0, width = 0, rows = 0, advance = 0;
        std::vector<uint8_t> ink;  // one byte per pixel, 0 or 1
    };
    struct LineMetrics {
        int32_t ascent = 0, height = 0;
        int32_t underlineOffset = 0, strikeOffset = 0, lineThickness = 1;  // below the baseline, pixels
    };

    FcPattern* FontRequest() const;
    bool OpenMatch(FcPattern* pattern, Face& face);
    bool LoadFace();
    bool SizeFace();
    const Face* FaceFor(char32_t codePoint);
    const Face* LoadFallbackFor(char32_t codePoint);
    const Glyph* GlyphFor(char32_t codePoint);
    int32_t LineWidth(const char* text, size_t length);
    void DrawGlyph(const Glyph& glyph, int32_t x, int32_t baseline, const CanvasRect& clip, uint32_t colorref);

    FcConfig* fonts_ = nullptr;
    FT_Library library_ = nullptr;
    Face face_;
    // Faces fontconfig found for characters face_ lacks, and the characters
    // that no face has (face_ draws its missing-glyph box for them); both
    // are for the current font.
    std::vector<Face> fallbacks_;
    std::unordered_set<char32_t> uncovered_;
    bool faceWanted_ = false;  // SetFont was called and the face is not yet loaded
    CaptionFont font_ = {};
    FT_F26Dot6 emWidth_ = 0, emHeight_ = 0;  // the size every face is set to

    // The mapping stays 1:1 while there is no canvas.
    MemoryCanvas canvas_;
    int32_t width_ = kCanvasWidth, height_ = kCanvasHeight;
    int32_t sizedWidth_ = 0, sizedHeight_ = 0;  // frame size the face and glyphs are scaled for
    LineMetrics metrics_;
    // By code point alone: a code point always comes from the same face.
    std::unordered_map<char32_t, Glyph> glyphs_;
    std::vector<PixelRect> drawnBoxes_;  // each glyph's and rule's, clipped
};

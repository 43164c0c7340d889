// Captions drawn with FreeType, faces found by fontconfig: monochrome
// glyphs only, so that every glyph pixel is exactly the text colour (the
// blend keys on it), scaled from the 768 x 576 canvas to the frame with
// separate horizontal and vertical factors, or by the vertical one both
// ways when the font keeps its proportions. The text is UTF-8. A line that
// needs it is ordered by FriBiDi and shaped by HarfBuzz, run by run, each
// run in one face: the chosen one, or the face the font matcher finds for
// characters it lacks. Any other line (Latin, Greek, Cyrillic) is drawn
// glyph after glyph by their advances, as it always was: shaping would
// move its letters by their kerning. Measuring lays a line out exactly as
// drawing does.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "overlay/caption_renderer.h"
#include "render/font_matching.h"
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
    const std::string& fontFile() const;
    // The file of the face that draws a code point: the current font's, or
    // the fallback's that has it. Empty when no font is loaded.
    std::string FontFileFor(char32_t codePoint);

private:
    struct Face {
        FT_Face face = nullptr;
        hb_font_t* shaper = nullptr;  // made when the face first shapes a run
        std::string file;
        bool syntheticBold = false, syntheticItalic = false;
        FT_Pos boldExtra = 0;  // what synthetic bold widens each glyph by, 26.6
    };
    struct Glyph {
        int32_t left = 0, top = 0, width = 0, rows = 0, advance = 0;
        std::vector<uint8_t> ink;  // one byte per pixel, 0 or 1
    };
    struct LineMetrics {
        int32_t ascent = 0, height = 0;
        int32_t underlineOffset = 0, strikeOffset = 0, lineThickness = 1;  // below the baseline, pixels
    };
    // A glyph of a laid-out line, in pixels from the line's left end: where
    // it is drawn, how far above the baseline, and the stretch of the line
    // its rules cover. A line's pixels add up in 64 bits: however long it
    // is, only what falls in the clip is drawn.
    struct PlacedGlyph {
        const Glyph* glyph;
        int64_t x;
        int32_t rise;
        int64_t ruleLeft, ruleRight;
        bool underlined;
    };

    bool Open(const std::optional<FontMatch>& match, Face& face);
    bool LoadFace();
    void CloseFaces();
    void SetSize(Face& face);
    bool SizeFace();
    bool Ready();
    uint32_t FaceFor(char32_t codePoint);
    bool LoadFallbackFor(char32_t codePoint);
    const Glyph& GlyphAt(uint32_t face, FT_UInt index);
    const Glyph& GlyphOf(char32_t codePoint);
    hb_font_t* ShaperOf(Face& face);
    // Lays out line_ (underlined_ says which of its characters are, or is
    // empty) into placed_; returns the line's advance in pixels.
    int64_t LayOutLine();
    int64_t ShapeLine();
    void DrawGlyph(const Glyph& glyph, int64_t x, int64_t baseline, const CanvasRect& clip, uint32_t colorref);

    FontMatcher fonts_;
    FT_Library library_ = nullptr;
    // The current font's faces: the chosen one first, then those the
    // matcher found for characters it lacks. The characters that no face has are
    // drawn with the chosen face's missing-glyph box; they are remembered
    // while the font's name, weight and slant stay, whatever its size.
    std::vector<Face> faces_;
    std::unordered_set<char32_t> uncovered_;
    bool faceWanted_ = false;  // SetFont was called and the face is not yet loaded
    CaptionFont font_ = {};
    CaptionFont loaded_ = {};                // the font the faces were found for
    FT_F26Dot6 emWidth_ = 0, emHeight_ = 0;  // the size every face is set to

    // The mapping stays 1:1 while there is no canvas.
    MemoryCanvas canvas_;
    int32_t width_ = kCanvasWidth, height_ = kCanvasHeight;
    int32_t sizedWidth_ = 0, sizedHeight_ = 0;  // frame size the face and glyphs are scaled for
    LineMetrics metrics_;
    // By face and glyph index; the unshaped lines' by code point as well.
    std::unordered_map<uint64_t, Glyph> glyphs_;
    std::unordered_map<char32_t, const Glyph*> charGlyphs_;

    // The line being laid out, and where its glyphs went; kept to spare
    // their memory from line to line.
    std::u32string line_;
    std::vector<uint8_t> underlined_;
    std::vector<uint32_t> lineFaces_;
    std::vector<PlacedGlyph> placed_;
    hb_buffer_t* shaping_ = nullptr;

    std::vector<PixelRect> drawnBoxes_;  // each glyph's and rule's, clipped
};

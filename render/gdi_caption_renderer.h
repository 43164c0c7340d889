// The caption renderer on GDI: a memory device context with a top-down
// 32-bit DIB section, the 768 x 576 canvas mapped onto it anisotropically,
// non-antialiased fonts. The text is UTF-8 and goes to GDI's wide-character
// calls, whose font linking supplies the characters that the chosen font
// lacks. A line that needs shaping, a right-to-left order or a font that has
// its script goes to Uniscribe instead, which measures and draws it alike;
// every other line is measured and drawn as DrawText does.
#pragma once

#include <windows.h>

#include <string>

#include "overlay/caption_renderer.h"

// The GDI form of a font request, never anti-aliased: glyph pixels are
// exactly the text colour, which the blend's colour key relies on.
LOGFONTA LogFontFrom(const CaptionFont& font);

class GdiCaptionRenderer : public CaptionRenderer {
public:
    GdiCaptionRenderer() = default;
    GdiCaptionRenderer(const GdiCaptionRenderer&) = delete;
    GdiCaptionRenderer& operator=(const GdiCaptionRenderer&) = delete;
    ~GdiCaptionRenderer() override;

    bool CreateContext() override;
    uint8_t* StartCanvas(int32_t frameWidth, int32_t frameHeight) override;
    void StopCanvas() override;
    void SetFont(const CaptionFont& font) override;
    TextExtent MeasureLine(const char* text, size_t length) override;
    void Fill(const CanvasRect& rect, uint32_t colorref) override;
    void DrawCentred(const std::string& text, const CanvasRect& rect, uint32_t colorref) override;
    CanvasPoint ToFrame(CanvasPoint point) override;

private:
    void RealizeFont();
    bool NeedsShaping(const std::wstring& line) const;
    int32_t DrawShaped(const std::wstring& line, const RECT& area, int32_t top, uint32_t colorref);

    HDC dc_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;  // the context's own font, selected back before ours is deleted
    HGDIOBJ originalBitmap_ = nullptr;
    HBITMAP canvas_ = nullptr;
    HFONT captionFont_ = nullptr;
    CaptionFont font_ = {};
    bool fontSet_ = false;
    int32_t frameWidth_ = kCanvasWidth, frameHeight_ = kCanvasHeight;
};

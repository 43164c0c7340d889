// What the overlay needs from the platform to put text on its canvas: a
// 32-bit canvas the size of the frame, addressed in the 768 x 576 units of
// the virtual canvas, fonts, measuring, filling and centred multi-line text.
// Caption text is UTF-8; a face name is the settings' Windows-1251.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "blend/frame_view.h"
#include "settings/canvas_units.h"

struct CanvasRect {
    int32_t left, top, right, bottom;
    bool operator==(const CanvasRect&) const = default;
};

struct CanvasPoint {
    int32_t x, y;
};

struct TextExtent {
    int32_t width, height;
};

// A font request in canvas units; the face name holds at most 31 bytes of
// UTF-8.
struct CaptionFont {
    char faceName[32];
    int32_t height;  // as a LOGFONT height: negative asks for the character height
    int32_t weight;
    uint8_t italic, underline, strikeOut, charSet;
    // The letters keep their shape on any frame: glyphs are scaled by the
    // canvas's vertical factor both ways, rather than stretched with the
    // frame (positions stay on the canvas either way).
    bool keepProportions;
    bool operator==(const CaptionFont&) const = default;
};

class CaptionRenderer {
public:
    virtual ~CaptionRenderer() = default;

    // The drawing context, made once when the plug-in starts.
    virtual bool CreateContext() = 0;
    // A top-down canvas of frame size, blue-green-red-unused bytes per
    // pixel; null when it cannot be made. Replaces any earlier canvas.
    virtual uint8_t* StartCanvas(int32_t frameWidth, int32_t frameHeight) = 0;
    virtual void StopCanvas() = 0;

    // Makes font the caption font from now on.
    virtual void SetFont(const CaptionFont& font) = 0;
    // Width and height of one line, no prefix processing, canvas units.
    virtual TextExtent MeasureLine(const char* text, size_t length) = 0;

    virtual void Fill(const CanvasRect& rect, uint32_t colorref) = 0;
    // Lines broken at '\n', each centred, the block at the top of rect,
    // clipped to rect; '&' underlines the next character, "&&" draws '&'.
    virtual void DrawCentred(const std::string& text, const CanvasRect& rect, uint32_t colorref) = 0;
    // Where the last DrawCentred drew, in frame pixels: every pixel it
    // changed lies in one of these boxes. Null when the renderer cannot
    // tell; the overlay then looks at the canvas itself.
    virtual const std::vector<PixelRect>* DrawnBoxes() const { return nullptr; }

    // A canvas point in frame pixels.
    virtual CanvasPoint ToFrame(CanvasPoint point) = 0;
};

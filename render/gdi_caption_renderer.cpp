#include "render/gdi_caption_renderer.h"

#include <algorithm>
#include <climits>
#include <string>

#include "platform/win32/wide_text.h"

GdiCaptionRenderer::~GdiCaptionRenderer() {
    StopCanvas();
    if (dc_) {
        SelectObject(dc_, originalFont_);
        DeleteDC(dc_);
    }
    if (captionFont_) DeleteObject(captionFont_);
}

bool GdiCaptionRenderer::CreateContext() {
    if (dc_) return true;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return false;
    originalFont_ = GetCurrentObject(dc_, OBJ_FONT);
    if (captionFont_) SelectObject(dc_, captionFont_);
    return true;
}

uint8_t* GdiCaptionRenderer::StartCanvas(int32_t frameWidth, int32_t frameHeight) {
    StopCanvas();
    if (!dc_) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = frameWidth;
    info.bmiHeader.biHeight = -frameHeight;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    canvas_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!canvas_ || !bits) {
        if (canvas_) DeleteObject(canvas_);
        canvas_ = nullptr;
        return nullptr;
    }
    SetMapMode(dc_, MM_ANISOTROPIC);
    SetWindowExtEx(dc_, kCanvasWidth, kCanvasHeight, nullptr);
    SetViewportExtEx(dc_, frameWidth, frameHeight, nullptr);
    SetBkMode(dc_, TRANSPARENT);
    originalBitmap_ = SelectObject(dc_, canvas_);
    return static_cast<uint8_t*>(bits);
}

void GdiCaptionRenderer::StopCanvas() {
    if (!canvas_) return;
    SelectObject(dc_, originalBitmap_);
    DeleteObject(canvas_);
    canvas_ = nullptr;
    originalBitmap_ = nullptr;
}

LOGFONTA LogFontFrom(const CaptionFont& font) {
    LOGFONTA logFont = {};
    logFont.lfHeight = font.height;
    logFont.lfWeight = font.weight;
    logFont.lfItalic = font.italic;
    logFont.lfUnderline = font.underline;
    logFont.lfStrikeOut = font.strikeOut;
    logFont.lfCharSet = font.charSet;
    logFont.lfQuality = NONANTIALIASED_QUALITY;
    static_assert(sizeof logFont.lfFaceName == sizeof font.faceName);
    std::copy(std::begin(font.faceName), std::end(font.faceName), logFont.lfFaceName);
    return logFont;
}

void GdiCaptionRenderer::SetFont(const CaptionFont& font) {
    const LOGFONTA logFont = LogFontFrom(font);
    HFONT created = CreateFontIndirectA(&logFont);
    if (!created) return;
    if (dc_) SelectObject(dc_, created);
    if (captionFont_) DeleteObject(captionFont_);
    captionFont_ = created;
}

TextExtent GdiCaptionRenderer::MeasureLine(const char* text, size_t length) {
    SIZE size = {0, 0};
    if (!dc_) return {0, 0};
    const std::wstring line = WideFromUtf8({text, length});
    GetTextExtentPoint32W(dc_, line.data(), static_cast<int>(std::min<size_t>(line.size(), INT_MAX)), &size);
    return {size.cx, size.cy};
}

void GdiCaptionRenderer::Fill(const CanvasRect& rect, uint32_t colorref) {
    if (!dc_) return;
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    SetBkColor(dc_, colorref);
    ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

void GdiCaptionRenderer::DrawCentred(const std::string& text, const CanvasRect& rect, uint32_t colorref) {
    if (!dc_) return;
    RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    SetTextColor(dc_, colorref);
    const std::wstring wide = WideFromUtf8(text);
    DrawTextW(dc_, wide.data(), static_cast<int>(std::min<size_t>(wide.size(), INT_MAX)), &area, DT_CENTER);
    GdiFlush();  // the blend reads the bits next
}

CanvasPoint GdiCaptionRenderer::ToFrame(CanvasPoint point) {
    POINT p = {point.x, point.y};
    if (dc_) LPtoDP(dc_, &p, 1);
    return {p.x, p.y};
}

#include "render/gdi_caption_renderer.h"

#include <usp10.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"

namespace {

int Length(const std::wstring& text) { return static_cast<int>(std::min<size_t>(text.size(), INT_MAX)); }

// The paragraph's direction is that of its first strong character.
bool RightToLeft(const std::wstring& text) {
    std::vector<WORD> types(text.size());
    if (!GetStringTypeW(CT_CTYPE2, text.data(), Length(text), types.data())) return false;
    for (const WORD type : types) {
        if (type == C2_LEFTTORIGHT) return false;
        if (type == C2_RIGHTTOLEFT) return true;
    }
    return false;
}

// One line laid out by Uniscribe in the context's font: items in visual
// order, shaped, each in a font that has its script. Its size is what
// drawing it covers, so the two cannot disagree.
class ShapedLine {
public:
    ShapedLine(HDC dc, const std::wstring& text) {
        if (text.empty()) return;
        SCRIPT_STATE state = {};
        state.uBidiLevel = RightToLeft(text) ? 1 : 0;
        const DWORD flags = SSA_GLYPHS | SSA_FALLBACK | (state.uBidiLevel ? SSA_RTL : 0);
        const int length = Length(text);
        if (ScriptStringAnalyse(dc, text.data(), length, length * 3 / 2 + 16, -1, flags, 0, nullptr, &state, nullptr,
                                nullptr, nullptr, &analysis_) != S_OK)
            analysis_ = nullptr;
    }
    ShapedLine(const ShapedLine&) = delete;
    ShapedLine& operator=(const ShapedLine&) = delete;
    ~ShapedLine() {
        if (analysis_) ScriptStringFree(&analysis_);
    }

    SIZE Size() const {
        const SIZE* size = analysis_ ? ScriptString_pSize(analysis_) : nullptr;
        return size ? *size : SIZE{0, 0};
    }
    void Draw(int x, int y, const RECT& clip) const {
        if (analysis_) ScriptStringOut(analysis_, x, y, ETO_CLIPPED, &clip, 0, 0, FALSE);
    }
    // The columns one character covers, from the line's left edge.
    bool Columns(int index, int& left, int& right) const {
        int leading = 0, trailing = 0;
        if (!analysis_ || ScriptStringCPtoX(analysis_, index, FALSE, &leading) != S_OK ||
            ScriptStringCPtoX(analysis_, index, TRUE, &trailing) != S_OK)
            return false;
        left = std::min(leading, trailing), right = std::max(leading, trailing);
        return true;
    }

private:
    SCRIPT_STRING_ANALYSIS analysis_ = nullptr;
};

// The width that scales the letters by the mapping's vertical factor both
// ways, for the context dc holding the canvas's mapping. Windows' GDI takes
// a width of 0 as the font's own width in logical units, so the letters
// stretch with the mapping; Wine keeps their shape. A line measured here
// and on an unmapped context tells which: stretched, it is as wide on the
// canvas as unmapped. Then the width is the font's natural average width
// times the vertical factor over the horizontal one; else 0, the natural
// width, keeps the shape already.
LONG ProportionalWidth(HDC dc, const LOGFONTA& logFont, int32_t frameWidth, int32_t frameHeight) {
    const int64_t vertical = int64_t{frameHeight} * kCanvasWidth, horizontal = int64_t{frameWidth} * kCanvasHeight;
    if (vertical == horizontal || horizontal <= 0 || !dc) return 0;
    static const wchar_t kSample[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const int sampleLength = static_cast<int>(std::size(kSample) - 1);
    TEXTMETRICA metrics = {};
    SIZE natural = {0, 0}, mapped = {0, 0};
    HDC unmapped = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectA(&logFont);
    if (unmapped && font) {
        HGDIOBJ before = SelectObject(unmapped, font);
        GetTextMetricsA(unmapped, &metrics);
        GetTextExtentPoint32W(unmapped, kSample, sampleLength, &natural);
        SelectObject(unmapped, before);
        before = SelectObject(dc, font);
        GetTextExtentPoint32W(dc, kSample, sampleLength, &mapped);
        SelectObject(dc, before);
    }
    if (font) DeleteObject(font);
    if (unmapped) DeleteDC(unmapped);
    // In frame pixels times 768 x 576: as drawn, stretched, and with the
    // shape kept.
    const int64_t drawn = int64_t{mapped.cx} * horizontal, stretched = int64_t{natural.cx} * horizontal,
                  kept = int64_t{natural.cx} * vertical;
    if (std::llabs(drawn - stretched) >= std::llabs(drawn - kept)) return 0;
    return static_cast<LONG>((metrics.tmAveCharWidth * vertical + horizontal / 2) / horizontal);
}

}  // namespace

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
    frameWidth_ = frameWidth, frameHeight_ = frameHeight;
    if (fontSet_ && font_.keepProportions) RealizeFont();
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
    // The face name is UTF-8; the narrow structure takes the system's code
    // page.
    static_assert(sizeof logFont.lfFaceName == sizeof font.faceName);
    std::string face;
    AnsiFromWide(WideFromUtf8(std::string_view(font.faceName, strnlen(font.faceName, sizeof font.faceName))), face);
    face.resize(std::min(face.size(), sizeof logFont.lfFaceName - 1));
    std::copy(face.begin(), face.end(), logFont.lfFaceName);
    return logFont;
}

void GdiCaptionRenderer::SetFont(const CaptionFont& font) {
    font_ = font;
    fontSet_ = true;
    RealizeFont();
}

// The font for the current frame's shape: letters that keep their
// proportions need a width for it.
void GdiCaptionRenderer::RealizeFont() {
    LOGFONTA logFont = LogFontFrom(font_);
    if (font_.keepProportions) logFont.lfWidth = ProportionalWidth(dc_, logFont, frameWidth_, frameHeight_);
    HFONT created = CreateFontIndirectA(&logFont);
    if (!created) return;
    if (dc_) SelectObject(dc_, created);
    if (captionFont_) DeleteObject(captionFont_);
    captionFont_ = created;
}

// Complex scripts, right-to-left text and characters that the font lacks
// (control characters aside) go to Uniscribe: GDI's own calls measure such
// a line otherwise than they draw it, and reach no font for a script when
// the character set asked for leaves it out.
bool GdiCaptionRenderer::NeedsShaping(const std::wstring& line) const {
    if (line.empty()) return false;
    if (ScriptIsComplex(line.data(), Length(line), SIC_COMPLEX) == S_OK) return true;
    std::vector<WORD> glyphs(line.size());
    if (GetGlyphIndicesW(dc_, line.data(), Length(line), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return false;
    for (size_t i = 0; i < line.size(); ++i)
        if (glyphs[i] == 0xFFFF && line[i] >= L' ') return true;
    return false;
}

TextExtent GdiCaptionRenderer::MeasureLine(const char* text, size_t length) {
    SIZE size = {0, 0};
    if (!dc_) return {0, 0};
    const std::wstring line = WideFromUtf8({text, length});
    if (NeedsShaping(line))
        size = ShapedLine(dc_, line).Size();
    else
        GetTextExtentPoint32W(dc_, line.data(), Length(line), &size);
    return {size.cx, size.cy};
}

void GdiCaptionRenderer::Fill(const CanvasRect& rect, uint32_t colorref) {
    if (!dc_) return;
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    SetBkColor(dc_, colorref);
    ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

// Captions of plain lines are drawn by one DrawText call, as they always
// were; in a caption with a line for Uniscribe, each line is drawn on its
// own, one below the other, each as tall as MeasureLine says.
void GdiCaptionRenderer::DrawCentred(const std::string& text, const CanvasRect& rect, uint32_t colorref) {
    if (!dc_) return;
    RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    SetTextColor(dc_, colorref);
    const std::wstring wide = WideFromUtf8(text);
    std::vector<std::wstring> lines;
    for (size_t start = 0;;) {
        const size_t end = wide.find(L'\n', start);
        lines.push_back(wide.substr(start, end - start));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    if (std::none_of(lines.begin(), lines.end(), [&](const std::wstring& line) { return NeedsShaping(line); })) {
        DrawTextW(dc_, wide.data(), Length(wide), &area, DT_CENTER);
    } else {
        int32_t top = rect.top;
        for (const std::wstring& line : lines) {
            if (NeedsShaping(line)) {
                top += DrawShaped(line, area, top, colorref);
                continue;
            }
            RECT lineArea = {area.left, top, area.right, area.bottom};
            DrawTextW(dc_, line.data(), Length(line), &lineArea, DT_CENTER);
            SIZE size = {0, 0};
            GetTextExtentPoint32W(dc_, line.data(), Length(line), &size);
            top += size.cy;
        }
    }
    GdiFlush();  // the blend reads the bits next
}

// One line through Uniscribe, centred on area from the width it is drawn
// with. DrawText's prefixes hold here too: "&&" draws '&', and a lone '&'
// underlines the character after it. Returns the line's height.
int32_t GdiCaptionRenderer::DrawShaped(const std::wstring& line, const RECT& area, int32_t top, uint32_t colorref) {
    std::wstring shown;
    int hotkey = -1;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == L'&' && i + 1 < line.size()) {
            ++i;
            if (line[i] != L'&') hotkey = Length(shown);
        }
        shown += line[i];
    }
    const ShapedLine shaped(dc_, shown);
    const SIZE size = shaped.Size();
    const int left = area.left + (area.right - area.left - size.cx) / 2;
    shaped.Draw(left, top, area);
    TEXTMETRICW metrics = {};
    int from = 0, to = 0;
    if (hotkey >= 0 && shaped.Columns(hotkey, from, to) && GetTextMetricsW(dc_, &metrics)) {
        RECT underline = {left + from, top + metrics.tmAscent + 1, left + to,
                          top + metrics.tmAscent + 1 + std::max<LONG>(1, metrics.tmHeight / 20)};
        if (IntersectRect(&underline, &underline, &area)) {
            SetBkColor(dc_, colorref);
            ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &underline, nullptr, 0, nullptr);
        }
    }
    return size.cy;
}

CanvasPoint GdiCaptionRenderer::ToFrame(CanvasPoint point) {
    POINT p = {point.x, point.y};
    if (dc_) LPtoDP(dc_, &p, 1);
    return {p.x, p.y};
}

#include "render/freetype_caption_renderer.h"

#include <fontconfig/fontconfig.h>
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/cp1251.h"
#include "platform/utf8.h"

namespace {

// Nearest integer of value * num / den, halves away from minus infinity,
// as a coordinate mapping rounds.
int32_t ScaleRounded(int64_t value, int64_t num, int64_t den) {
    const int64_t twice = 2 * value * num + den;
    const int64_t q = twice / (2 * den);
    return static_cast<int32_t>(twice % (2 * den) < 0 ? q - 1 : q);
}

// The canvas's blue-green-red-unused bytes of a COLORREF.
int32_t ScaleUp(int64_t value, int64_t num, int64_t den) { return static_cast<int32_t>((value * num + den - 1) / den); }

// The slant of a synthetic oblique face, as GDI-era renderers use it.
constexpr FT_Fixed kObliqueShear = 0x0366A;  // about 0.21

// What a caption line holds once prefixes are taken out.
struct Piece {
    char32_t codePoint;
    bool underlined;
};

// Lines at '\n'; "&x" draws x underlined, "&&" draws '&', a lone '&' at
// the end of a line draws nothing.
std::vector<std::vector<Piece>> SplitCaption(const std::string& text) {
    std::vector<std::vector<Piece>> lines(1);
    for (size_t i = 0; i < text.size();) {
        const char32_t c = DecodeUtf8(text, i);
        if (c == '\n') {
            lines.emplace_back();
        } else if (c == '&') {
            if (i >= text.size() || text[i] == '\n') continue;
            const char32_t next = DecodeUtf8(text, i);
            lines.back().push_back({next, next != '&'});
        } else {
            lines.back().push_back({c, false});
        }
    }
    return lines;
}

void CloseFace(FT_Face& face) {
    if (face) FT_Done_Face(face);
    face = nullptr;
}

}  // namespace

FreeTypeCaptionRenderer::~FreeTypeCaptionRenderer() {
    for (Face& fallback : fallbacks_) CloseFace(fallback.face);
    CloseFace(face_.face);
    if (library_) FT_Done_FreeType(library_);
    if (fonts_) FcConfigDestroy(fonts_);
}

// A font configuration of our own, not the process's shared one: a host may
// use fontconfig itself, and ours goes away with the plug-in.
bool FreeTypeCaptionRenderer::CreateContext() {
    if (!library_ && FT_Init_FreeType(&library_) != 0) return false;
    if (!fonts_) fonts_ = FcInitLoadConfigAndFonts();
    return fonts_ != nullptr;
}

uint8_t* FreeTypeCaptionRenderer::StartCanvas(int32_t frameWidth, int32_t frameHeight) {
    StopCanvas();
    uint8_t* bits = canvas_.Allocate(frameWidth, frameHeight);
    if (!bits) return nullptr;
    width_ = frameWidth;
    height_ = frameHeight;
    return bits;
}

void FreeTypeCaptionRenderer::StopCanvas() {
    canvas_.Release();
    width_ = kCanvasWidth;
    height_ = kCanvasHeight;
}

void FreeTypeCaptionRenderer::SetFont(const CaptionFont& font) {
    font_ = font;
    font_.faceName[sizeof font_.faceName - 1] = '\0';
    faceWanted_ = true;
}

// What the settings ask of fontconfig: the name, weight and slant.
FcPattern* FreeTypeCaptionRenderer::FontRequest() const {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    const int weight = font_.weight <= 0 ? 400 : std::clamp<int>(font_.weight, 1, 1000);
    const std::string family = font_.faceName[0] ? Cp1251ToUtf8(font_.faceName) : "sans-serif";
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, font_.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    return pattern;
}

// Opens fontconfig's best match for the pattern, which it destroys. Bold
// and italic are made up when the face it found lacks them.
bool FreeTypeCaptionRenderer::OpenMatch(FcPattern* pattern, Face& face) {
    FcConfigSubstitute(fonts_, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(fonts_, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;

    FcChar8* file = nullptr;
    int index = 0, matchedWeight = FC_WEIGHT_REGULAR, matchedSlant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight);
    FcPatternGetInteger(match, FC_SLANT, 0, &matchedSlant);
    FT_Face opened = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FT_New_Face(library_, reinterpret_cast<const char*>(file), index, &opened) == 0) {
        face.face = opened;
        face.file = reinterpret_cast<const char*>(file);
        face.syntheticBold = font_.weight >= 600 && matchedWeight < FC_WEIGHT_DEMIBOLD;
        face.syntheticItalic = font_.italic && matchedSlant == FC_SLANT_ROMAN;
    }
    FcPatternDestroy(match);
    return opened != nullptr;
}

// The face fontconfig picks for the settings; a missing name falls back to
// its best match, which is always a real font.
bool FreeTypeCaptionRenderer::LoadFace() {
    faceWanted_ = false;
    if (!CreateContext()) return false;
    FcPattern* pattern = FontRequest();
    Face loaded;
    if (!pattern || !OpenMatch(pattern, loaded)) return false;
    CloseFace(face_.face);
    for (Face& fallback : fallbacks_) CloseFace(fallback.face);
    fallbacks_.clear();
    uncovered_.clear();
    face_ = std::move(loaded);
    sizedWidth_ = sizedHeight_ = 0;
    return true;
}

// A negative height is the character (em) height, a positive one the cell
// height, in canvas units; each axis then scales by its own factor.
bool FreeTypeCaptionRenderer::SizeFace() {
    const FT_Face face = face_.face;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double unitsPerEm = face->units_per_EM ? face->units_per_EM : 1000;
    const double cellUnits = os2 && os2->usWinAscent + os2->usWinDescent > 0
                                 ? double(os2->usWinAscent) + double(os2->usWinDescent)
                                 : double(face->ascender) - double(face->descender);
    double em = 16;
    if (font_.height < 0) em = -double(font_.height);
    if (font_.height > 0) em = font_.height * unitsPerEm / (cellUnits > 0 ? cellUnits : unitsPerEm);
    const double emX = std::max(1.0, em * width_ / kCanvasWidth);
    const double emY = std::max(1.0, em * height_ / kCanvasHeight);
    emWidth_ = std::lround(emX * 64), emHeight_ = std::lround(emY * 64);
    if (FT_Set_Char_Size(face, emWidth_, emHeight_, 72, 72) != 0) return false;
    // The fallbacks draw at the same size, on the chosen face's lines.
    for (const Face& fallback : fallbacks_) FT_Set_Char_Size(fallback.face, emWidth_, emHeight_, 72, 72);

    const double yScale = emY / unitsPerEm;
    const double ascentUnits = os2 ? os2->usWinAscent : face->ascender;
    const double descentUnits = os2 ? os2->usWinDescent : -face->descender;
    metrics_.ascent = static_cast<int32_t>(std::ceil(ascentUnits * yScale));
    metrics_.height = metrics_.ascent + static_cast<int32_t>(std::ceil(descentUnits * yScale));
    metrics_.lineThickness = std::max<int32_t>(1,
                                               static_cast<int32_t>(std::lround(face->underline_thickness * yScale)));
    metrics_.underlineOffset = static_cast<int32_t>(std::lround(-face->underline_position * yScale));
    const double strikeUnits = os2 && os2->yStrikeoutPosition > 0 ? os2->yStrikeoutPosition : 0.3 * ascentUnits;
    metrics_.strikeOffset = -static_cast<int32_t>(std::lround(strikeUnits * yScale));
    glyphs_.clear();
    sizedWidth_ = width_;
    sizedHeight_ = height_;
    return true;
}

// The chosen face when it has the character, else a fallback that has it,
// one already open or the one fontconfig finds; the chosen face (and its
// missing-glyph box) when none has it.
const FreeTypeCaptionRenderer::Face* FreeTypeCaptionRenderer::FaceFor(char32_t c) {
    if (FT_Get_Char_Index(face_.face, c) != 0) return &face_;
    for (const Face& fallback : fallbacks_)
        if (FT_Get_Char_Index(fallback.face, c) != 0) return &fallback;
    if (!uncovered_.contains(c))
        if (const Face* fallback = LoadFallbackFor(c)) return fallback;
    uncovered_.insert(c);
    return &face_;
}

// The settings' request with the character added: fontconfig then prefers
// a face that has it, close to the chosen one.
const FreeTypeCaptionRenderer::Face* FreeTypeCaptionRenderer::LoadFallbackFor(char32_t c) {
    FcPattern* pattern = FontRequest();
    FcCharSet* wanted = FcCharSetCreate();
    if (!pattern || !wanted) {
        if (pattern) FcPatternDestroy(pattern);
        if (wanted) FcCharSetDestroy(wanted);
        return nullptr;
    }
    FcCharSetAddChar(wanted, c);
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcCharSetDestroy(wanted);
    Face found;
    if (!OpenMatch(pattern, found)) return nullptr;
    // fontconfig's best match may still lack it; so may its face in FreeType.
    if (FT_Get_Char_Index(found.face, c) == 0) {
        CloseFace(found.face);
        return nullptr;
    }
    if (emWidth_ > 0) FT_Set_Char_Size(found.face, emWidth_, emHeight_, 72, 72);
    fallbacks_.push_back(std::move(found));
    return &fallbacks_.back();
}

std::string FreeTypeCaptionRenderer::FontFileFor(char32_t c) {
    if (faceWanted_) LoadFace();
    if (!face_.face) return {};
    return FaceFor(c)->file;
}

const FreeTypeCaptionRenderer::Glyph* FreeTypeCaptionRenderer::GlyphFor(char32_t codePoint) {
    if (faceWanted_) LoadFace();
    if (!face_.face) return nullptr;
    if ((sizedWidth_ != width_ || sizedHeight_ != height_) && !SizeFace()) return nullptr;
    if (const auto found = glyphs_.find(codePoint); found != glyphs_.end()) return &found->second;

    Glyph glyph;
    const Face& from = *FaceFor(codePoint);
    const FT_Face face = from.face;
    FT_GlyphSlot slot = face->glyph;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) == 0) {
        FT_Pos extra = 0;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            if (from.syntheticBold) {
                extra = std::max<FT_Pos>(64, FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24) & ~63;
                FT_Outline_Embolden(&slot->outline, extra);
            }
            if (from.syntheticItalic) {
                FT_Matrix shear = {0x10000, kObliqueShear, 0, 0x10000};
                FT_Outline_Transform(&slot->outline, &shear);
            }
        }
        glyph.advance = static_cast<int32_t>((slot->advance.x + extra + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0 && slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            const FT_Bitmap& bitmap = slot->bitmap;
            glyph.left = slot->bitmap_left;
            glyph.top = slot->bitmap_top;
            glyph.width = static_cast<int32_t>(bitmap.width);
            glyph.rows = static_cast<int32_t>(bitmap.rows);
            glyph.ink.resize(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.rows));
            for (int32_t y = 0; y < glyph.rows; ++y) {
                const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
                for (int32_t x = 0; x < glyph.width; ++x)
                    glyph.ink[static_cast<size_t>(y) * glyph.width + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
            }
        }
    }
    return &glyphs_.emplace(codePoint, std::move(glyph)).first->second;
}

int32_t FreeTypeCaptionRenderer::LineWidth(const char* text, size_t length) {
    const std::string_view line(text, length);
    int32_t width = 0;
    for (size_t i = 0; i < line.size();)
        if (const Glyph* glyph = GlyphFor(DecodeUtf8(line, i))) width += glyph->advance;
    return width;
}

TextExtent FreeTypeCaptionRenderer::MeasureLine(const char* text, size_t length) {
    const int32_t width = LineWidth(text, length);
    if (!GlyphFor(' ')) return {0, 0};
    // Rounded up, so that the caption's rectangle holds all of its pixels.
    return {ScaleUp(width, kCanvasWidth, width_), ScaleUp(metrics_.height, kCanvasHeight, height_)};
}

CanvasPoint FreeTypeCaptionRenderer::ToFrame(CanvasPoint point) {
    return {ScaleRounded(point.x, width_, kCanvasWidth), ScaleRounded(point.y, height_, kCanvasHeight)};
}

void FreeTypeCaptionRenderer::Fill(const CanvasRect& rect, uint32_t colorref) {
    const CanvasPoint a = ToFrame({rect.left, rect.top}), b = ToFrame({rect.right, rect.bottom});
    canvas_.FillPixels(a.x, a.y, b.x, b.y, colorref);
}

void FreeTypeCaptionRenderer::DrawGlyph(const Glyph& glyph, int32_t x, int32_t baseline, const CanvasRect& clip,
                                        uint32_t colorref) {
    const int32_t x0 = x + glyph.left, y0 = baseline - glyph.top;
    const int32_t fromX = std::max(clip.left - x0, 0), toX = std::min(clip.right - x0, glyph.width);
    const int32_t fromY = std::max(clip.top - y0, 0), toY = std::min(clip.bottom - y0, glyph.rows);
    // A glyph wholly beside the clip has no first pixel to address: on the
    // last row that address would lie past the canvas.
    if (fromX >= toX || fromY >= toY) return;
    drawnBoxes_.push_back({x0 + fromX, y0 + fromY, x0 + toX, y0 + toY});
    const uint32_t pixel = CanvasBytes(colorref);
    for (int32_t gy = fromY; gy < toY; ++gy) {
        const uint8_t* ink = &glyph.ink[static_cast<size_t>(gy) * glyph.width];
        uint8_t* out = canvas_.PixelAt(x0 + fromX, y0 + gy);
        for (int32_t gx = fromX; gx < toX; ++gx, out += 4)
            if (ink[gx]) std::memcpy(out, &pixel, 4);
    }
}

void FreeTypeCaptionRenderer::DrawCentred(const std::string& text, const CanvasRect& rect, uint32_t colorref) {
    drawnBoxes_.clear();
    if (canvas_.empty() || !GlyphFor(' ')) return;
    const CanvasPoint a = ToFrame({rect.left, rect.top}), b = ToFrame({rect.right, rect.bottom});
    const CanvasRect clip = {std::max(a.x, 0), std::max(a.y, 0), std::min(b.x, width_), std::min(b.y, height_)};
    if (clip.left >= clip.right || clip.top >= clip.bottom) return;
    // A line across the clip rectangle, for underline and strike-out.
    const auto rule = [&](int32_t left, int32_t right, int32_t top) {
        drawnBoxes_.push_back(canvas_.FillPixels(std::max(left, clip.left), std::max(top, clip.top),
                                                 std::min(right, clip.right),
                                                 std::min(top + metrics_.lineThickness, clip.bottom), colorref));
    };

    const auto lines = SplitCaption(text);
    for (size_t line = 0; line < lines.size(); ++line) {
        int32_t lineWidth = 0;
        for (const Piece& piece : lines[line]) lineWidth += GlyphFor(piece.codePoint)->advance;
        int32_t x = a.x + (b.x - a.x - lineWidth) / 2;
        const int32_t baseline = a.y + static_cast<int32_t>(line) * metrics_.height + metrics_.ascent;
        if (baseline - metrics_.ascent >= clip.bottom) break;
        for (const Piece& piece : lines[line]) {
            const Glyph& glyph = *GlyphFor(piece.codePoint);
            DrawGlyph(glyph, x, baseline, clip, colorref);
            if (font_.underline || piece.underlined) rule(x, x + glyph.advance, baseline + metrics_.underlineOffset);
            if (font_.strikeOut) rule(x, x + glyph.advance, baseline + metrics_.strikeOffset);
            x += glyph.advance;
        }
    }
}

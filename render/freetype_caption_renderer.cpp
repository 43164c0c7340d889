#include "render/freetype_caption_renderer.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "blend/canvas_runs.h"
#include "platform/utf8.h"
#include "render/freetype_text_runs.h"

namespace {

// Nearest integer of value * num / den, halves away from minus infinity,
// as a coordinate mapping rounds.
int32_t ScaleRounded(int64_t value, int64_t num, int64_t den) {
    const int64_t twice = 2 * value * num + den;
    const int64_t q = twice / (2 * den);
    return static_cast<int32_t>(twice % (2 * den) < 0 ? q - 1 : q);
}

// value * num / den, rounded up, at most what 32 bits hold.
int32_t ScaleUp(int64_t value, int64_t num, int64_t den) {
    return static_cast<int32_t>(std::min<int64_t>((value * num + den - 1) / den, INT32_MAX));
}

// 26.6 to whole pixels, halves up.
int64_t Pixels(int64_t value) { return (value + 32) >> 6; }

// The slant of a synthetic oblique face, as GDI-era renderers use it.
constexpr FT_Fixed kObliqueShear = 0x0366A;  // about 0.21

// How every glyph is loaded, by the shaper for its advances too.
constexpr FT_Int32 kLoadFlags = FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP;

// A line of a caption once prefixes are taken out: "&x" draws x
// underlined, "&&" draws '&', a lone '&' at the end of a line draws nothing.
struct CaptionLine {
    std::u32string text;
    std::vector<uint8_t> underlined;
};

std::vector<CaptionLine> SplitCaption(const std::string& text) {
    std::vector<CaptionLine> lines(1);
    for (size_t i = 0; i < text.size();) {
        const char32_t c = DecodeUtf8(text, i);
        if (c == '\n') {
            lines.emplace_back();
            continue;
        }
        char32_t shown = c;
        bool underlined = false;
        if (c == '&') {
            if (i >= text.size() || text[i] == '\n') continue;
            shown = DecodeUtf8(text, i);
            underlined = shown != '&';
        }
        lines.back().text.push_back(shown);
        lines.back().underlined.push_back(underlined);
    }
    return lines;
}

uint64_t GlyphKey(uint32_t face, FT_UInt index) { return uint64_t{face} << 32 | index; }

}  // namespace

FreeTypeCaptionRenderer::~FreeTypeCaptionRenderer() {
    CloseFaces();
    if (shaping_) hb_buffer_destroy(shaping_);
    if (library_) FT_Done_FreeType(library_);
}

bool FreeTypeCaptionRenderer::CreateContext() {
    if (!library_ && FT_Init_FreeType(&library_) != 0) return false;
    const bool fonts = fonts_.Ready();
    if (!shaping_) {
        shaping_ = hb_buffer_create();
        if (!hb_buffer_allocation_successful(shaping_)) return false;
    }
    return fonts;
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

const std::string& FreeTypeCaptionRenderer::fontFile() const {
    static const std::string none;
    return faces_.empty() ? none : faces_.front().file;
}

bool FreeTypeCaptionRenderer::Open(const std::optional<FontMatch>& match, Face& face) {
    FT_Face opened = nullptr;
    if (!match || FT_New_Face(library_, match->file.c_str(), match->index, &opened) != 0) return false;
    face.face = opened;
    face.file = match->file;
    face.syntheticBold = match->syntheticBold;
    face.syntheticItalic = match->syntheticItalic;
    return true;
}

bool FreeTypeCaptionRenderer::LoadFace() {
    faceWanted_ = false;
    if (!CreateContext()) return false;
    sizedWidth_ = sizedHeight_ = 0;
    // Another size of the same font (a caption shrunk until it fits) keeps
    // the faces open, and what none of them has.
    if (!faces_.empty() && std::strcmp(loaded_.faceName, font_.faceName) == 0 && loaded_.weight == font_.weight &&
        loaded_.italic == font_.italic)
        return true;
    Face loaded;
    if (!Open(fonts_.Match(font_), loaded)) return false;
    CloseFaces();
    faces_.assign(1, std::move(loaded));
    loaded_ = font_;
    uncovered_.clear();
    return true;
}

void FreeTypeCaptionRenderer::CloseFaces() {
    for (Face& face : faces_) {
        if (face.shaper) hb_font_destroy(face.shaper);
        FT_Done_Face(face.face);
    }
    faces_.clear();
}

// Every face draws at the size of the chosen one, on its lines.
void FreeTypeCaptionRenderer::SetSize(Face& face) {
    FT_Set_Char_Size(face.face, emWidth_, emHeight_, 72, 72);
    face.boldExtra = 0;
    if (face.syntheticBold)
        face.boldExtra =
            std::max<FT_Pos>(64, FT_MulFix(face.face->units_per_EM, face.face->size->metrics.y_scale) / 24) & ~63;
    if (face.shaper) hb_ft_font_changed(face.shaper);
}

// A negative height is the character (em) height, a positive one the cell
// height, in canvas units; each axis then scales by its own factor, or
// both by the vertical one when the letters keep their proportions.
bool FreeTypeCaptionRenderer::SizeFace() {
    const FT_Face face = faces_.front().face;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double unitsPerEm = face->units_per_EM ? face->units_per_EM : 1000;
    const double cellUnits = os2 && os2->usWinAscent + os2->usWinDescent > 0
                                 ? double(os2->usWinAscent) + double(os2->usWinDescent)
                                 : double(face->ascender) - double(face->descender);
    double em = 16;
    if (font_.height < 0) em = -double(font_.height);
    if (font_.height > 0) em = font_.height * unitsPerEm / (cellUnits > 0 ? cellUnits : unitsPerEm);
    const double emY = std::max(1.0, em * height_ / kCanvasHeight);
    const double emX = font_.keepProportions ? emY : std::max(1.0, em * width_ / kCanvasWidth);
    emWidth_ = std::lround(emX * 64), emHeight_ = std::lround(emY * 64);
    if (FT_Set_Char_Size(face, emWidth_, emHeight_, 72, 72) != 0) return false;
    for (Face& each : faces_) SetSize(each);

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
    charGlyphs_.clear();
    sizedWidth_ = width_;
    sizedHeight_ = height_;
    return true;
}

// A face loaded and sized for the frame.
bool FreeTypeCaptionRenderer::Ready() {
    if (faceWanted_) LoadFace();
    if (faces_.empty()) return false;
    return (sizedWidth_ == width_ && sizedHeight_ == height_) || SizeFace();
}

// The chosen face when it has the character, else a fallback that has it,
// one already open or the one the matcher finds; the chosen face (and its
// missing-glyph box) when none has it.
uint32_t FreeTypeCaptionRenderer::FaceFor(char32_t c) {
    for (uint32_t i = 0; i < faces_.size(); ++i)
        if (FT_Get_Char_Index(faces_[i].face, c) != 0) return i;
    if (!uncovered_.contains(c) && fonts_.AnyFontHas(c) && LoadFallbackFor(c))
        return static_cast<uint32_t>(faces_.size() - 1);
    uncovered_.insert(c);
    return 0;
}

bool FreeTypeCaptionRenderer::LoadFallbackFor(char32_t c) {
    Face found;
    if (!Open(fonts_.Match(font_, c), found)) return false;
    // The best match may still lack it; so may its face in FreeType.
    if (FT_Get_Char_Index(found.face, c) == 0) {
        FT_Done_Face(found.face);
        return false;
    }
    if (emWidth_ > 0) SetSize(found);
    faces_.push_back(std::move(found));
    return true;
}

std::string FreeTypeCaptionRenderer::FontFileFor(char32_t c) {
    if (faceWanted_) LoadFace();
    if (faces_.empty()) return {};
    return faces_[FaceFor(c)].file;
}

const FreeTypeCaptionRenderer::Glyph& FreeTypeCaptionRenderer::GlyphAt(uint32_t faceIndex, FT_UInt index) {
    const uint64_t key = GlyphKey(faceIndex, index);
    if (const auto found = glyphs_.find(key); found != glyphs_.end()) return found->second;

    Glyph glyph;
    const Face& from = faces_[faceIndex];
    const FT_Face face = from.face;
    FT_GlyphSlot slot = face->glyph;
    if (FT_Load_Glyph(face, index, kLoadFlags) == 0) {
        FT_Pos extra = 0;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            if (from.syntheticBold) {
                extra = from.boldExtra;
                FT_Outline_Embolden(&slot->outline, extra);
            }
            if (from.syntheticItalic) {
                FT_Matrix shear = {0x10000, kObliqueShear, 0, 0x10000};
                FT_Outline_Transform(&slot->outline, &shear);
            }
        }
        glyph.advance = static_cast<int32_t>(Pixels(slot->advance.x + extra));
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
    return glyphs_.emplace(key, std::move(glyph)).first->second;
}

const FreeTypeCaptionRenderer::Glyph& FreeTypeCaptionRenderer::GlyphOf(char32_t c) {
    if (const auto found = charGlyphs_.find(c); found != charGlyphs_.end()) return *found->second;
    const uint32_t face = FaceFor(c);
    const Glyph& glyph = GlyphAt(face, FT_Get_Char_Index(faces_[face].face, c));
    charGlyphs_.emplace(c, &glyph);
    return glyph;
}

hb_font_t* FreeTypeCaptionRenderer::ShaperOf(Face& face) {
    if (!face.shaper) {
        face.shaper = hb_ft_font_create_referenced(face.face);
        hb_ft_font_set_load_flags(face.shaper, kLoadFlags);
    }
    return face.shaper;
}

int64_t FreeTypeCaptionRenderer::LayOutLine() {
    placed_.clear();
    // FriBiDi and HarfBuzz count a line's characters in an int.
    if (line_.size() > size_t{INT32_MAX}) line_.resize(INT32_MAX);
    if (NeedsShaping(line_)) return ShapeLine();
    int64_t x = 0;
    for (size_t i = 0; i < line_.size(); ++i) {
        const Glyph& glyph = GlyphOf(line_[i]);
        placed_.push_back({&glyph, x, 0, x, x + glyph.advance, !underlined_.empty() && underlined_[i]});
        x += glyph.advance;
    }
    return x;
}

// Runs in one face, level and script each, shaped one at a time and placed
// from left to right. Synthetic bold widens every glyph that advances, as
// it widens the glyphs of an unshaped line.
int64_t FreeTypeCaptionRenderer::ShapeLine() {
    lineFaces_.resize(line_.size());
    for (size_t i = 0; i < line_.size(); ++i) {
        const char32_t c = line_[i];
        const FaceChoice choice = i == 0 ? FaceChoice::kOwn : FaceChoiceOf(c);
        const uint32_t previous = i == 0 ? 0 : lineFaces_[i - 1];
        if (choice == FaceChoice::kPrevious ||
            (choice == FaceChoice::kPreviousIfItHasIt && FT_Get_Char_Index(faces_[previous].face, c) != 0))
            lineFaces_[i] = previous;
        else
            lineFaces_[i] = FaceFor(c);
    }

    int64_t pen = 0;
    for (const TextRun& run : VisualRuns(line_, lineFaces_)) {
        Face& face = faces_[run.face];
        hb_buffer_clear_contents(shaping_);
        hb_buffer_add_codepoints(shaping_, reinterpret_cast<const hb_codepoint_t*>(line_.data()),
                                 static_cast<int>(line_.size()), run.start, static_cast<int>(run.end - run.start));
        hb_buffer_set_direction(shaping_, run.level & 1 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script(shaping_, run.script);
        hb_buffer_guess_segment_properties(shaping_);
        hb_shape(ShaperOf(face), shaping_, nullptr, 0);
        unsigned count = 0;
        const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(shaping_, &count);
        const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(shaping_, nullptr);
        for (unsigned k = 0; k < count; ++k) {
            const hb_glyph_position_t& at = positions[k];
            const int64_t advance = at.x_advance + (at.x_advance != 0 ? face.boldExtra : 0);
            const bool underlined = !underlined_.empty() && underlined_[infos[k].cluster];
            placed_.push_back({&GlyphAt(run.face, infos[k].codepoint), Pixels(pen + at.x_offset),
                               static_cast<int32_t>(Pixels(at.y_offset)), Pixels(pen), Pixels(pen + advance),
                               underlined});
            pen += advance;
        }
    }
    return Pixels(pen);
}

TextExtent FreeTypeCaptionRenderer::MeasureLine(const char* text, size_t length) {
    if (!Ready()) return {0, 0};
    const std::string_view line(text, length);
    line_.clear();
    underlined_.clear();
    for (size_t i = 0; i < line.size();) line_.push_back(DecodeUtf8(line, i));
    const int64_t width = LayOutLine();
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

void FreeTypeCaptionRenderer::DrawGlyph(const Glyph& glyph, int64_t x, int64_t baseline, const CanvasRect& clip,
                                        uint32_t colorref) {
    const int64_t left = x + glyph.left, top = baseline - glyph.top;
    // A glyph wholly beside the clip has no first pixel to address: on the
    // last row that address would lie past the canvas. One that is not
    // starts within a glyph's size of the clip, in 32 bits.
    if (left >= clip.right || left + glyph.width <= clip.left || top >= clip.bottom || top + glyph.rows <= clip.top)
        return;
    const auto x0 = static_cast<int32_t>(left), y0 = static_cast<int32_t>(top);
    const int32_t fromX = std::max(clip.left - x0, 0), toX = std::min(clip.right - x0, glyph.width);
    const int32_t fromY = std::max(clip.top - y0, 0), toY = std::min(clip.bottom - y0, glyph.rows);
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
    if (canvas_.empty() || !Ready()) return;
    const CanvasPoint a = ToFrame({rect.left, rect.top}), b = ToFrame({rect.right, rect.bottom});
    const CanvasRect clip = {std::max(a.x, 0), std::max(a.y, 0), std::min(b.x, width_), std::min(b.y, height_)};
    if (clip.left >= clip.right || clip.top >= clip.bottom) return;
    // A line across the clip rectangle, for underline and strike-out.
    const auto rule = [&](int64_t left, int64_t right, int64_t top) {
        const auto within = [](int64_t value, int32_t low, int32_t high) {
            return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
        };
        drawnBoxes_.push_back(
            canvas_.FillPixels(within(left, clip.left, clip.right), within(top, clip.top, clip.bottom),
                               within(right, clip.left, clip.right),
                               within(top + metrics_.lineThickness, clip.top, clip.bottom), colorref));
    };

    std::vector<CaptionLine> lines = SplitCaption(text);
    for (size_t line = 0; line < lines.size(); ++line) {
        line_.swap(lines[line].text);
        underlined_.swap(lines[line].underlined);
        const int64_t lineWidth = LayOutLine();
        const int64_t x = a.x + (int64_t{b.x} - a.x - lineWidth) / 2;
        const int64_t baseline = a.y + static_cast<int64_t>(line) * metrics_.height + metrics_.ascent;
        if (baseline - metrics_.ascent >= clip.bottom) break;
        for (const PlacedGlyph& placed : placed_) {
            DrawGlyph(*placed.glyph, x + placed.x, baseline - placed.rise, clip, colorref);
            if (font_.underline || placed.underlined)
                rule(x + placed.ruleLeft, x + placed.ruleRight, baseline + metrics_.underlineOffset);
            if (font_.strikeOut) rule(x + placed.ruleLeft, x + placed.ruleRight, baseline + metrics_.strikeOffset);
        }
    }
}

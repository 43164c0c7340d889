#include "render/freetype_caption_renderer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kBackground = 0x202020;
constexpr uint32_t kText = 0x00A0FF;  // orange, as a COLORREF
constexpr CanvasRect kCaption = {200, 100, 568, 300};

struct InkBox {
    int32_t left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    int64_t pixels = 0;
};

class FreeTypeRenderer : public ::testing::Test {
protected:
    void Start(int32_t width, int32_t height) {
        ASSERT_TRUE(renderer.CreateContext());
        canvas = renderer.StartCanvas(width, height);
        ASSERT_NE(canvas, nullptr);
        frameWidth = width, frameHeight = height;
        renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, kBackground);
    }
    CaptionFont Font(const char* name = "Arial", int32_t height = -40) {
        CaptionFont font = {};
        std::strncpy(font.faceName, name, sizeof font.faceName - 1);
        font.height = height;
        font.weight = 400;
        font.charSet = 204;
        return font;
    }
    uint32_t Pixel(int32_t x, int32_t y) const {
        uint32_t bgr = 0;
        std::memcpy(&bgr, canvas + (size_t(y) * frameWidth + x) * 4, 4);
        return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);  // back to a COLORREF
    }
    // Where the canvas is no longer background; every such pixel must be
    // exactly the text colour.
    InkBox Ink() {
        InkBox box;
        for (int32_t y = 0; y < frameHeight; ++y)
            for (int32_t x = 0; x < frameWidth; ++x) {
                const uint32_t pixel = Pixel(x, y);
                if (pixel == kBackground) continue;
                EXPECT_EQ(pixel, kText) << "at " << x << "," << y;
                box.left = std::min(box.left, x), box.right = std::max(box.right, x + 1);
                box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y + 1);
                ++box.pixels;
            }
        return box;
    }
    std::vector<uint8_t> Snapshot() const { return {canvas, canvas + size_t(frameWidth) * frameHeight * 4}; }

    // Which pixels a line alone inks, and the columns they span.
    struct Drawing {
        std::vector<uint8_t> ink;
        int32_t left, right;
    };
    Drawing Draw(const std::string& text, const CanvasRect& rect = kCaption) {
        renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, kBackground);
        renderer.DrawCentred(text, rect, kText);
        Drawing drawing = {std::vector<uint8_t>(size_t(frameWidth) * frameHeight), INT32_MAX, -1};
        for (int32_t y = 0; y < frameHeight; ++y)
            for (int32_t x = 0; x < frameWidth; ++x)
                if (Pixel(x, y) != kBackground) {
                    drawing.ink[size_t(y) * frameWidth + x] = 1;
                    drawing.left = std::min(drawing.left, x), drawing.right = std::max(drawing.right, x + 1);
                }
        return drawing;
    }
    // Whether a line's ink begins (or ends) with every pixel of a glyph's:
    // both are drawn on the same baseline, the glyph's columns laid over
    // the line's first (last) ones.
    bool Holds(const Drawing& line, const Drawing& glyph, bool atRight) const {
        if (glyph.right < 0 || line.right < 0) return false;
        const int32_t width = glyph.right - glyph.left, from = atRight ? line.right - width : line.left;
        for (int32_t y = 0; y < frameHeight; ++y)
            for (int32_t dx = 0; dx < width; ++dx)
                if (glyph.ink[size_t(y) * frameWidth + glyph.left + dx] &&
                    (from + dx < 0 || !line.ink[size_t(y) * frameWidth + from + dx]))
                    return false;
        return true;
    }

    FreeTypeCaptionRenderer renderer;
    uint8_t* canvas = nullptr;
    int32_t frameWidth = 0, frameHeight = 0;
};

TEST_F(FreeTypeRenderer, DrawsTwoLinesInTheTextColourOnlyInsideTheRectangle) {
    Start(720, 576);
    renderer.SetFont(Font());
    renderer.DrawCentred("niece\nплемянница", kCaption, kText);
    const InkBox ink = Ink();
    ASSERT_GT(ink.pixels, 0);
    const CanvasPoint a = renderer.ToFrame({kCaption.left, kCaption.top});
    const CanvasPoint b = renderer.ToFrame({kCaption.right, kCaption.bottom});
    EXPECT_GE(ink.left, a.x);
    EXPECT_LE(ink.right, b.x);
    EXPECT_GE(ink.top, a.y);
    const int32_t lineHeight = renderer.MeasureLine("n", 1).height;
    EXPECT_GT(ink.bottom, a.y + lineHeight * frameHeight / kCanvasHeight) << "the second line is drawn below the first";
    // Both lines are centred on the rectangle.
    EXPECT_NEAR((ink.left + ink.right) / 2, (a.x + b.x) / 2, 3);
}

TEST_F(FreeTypeRenderer, ClipsToTheRectangle) {
    Start(720, 576);
    renderer.SetFont(Font("Arial", -80));
    const CanvasRect narrow = {300, 200, 340, 230};
    renderer.DrawCentred("WWWWWWWW\nWWWW", narrow, kText);
    const InkBox ink = Ink();
    ASSERT_GT(ink.pixels, 0);
    const CanvasPoint a = renderer.ToFrame({narrow.left, narrow.top});
    const CanvasPoint b = renderer.ToFrame({narrow.right, narrow.bottom});
    EXPECT_GE(ink.left, a.x);
    EXPECT_LE(ink.right, b.x);
    EXPECT_GE(ink.top, a.y);
    EXPECT_LE(ink.bottom, b.y);
}

// A line wider than its rectangle in the canvas's bottom-right corner: the
// glyphs past the right edge stand on the last row, where even the address
// of their first pixel lies past the end of the canvas.
TEST_F(FreeTypeRenderer, GlyphsPastTheCornerAreLeftOut) {
    Start(720, 576);
    renderer.SetFont(Font("Arial", -80));
    const CanvasRect corner = {700, 540, kCanvasWidth, kCanvasHeight};
    renderer.DrawCentred("WWWWWWWWWWWW", corner, kText);
    const InkBox ink = Ink();
    ASSERT_GT(ink.pixels, 0);
    EXPECT_EQ(ink.bottom, frameHeight) << "the glyphs reach the last row";
    EXPECT_GE(ink.left, renderer.ToFrame({corner.left, corner.top}).x);
}

TEST_F(FreeTypeRenderer, ScalesEachAxisFromTheCanvasToTheFrame) {
    struct Size {
        int32_t width, height;
    };
    std::vector<InkBox> boxes;
    for (const Size size : {Size{768, 576}, Size{1536, 576}, Size{768, 1152}, Size{1920, 1080}}) {
        Start(size.width, size.height);
        EXPECT_EQ(renderer.ToFrame({768, 576}).x, size.width);
        EXPECT_EQ(renderer.ToFrame({768, 576}).y, size.height);
        EXPECT_EQ(renderer.ToFrame({384, 288}).x, size.width / 2);
        EXPECT_EQ(renderer.ToFrame({100, 0}).x, (100 * size.width + 384) / 768);
        renderer.SetFont(Font());
        renderer.DrawCentred("HHHH", {0, 0, kCanvasWidth, kCanvasHeight}, kText);
        boxes.push_back(Ink());
        // Measuring answers in canvas units whatever the frame size.
        EXPECT_NEAR(renderer.MeasureLine("HHHH", 4).width, boxes[0].right - boxes[0].left, 6);
    }
    const auto width = [](const InkBox& box) { return double(box.right - box.left); };
    const auto height = [](const InkBox& box) { return double(box.bottom - box.top); };
    EXPECT_NEAR(width(boxes[1]) / width(boxes[0]), 2.0, 0.1);
    EXPECT_NEAR(height(boxes[1]) / height(boxes[0]), 1.0, 0.1);
    EXPECT_NEAR(width(boxes[2]) / width(boxes[0]), 1.0, 0.1);
    EXPECT_NEAR(height(boxes[2]) / height(boxes[0]), 2.0, 0.1);
    EXPECT_NEAR(width(boxes[3]) / width(boxes[0]), 2.5, 0.15);
    EXPECT_NEAR(height(boxes[3]) / height(boxes[0]), 1.875, 0.15);
}

TEST_F(FreeTypeRenderer, AmpersandUnderlinesTheNextCharacterAndDoubledDrawsItself) {
    Start(720, 576);
    renderer.SetFont(Font());
    renderer.DrawCentred("&x", kCaption, kText);
    const std::vector<uint8_t> prefixed = Snapshot();
    renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, kBackground);
    CaptionFont underlined = Font();
    underlined.underline = 1;
    renderer.SetFont(underlined);
    renderer.DrawCentred("x", kCaption, kText);
    EXPECT_EQ(Snapshot(), prefixed);

    renderer.SetFont(Font());
    renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, kBackground);
    renderer.DrawCentred("&", kCaption, kText);
    EXPECT_EQ(Ink().pixels, 0) << "a lone '&' at the end draws nothing";
    renderer.DrawCentred("&&", kCaption, kText);
    const InkBox ampersand = Ink();
    EXPECT_GT(ampersand.pixels, 0);
    EXPECT_NEAR(ampersand.right - ampersand.left, renderer.MeasureLine("&", 1).width * 720 / 768, 4);
}

TEST_F(FreeTypeRenderer, WeightItalicAndStrikeOutChangeTheGlyphs) {
    Start(720, 576);
    const auto inkOf = [&](const CaptionFont& font) {
        renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, kBackground);
        renderer.SetFont(font);
        renderer.DrawCentred("Milk", kCaption, kText);
        return std::make_pair(Ink(), Snapshot());
    };
    const auto plain = inkOf(Font());
    CaptionFont bold = Font();
    bold.weight = 700;
    CaptionFont italic = Font();
    italic.italic = 1;
    CaptionFont struck = Font();
    struck.strikeOut = 1;
    EXPECT_GT(inkOf(bold).first.pixels, plain.first.pixels * 11 / 10);
    EXPECT_NE(inkOf(italic).second, plain.second);
    const auto strike = inkOf(struck);
    EXPECT_GT(strike.first.pixels, plain.first.pixels);
    EXPECT_EQ(strike.first.top, plain.first.top) << "the line crosses the letters, not above them";
}

TEST_F(FreeTypeRenderer, UnknownFaceFallsBackToARealFont) {
    Start(720, 576);
    renderer.SetFont(Font("No Such Face At All"));
    renderer.DrawCentred("word", kCaption, kText);
    EXPECT_FALSE(renderer.fontFile().empty());
    EXPECT_GT(Ink().pixels, 0);
    EXPECT_GT(renderer.MeasureLine("word", 4).width, 0);
}

// One character alone, drawn at the canvas's centre.
std::vector<uint8_t> GlyphOf(FreeTypeCaptionRenderer& renderer, uint8_t* canvas, size_t size, const char* character) {
    renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, kBackground);
    renderer.DrawCentred(character, kCaption, kText);
    return {canvas, canvas + size};
}

// No character of German, French or Greek comes out as the missing-glyph
// box (what an unassigned code point draws); Georgian, which Arial's stand-in
// lacks, comes from another face that fontconfig finds for it.
TEST_F(FreeTypeRenderer, EveryCharacterIsDrawnNoneAsTheMissingGlyphBox) {
    Start(720, 576);
    renderer.SetFont(Font());
    const size_t size = size_t(frameWidth) * frameHeight * 4;
    const std::vector<uint8_t> blank = GlyphOf(renderer, canvas, size, " ");
    const std::vector<uint8_t> missing = GlyphOf(renderer, canvas, size, "\u0378");
    ASSERT_NE(missing, blank);
    for (const char* character :
         {"ß", "Ä", "Ö", "ü", "œ", "ç", "é", "è", "ï", "ù", "ε", "λ", "π", "ί", "Σ", "Ό", "ς", "ძ", "ა", "ღ"}) {
        const std::vector<uint8_t> glyph = GlyphOf(renderer, canvas, size, character);
        EXPECT_NE(glyph, blank) << character;
        EXPECT_NE(glyph, missing) << character;
    }
    EXPECT_EQ(renderer.FontFileFor(U'ß'), renderer.fontFile());
    EXPECT_EQ(renderer.FontFileFor(U'λ'), renderer.fontFile());
    EXPECT_NE(renderer.FontFileFor(U'ა'), renderer.fontFile()) << "Georgian comes from a fallback";
    EXPECT_FALSE(renderer.FontFileFor(U'ა').empty());
}

// A fallback's glyphs stand on the chosen face's lines and are measured
// with the rest, at every frame size.
TEST_F(FreeTypeRenderer, FallbackGlyphsAreMeasuredAndScaled) {
    Start(720, 576);
    renderer.SetFont(Font());
    const int32_t narrow = renderer.MeasureLine("ძაღლი", std::strlen("ძაღლი")).width;
    EXPECT_GT(narrow, renderer.MeasureLine("ძა", std::strlen("ძა")).width);
    EXPECT_EQ(renderer.MeasureLine("ძაღლი", std::strlen("ძაღლი")).height, renderer.MeasureLine("dog", 3).height);
    renderer.DrawCentred("ძაღლი", kCaption, kText);
    const InkBox small = Ink();
    Start(1440, 576);
    renderer.DrawCentred("ძაღლი", kCaption, kText);
    const InkBox wide = Ink();
    EXPECT_NEAR(double(wide.right - wide.left) / (small.right - small.left), 2.0, 0.1);
    EXPECT_NEAR(renderer.MeasureLine("ძაღლი", std::strlen("ძაღლი")).width, narrow, 3);
}

// The first character of a right-to-left line stands at its right end; a
// left-to-right word inside keeps its own order, whichever direction the
// line takes from its first letter.
TEST_F(FreeTypeRenderer, RightToLeftLinesRunFromTheRight) {
    Start(768, 576);
    renderer.SetFont(Font("Arial", -60));
    const Drawing samekh = Draw("ס"), resh = Draw("ר"), b = Draw("b");
    const Drawing hebrew = Draw("ספר");
    EXPECT_TRUE(Holds(hebrew, samekh, true));
    EXPECT_TRUE(Holds(hebrew, resh, false));
    for (const char* mixed : {"ספר book", "book ספר"}) {
        const Drawing line = Draw(mixed);
        EXPECT_TRUE(Holds(line, samekh, true)) << mixed;
        EXPECT_TRUE(Holds(line, b, false)) << mixed;
    }
}

// Joined, kaf takes its initial form at the right end (as a joiner after
// it forces), not its isolated one, and the word is narrower than its
// letters kept apart by non-joiners.
TEST_F(FreeTypeRenderer, ArabicLettersJoin) {
    Start(768, 576);
    renderer.SetFont(Font("Arial", -60));
    const Drawing word = Draw("كتاب");
    EXPECT_TRUE(Holds(word, Draw("ك\u200D"), true));
    EXPECT_FALSE(Holds(word, Draw("ك"), true));
    const std::string apart = "ك\u200Cت\u200Cا\u200Cب";
    EXPECT_LT(renderer.MeasureLine("كتاب", std::strlen("كتاب")).width,
              renderer.MeasureLine(apart.data(), apart.size()).width);
}

// The vowel sign i is written after its consonant and drawn before it.
TEST_F(FreeTypeRenderer, DevanagariVowelSignIStandsLeftOfItsConsonant) {
    Start(768, 576);
    renderer.SetFont(Font("Arial", -60));
    const Drawing ka = Draw("क"), ki = Draw("कि");
    EXPECT_TRUE(Holds(ki, ka, true));
    EXPECT_GT(ki.right - ki.left, ka.right - ka.left);
}

// Above the nikhahit of sara am the tone mark climbs higher than it stands
// on the bare consonant.
TEST_F(FreeTypeRenderer, ThaiMarksStack) {
    Start(768, 576);
    renderer.SetFont(Font("Arial", -60));
    const auto top = [&](const char* text) {
        Draw(text);
        return Ink().top;
    };
    EXPECT_LT(top("น้ำ"), top("น้"));
}

// Unassigned, the character has no face: the chosen face's missing-glyph
// box stands for it, here left of a right-to-left word.
TEST_F(FreeTypeRenderer, ACharacterNoFaceHasDrawsTheMissingGlyphBox) {
    Start(768, 576);
    renderer.SetFont(Font("Arial", -60));
    const Drawing box = Draw("\u0378");
    ASSERT_GT(box.right, box.left);
    EXPECT_TRUE(Holds(Draw("ספר\u0378"), box, false));
}

// Lines of Latin, Greek and Cyrillic letters are drawn glyph by glyph by
// their advances, unkerned, as they always were; a joiner, which the shaper
// hides, takes no room.
TEST_F(FreeTypeRenderer, UnshapedLinesKeepTheirGlyphsAdvances) {
    Start(768, 576);
    renderer.SetFont(Font("Arial", -60));
    const auto width = [&](const std::string& text) { return renderer.MeasureLine(text.data(), text.size()).width; };
    for (const char* pair : {"AV", "ΑΥ", "ГА"})
        EXPECT_EQ(width(pair), width(std::string(pair, std::strlen(pair) / 2)) + width(pair + std::strlen(pair) / 2))
            << pair;
    EXPECT_EQ(width("a\u2060b"), width("ab"));
}

// Measuring lays a line out as drawing does: the underline spans exactly
// the measured width, centred, at any frame size and either scaling (the
// spaces keep glyph ink off the underline's ends).
TEST_F(FreeTypeRenderer, MeasuredWidthIsTheWidthDrawn) {
    struct Frame {
        int32_t width, height;
        bool keepProportions;
    };
    const CanvasRect wide = {0, 100, kCanvasWidth, 400};
    for (const Frame frame : {Frame{768, 576, false}, Frame{1280, 720, false}, Frame{1280, 720, true}})
        for (const char* text :
             {" Straße ", " племянница ", " ספר ", " كتاب ", " किताब ", " หนังสือ ", " ספר book ", " \u0378 "}) {
            SCOPED_TRACE(testing::Message() << frame.width << "x" << frame.height << " " << text);
            Start(frame.width, frame.height);
            CaptionFont font = Font("Arial", -50);
            font.keepProportions = frame.keepProportions;
            renderer.SetFont(font);
            const Drawing plain = Draw(text, wide);
            font.underline = 1;
            renderer.SetFont(font);
            const Drawing underlined = Draw(text, wide);
            int32_t left = INT32_MAX, right = -1;
            for (size_t i = 0; i < plain.ink.size(); ++i)
                if (underlined.ink[i] != plain.ink[i]) {
                    const int32_t x = int32_t(i % frameWidth);
                    left = std::min(left, x), right = std::max(right, x + 1);
                }
            const int32_t measured = renderer.MeasureLine(text, std::strlen(text)).width;
            EXPECT_EQ(measured, (int64_t(right - left) * kCanvasWidth + frameWidth - 1) / frameWidth);
            EXPECT_EQ(left, (frameWidth - (right - left)) / 2);
        }
}

// Kept in proportion, letters have the shape they have on the canvas's own
// 768 x 576 whatever the frame's shape.
TEST_F(FreeTypeRenderer, KeptProportionsScaleGlyphsByTheVerticalFactorOnly) {
    const auto aspect = [&](int32_t width, int32_t height, bool keep) {
        Start(width, height);
        CaptionFont font = Font();
        font.keepProportions = keep;
        renderer.SetFont(font);
        renderer.DrawCentred("HHHH", {0, 0, kCanvasWidth, kCanvasHeight}, kText);
        const InkBox ink = Ink();
        return double(ink.right - ink.left) / (ink.bottom - ink.top);
    };
    const double square = aspect(768, 576, true);
    EXPECT_NEAR(aspect(1280, 720, true) / square, 1.0, 0.05);
    EXPECT_NEAR(aspect(720, 1280, true) / square, 1.0, 0.05);
}

TEST_F(FreeTypeRenderer, DrawsNothingWithoutACanvas) {
    ASSERT_TRUE(renderer.CreateContext());
    renderer.SetFont(Font());
    renderer.DrawCentred("word", kCaption, kText);
    renderer.Fill(kCaption, kText);
    EXPECT_EQ(renderer.ToFrame({384, 288}).x, 384) << "one to one until there is a frame";
    EXPECT_GT(renderer.MeasureLine("word", 4).width, 0);
}

}  // namespace

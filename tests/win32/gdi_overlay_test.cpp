// The overlay on real GDI: fonts, DrawText into the DIB section, the
// anisotropic mapping, then the kernels into real frames.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/utf8.h"
#include "plugin/host_callbacks.h"
#include "render/gdi_caption_renderer.h"
#include "tests/support/frame_pixels.h"
#include "tests/support/overlay_internals.h"
#include "tests/support/test_instance.h"

namespace {

std::unique_ptr<PluginInstance> GdiInstance() {
    InstanceParts parts;
    parts.renderer = std::make_unique<GdiCaptionRenderer>();
    return MakeTestInstance(std::move(parts));
}

class GdiOverlay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(renderer.CreateContext());
        SetBuiltinEntries(*plugin, {{"dog", "собака"}, {"cat", "кошка"}});
    }
    void TearDown() override { plugin->StreamStop(); }

    std::vector<uint8_t> DrawOne(int32_t width, int32_t height, int32_t pixelFormat) {
        const StreamFormat format = {width, height, 0, pixelFormat};
        EXPECT_EQ(host::StreamStart(*plugin, &format), 1);
        grey.assign(size_t(width) * height * (pixelFormat == 0 ? 2 : 3), 0x40);
        if (pixelFormat == 0)
            for (size_t i = 1; i < grey.size(); i += 2) grey[i] = 128;
        std::vector<uint8_t> pixels = grey;
        FrameRecord record = {pixels.data()};
        EXPECT_EQ(host::ProcessFrame(*plugin, &record), 1);
        return pixels;
    }

    RECT FrameRect() {
        const CanvasRect r = OverlayEngineInternals::CaptionRect(OverlayOf(*plugin));
        const CanvasPoint a = renderer.ToFrame({r.left, r.top}), b = renderer.ToFrame({r.right, r.bottom});
        return {a.x, a.y, b.x, b.y};
    }

    int32_t TextHeight() {
        const CanvasRect r = OverlayEngineInternals::TextRect(OverlayOf(*plugin));
        return r.bottom - r.top;
    }

    SettingsRecord Working() const { return plugin->Settings(); }
    template <class Change>
    void Set(Change change) {
        SetWorking(*plugin, change);
    }

    std::unique_ptr<PluginInstance> plugin = GdiInstance();
    // What the tests look at, under the names the engine gives them.
    GdiCaptionRenderer& renderer = dynamic_cast<GdiCaptionRenderer&>(*OverlayOf(*plugin).renderer());
    std::vector<uint8_t> grey;
};

TEST_F(GdiOverlay, KeyedTextReplacesOnlyGlyphPixelsWithTheTextColour) {
    const std::vector<uint8_t> pixels = DrawOne(720, 576, 1);
    ExpectOnlyColours(pixels, 720, {0x404040, 0x00A0FF});  // the grey and TextColor: no anti-aliasing
    const RECT r = FrameRect();
    EXPECT_TRUE(ChangesFrom(pixels, 720, 0x404040).Within(r.left, r.top, r.right, r.bottom));
    const int32_t middle = (r.top + r.bottom) / 2;
    EXPECT_GT(ChangesFrom(pixels, 720, 0x404040, 0, middle).count, 50) << "the word line";
    EXPECT_GT(ChangesFrom(pixels, 720, 0x404040, middle).count, 50) << "the translation line";
    EXPECT_GT(TextHeight(), 70);  // two lines of a 40-unit font
    EXPECT_LT(TextHeight(), 110);
}

TEST_F(GdiOverlay, CanvasMapsOntoAnyFrameSize) {
    DrawOne(1536, 1152, 1);
    const CanvasRect c = OverlayEngineInternals::CaptionRect(OverlayOf(*plugin));
    const RECT r = FrameRect();
    EXPECT_EQ(r.left, c.left * 2);
    EXPECT_EQ(r.bottom, c.bottom * 2);
    DrawOne(384, 288, 0);
    EXPECT_EQ(renderer.ToFrame({768, 576}).x, 384);
    EXPECT_EQ(renderer.ToFrame({768, 576}).y, 288);
}

TEST_F(GdiOverlay, Yuy2ChangesStayInsideTheCaption) {
    const std::vector<uint8_t> pixels = DrawOne(720, 576, 0);
    const RECT r = FrameRect();
    int changed = 0;
    for (LONG y = 0; y < 576; ++y)
        for (LONG x = 0; x < 720; ++x) {
            const size_t i = (size_t(y) * 720 + x) * 2;
            if (pixels[i] == grey[i] && pixels[i + 1] == grey[i + 1]) continue;
            ++changed;
            // A chroma byte may change one column left of an odd edge.
            ASSERT_TRUE(x >= (r.left & ~1) && x < r.right + 1 && y >= r.top && y < r.bottom) << x << "," << y;
        }
    EXPECT_GT(changed, 100);
}

TEST_F(GdiOverlay, FontChangesTakeEffectForTheNextEntry) {
    DrawOne(720, 576, 1);
    const int32_t normalHeight = TextHeight();
    Set([&](SettingsRecord& s) { s.FontSize = -80; });
    Set([&](SettingsRecord& s) {
        s.FontName = std::string(60, 'X');
    });  // cut to 31 characters, falls back to a real face
    OverlayOf(*plugin).CreateCaptionFont();
    OverlayEngineInternals::MakeNextFrameDue(OverlayOf(*plugin));
    std::vector<uint8_t> pixels = grey;
    FrameRecord record = {pixels.data()};
    EXPECT_EQ(host::ProcessFrame(*plugin, &record), 1);
    EXPECT_GT(TextHeight(), normalHeight * 3 / 2);
}

// DrawText does not say where it drew: the engine finds it on the DIB, and
// its runs hold every pixel that differs from the background, glyphs that
// lean out of their cells and underlines too.
TEST_F(GdiOverlay, CaptionRunsHoldEveryPixelDrawTextDrew) {
    Set([&](SettingsRecord& s) {
        s.ShowFreqFrom = s.ShowFreqTo = 1;
        s.BackColor = 0x203040;
    });
    for (int i = 0; i < 6; ++i) {
        Set([&](SettingsRecord& s) {
            s.FontItalic = i % 2;
            s.FontUnderline = i % 3 == 0;
            s.FontSize = i < 3 ? -40 : -90;
        });
        const std::vector<uint8_t> pixels = DrawOne(i < 3 ? 720 : 1920, i < 3 ? 576 : 1080, i % 2);
        ASSERT_NE(pixels, grey) << i;
        EXPECT_EQ(PixelsOutsideCaptionRuns(*plugin), 0) << i;
    }
}

// Where one character, drawn alone in the caption font, puts text colour.
using Ink = std::set<std::pair<int32_t, int32_t>>;
Ink InkOf(CaptionRenderer& renderer, const uint8_t* canvas, const std::string& character) {
    constexpr int32_t kWidth = 768, kHeight = 576;
    renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, 0xFFFFFF);
    renderer.DrawCentred(character, {0, 0, kCanvasWidth, kCanvasHeight}, 0x000000);
    Ink ink;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x)
            if (canvas[(size_t(y) * kWidth + x) * 4] == 0) ink.emplace(x, y);
    return ink;
}

// No character of German, French or Greek comes out as the missing-glyph
// box: each one's ink is its own, unlike that of an unassigned code point.
// Georgian is not in Windows' Arial: it comes from a font that Uniscribe
// or the system's links find for it. (In the test prefix Arial is DejaVu
// Sans, which has it.)
TEST_F(GdiOverlay, EveryCharacterIsDrawnNoneAsTheMissingGlyphBox) {
    const uint8_t* canvas = renderer.StartCanvas(768, 576);
    ASSERT_NE(canvas, nullptr);
    renderer.SetFont(CaptionFontFrom(Working()));
    const Ink missing = InkOf(renderer, canvas, "\u0378");
    ASSERT_FALSE(missing.empty());
    const std::string text = "Straße Äpfel Öl Übung œuvre façade élève où naïf ελπίδα ΣΟΦΌΣ ς ძაღლი";
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        if (DecodeUtf8(text, i) == U' ') continue;
        const std::string character = text.substr(start, i - start);
        const Ink ink = InkOf(renderer, canvas, character);
        EXPECT_FALSE(ink.empty()) << character;
        EXPECT_NE(ink, missing) << character;
    }
}

TEST_F(GdiOverlay, StreamsCanStartAndStopRepeatedly) {
    for (int i = 0; i < 20; ++i) {
        DrawOne(64 + i * 8, 48 + i * 6, i % 2);
        plugin->StreamStop();
    }
}

}  // namespace

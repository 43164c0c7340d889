// Captions the Linux plug-in draws with FreeType in the look the element
// starts from: their shape on frames of any shape, and long entries drawn
// whole on a small frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "render/freetype_caption_renderer.h"
#include "settings/settings_table.h"
#include "tests/support/overlay_internals.h"
#include "tests/support/test_instance.h"

namespace {

constexpr uint8_t kGrey = 0x40;

struct Box {
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    void Add(int32_t x, int32_t y) {
        left = std::min(left, x), top = std::min(top, y), right = std::max(right, x + 1),
        bottom = std::max(bottom, y + 1);
    }
    double Ratio() const { return double(right - left) / (bottom - top); }
};

class FreeTypeCaptions : public ::testing::Test {
protected:
    void SetUp() override {
        InstanceParts parts;
        parts.renderer = std::make_unique<FreeTypeCaptionRenderer>();
        plugin = MakeTestInstance(std::move(parts));
        OverlayOf(*plugin).CreateRenderContext();
        SetWorking(*plugin, [](SettingsRecord& s) {
            for (const SettingDescriptor& row : settingsTable) ApplyDefault(row, s, Defaults::kFresh);
            s.ShowFreqFrom = s.ShowFreqTo = 1;
            s.RulesType = kOrderAtoZ;
        });
    }
    void TearDown() override { plugin->StreamStop(); }

    // One grey BGR frame through the plug-in, returned bottom row first as
    // the host gives it.
    std::vector<uint8_t> Frame(int32_t width, int32_t height) {
        EXPECT_EQ(plugin->StreamStart({width, height, FrameFormat::kBgr}), 1);
        std::vector<uint8_t> pixels(size_t(width) * height * 3, kGrey);
        EXPECT_EQ(plugin->ProcessFrame(HostRgb24Frame(pixels.data(), width, height)), 1);
        return pixels;
    }
    // Pixels of the canvas in the letters' colour.
    int64_t LetterPixels(int32_t width, int32_t height) const {
        const uint8_t* canvas = OverlayEngineInternals::Canvas(OverlayOf(*plugin)).bits;
        int64_t count = 0;
        for (size_t i = 0; i < size_t(width) * height; ++i)
            count += canvas[4 * i] == 0xFF && canvas[4 * i + 1] == 0xFF && canvas[4 * i + 2] == 0xFF;
        return count;
    }

    std::unique_ptr<PluginInstance> plugin;
};

// The letters and the box round them (outline and padding included) keep
// their width over height on wide, standard and tall frames. The entry fits
// the tall frame: one that must shrink keeps its letters' shape, but its
// padding, kept, grows against them.
TEST_F(FreeTypeCaptions, KeepTheirShapeOnFramesOfEveryShape) {
    SetBuiltinEntries(*plugin, {{"cat", "\xEA\xEE\xF8\xEA\xE0"}});  // кошка, Windows-1251: it fits 720 pixels
    SetWorking(*plugin, [](SettingsRecord& s) { s.RndStringPos = 0, s.StringPosX = 384, s.StringPosY = 288; });
    ASSERT_EQ(plugin->Settings().KeepProportions, 1);
    std::vector<double> letters, boxes;
    for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{{768, 576}, {1280, 720}, {720, 1280}}) {
        const std::vector<uint8_t> pixels = Frame(w, h);
        Box ink, box;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint8_t* p = &pixels[(size_t(y) * w + x) * 3];
                if (p[0] != kGrey) box.Add(x, y);
                if (p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF) ink.Add(x, y);
            }
        ASSERT_LT(box.left, box.right) << w << "x" << h;
        ASSERT_LT(ink.left, ink.right) << w << "x" << h;
        letters.push_back(ink.Ratio());
        boxes.push_back(box.Ratio());
    }
    for (const std::vector<double>* ratios : {&letters, &boxes}) {
        const auto [low, high] = std::minmax_element(ratios->begin(), ratios->end());
        EXPECT_LT(*high / *low, 1.05) << (*ratios)[0] << " " << (*ratios)[1] << " " << (*ratios)[2];
    }
}

// A 60-character entry on a 640x360 frame is wrapped, not shrunk or cut:
// every letter is drawn with all its pixels, in the font asked for, and the
// caption keeps off the frame's edges.
TEST_F(FreeTypeCaptions, SixtyCharacterEntryIsDrawnWholeOnASmallFrame) {
    const std::string word = "a rather long entry that goes well past both edges of frames";
    ASSERT_EQ(word.size(), 60u);
    SetBuiltinEntries(*plugin, {{word, "x"}, {word, "x"}});  // the walk starts after entry 0
    SetWorking(*plugin, [](SettingsRecord& s) { s.RndStringPos = 0, s.StringPosX = 0, s.StringPosY = 0; });
    constexpr int32_t w = 640, h = 360;
    const std::vector<uint8_t> pixels = Frame(w, h);

    // Each letter alone in the same font: glyphs are drawn from the same
    // bitmaps wherever they stand, so the caption holds their sum, unless a
    // letter was cut, left out or drawn smaller.
    FreeTypeCaptionRenderer alone;
    ASSERT_TRUE(alone.CreateContext());
    uint8_t* canvas = alone.StartCanvas(w, h);
    alone.SetFont(CaptionFontFrom(plugin->Settings()));
    int64_t wanted = 0;
    for (const char c : word + "x") {
        alone.Fill({0, 0, kCanvasWidth, kCanvasHeight}, 0);
        alone.DrawCentred(std::string(1, c), {0, 0, kCanvasWidth, kCanvasHeight}, 0xFFFFFF);
        for (size_t i = 0; i < size_t(w) * h; ++i) wanted += canvas[4 * i] == 0xFF;
    }
    EXPECT_EQ(LetterPixels(w, h), wanted);

    // Letters and outline, not the box's padding, keep off the frame's edges.
    const uint8_t box = plugin->Settings().BackColor & 0xFF;
    Box ink;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            if (const uint8_t p = pixels[(size_t(y) * w + x) * 3]; p != kGrey && p != box) ink.Add(x, y);
    EXPECT_GT(ink.left, 0);
    EXPECT_LT(ink.right, w);
    EXPECT_GT(ink.top, 0);
    EXPECT_LT(ink.bottom, h);
}

}  // namespace

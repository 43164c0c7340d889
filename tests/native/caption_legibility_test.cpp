// Captions that read on any picture and any frame: outline, shadow and the
// box's padding painted round the letters, letters that keep their shape,
// long entries wrapped within the frame, and settings that would hide it
// all said aloud.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/test_instance.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kOrange = 0x00A0FF, kRed = 0x0000FF, kGrey = 0x404040;

class CaptionLegibility : public ::testing::Test {
protected:
    void SetUp() override {
        SetBuiltinEntries(*plugin, {{"cat", "koshka"}, {"a b", "c &d"}, {"wide word", "x"}});
        SetWorking(*plugin, [](SettingsRecord& s) { s.ShowFreqFrom = s.ShowFreqTo = 1; });
    }
    void TearDown() override { plugin->StreamStop(); }

    // One frame of the stream, from a grey BGR frame; returns it.
    std::vector<uint8_t> Frame(int32_t width, int32_t height) {
        std::vector<uint8_t> pixels(size_t(width) * height * 3, 0x40);
        EXPECT_EQ(plugin->ProcessFrame(HostRgb24Frame(pixels.data(), width, height)), 1);
        return pixels;
    }
    void Start(int32_t width, int32_t height) { ASSERT_EQ(plugin->StreamStart({width, height, FrameFormat::kBgr}), 1); }
    uint32_t CanvasAt(int32_t x, int32_t y) const {
        const uint8_t* p = state.canvasBits + (size_t(y) * state.frameWidth + x) * 4;
        return uint32_t{p[2]} | uint32_t{p[1]} << 8 | uint32_t{p[0]} << 16;
    }

    std::unique_ptr<PluginInstance> plugin = MakeTestInstance();
    OverlayState& state = OverlayOf(*plugin).overlayState;
    BoxCaptionRenderer& renderer = BoxRendererOf(*plugin);
};

// Round every letter pixel, as far as the outline reaches, lies letter or
// outline and never the key; the shadow lies where letters and outline,
// moved, fall; nothing else changes, all of it inside the caption's
// rectangle and its runs, at any frame size and at the canvas's edges.
TEST_F(CaptionLegibility, OutlineAndShadowSurroundTheLettersAndStayInTheRuns) {
    SetWorking(*plugin, [](SettingsRecord& s) {
        s.TextColor = kOrange, s.BackColor = kWhite;
        s.OutlineWidth = 2, s.OutlineColor = kRed;
        s.ShadowOffset = 3, s.ShadowColor = kGrey;
    });
    for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{{97, 61}, {720, 576}, {1920, 1080}}) {
        Start(w, h);
        for (int i = 0; i < 6; ++i) {
            SetWorking(*plugin, [&](SettingsRecord& s) {
                s.RndStringPos = i % 2;
                s.StringPosX = i < 3 ? 0 : 768, s.StringPosY = i * 200;  // against the edges
            });
            Frame(w, h);
            const CaptionEffects& e = state.drawnEffects;
            ASSERT_GE(e.outline, 1);
            ASSERT_GE(e.shadowX, 1);
            const PixelRect& r = state.drawnPixels;
            int64_t letters = 0;
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const uint32_t c = CanvasAt(x, y);
                    if (c == kWhite) continue;
                    ASSERT_TRUE(x >= r.left && x < r.right && y >= r.top && y < r.bottom) << x << "," << y;
                    ASSERT_TRUE(c == kOrange || c == kRed || c == kGrey) << std::hex << c;
                    if (c != kOrange) continue;
                    ++letters;
                    for (int32_t dy = -e.outline; dy <= e.outline; ++dy)
                        for (int32_t dx = -e.outline; dx <= e.outline; ++dx) {
                            const int32_t nx = x + dx, ny = y + dy;
                            if (dx * dx + dy * dy > e.outline * e.outline || nx < 0 || ny < 0 || nx >= w || ny >= h)
                                continue;
                            const uint32_t n = CanvasAt(nx, ny);
                            ASSERT_TRUE(n == kOrange || n == kRed) << w << "x" << h << " " << nx << "," << ny;
                        }
                    const int32_t sx = x + e.shadowX, sy = y + e.shadowY;
                    if (sx < w && sy < h) {
                        ASSERT_NE(CanvasAt(sx, sy), kWhite);
                    }
                }
            ASSERT_GT(letters, 0);
            ASSERT_EQ(PixelsOutsideCaptionRuns(*plugin), 0) << w << "x" << h << ", frame " << i;
        }
    }
}

// The box grows by its padding on every side; the letters stay where they
// were, and so does the centre written back.
TEST_F(CaptionLegibility, PaddingGrowsTheBoxAroundTheSameLetters) {
    SetBuiltinEntries(*plugin, {{"cat", "koshka"}});
    SetWorking(*plugin, [](SettingsRecord& s) { s.BackType = 1, s.BackColor = 0x102030, s.RndStringPos = 0; });
    const auto box = [&](int32_t padding) {
        SetWorking(*plugin, [&](SettingsRecord& s) { s.BoxPadding = padding, s.StringPosX = 300, s.StringPosY = 200; });
        Start(768, 576);
        const std::vector<uint8_t> pixels = Frame(768, 576);
        PixelRect changed = {768, 576, 0, 0};
        for (int32_t y = 0; y < 576; ++y)
            for (int32_t x = 0; x < 768; ++x)
                if (pixels[(size_t(575 - y) * 768 + x) * 3] != 0x40)
                    changed = {std::min(changed.left, x), std::min(changed.top, y), std::max(changed.right, x + 1),
                               std::max(changed.bottom, y + 1)};
        EXPECT_EQ(plugin->Settings().StringPosX, 300);
        return std::pair{changed, state.textRect};
    };
    const auto [plain, letters] = box(0);
    const auto [padded, paddedLetters] = box(10);
    EXPECT_EQ(paddedLetters, letters);
    EXPECT_EQ(padded.left, plain.left - 10);
    EXPECT_EQ(padded.top, plain.top - 10);
    EXPECT_EQ(padded.right, plain.right + 10);
    EXPECT_EQ(padded.bottom, plain.bottom + 10);
}

// The letters keep their shape (a cell half as wide as high, in pixels) on
// wide and tall frames alike; the layout measures them in canvas units, so
// every one is drawn whole, inside the frame, on the canvas's centre.
TEST_F(CaptionLegibility, KeptProportionsHoldOnEveryFrameShape) {
    SetBuiltinEntries(*plugin, {{"proportion", "kept"}});
    SetWorking(*plugin, [](SettingsRecord& s) {
        s.KeepProportions = 1, s.RndStringPos = 0, s.StringPosX = 384, s.StringPosY = 288, s.FontSize = -60;
    });
    for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{{768, 576}, {1280, 720}, {720, 1280}}) {
        Start(w, h);
        Frame(w, h);
        EXPECT_TRUE(renderer.font().keepProportions);
        const std::vector<PixelRect>* boxes = renderer.DrawnBoxes();
        ASSERT_EQ(boxes->size(), 14u) << w << "x" << h;  // every letter, none clipped away
        const int32_t cellHeight = 60 * h / 576, cell = cellHeight / 2;
        for (const PixelRect& b : *boxes) {
            EXPECT_EQ(b.right - b.left, cell - 2) << w << "x" << h;
            EXPECT_GE(b.left, 0);
            EXPECT_LE(b.right, w);
        }
        const CanvasRect& t = state.textRect;
        EXPECT_LE(std::abs((t.left + t.right) / 2 - 384), 1) << w << "x" << h;
    }
}

// A long entry is wrapped at its spaces into lines that fit the frame: every
// character is drawn, whole, inside it.
TEST_F(CaptionLegibility, LongEntryIsWrappedWhole) {
    const std::string word = "a rather long entry that goes well past both edges of frame";
    ASSERT_EQ(word.size(), 59u);
    SetBuiltinEntries(*plugin, {{word + ".", "and its translation runs past them too, twice over it"}});
    SetWorking(*plugin, [](SettingsRecord& s) { s.OutlineWidth = 2; });
    Start(640, 360);
    Frame(640, 360);
    std::string drawn;
    for (const std::string& line : renderer.lastLines()) {
        EXPECT_LE(int32_t(line.size()) * renderer.cellWidth(), 768 - 4) << line;
        drawn += (drawn.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(drawn, word + ". and its translation runs past them too, twice over it");
    EXPECT_EQ(renderer.lastLines()[0], "a rather long entry that goes well");  // greedy, within 764 units
    EXPECT_EQ(renderer.lastLines()[1], "past both edges of frame.");           // the word's lines apart
    size_t letters = 0;
    for (char c : drawn) letters += c != ' ';
    ASSERT_EQ(renderer.DrawnBoxes()->size(), letters);
    for (const PixelRect& b : *renderer.DrawnBoxes()) {
        EXPECT_GE(b.right - b.left, 14);  // a cell's 18 inner units, not clipped
        EXPECT_GE(b.left, 0);
        EXPECT_LE(b.right, 640);
    }
    EXPECT_EQ(PixelsOutsideCaptionRuns(*plugin), 0);
}

// A word wider than the frame on its own is drawn whole with a smaller
// font, for that caption alone.
TEST_F(CaptionLegibility, WordWiderThanTheFrameShrinksItsCaptionOnly) {
    const std::string word(60, 'w');
    SetBuiltinEntries(*plugin, {{"next", "y"}, {word, "x"}});  // the walk starts after entry 0
    Start(640, 360);
    Frame(640, 360);
    EXPECT_EQ(renderer.lastLines(), (std::vector<std::string>{word, "x"}));
    EXPECT_LE(int32_t(word.size()) * renderer.cellWidth(), 768);
    EXPECT_GT(-renderer.font().height, 20);  // no smaller than it must be
    ASSERT_EQ(renderer.DrawnBoxes()->size(), 61u);
    for (const PixelRect& b : *renderer.DrawnBoxes()) EXPECT_GT(b.right, b.left);
    Frame(640, 360);
    EXPECT_EQ(renderer.lastLines(), (std::vector<std::string>{"next", "y"}));
    EXPECT_EQ(renderer.font().height, -40);

    // Two lines of the tallest font are twice the canvas's height.
    SetWorking(*plugin, [](SettingsRecord& s) { s.FontSize = -576; });
    OverlayOf(*plugin).CreateCaptionFont();
    Frame(640, 360);
    Frame(640, 360);
    EXPECT_EQ(renderer.lastLines(), (std::vector<std::string>{"next", "y"}));
    EXPECT_LE(2 * renderer.cellHeight(), 576);
    EXPECT_GE(2 * renderer.cellHeight(), 576 - 20);
    EXPECT_EQ(renderer.DrawnBoxes()->size(), 5u);
}

// Settings that hide what is drawn are told once each time they start to.
TEST_F(CaptionLegibility, WhatWouldBeInvisibleIsToldOnce) {
    Start(160, 120);
    SetWorking(*plugin, [](SettingsRecord& s) { s.TextColor = s.BackColor = kWhite; });
    Frame(160, 120);
    Frame(160, 120);
    EXPECT_EQ(plugin->TakeNotices(),
              std::vector<std::string>{"TextColor=16777215 is BackColor, the colour that BackType none leaves out: "
                                       "the captions do not show"});
    SetWorking(*plugin, [](SettingsRecord& s) { s.TextColor = kOrange, s.OutlineWidth = 1, s.OutlineColor = kWhite; });
    Frame(160, 120);
    SetWorking(*plugin, [](SettingsRecord& s) { s.BackType = 1; });  // on a box the outline shows
    Frame(160, 120);
    SetWorking(*plugin, [](SettingsRecord& s) { s.BackType = 0, s.TextColor = kWhite; });
    Frame(160, 120);
    EXPECT_EQ(plugin->TakeNotices(),
              (std::vector<std::string>{
                  "OutlineColor=16777215 is BackColor, the colour that BackType none leaves out: the outline does "
                  "not show",
                  "TextColor=16777215 is BackColor, the colour that BackType none leaves out: the captions do not "
                  "show",
                  "OutlineColor=16777215 is BackColor, the colour that BackType none leaves out: the outline does "
                  "not show"}));
}

}  // namespace

// Captions that read on any picture and any frame: outline, shadow and the
// box's padding painted round the letters, letters that keep their shape,
// long entries wrapped within the frame, and settings that would hide it
// all said aloud.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/support/overlay_internals.h"
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
        canvas = OverlayEngineInternals::Canvas(overlay);
        return pixels;
    }
    void Start(int32_t width, int32_t height) { ASSERT_EQ(plugin->StreamStart({width, height, FrameFormat::kBgr}), 1); }
    uint32_t CanvasAt(int32_t x, int32_t y) const {
        const uint8_t* p = canvas.bits + y * canvas.stride + x * 4;
        return uint32_t{p[2]} | uint32_t{p[1]} << 8 | uint32_t{p[0]} << 16;
    }

    std::unique_ptr<PluginInstance> plugin = MakeTestInstance();
    OverlayEngine& overlay = OverlayOf(*plugin);
    BoxCaptionRenderer& renderer = BoxRendererOf(*plugin);
    CanvasView canvas = {};  // as the last frame left it
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
            const CaptionEffects e = OverlayEngineInternals::DrawnEffects(overlay);
            ASSERT_GE(e.outline, 1);
            ASSERT_GE(e.shadowX, 1);
            const PixelRect r = OverlayEngineInternals::DrawnPixels(overlay);
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

// The outline is the letters under a round pen: a pixel dy rows from a
// letter is outlined when it lies within floor(sqrt((r + 1/2)^2 - dy^2))
// columns of it, inside the rectangle. The shadow is letters and outline
// moved, where neither is. Every other pixel and every fourth byte keep
// what they had, and the runs are those the painted canvas shows. Rows
// that end inside and on 64-pixel words, pens and shadows longer than a
// word, letters beyond the rectangle; read from the renderer's boxes or
// from the whole rectangle.
TEST(CaptionEffects, ARoundPenAndAShadowAndTheRunsOfWhatTheyPainted) {
    constexpr uint32_t kBack = 0x202020, kText = 0xFFFFFF, kShadow = 0x404040;
    std::mt19937 random(5);
    // Width, height, pen, shadow, one letter pixel in so many of the boxes'.
    for (const auto& [w, h, r, s, sparse] : std::vector<std::array<int32_t, 5>>{{63, 9, 1, 0, 3},
                                                                                {64, 20, 2, 3, 3},
                                                                                {64, 12, 13, 0, 60},
                                                                                {65, 7, 4, 0, 3},
                                                                                {192, 150, 70, 0, 1 << 30},
                                                                                {130, 31, 6, 70, 3},
                                                                                {200, 40, 70, 0, 3},
                                                                                {129, 150, 9, 2, 20}}) {
        const int32_t width = w + 9, height = h + 6;
        const PixelRect rect = {4, 3, 4 + w, 3 + h};
        const auto inside = [&](int32_t x, int32_t y) {
            return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
        };
        std::vector<uint32_t> start(size_t(width) * height, kBack);  // COLORREFs
        std::vector<PixelRect> boxes;
        for (int i = 0; i < 12; ++i) {
            const int32_t x = int32_t(random() % width), y = int32_t(random() % height);
            const PixelRect box = {x, y, std::min<int32_t>(x + 1 + random() % 20, width),
                                   std::min<int32_t>(y + 1 + random() % 9, height)};
            boxes.push_back(box);
            for (int32_t by = box.top; by < box.bottom; ++by)
                for (int32_t bx = box.left; bx < box.right; ++bx)
                    if (random() % sparse == 0) start[size_t(by) * width + bx] = kText;
        }
        // Lone letters in the rectangle's corners: a pen must not lose what
        // it spreads past the ends of a row, nor carry it into the next.
        for (const auto& [x, y] : {std::pair{rect.left, rect.bottom - 1}, std::pair{rect.right - 1, rect.top}}) {
            boxes.push_back({x, y, x + 1, y + 1});
            start[size_t(y) * width + x] = kText;
        }
        CaptionEffects effects;
        effects.outline = r, effects.shadowX = s, effects.shadowY = s ? s / 3 + 1 : 0;
        effects.outlineColor = r == 4 ? kBack : 0x0000FF;  // one the blend's runs leave out
        effects.shadowColor = kShadow;

        std::vector<uint8_t> marks(start.size(), 0);  // 1 letter, 2 outline, 4 shadow
        for (int32_t y = rect.top; y < rect.bottom; ++y)
            for (int32_t x = rect.left; x < rect.right; ++x)
                if (start[size_t(y) * width + x] == kText) marks[size_t(y) * width + x] = 1;
        for (int32_t y = rect.top; y < rect.bottom; ++y)
            for (int32_t x = rect.left; x < rect.right; ++x) {
                if (marks[size_t(y) * width + x] != 1) continue;
                for (int32_t dy = -r; dy <= r; ++dy) {
                    const auto reach = int32_t(std::sqrt((r + 0.5) * (r + 0.5) - double(dy) * dy));
                    for (int32_t dx = -reach; dx <= reach; ++dx)
                        if (inside(x + dx, y + dy) && marks[size_t(y + dy) * width + x + dx] == 0)
                            marks[size_t(y + dy) * width + x + dx] = 2;
                }
            }
        for (int32_t y = rect.bottom - 1; y >= rect.top; --y)
            for (int32_t x = rect.right - 1; x >= rect.left; --x) {
                const int32_t fromX = x - effects.shadowX, fromY = y - effects.shadowY;
                if (s && marks[size_t(y) * width + x] == 0 && inside(fromX, fromY) &&
                    (marks[size_t(fromY) * width + fromX] & 3))
                    marks[size_t(y) * width + x] = 4;
            }

        for (const std::vector<PixelRect>* drawn : {&boxes, static_cast<std::vector<PixelRect>*>(nullptr)}) {
            std::vector<uint8_t> canvas(start.size() * 4);
            for (size_t i = 0; i < start.size(); ++i)
                canvas[4 * i] = uint8_t(start[i] >> 16), canvas[4 * i + 1] = uint8_t(start[i] >> 8),
                           canvas[4 * i + 2] = uint8_t(start[i]), canvas[4 * i + 3] = 0x5A;
            EffectsScratch scratch;
            const CanvasRunList runs = PaintEffects(canvas.data(), width * 4, rect, kText, kBack, effects, drawn,
                                                    kRunJoinGap, scratch);
            for (size_t i = 0; i < start.size(); ++i) {
                const uint32_t want = marks[i] == 2 ? effects.outlineColor : marks[i] == 4 ? kShadow : start[i];
                const uint32_t got = uint32_t{canvas[4 * i]} << 16 | canvas[4 * i + 1] << 8 | canvas[4 * i + 2];
                ASSERT_EQ(got, want) << w << "x" << h << " r" << r << " at " << i % width << "," << i / width;
                ASSERT_EQ(canvas[4 * i + 3], 0x5A);
            }
            const CanvasRunList shown = ScanCanvasRuns({canvas.data(), width * 4, width, height}, rect, kBack,
                                                       kRunJoinGap);
            ASSERT_EQ(runs.view().rows, shown.view().rows);
            ASSERT_TRUE(std::equal(runs.view().rowStarts, runs.view().rowStarts + h + 1, shown.view().rowStarts));
            ASSERT_TRUE(std::equal(runs.runs().begin(), runs.runs().end(), shown.runs().begin(), shown.runs().end(),
                                   [](CanvasRun a, CanvasRun b) { return a.left == b.left && a.right == b.right; }));
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
        return std::pair{changed, OverlayEngineInternals::TextRect(overlay)};
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
        const CanvasRect t = OverlayEngineInternals::TextRect(overlay);
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

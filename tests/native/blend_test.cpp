#include "blend/blend.h"

#include <gtest/gtest.h>

#include <vector>

#include "blend/blend_clip.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kOrange = 0x00A0FF;  // COLORREF: red 255, green 160, blue 0

// A canvas and a frame of the same size, as the scheduler hands them over.
struct Surfaces {
    int32_t width, height, bytesPerPixel;
    std::vector<uint8_t> canvas, frame;

    Surfaces(int32_t w, int32_t h, int32_t bpp, uint8_t frameFill = 0)
        : width(w), height(h), bytesPerPixel(bpp), canvas(size_t(w) * h * 4), frame(size_t(w) * h * bpp, frameFill) {}

    void Paint(int32_t x, int32_t y, uint32_t colorref) {
        uint8_t* p = &canvas[(size_t(y) * width + x) * 4];
        p[0] = uint8_t(colorref >> 16), p[1] = uint8_t(colorref >> 8), p[2] = uint8_t(colorref), p[3] = 0x5A;
    }
    void PaintAll(uint32_t colorref) {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) Paint(x, y, colorref);
    }
    // Frame pixel in picture coordinates (RGB24 rows are stored bottom-up).
    uint8_t* Rgb(int32_t x, int32_t y) { return &frame[(size_t(height - 1 - y) * width + x) * 3]; }
    uint8_t* Macropixel(int32_t x, int32_t y) { return &frame[(size_t(y) * width + (x & ~1)) * 2]; }

    // The rectangle (l, t) to (r, b) of the canvas onto the same place of
    // the host's frame, all of the canvas read.
    BlendJob Job(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t opacity, uint32_t back, bool key) {
        const FrameView view = bytesPerPixel == 2 ? HostYuy2Frame(frame.data(), width, height)
                                                  : HostRgb24Frame(frame.data(), width, height);
        return {view,
                {canvas.data(), ptrdiff_t(width) * 4, width, height},
                {l, t, r, b},
                l,
                t,
                {0, 0, width, height},
                nullptr,
                opacity,
                back,
                key};
    }
};

std::vector<uint8_t> Bgr(const uint8_t* p) { return {p[0], p[1], p[2]}; }

TEST(BlendHostRgb24, FullOpacityCopiesTheCanvasWithoutKey) {
    Surfaces s(8, 4, 3, 77);
    s.PaintAll(kWhite);
    s.Paint(2, 1, kOrange);
    BlendOn(KernelPath::kReference, s.Job(1, 1, 5, 3, 100, kWhite, false));
    EXPECT_EQ(Bgr(s.Rgb(2, 1)), (std::vector<uint8_t>{0x00, 0xA0, 0xFF}));
    EXPECT_EQ(Bgr(s.Rgb(1, 1)), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(Bgr(s.Rgb(0, 1)), (std::vector<uint8_t>{77, 77, 77}));  // outside the rectangle
    EXPECT_EQ(Bgr(s.Rgb(1, 3)), (std::vector<uint8_t>{77, 77, 77}));
}

TEST(BlendHostRgb24, KeySkipsTheBackgroundColour) {
    Surfaces s(8, 4, 3, 77);
    s.PaintAll(kWhite);
    s.Paint(2, 1, kOrange);
    BlendOn(KernelPath::kReference, s.Job(0, 0, 8, 4, 100, kWhite, true));
    EXPECT_EQ(Bgr(s.Rgb(2, 1)), (std::vector<uint8_t>{0x00, 0xA0, 0xFF}));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 8; ++x) {
            if (x == 2 && y == 1) continue;
            EXPECT_EQ(Bgr(s.Rgb(x, y)), (std::vector<uint8_t>{77, 77, 77})) << x << "," << y;
        }
}

TEST(BlendHostRgb24, WeightRoundsTowardMinusInfinity) {
    Surfaces s(2, 1, 3);
    s.Paint(0, 0, 0xFFFFFF);  // white over black
    s.Paint(1, 0, 0x000000);  // black over white
    uint8_t* right = s.Rgb(1, 0);
    right[0] = right[1] = right[2] = 255;
    BlendOn(KernelPath::kReference, s.Job(0, 0, 2, 1, 50, 0x123456, false));
    EXPECT_EQ(s.Rgb(0, 0)[0], 127);
    EXPECT_EQ(s.Rgb(1, 0)[0], 127);

    Surfaces t(2, 1, 3, 100);
    t.Paint(0, 0, 0x656565);  // target 101 over 100 stays 100
    t.Paint(1, 0, 0x646464);
    t.Rgb(1, 0)[0] = 101;  // 101 toward 100 becomes 100
    BlendOn(KernelPath::kReference, t.Job(0, 0, 2, 1, 50, 0, false));
    EXPECT_EQ(t.Rgb(0, 0)[0], 100);
    EXPECT_EQ(t.Rgb(1, 0)[0], 100);
}

TEST(BlendHostRgb24, ZeroOpacityAndOpacityAbove100) {
    Surfaces s(4, 2, 3, 40);
    s.PaintAll(0xFFFFFF);
    BlendOn(KernelPath::kReference, s.Job(0, 0, 4, 2, 0, 0, false));
    EXPECT_EQ(s.frame, std::vector<uint8_t>(4 * 2 * 3, 40));
    BlendOn(KernelPath::kReference, s.Job(0, 0, 4, 2, 1000, 0, false));  // clamped to full opacity
    EXPECT_EQ(s.frame, std::vector<uint8_t>(4 * 2 * 3, 255));
}

TEST(BlendHostRgb24, CaptionStandsUprightInBottomUpRows) {
    Surfaces s(3, 3, 3);
    s.PaintAll(kWhite);
    s.Paint(1, 0, kOrange);  // top row of the canvas
    BlendOn(KernelPath::kReference, s.Job(0, 0, 3, 3, 100, kWhite, true));
    // The top picture row is the last row in memory.
    EXPECT_EQ(s.frame[(2 * 3 + 1) * 3 + 2], 0xFF);
    EXPECT_EQ(s.frame[(0 * 3 + 1) * 3 + 2], 0);
}

TEST(ClipBlend, ClipsPartlyOutsideAndRejectsWhollyOutside) {
    Surfaces s(10, 8, 3);
    const auto clip = [&](int32_t l, int32_t t, int32_t r, int32_t b) {
        return ClipBlend(s.Job(l, t, r, b, 100, 0, false));
    };
    const auto frameRect = [](const BlendArea& area) {
        return std::vector<int32_t>{area.frame.left, area.frame.top, area.frame.right, area.frame.bottom};
    };
    // A negative edge moves the edges of both surfaces in to 0.
    const std::optional<BlendArea> a = clip(-3, -2, 4, 5);
    ASSERT_TRUE(a);
    EXPECT_EQ(frameRect(*a), (std::vector<int32_t>{0, 0, 4, 5}));
    EXPECT_EQ(a->dx, 0);
    EXPECT_EQ(a->dy, 0);
    const std::optional<BlendArea> b = clip(7, 6, 14, 12);
    ASSERT_TRUE(b);
    EXPECT_EQ(frameRect(*b), (std::vector<int32_t>{7, 6, 10, 8}));

    // Placed elsewhere: canvas columns 5 and on land on frame column 0, and
    // the frame's bottom cuts the rows.
    BlendJob moved = s.Job(2, 1, 6, 4, 100, 0, false);
    moved.destLeft = -3, moved.destTop = 5;
    const std::optional<BlendArea> m = ClipBlend(moved);
    ASSERT_TRUE(m);
    EXPECT_EQ(frameRect(*m), (std::vector<int32_t>{0, 5, 1, 8}));
    EXPECT_EQ(m->dx, 5);
    EXPECT_EQ(m->dy, -4);

    for (const PixelRect& outside :
         {PixelRect{10, 0, 12, 3}, PixelRect{0, 8, 3, 9}, PixelRect{-5, 0, 0, 3}, PixelRect{0, -4, 3, 0},
          PixelRect{3, 3, 3, 6}, PixelRect{3, 3, 6, 3}, PixelRect{INT32_MAX, 0, INT32_MIN, 3}})
        EXPECT_FALSE(clip(outside.left, outside.top, outside.right, outside.bottom))
            << outside.left << "," << outside.top;

    const std::optional<BlendArea> huge = clip(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    ASSERT_TRUE(huge);
    EXPECT_EQ(frameRect(*huge), (std::vector<int32_t>{0, 0, 10, 8}));
}

TEST(BlendHostYuy2, CoveredMacropixelTakesTheCaptionColour) {
    Surfaces s(4, 1, 2);
    s.PaintAll(kWhite);
    uint8_t* m = s.Macropixel(0, 0);
    m[0] = 16, m[1] = 128, m[2] = 16, m[3] = 128;
    BlendOn(KernelPath::kReference, s.Job(0, 0, 2, 1, 100, 0, true));
    EXPECT_EQ((std::vector<uint8_t>(m, m + 4)), (std::vector<uint8_t>{255, 128, 255, 128}));
}

TEST(BlendHostYuy2, HalfCoveredMacropixelMovesChromaHalfway) {
    Surfaces s(2, 1, 2);
    s.Paint(0, 0, kOrange);
    s.Paint(1, 0, kWhite);
    uint8_t* m = s.Macropixel(0, 0);
    m[0] = 50, m[1] = 100, m[2] = 60, m[3] = 200;
    BlendOn(KernelPath::kReference, s.Job(0, 0, 2, 1, 100, kWhite, true));
    EXPECT_EQ((std::vector<uint8_t>(m, m + 4)), (std::vector<uint8_t>{170, 66, 60, 194}));
}

TEST(BlendHostYuy2, OddEdgesTreatTheOutsideSlotAsTransparent) {
    Surfaces s(8, 1, 2, 0);
    s.PaintAll(kWhite);
    for (size_t i = 0; i < s.frame.size(); i += 2) s.frame[i] = 16, s.frame[i + 1] = 128;
    BlendOn(KernelPath::kReference, s.Job(3, 0, 6, 1, 100, 0, false));  // columns 3, 4, 5
    const std::vector<uint8_t> expected = {16,  128, 16,  128,          // columns 0, 1: untouched
                                           16,  128, 255, 128,          // column 2 keeps its luma; chroma halfway
                                           255, 128, 255, 128,          // columns 4, 5 covered
                                           16,  128, 16,  128};         // columns 6, 7: untouched
    EXPECT_EQ(s.frame, expected);

    Surfaces one(4, 1, 2, 16);
    one.PaintAll(kWhite);
    BlendOn(KernelPath::kReference, one.Job(2, 0, 3, 1, 100, 0, false));  // one column at an even position
    EXPECT_EQ(one.frame[4], 255);
    EXPECT_EQ(one.frame[6], 16);
    BlendOn(KernelPath::kReference, one.Job(1, 0, 2, 1, 100, 0, false));  // one column at an odd position
    EXPECT_EQ(one.frame[0], 16);
    EXPECT_EQ(one.frame[2], 255);
}

TEST(BlendHostYuy2, OddFrameWidthNeverWritesPastTheRow) {
    // Width 5: a row is 10 bytes and the last column has no whole macropixel.
    Surfaces s(5, 2, 2, 16);
    s.PaintAll(kWhite);
    BlendOn(KernelPath::kReference, s.Job(0, 0, 5, 2, 100, 0, false));
    for (int32_t y = 0; y < 2; ++y) {
        const uint8_t* row = &s.frame[size_t(y) * 10];
        EXPECT_EQ(row[0], 255);
        EXPECT_EQ(row[6], 255);
        EXPECT_EQ(row[8], 16) << "the fifth column lies in an incomplete macropixel";
        EXPECT_EQ(row[9], 16);
    }
}

}  // namespace

// The general blend: every frame format, constant background outside the
// caption, runs, and every kernel path against the reference.
#include <gtest/gtest.h>

#include <random>

#include "blend/blend.h"
#include "tests/native/blend_surfaces.h"
#include "tests/native/formats_agree.h"
#include "tests/native/kernel_paths.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kOrange = 0x00A0FF;  // COLORREF: red 255, green 160, blue 0
constexpr FrameFormat kFormats[] = {FrameFormat::kYuy2, FrameFormat::kBgr,  FrameFormat::kBgrx, FrameFormat::kI420,
                                    FrameFormat::kNv12, FrameFormat::kRgbx, FrameFormat::kXrgb, FrameFormat::kXbgr,
                                    FrameFormat::kUyvy, FrameFormat::kNv21, FrameFormat::kP010, FrameFormat::kI420p10};

BlendJob JobOver(TestFrame& frame, const TestCanvas& canvas, PixelRect source, uint32_t opacity, uint32_t backColor,
                 bool keyBackground) {
    return {.frame = frame.View(),
            .canvas = canvas.View(),
            .source = source,
            .destLeft = source.left,
            .destTop = source.top,
            .caption = {0, 0, canvas.width, canvas.height},
            .runs = nullptr,
            .opacity = opacity,
            .backColor = backColor,
            .keyBackground = keyBackground};
}

// A random blend: frame and canvas of their own sizes and paddings, the
// rectangle anywhere, and a canvas that is background outside a caption
// rectangle and, half the time, outside runs inside it.
struct RandomBlend {
    TestFrame frame;
    TestCanvas canvas;
    CanvasRunList runs;
    BlendJob job;

    explicit RandomBlend(std::mt19937& rng)
        : frame(kFormats[rng() % std::size(kFormats)], Pick(rng, 1, 130), Pick(rng, 1, 9), Pick(rng, 0, 5),
                rng() % 2 == 0),
          canvas(Pick(rng, 1, 140), Pick(rng, 1, 11), Pick(rng, 0, 2) * 4) {
        for (auto& plane : frame.planes)
            for (uint8_t& byte : plane) byte = uint8_t(rng());
        const uint32_t back = uint32_t(rng()) & (rng() % 3 ? 0xFFFFFFu : 0xFFFFFFFFu);
        const uint32_t palette[] = {back, kOrange, uint32_t(rng()) & 0xFFFFFF, uint32_t(rng()) & 0xFFFFFF};
        for (int32_t y = 0; y < canvas.height; ++y)
            for (int32_t x = 0; x < canvas.width; ++x) canvas.Paint(x, y, back, uint8_t(rng()));
        const int32_t cl = Pick(rng, -3, canvas.width), ct = Pick(rng, -2, canvas.height);
        const PixelRect caption = {cl, ct, cl + Pick(rng, 0, canvas.width + 3), ct + Pick(rng, 0, canvas.height + 2)};
        const bool withRuns = rng() % 2 == 0;
        runs = CanvasRunList(caption.top);
        for (int32_t y = caption.top; y < caption.bottom; ++y) {
            runs.NextRow();
            for (int32_t x = caption.left + Pick(rng, 0, 4); x < caption.right; x += Pick(rng, 1, 6)) {
                const int32_t end = std::min(x + Pick(rng, 1, 12), caption.right);
                if (withRuns) runs.Add(x, end);
                for (; x < end; ++x)
                    if (x >= 0 && y >= 0 && x < canvas.width && y < canvas.height)
                        canvas.Paint(x, y, palette[rng() % 4], uint8_t(rng()));
                if (!withRuns) x = end;
            }
            if (!withRuns)  // anything anywhere in the caption
                for (int32_t x = std::max(caption.left, 0); x < std::min(caption.right, canvas.width); ++x)
                    if (y >= 0 && y < canvas.height && rng() % 3 == 0) canvas.Paint(x, y, palette[rng() % 4]);
        }
        const int32_t l = Pick(rng, -10, canvas.width + 2), t = Pick(rng, -5, canvas.height + 2);
        job = {frame.View(),
               canvas.View(),
               {l, t, l + Pick(rng, -2, canvas.width + 10), t + Pick(rng, -2, canvas.height + 5)},
               Pick(rng, -6, frame.width + 2),
               Pick(rng, -3, frame.height + 2),
               caption,
               nullptr,
               uint32_t(rng() % 4 ? Pick(rng, 0, 110) : 100),  // full opacity has paths of its own
               back,
               Pick(rng, 0, 1) == 1};
        if (withRuns) job.runs = &runsView_, runsView_ = runs.view();
    }
    RandomBlend(const RandomBlend&) = delete;

    // The same blend on a copy of the frame; options change the job.
    TestFrame On(KernelPath path, bool readWholeCanvas = false) const {
        TestFrame out = frame;
        BlendJob j = job;
        j.frame = out.View();
        if (readWholeCanvas) j.caption = {0, 0, canvas.width, canvas.height}, j.runs = nullptr;
        BlendOn(path, j);
        return out;
    }

    static int32_t Pick(std::mt19937& rng, int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    }

private:
    CanvasRuns runsView_;
};

std::string Describe(const RandomBlend& b) {
    const BlendJob& j = b.job;
    return "format " + std::to_string(int(b.frame.format)) + " frame " + std::to_string(b.frame.width) + "x" +
           std::to_string(b.frame.height) + (b.frame.bottomUp ? " bottom-up" : "") + " source " +
           std::to_string(j.source.left) + "," + std::to_string(j.source.top) + " to " + std::to_string(j.destLeft) +
           "," + std::to_string(j.destTop) + (j.keyBackground ? " keyed" : "") + (j.runs ? " runs" : "");
}

// The walk: clipping, constant background, runs. Skipping the canvas
// outside the caption and the runs gives what reading all of it gives,
// where it holds the background; padding is never touched.
TEST(BlendWalk, CaptionAndRunsGiveWhatTheWholeCanvasGives) {
    std::mt19937 rng(7);
    for (int i = 0; i < 6000; ++i) {
        const RandomBlend b(rng);
        const TestFrame skipping = b.On(KernelPath::kReference);
        ASSERT_TRUE(skipping == b.On(KernelPath::kReference, true)) << "blend " << i << ": " << Describe(b);
        for (int p = 0; p < skipping.PlaneCount(); ++p)
            for (int32_t y = 0; y < skipping.Rows(p); ++y)
                for (int32_t x = skipping.RowBytes(p); x < skipping.Stride(p); ++x)
                    ASSERT_EQ(const_cast<TestFrame&>(skipping).At(p, x, y), const_cast<TestFrame&>(b.frame).At(p, x, y))
                        << "padding written, blend " << i;
    }
}

class BlendPaths : public ::testing::TestWithParam<KernelPath> {};

TEST_P(BlendPaths, GiveTheReferenceBytes) {
    std::mt19937 rng(11);
    for (int i = 0; i < 8000; ++i) {
        const RandomBlend b(rng);
        ASSERT_TRUE(b.On(GetParam()) == b.On(KernelPath::kReference)) << "blend " << i << ": " << Describe(b);
    }
}

// Wide rows and large runs, where the SIMD loops do most of the work.
TEST_P(BlendPaths, GiveTheReferenceBytesOnWideFrames) {
    std::mt19937 rng(13);
    for (FrameFormat format : kFormats)
        for (bool key : {false, true}) {
            TestFrame frame(format, 333, 7, 3);
            for (auto& plane : frame.planes)
                for (uint8_t& byte : plane) byte = uint8_t(rng());
            TestCanvas canvas(333, 7);
            for (int32_t y = 0; y < 7; ++y)
                for (int32_t x = 0; x < 333; ++x) canvas.Paint(x, y, rng() % 2 ? kWhite : uint32_t(rng()) & 0xFFFFFF);
            for (uint32_t opacity : {37u, 100u}) {
                TestFrame expected = frame, actual = frame;
                BlendJob job = JobOver(expected, canvas, {1, 1, 332, 7}, opacity, kWhite, key);
                job.caption = {40, 0, 300, 5};
                BlendOn(KernelPath::kReference, job);
                job.frame = actual.View();
                BlendOn(GetParam(), job);
                EXPECT_TRUE(actual == expected) << int(format) << (key ? " keyed" : "");
            }
        }
}

// A held caption's targets, made once, give every later blend the bytes
// that reading the canvas gives; whatever the targets' storage held before
// is overwritten wherever it is read.
TEST(HeldTargets, GiveWhatTheCanvasGivesOnEveryPath) {
    std::mt19937 rng(17);
    for (int i = 0; i < 6000; ++i) {
        const RandomBlend b(rng);
        const TestFrame expected = b.On(KernelPath::kReference);
        for (KernelPath path : AvailablePaths()) {
            std::vector<uint8_t> storage(size_t(b.frame.width) * b.frame.height * 4 + 64);
            for (uint8_t& byte : storage) byte = uint8_t(rng());
            const FrameView targets = FrameIn(storage, b.frame.format, b.frame.width, b.frame.height);
            PrepareTargetsOn(path, b.job, targets);
            TestFrame out = b.frame;
            BlendJob job = b.job;
            job.frame = out.View();
            BlendOn(path, job, &targets);
            ASSERT_TRUE(out == expected) << "blend " << i << " on " << PathName(path) << ": " << Describe(b);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Simd, BlendPaths, ::testing::ValuesIn(SimdPaths()), PathTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BlendPaths);

// Outside the caption, and outside the runs within it, the canvas may hold
// anything: it is not read. Runs and caption lie on even columns here, where
// YUY2 and 4:2:0 need not widen them. (A run's canvas span reaches into
// the background beside it, up to a whole number of 16 pixels within the
// caption: the canvas is background there.)
TEST(BlendFormats, CanvasOutsideCaptionAndRunsIsNotRead) {
    for (FrameFormat format : kFormats)
        for (KernelPath path : AvailablePaths()) {
            TestCanvas clean(64, 12), dirty(64, 12);
            for (int32_t y = 0; y < 12; ++y)
                for (int32_t x = 0; x < 64; ++x) clean.Paint(x, y, kWhite), dirty.Paint(x, y, uint32_t(x * 977 + y));
            CanvasRunList runs(2);
            for (int32_t y = 2; y < 10; ++y) {
                runs.NextRow();
                runs.Add(10, 14), runs.Add(32, 46);                           // too far apart to be read as one
                for (int32_t x = 14; x < 26; ++x) dirty.Paint(x, y, kWhite);  // widened to 16
                for (int32_t x = 32; x < 48; ++x) dirty.Paint(x, y, kWhite);  // up to the caption's edge
                for (int32_t x : {10, 11, 12, 13, 32, 33, 40, 45})
                    clean.Paint(x, y, kOrange), dirty.Paint(x, y, kOrange);
            }
            const CanvasRuns view = runs.view();
            for (bool key : {false, true}) {
                TestFrame expected(format, 64, 12), actual(format, 64, 12);
                BlendJob job = JobOver(expected, clean, {0, 0, 64, 12}, 60, kWhite, key);
                BlendOn(path, job);
                job = JobOver(actual, dirty, {0, 0, 64, 12}, 60, kWhite, key);
                job.caption = {8, 2, 48, 10}, job.runs = &view;
                BlendOn(path, job);
                EXPECT_TRUE(actual == expected) << int(format) << " on " << PathName(path) << (key ? " keyed" : "");
            }
        }
}

// One picture, every format: YUY2, I420 and NV12 share their luma; NV12 is
// I420 with U and V interleaved; BGR top-down is RGB24 bottom-up flipped;
// BGRx is BGR with its fourth byte left alone; RGBx, xRGB, xBGR, UYVY and
// NV21 give their sibling's bytes in their own order; P010 and I420_10LE
// hold I420's samples << 2 beside bits of their own. Part of the blend lies
// outside the caption, where the background is mixed in as a constant.
TEST(BlendFormats, AgreeWithEachOtherOnOnePicture) {
    std::mt19937 rng(3);
    constexpr int32_t w = 22, h = 8;
    TestCanvas canvas(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) canvas.Paint(x, y, rng() % 2 ? kWhite : uint32_t(rng()) & 0xFFFFFF);
    std::vector<uint8_t> luma(size_t(w) * h), u(size_t(w / 2) * (h / 2)), v(u.size()), bgr(size_t(w) * h * 3);
    for (auto* bytes : {&luma, &u, &v, &bgr})
        for (uint8_t& byte : *bytes) byte = uint8_t(rng());
    // The 6 bits beside a 10-bit sample.
    const auto spare = [](int plane, int32_t x, int32_t y) { return uint16_t((plane * 29 + x * 7 + y * 13) & 63); };

    for (uint32_t opacity : {70u, 100u})
        for (bool key : {false, true}) {
            const PixelRect source = {3, 1, 19, 7};  // odd edges on both axes
            TestFrame yuy2(FrameFormat::kYuy2, w, h), i420(FrameFormat::kI420, w, h), nv12(FrameFormat::kNv12, w, h, 2);
            TestFrame bgrTop(FrameFormat::kBgr, w, h), bgrUp(FrameFormat::kBgr, w, h, 0, true);
            TestFrame bgrx(FrameFormat::kBgrx, w, h, 4);
            TestFrame p010(FrameFormat::kP010, w, h, 2), i420p10(FrameFormat::kI420p10, w, h, 0, true);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const uint8_t l = luma[size_t(y) * w + x];
                    const uint8_t cu = u[size_t(y / 2) * (w / 2) + x / 2], cv = v[size_t(y / 2) * (w / 2) + x / 2];
                    yuy2.At(0, x * 2, y) = l, yuy2.At(0, x * 2 + 1, y) = x % 2 ? cv : cu;
                    i420.At(0, x, y) = nv12.At(0, x, y) = l;
                    i420.At(1, x / 2, y / 2) = nv12.At(1, x / 2 * 2, y / 2) = cu;
                    i420.At(2, x / 2, y / 2) = nv12.At(1, x / 2 * 2 + 1, y / 2) = cv;
                    for (int c = 0; c < 3; ++c)
                        bgrTop.At(0, x * 3 + c, y) = bgrUp.At(0, x * 3 + c, y) = bgrx.At(
                            0, x * 4 + c, y) = bgr[(size_t(y) * w + x) * 3 + c];
                    bgrx.At(0, x * 4 + 3, y) = uint8_t(x + y);
                }
            for (int p = 0; p < 3; ++p)
                for (int32_t y = 0; y < i420.Rows(p); ++y)
                    for (int32_t x = 0; x < i420.RowBytes(p); ++x) {
                        const uint16_t sample = uint16_t(i420.At(p, x, y) << 2);
                        p010.SetWord(p == 0 ? 0 : 1, p == 0 ? x : 2 * x + p - 1, y,
                                     uint16_t(sample << 6 | spare(p, x, y)));
                        i420p10.SetWord(p, x, y, uint16_t(spare(p, x, y) << 10 | sample));
                    }
            const std::pair<const TestFrame*, FrameFormat> siblingOf[] = {{&bgrx, FrameFormat::kRgbx},
                                                                          {&bgrx, FrameFormat::kXrgb},
                                                                          {&bgrx, FrameFormat::kXbgr},
                                                                          {&yuy2, FrameFormat::kUyvy},
                                                                          {&nv12, FrameFormat::kNv21}};
            std::vector<TestFrame> siblings;
            for (const auto& [frame, format] : siblingOf) siblings.push_back(InSiblingFormat(*frame, format));
            std::vector<TestFrame*> frames = {&yuy2, &i420, &nv12, &bgrTop, &bgrUp, &bgrx, &p010, &i420p10};
            for (TestFrame& sibling : siblings) frames.push_back(&sibling);
            for (TestFrame* frame : frames) {
                BlendJob job = JobOver(*frame, canvas, source, opacity, kWhite, key);
                job.caption = {0, 0, 14, h};
                BlendOn(ActivePath(), job);
            }
            SCOPED_TRACE(testing::Message() << "key " << key << " opacity " << opacity);
            ExpectFormatsAgree({yuy2, i420, nv12, bgrTop, bgrUp, bgrx},
                               [](int32_t x, int32_t y) { return uint8_t(x + y); });
            for (size_t i = 0; i < siblings.size(); ++i)
                EXPECT_TRUE(siblings[i] == InSiblingFormat(*siblingOf[i].first, siblingOf[i].second))
                    << int(siblingOf[i].second);
            // Bottom-up rows really are stored upside down.
            EXPECT_EQ(bgrUp.planes[0][0], bgrTop.planes[0][size_t(h - 1) * w * 3]);

            // The 8-bit rules floor before the shift, the 10-bit ones after:
            // a sample is four times the byte plus up to 3 for luma and up
            // to 6 for chroma, which floors twice. At full opacity the
            // targets themselves: luma exact, and chroma but for a partly
            // covered block's (the edges', a keyed pixel's), whose target
            // takes its share from the frame.
            const int32_t lumaSlack = opacity < 100 ? 3 : 0, chromaSlack = opacity < 100 ? 6 : 3;
            for (int p = 0; p < 3; ++p)
                for (int32_t y = 0; y < i420.Rows(p); ++y)
                    for (int32_t x = 0; x < i420.RowBytes(p); ++x) {
                        SCOPED_TRACE(testing::Message() << "plane " << p << " at " << x << "," << y);
                        const int32_t a = p010.Word(p == 0 ? 0 : 1, p == 0 ? x : 2 * x + p - 1, y);
                        const int32_t b = i420p10.Word(p, x, y);
                        ASSERT_EQ(a & 63, spare(p, x, y));
                        ASSERT_EQ(b >> 10, spare(p, x, y));
                        ASSERT_EQ(a >> 6, b & 1023);
                        const int32_t over = (b & 1023) - 4 * i420.At(p, x, y);
                        ASSERT_GE(over, 0);
                        ASSERT_LE(over, p == 0 ? lumaSlack : chromaSlack);
                    }
        }
}

// A block's chroma moves toward the caption's by the share of its pixels
// that are covered, rows averaged first: white (chroma 128) over chroma 0.
TEST(BlendFormats, BlockChromaFollowsTheCoveredShare) {
    const struct {
        bool keyed[4];
        uint8_t chroma;
    } cases[] = {{{false, false, false, false}, 128},
                 {{false, false, false, true}, 96},
                 {{false, true, true, false}, 64},
                 {{true, true, false, true}, 32},
                 {{true, true, true, true}, 0}};
    for (const auto& c : cases)
        for (KernelPath path : AvailablePaths()) {
            // Sixteen identical blocks, so that the SIMD loops see them too.
            TestCanvas canvas(32, 2);
            TestFrame frame(FrameFormat::kI420, 32, 2);
            for (int32_t x = 0; x < 32; ++x)
                for (int32_t y = 0; y < 2; ++y) canvas.Paint(x, y, c.keyed[y * 2 + x % 2] ? kOrange : kWhite);
            BlendOn(path, JobOver(frame, canvas, {0, 0, 32, 2}, 100, kOrange, true));
            for (int32_t b = 0; b < 16; ++b) {
                EXPECT_EQ(frame.At(1, b, 0), c.chroma) << PathName(path);
                EXPECT_EQ(frame.At(2, b, 0), c.chroma) << PathName(path);
            }
        }
    // Three colours: red and blue average to (127, 0, 127), that with green
    // to (63, 127, 63), chroma U 106 and V 101, three quarters of the way
    // from 0: 79 and 75.
    TestCanvas canvas(2, 2);
    canvas.Paint(0, 0, 0x0000FF), canvas.Paint(1, 0, 0xFF0000), canvas.Paint(0, 1, 0x00FF00),
        canvas.Paint(1, 1, kWhite);
    TestFrame frame(FrameFormat::kI420, 2, 2);
    BlendOn(ActivePath(), JobOver(frame, canvas, {0, 0, 2, 2}, 100, kWhite, true));
    EXPECT_EQ(frame.At(1, 0, 0), 79);
    EXPECT_EQ(frame.At(2, 0, 0), 75);
}

// 4:2:0 with odd sizes: the blocks the frame's edge cuts keep the pixels
// that exist, the missing ones counting as not covered.
TEST(BlendFormats, OddPlanarFramesUseTheEdgeBlocksPixels) {
    for (FrameFormat format : {FrameFormat::kI420, FrameFormat::kNv12}) {
        TestCanvas canvas(5, 3);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x) canvas.Paint(x, y, kWhite);
        TestFrame frame(format, 5, 3);
        BlendOn(ActivePath(), JobOver(frame, canvas, {0, 0, 5, 3}, 100, 0, false));
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(frame.At(0, x, y), 255) << x << "," << y;
        const auto u = [&](int32_t bx, int32_t by) {
            return frame.At(1, format == FrameFormat::kNv12 ? bx * 2 : bx, by);
        };
        EXPECT_EQ(u(0, 0), 128);  // four pixels
        EXPECT_EQ(u(2, 0), 64);   // two: the last column
        EXPECT_EQ(u(0, 1), 64);   // two: the last row
        EXPECT_EQ(u(2, 1), 32);   // one: the corner
    }
}

TEST(CanvasRuns, ListJoinsTouchingRunsAndScanFindsThem) {
    CanvasRunList list(5);
    list.NextRow();
    list.Add(2, 4), list.Add(4, 6), list.Add(7, 7), list.Add(8, 9);
    list.NextRow();
    list.NextRow();
    list.Add(0, 1);
    const CanvasRuns view = list.view();
    ASSERT_EQ(view.rows, 3);
    ASSERT_EQ(view.rowStarts[1] - view.rowStarts[0], 2u);
    EXPECT_EQ(view.runs[0].left, 2);
    EXPECT_EQ(view.runs[0].right, 6);
    EXPECT_EQ(view.rowStarts[2], view.rowStarts[1]);
    EXPECT_EQ(view.runs[view.rowStarts[2]].left, 0);

    TestCanvas canvas(10, 2, 8);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 10; ++x) canvas.Paint(x, y, kWhite, uint8_t(x));  // the fourth byte never counts
    canvas.Paint(0, 1, kOrange), canvas.Paint(3, 1, kOrange), canvas.Paint(4, 1, 0xFFFFFE), canvas.Paint(9, 1, 0);
    const CanvasRunList found = ScanCanvasRuns(canvas.View(), {0, 0, 10, 2}, 0xABFFFFFF);
    const CanvasRuns scanned = found.view();
    ASSERT_EQ(scanned.rows, 2);
    EXPECT_EQ(scanned.rowStarts[1], 0u);
    ASSERT_EQ(found.runs().size(), 3u);
    EXPECT_EQ(found.runs()[1].left, 3);
    EXPECT_EQ(found.runs()[1].right, 5);
    EXPECT_EQ(found.runs()[2].left, 9);
}

// Boxes come in any order and overlap; their runs come out sorted, clipped
// to the rectangle and joined where close. A row's ink extent is one run
// from its first to its last differing pixel.
TEST(CanvasRuns, BoxesAndInkExtentsBecomeSortedRuns) {
    const std::vector<PixelRect> boxes = {{30, 0, 40, 3}, {2, 1, 6, 2}, {-5, 0, 3, 1}, {4, 1, 9, 4}, {12, 2, 14, 3}};
    const CanvasRunList list = RunsOfBoxes(boxes, {0, 0, 35, 3}, 3);
    const CanvasRuns runs = list.view();
    ASSERT_EQ(runs.rows, 3);
    const auto row = [&](int32_t r) {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (uint32_t i = runs.rowStarts[r]; i < runs.rowStarts[r + 1]; ++i)
            out.emplace_back(runs.runs[i].left, runs.runs[i].right);
        return out;
    };
    EXPECT_EQ(row(0), (std::vector<std::pair<int32_t, int32_t>>{{0, 3}, {30, 35}}));
    EXPECT_EQ(row(1), (std::vector<std::pair<int32_t, int32_t>>{{2, 9}, {30, 35}}));
    EXPECT_EQ(row(2), (std::vector<std::pair<int32_t, int32_t>>{{4, 14}, {30, 35}})) << "3 apart: joined";

    TestCanvas canvas(12, 3, 4);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 12; ++x) canvas.Paint(x, y, kWhite, uint8_t(x));
    canvas.Paint(2, 0, kOrange), canvas.Paint(7, 0, 0xFFFFFE), canvas.Paint(11, 2, 0);
    const CanvasRunList extents = ScanInkExtents(canvas.View(), {1, 0, 12, 3}, 0xABFFFFFF);
    ASSERT_EQ(extents.view().rows, 3);
    ASSERT_EQ(extents.runs().size(), 2u);
    EXPECT_EQ(extents.runs()[0].left, 2);
    EXPECT_EQ(extents.runs()[0].right, 8);
    EXPECT_EQ(extents.view().rowStarts[2], 1u) << "a row all background has no run";
    EXPECT_EQ(extents.runs()[1].left, 11);
    EXPECT_EQ(extents.runs()[1].right, 12);
}

}  // namespace

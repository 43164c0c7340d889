// The engine as the host drives it, through the host's records.
#include "overlay/overlay_engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "plugin/host_callbacks.h"
#include "tests/native/blend_surfaces.h"
#include "tests/native/formats_agree.h"
#include "tests/native/kernel_paths.h"
#include "tests/support/frame_pixels.h"
#include "tests/support/overlay_internals.h"
#include "tests/support/test_instance.h"

namespace {

// The defaults' TextColor, the grey frames and a black background.
constexpr uint32_t kTextColour = 0x00A0FF, kGrey = 0x404040, kBlack = 0x000000;

class OverlayEngine : public ::testing::Test {
protected:
    void SetUp() override {
        SetBuiltinEntries({{"cat", "koshka"}, {"dog", "sobaka"}, {"sun", "solntse"}, {"sky", "nebo"}});
    }
    void TearDown() override { plugin->StreamStop(); }

    // The engine idle, the random source as at load, the defaults walked
    // in order; the dictionary stays.
    void ResetOverlay() {
        plugin->StreamStop();
        MakeNextFrameDue();
        OverlayEngineInternals::ResetRandomSource(overlay);
        Set([&](SettingsRecord& s) {
            s = TableDefaults();
            s.RulesType = 0;
        });
    }
    void SetBuiltinEntries(const WordPairs& entries) { ::SetBuiltinEntries(*plugin, entries); }

    void Start(int32_t width, int32_t height, int32_t pixelFormat) {
        const StreamFormat format = {width, height, 0, pixelFormat};
        ASSERT_EQ(host::StreamStart(*plugin, &format), 1);
        frame.assign(size_t(width) * height * (pixelFormat == 0 ? 2 : 3), 0x40);
    }

    // A fresh copy of the grey frame through the plug-in.
    std::vector<uint8_t> Processed(int32_t* result = nullptr) {
        std::vector<uint8_t> pixels = frame;
        FrameRecord record = {pixels.data()};
        const int32_t returned = host::ProcessFrame(*plugin, &record);
        if (result) *result = returned;
        return pixels;
    }

    // Runs n frames; returns which of them the plug-in changed.
    std::vector<bool> Run(int n, std::vector<int32_t>* results = nullptr) {
        std::vector<bool> changed;
        for (int i = 0; i < n; ++i) {
            int32_t result = 0;
            changed.push_back(Processed(&result) != frame);
            if (results) results->push_back(result);
        }
        return changed;
    }

    static std::vector<int> Indices(const std::vector<bool>& flags) {
        std::vector<int> out;
        for (size_t i = 0; i < flags.size(); ++i)
            if (flags[i]) out.push_back(int(i) + 1);
        return out;
    }

    SettingsRecord Working() const { return plugin->Settings(); }
    template <class Change>
    void Set(Change change) {
        SetWorking(*plugin, change);
    }

    // Inside the engine.
    void MakeNextFrameDue() { OverlayEngineInternals::MakeNextFrameDue(overlay); }
    uint32_t GapFrames() const { return OverlayEngineInternals::GapFrames(overlay); }
    CanvasRect TextRect() const { return OverlayEngineInternals::TextRect(overlay); }
    CanvasRect CaptionRect() const { return OverlayEngineInternals::CaptionRect(overlay); }

    std::unique_ptr<PluginInstance> plugin = MakeTestInstance();
    ::OverlayEngine& overlay = OverlayOf(*plugin);
    BoxCaptionRenderer& renderer = BoxRendererOf(*plugin);
    std::vector<uint8_t> frame;
};

TEST_F(OverlayEngine, DefaultsDrawOneCaptionFrameInTwelve) {
    Start(720, 576, 0);
    std::vector<int32_t> results;
    EXPECT_EQ(Indices(Run(40, &results)), (std::vector<int>{1, 13, 25, 37}));
    EXPECT_EQ(results, std::vector<int32_t>(40, 1));
    EXPECT_EQ(Working().CurIntEntry, 0);  // four entries taken from index 0: 1, 2, 3, 0
}

// A host that passes the frames NextFrameMayDraw rules out gets the
// captions on the frames and from the entries that ProcessFrame alone gives.
TEST_F(OverlayEngine, PassedFramesCountAsProcessedOnes) {
    Set([&](SettingsRecord& s) {
        s.ShowFreqFrom = 3, s.ShowFreqTo = 7;
        s.ShowTimeFrom = 1, s.ShowTimeTo = 3;
    });
    Start(64, 48, 0);
    const std::vector<bool> alone = Run(60);
    const int32_t entry = Working().CurIntEntry;

    ResetOverlay();
    Set([&](SettingsRecord& s) {
        s.ShowFreqFrom = 3, s.ShowFreqTo = 7;
        s.ShowTimeFrom = 1, s.ShowTimeTo = 3;
    });
    Start(64, 48, 0);
    std::vector<bool> passing;
    int passed = 0;
    for (int i = 0; i < 60; ++i) {
        if (overlay.NextFrameMayDraw()) {
            passing.push_back(Run(1)[0]);
        } else {
            overlay.PassFrame();
            passing.push_back(false);
            ++passed;
        }
    }
    EXPECT_EQ(passing, alone);
    EXPECT_EQ(Working().CurIntEntry, entry);
    EXPECT_GT(passed, 20);
}

TEST_F(OverlayEngine, RandomCentresRepeatFromLoad) {
    Set([&](SettingsRecord& s) { s.FontSize = -10; });  // small enough that no clamp moves the centre
    Start(768, 576, 1);
    const auto centre = [&] {
        const CanvasRect r = TextRect();
        return std::pair(r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2);
    };
    Run(1);
    EXPECT_EQ(centre(), std::pair(308, 463));
    Run(12);
    EXPECT_EQ(centre(), std::pair(363, 545));
}

TEST_F(OverlayEngine, ScheduleFollowsTheRanges) {
    Start(64, 48, 0);
    Set([&](SettingsRecord& s) { s.ShowTimeFrom = s.ShowTimeTo = 0; });  // fetched every cycle, never drawn
    std::vector<int32_t> results;
    EXPECT_TRUE(Indices(Run(25, &results)).empty());
    EXPECT_EQ(results, std::vector<int32_t>(25, 1));
    EXPECT_EQ(Working().CurIntEntry, 3);  // frames 1, 13 and 25 each took an entry

    MakeNextFrameDue();
    Set([&](SettingsRecord& s) {
        s.ShowTimeFrom = s.ShowTimeTo = 5;
        s.ShowFreqFrom = s.ShowFreqTo = 3;
    });
    const int32_t start = Working().CurIntEntry;
    EXPECT_EQ(Indices(Run(9)).size(), 9u);              // every frame carries a caption...
    EXPECT_EQ(Working().CurIntEntry, (start + 3) % 4);  // ...each entry for three frames
}

TEST_F(OverlayEngine, ReversedOrNegativeRangesGiveTheLowerBound) {
    Start(64, 48, 0);
    Set([&](SettingsRecord& s) {
        s.ShowFreqFrom = 10;
        s.ShowFreqTo = 2;
        s.ShowTimeFrom = -5;
        s.ShowTimeTo = -900;
    });
    Run(1);
    EXPECT_EQ(GapFrames(), 10u);
    EXPECT_EQ(OverlayEngineInternals::ShowFrames(overlay), 0u);
}

// A chosen dictionary without entries leaves every frame alone: said once
// each time it is found so, naming the word list.
TEST_F(OverlayEngine, EmptyDictionaryIsToldOnceNamingTheList) {
    const std::vector<std::string> told = {
        "DicFileName=/nowhere/words.dic: the word list that DicType=1 chooses has no entries: no captions"};
    Set([&](SettingsRecord& s) {
        s.ShowFreqFrom = s.ShowFreqTo = 1;
        s.DicType = 1;
        s.DicFileName = "/nowhere/words.dic";
    });
    Start(64, 48, 0);
    std::vector<int32_t> results;
    EXPECT_TRUE(Indices(Run(3, &results)).empty());
    EXPECT_EQ(results, std::vector<int32_t>(3, 0));
    EXPECT_EQ(plugin->TakeNotices(), told);

    Set([&](SettingsRecord& s) { s.DicType = 0; });
    EXPECT_EQ(Indices(Run(1)), std::vector<int>{1});
    Set([&](SettingsRecord& s) { s.DicType = 1; });
    Run(2);
    EXPECT_EQ(plugin->TakeNotices(), told);
}

TEST_F(OverlayEngine, CaptionSplitsIntoWordAndTranslation) {
    Start(768, 576, 1);
    Run(1);
    EXPECT_EQ(OverlayEngineInternals::CaptionLines(overlay), "dog\nsobaka");
    EXPECT_EQ(TextRect().right - TextRect().left, 6 * renderer.cellWidth());
    EXPECT_EQ(TextRect().bottom - TextRect().top, 2 * renderer.cellHeight());
    EXPECT_EQ(renderer.lastLines(), (std::vector<std::string>{"dog", "sobaka"}));

    SetBuiltinEntries({{"a", "b - c"}, {"one", "&Fish && chips"}});
    Set([&](SettingsRecord& s) { s.CurIntEntry = 1; });
    MakeNextFrameDue();
    Run(1);  // a two-line measure, a three-line drawing
    EXPECT_EQ(TextRect().right - TextRect().left, 5 * renderer.cellWidth());
    EXPECT_EQ(TextRect().bottom - TextRect().top, 2 * renderer.cellHeight());
    EXPECT_EQ(renderer.lastLines(), (std::vector<std::string>{"a", "b", "c"}));

    MakeNextFrameDue();
    Run(1);
    EXPECT_EQ(renderer.lastLines(), (std::vector<std::string>{"one", "Fish & chips"}));
}

TEST_F(OverlayEngine, FixedPositionIsClampedAndWrittenBack) {
    Start(768, 576, 1);
    Set([&](SettingsRecord& s) {
        s.RndStringPos = 0;
        s.StringPosX = 760;
        s.StringPosY = -50;
    });
    Run(1);
    const CanvasRect text = TextRect();
    const int32_t width = text.right - text.left, height = text.bottom - text.top;
    EXPECT_EQ(text.left, 768 - width);
    EXPECT_EQ(text.top, 0);
    EXPECT_EQ(Working().StringPosX, 768 - width + width / 2);
    EXPECT_EQ(Working().StringPosY, height / 2);
}

TEST_F(OverlayEngine, KeyedCaptionChangesOnlyGlyphPixelsToTheTextColour) {
    Start(768, 576, 1);
    Run(1);
    MakeNextFrameDue();
    const std::vector<uint8_t> pixels = Processed();
    ExpectOnlyColours(pixels, 768, {kGrey, kTextColour});
    const CanvasRect r = CaptionRect();  // canvas and frame coincide at 768x576
    const FrameChanges changes = ChangesFrom(pixels, 768, kGrey);
    EXPECT_GT(changes.count, 100);
    EXPECT_TRUE(changes.Within(r.left, r.top, r.right, r.bottom));
}

TEST_F(OverlayEngine, WholeFrameBackgroundBlendsEveryPixel) {
    Set([&](SettingsRecord& s) {
        s.BackType = 2;
        s.BackColor = 0x000000;
    });
    Start(64, 48, 1);
    ExpectOnlyColours(Processed(), 64, {kBlack, kTextColour});
}

// With the whole frame as background the blend reads the canvas only in
// the caption's rectangle: whatever else the canvas held would not show.
TEST_F(OverlayEngine, WholeFrameBackgroundReadsTheCanvasOnlyInTheCaption) {
    SetBuiltinEntries({{"cat", "koshka"}});  // the same caption, in the same place, every frame
    Set([&](SettingsRecord& s) {
        s.BackType = 2;
        s.BackColor = 0x000000;
        s.RndStringPos = 0;
        s.ShowFreqFrom = s.ShowFreqTo = 1;
    });
    Start(64, 48, 1);
    Run(1);
    const CanvasPoint a = renderer.ToFrame({CaptionRect().left, CaptionRect().top});
    const CanvasPoint b = renderer.ToFrame({CaptionRect().right, CaptionRect().bottom});
    uint8_t* canvas = OverlayEngineInternals::CanvasBits(overlay);
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 64; ++x)
            if (x < a.x || x >= b.x || y < a.y || y >= b.y) canvas[(size_t(y) * 64 + x) * 4] = 0x77;
    ExpectOnlyColours(Processed(), 64, {kBlack, kTextColour});
}

TEST_F(OverlayEngine, MisbehavingHostChangesNothing) {
    FrameRecord none = {nullptr};
    std::vector<uint8_t> pixels(64 * 48 * 2, 0x40);
    FrameRecord early = {pixels.data()};
    EXPECT_EQ(host::ProcessFrame(*plugin, &early), 0);  // before StreamStart
    EXPECT_EQ(host::ProcessFrame(*plugin, nullptr), 0);
    const StreamFormat empty = {0, 0, 0, 0}, negative = {-4, 10, 0, 1};
    EXPECT_EQ(host::StreamStart(*plugin, &empty), 0);
    EXPECT_EQ(host::StreamStart(*plugin, &negative), 0);
    EXPECT_EQ(host::StreamStart(*plugin, nullptr), 0);
    EXPECT_EQ(host::ProcessFrame(*plugin, &early), 0);

    Start(64, 48, 0);
    EXPECT_EQ(host::ProcessFrame(*plugin, &none), 0);
    EXPECT_EQ(GapFrames(), 0u);  // a missing frame does not count
    EXPECT_EQ(Working().CurIntEntry, 0);
    Start(64, 48, 0);  // StreamStart twice replaces the canvas
    EXPECT_EQ(host::ProcessFrame(*plugin, &early), 1);
    plugin->StreamStop();
    plugin->StreamStop();
    EXPECT_EQ(host::ProcessFrame(*plugin, &early), 0);  // after StreamStop
}

// The canvas and the blend take the stream's size and format: a frame of
// another is neither touched nor counted.
TEST_F(OverlayEngine, FramesOtherThanTheStreamsAreRefused) {
    ASSERT_EQ(plugin->StreamStart({64, 48, FrameFormat::kI420}), 1);
    for (TestFrame other : {TestFrame(FrameFormat::kI420, 66, 48), TestFrame(FrameFormat::kI420, 64, 40),
                            TestFrame(FrameFormat::kNv12, 64, 48)}) {
        const TestFrame before = other;
        EXPECT_EQ(plugin->ProcessFrame(other.View()), 0);
        EXPECT_TRUE(other == before);
    }
    TestFrame frame(FrameFormat::kI420, 64, 48);
    FrameView none = frame.View();
    none.planes[0].top = nullptr;
    EXPECT_EQ(plugin->ProcessFrame(none), 0);
    EXPECT_EQ(Working().CurIntEntry, 0);
    EXPECT_EQ(GapFrames(), 0u);
    EXPECT_EQ(plugin->ProcessFrame(frame.View()), 1);
    EXPECT_EQ(Working().CurIntEntry, 1);
}

TEST_F(OverlayEngine, EmptyDictionaryAsksAgainOnTheNextFrame) {
    SetBuiltinEntries({});
    Start(64, 48, 0);
    std::vector<int32_t> results;
    EXPECT_TRUE(Indices(Run(3, &results)).empty());
    EXPECT_EQ(results, std::vector<int32_t>(3, 0));
    EXPECT_EQ(GapFrames(), 0u);
    SetBuiltinEntries({{"cat", "koshka"}});
    EXPECT_EQ(Indices(Run(1)), (std::vector<int>{1}));
}

TEST_F(OverlayEngine, NoCanvasMeansNoBlendButTheScheduleRuns) {
    renderer.failCanvas = true;
    Start(64, 48, 1);
    EXPECT_TRUE(Indices(Run(13)).empty());
    EXPECT_EQ(Working().CurIntEntry, 2);
}

TEST_F(OverlayEngine, OddYuy2WidthAndTinyFrames) {
    for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {2, 2}, {5, 3}, {101, 7}}) {
        for (int32_t format : {0, 1}) {
            Start(w, h, format);
            MakeNextFrameDue();
            Run(2);  // under ASan: no access outside the frame
        }
    }
}

TEST_F(OverlayEngine, LongFontNameIsCut) {
    Set([&](SettingsRecord& s) { s.FontName = std::string(40, 'F'); });
    Start(64, 48, 0);
    EXPECT_EQ(std::string(renderer.font().faceName), std::string(31, 'F'));
}

// Frames come in every format the kernels know, with padded rows or bottom
// up: the same caption lands on each as the formats relate (YUY2, I420 and
// NV12 share their luma, NV12 is I420 with U and V interleaved, BGRx is BGR
// with its fourth byte left alone).
TEST_F(OverlayEngine, TakesEveryFrameFormatOfTheKernels) {
    const auto draw = [&](TestFrame frame) {
        ResetOverlay();
        for (std::vector<uint8_t>& plane : frame.planes) std::fill(plane.begin(), plane.end(), 0x40);
        EXPECT_EQ(plugin->StreamStart({frame.width, frame.height, frame.format}), 1);
        EXPECT_EQ(plugin->ProcessFrame(frame.View()), 1);
        return frame;
    };
    constexpr int32_t w = 90, h = 60;
    TestFrame yuy2 = draw(TestFrame(FrameFormat::kYuy2, w, h)), i420 = draw(TestFrame(FrameFormat::kI420, w, h, 3));
    TestFrame nv12 = draw(TestFrame(FrameFormat::kNv12, w, h, 2));
    TestFrame bgr = draw(TestFrame(FrameFormat::kBgr, w, h)), bgrUp = draw(TestFrame(FrameFormat::kBgr, w, h, 1, true));
    TestFrame bgrx = draw(TestFrame(FrameFormat::kBgrx, w, h, 4));
    int changed = 0;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) changed += yuy2.At(0, x * 2, y) != 0x40;
    EXPECT_GT(changed, 20);
    ExpectFormatsAgree({yuy2, i420, nv12, bgr, bgrUp, bgrx}, [](int32_t, int32_t) { return 0x40; });
}

// Clearing only the last caption's rectangle must give the frames a full
// clear of the canvas would give, whatever changes between frames.
TEST_F(OverlayEngine, PartialCanvasClearMatchesFullClear) {
    Set([&](SettingsRecord& s) {
        s.ShowFreqFrom = s.ShowFreqTo = 2;
        s.ShowTimeFrom = s.ShowTimeTo = 2;
    });
    std::vector<std::vector<uint8_t>> outputs[2];
    for (int pass = 0; pass < 2; ++pass) {
        ResetOverlay();
        Start(200, 150, 0);
        for (int i = 0; i < 40; ++i) {
            Set([&](SettingsRecord& s) {
                s.BackType = (i / 7) % 3;
                s.BackColor = (i / 11) % 2 ? 0x102030 : 0xFFFFFF;
                s.FontSize = -20 - (i % 5) * 7;
                s.Transparency = 70;
            });
            if (i == 20) overlay.CreateCaptionFont();
            if (pass == 1) OverlayEngineInternals::ForgetCanvas(overlay);  // force the full clear
            outputs[pass].push_back(Processed());
        }
    }
    for (size_t i = 0; i < outputs[0].size(); ++i) EXPECT_EQ(outputs[0][i], outputs[1][i]) << "frame " << i + 1;
}

// A caption held over several frames is drawn once. Whatever changes what
// the canvas shows (the entry, its place, the colours, the font, the
// stream) draws it anew for the next frame; what only the blend reads does
// not. Every frame is the frame that drawing all anew gives.
TEST_F(OverlayEngine, HeldCaptionIsDrawnOnceAndChangesShowAtTheNextFrame) {
    struct Step {
        std::function<void()> change;
        bool redraws;
        bool shows;  // the frame differs from the one before
    };
    const Step steps[] = {
        {[] {}, true, true},  // the entry's first frame
        {[] {}, false, false},
        {[&] { Set([&](SettingsRecord& s) { s.TextColor = 0x3040F0; }); }, true, true},
        {[&] { Set([&](SettingsRecord& s) { s.BackColor = 0x102030; }); }, true, true},
        {[&] { Set([&](SettingsRecord& s) { s.StringPosX += 30; }); }, true, true},  // the pad moves the caption
        {[&] { Set([&](SettingsRecord& s) { s.StringPosY += 0; }); }, false, false},
        {[&] { Set([&](SettingsRecord& s) { s.Transparency = 40; }); }, false, true},
        {[&] { Set([&](SettingsRecord& s) { s.BackType = 2; }); }, false, true},
        {[&] { Set([&](SettingsRecord& s) { s.BackType = 0; }); }, false, true},
        {[&] { Set([&](SettingsRecord& s) { s.OutlineWidth = 2; }); }, true, true},
        {[&] {
             Set([&](SettingsRecord& s) { s.FontSize = -60; });
             overlay.CreateCaptionFont();
         },
         true, true},
        {[&] { overlay.CreateCaptionFont(); }, true, false},                         // any font made anew
        {[&] { Set([&](SettingsRecord& s) { s.FontSize = -20; }); }, false, false},  // settings alone make no font
        {[&] { MakeNextFrameDue(); }, true, true},                                   // the next entry
        {[&] { Start(150, 120, 1); }, true, true},                                   // another stream, another size
        {[] {}, false, false},
    };
    std::vector<std::vector<uint8_t>> outputs[2];
    for (int pass = 0; pass < 2; ++pass) {
        ResetOverlay();
        Set([&](SettingsRecord& s) {
            s.ShowFreqFrom = s.ShowFreqTo = 100;
            s.ShowTimeFrom = s.ShowTimeTo = 100;
            s.RndStringPos = 0;
            s.BackType = 1;
            s.Transparency = 70;
        });
        Start(200, 150, 0);
        for (size_t i = 0; i < std::size(steps); ++i) {
            steps[i].change();
            if (pass == 1) OverlayEngineInternals::ForgetCanvas(overlay);  // nothing known: all drawn anew
            const int32_t drawsBefore = renderer.drawCalls();
            int32_t result = 0;
            outputs[pass].push_back(Processed(&result));
            EXPECT_EQ(result, 1);
            if (pass == 0) {
                EXPECT_EQ(renderer.drawCalls() - drawsBefore, steps[i].redraws ? 1 : 0) << "step " << i;
            }
        }
    }
    for (size_t i = 0; i < outputs[0].size(); ++i) {
        EXPECT_EQ(outputs[0][i], outputs[1][i]) << "step " << i;
        if (i > 0) {
            EXPECT_EQ(outputs[1][i] != outputs[1][i - 1], steps[i].shows) << "step " << i;
        }
    }
}

// A font made bigger in the dialog while a caption stands gives the frame
// of a caption that started in it, not the new letters cut to the old box.
TEST_F(OverlayEngine, FontSetWhileACaptionStandsMeasuresItAgain) {
    const auto standing = [&](int32_t startSize, int32_t laterSize) {
        ResetOverlay();
        Set([&](SettingsRecord& s) {
            s.ShowFreqFrom = s.ShowFreqTo = s.ShowTimeFrom = s.ShowTimeTo = 50;
            s.RndStringPos = 0;
            s.StringPosX = kCanvasWidth / 2, s.StringPosY = kCanvasHeight / 2;
            s.BackType = 1;
            s.Transparency = 100;
            s.FontSize = startSize;
        });
        Start(720, 576, 0);
        Run(1);
        Set([&](SettingsRecord& s) { s.FontSize = laterSize; });
        overlay.CreateCaptionFont();
        return Processed();
    };
    EXPECT_EQ(standing(-20, -80), standing(-80, -80));
    EXPECT_EQ(standing(-80, -20), standing(-20, -20));
}

// The runs the engine blends with hold every canvas pixel that differs from
// the background, at the canvas's edges and wherever rounding falls.
TEST_F(OverlayEngine, CaptionRunsHoldEveryPixelTheRendererDrew) {
    SetBuiltinEntries({{"cat", "koshka"}, {"a b", "c &d"}, {"wide word here", "x"}});
    Set([&](SettingsRecord& s) {
        s.ShowFreqFrom = s.ShowFreqTo = 1;
        s.BackColor = 0x102030;
    });
    for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{{97, 61}, {720, 576}, {1920, 1080}}) {
        Start(w, h, 0);
        for (int i = 0; i < 12; ++i) {
            Set([&](SettingsRecord& s) {
                s.FontSize = -15 - 13 * (i % 4);
                s.RndStringPos = i % 3 != 0;
                s.StringPosX = i * 97 % 800;
            });
            overlay.CreateCaptionFont();
            ASSERT_EQ(Indices(Run(1)), std::vector<int>{1});
            ASSERT_EQ(PixelsOutsideCaptionRuns(*plugin), 0) << w << "x" << h << ", frame " << i;
        }
    }
}

// The engine's frames on each kernel path, its renderer's runs and all, are
// the reference's.
TEST_F(OverlayEngine, EveryKernelPathGivesTheReferenceFrames) {
    Set([&](SettingsRecord& s) {
        s.ShowFreqFrom = s.ShowFreqTo = 2;
        s.ShowTimeFrom = s.ShowTimeTo = 2;
    });
    const auto frames = [&](KernelPath path) {
        ResetOverlay();
        EXPECT_TRUE(overlay.SetKernelPath(path));
        std::vector<std::vector<uint8_t>> out;
        for (int32_t format : {0, 1}) {
            Start(203 + format, 150, format);
            for (int i = 0; i < 18; ++i) {
                Set([&](SettingsRecord& s) {
                    s.BackType = i % 3;
                    s.Transparency = i % 2 ? 100 : 55;
                });
                std::vector<uint8_t> pixels = frame;
                for (size_t b = 0; b < pixels.size(); ++b) pixels[b] = uint8_t(b * 7 + i);
                FrameRecord record = {pixels.data()};
                host::ProcessFrame(*plugin, &record);
                out.push_back(pixels);
            }
        }
        return out;
    };
    const auto expected = frames(KernelPath::kReference);
    for (KernelPath path : SimdPaths()) EXPECT_EQ(frames(path), expected) << PathName(path);
}

}  // namespace

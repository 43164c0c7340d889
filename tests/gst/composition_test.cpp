// The composition path: downstream that takes overlay compositions gets
// the frames untouched and the caption as one rectangle, which blended
// gives what the element would have blended; the schedule and the bus
// say the same on either path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "tests/gst/element_fixture.h"

namespace {

// A caption on every buffer, the same entry and place in every run.
const char kEveryBuffer[] = "show-freq-from=1 show-freq-to=1 rules-type=a-z rnd-string-pos=false";

struct Pushed {
    std::vector<Bytes> out;
    // Each buffer's composition, ref'd; null where it had none.
    std::vector<GstVideoOverlayComposition*> compositions;

    ~Pushed() {
        for (GstVideoOverlayComposition* composition : compositions)
            if (composition) gst_video_overlay_composition_unref(composition);
    }
};

class Composition : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartGStreamer(); }

    // count copies of picture through the line, the element last, on a
    // settings file of each run's own (a run saves where its walk stopped),
    // downstream answering the allocation query with the metas given.
    Pushed Push(const std::string& upstream, const std::string& properties, const std::string& caps,
                const Bytes& picture, int count, const std::vector<GType>& metas) {
        const std::string line = upstream + "tpp25frame mode=flash progress-db=none settings-file=" +
                                 folder / (std::to_string(++runs) + ".ini") + " " + properties;
        GstHarness* harness = gst_harness_new_parse(line.c_str());
        for (const GType meta : metas) gst_harness_add_propose_allocation_meta(harness, meta, nullptr);
        gst_harness_set_src_caps_str(harness, caps.c_str());
        Pushed pushed;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(gst_harness_push(harness, gst_buffer_new_memdup(picture.data(), picture.size())), GST_FLOW_OK);
            GstBuffer* out = gst_harness_pull(harness);
            Bytes bytes(gst_buffer_get_size(out));
            gst_buffer_extract(out, 0, bytes.data(), bytes.size());
            pushed.out.push_back(std::move(bytes));
            const GstVideoOverlayCompositionMeta* meta = gst_buffer_get_video_overlay_composition_meta(out);
            pushed.compositions.push_back(meta ? gst_video_overlay_composition_ref(meta->overlay) : nullptr);
            gst_buffer_unref(out);
        }
        gst_harness_teardown(harness);
        return pushed;
    }

    TempFolder folder;
    int runs = 0;
};

// What a sink that blends compositions answers (after gst_init).
std::vector<GType> Composes() { return {GST_VIDEO_OVERLAY_COMPOSITION_META_API_TYPE}; }

// Where a rectangle of the composition goes on the frame.
PixelBox RenderBox(GstVideoOverlayComposition* composition, guint n) {
    gint x = 0, y = 0;
    guint width = 0, height = 0;
    gst_video_overlay_rectangle_get_render_rectangle(gst_video_overlay_composition_get_rectangle(composition, n), &x,
                                                     &y, &width, &height);
    return {x, y, int(width), int(height)};
}

// The picture with the composition blended onto it by GStreamer.
Bytes BlendedBy(GstVideoOverlayComposition* composition, const GstVideoInfo& info, const Bytes& picture) {
    GstBuffer* buffer = gst_buffer_new_memdup(picture.data(), picture.size());
    GstVideoFrame frame;
    EXPECT_TRUE(gst_video_frame_map(&frame, &info, buffer, GST_MAP_READWRITE));
    EXPECT_TRUE(gst_video_overlay_composition_blend(composition, &frame));
    gst_video_frame_unmap(&frame);
    Bytes bytes(picture.size());
    gst_buffer_extract(buffer, 0, bytes.data(), bytes.size());
    gst_buffer_unref(buffer);
    return bytes;
}

// The largest difference between two BGRx pictures' colour bytes (the
// fourth is no colour).
int ColourDifference(const Bytes& a, const Bytes& b) {
    int largest = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (i % 4 != 3) largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

// A BGRx picture whose fourth bytes are 0xFF, as converters leave them:
// GStreamer's blend reads that byte as the frame's alpha.
Bytes OpaqueBgrx(int width, int height) {
    Bytes picture = MakePicture("BGRx", width, height);
    for (size_t i = 3; i < picture.size(); i += 4) picture[i] = 0xFF;
    return picture;
}

GstVideoInfo BgrxInfo(int width, int height) {
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_BGRx, width, height);
    return info;
}

struct BackTypeCase {
    const char* name;
    const char* properties;
    bool wholeFrame;
};

void PrintTo(const BackTypeCase& backType, std::ostream* out) { *out << backType.properties; }

class EachBackType : public Composition, public ::testing::WithParamInterface<BackTypeCase> {};

// The rectangle premultiplied, its global alpha the opacity; blended, it
// differs from the element's own blending by rounding alone. Without the
// meta downstream, the element blends as it always has.
TEST_P(EachBackType, CompositionOnAnUntouchedFrameBlendsAsTheElementDoes) {
    const std::string properties = std::string(kEveryBuffer) + " transparency=60 " + GetParam().properties;
    const std::string caps = RawCaps("BGRx", 320, 240);
    const Bytes picture = OpaqueBgrx(320, 240);
    const Pushed composed = Push("", properties, caps, picture, 1, Composes());
    const Pushed blended = Push("", properties, caps, picture, 1, {});

    ASSERT_EQ(blended.compositions[0], nullptr);
    ASSERT_NE(blended.out[0], picture);
    EXPECT_EQ(composed.out[0], picture) << "the pixels were touched";
    GstVideoOverlayComposition* composition = composed.compositions[0];
    ASSERT_NE(composition, nullptr);
    ASSERT_EQ(gst_video_overlay_composition_n_rectangles(composition), 1u);
    GstVideoOverlayRectangle* rectangle = gst_video_overlay_composition_get_rectangle(composition, 0);
    EXPECT_TRUE(gst_video_overlay_rectangle_get_flags(rectangle) & GST_VIDEO_OVERLAY_FORMAT_FLAG_PREMULTIPLIED_ALPHA);
    EXPECT_FLOAT_EQ(gst_video_overlay_rectangle_get_global_alpha(rectangle), 0.6f);
    const auto [x, y, width, height] = RenderBox(composition, 0);
    if (GetParam().wholeFrame) {
        EXPECT_TRUE(x == 0 && y == 0 && width == 320 && height == 240)
            << x << "," << y << " " << width << "x" << height;
    } else {
        EXPECT_TRUE(x >= 0 && y >= 0 && x + width <= 320 && y + height <= 240 && width < 320 && height < 240)
            << x << "," << y << " " << width << "x" << height;
    }
    EXPECT_LE(ColourDifference(BlendedBy(composition, BgrxInfo(320, 240), picture), blended.out[0]), 2);
}

INSTANTIATE_TEST_SUITE_P(BackTypes, EachBackType,
                         ::testing::Values(BackTypeCase{"LettersOutlined", "back-type=none outline-width=2", false},
                                           BackTypeCase{"Box", "back-type=box", false},
                                           BackTypeCase{"WholeFrame", "back-type=whole-frame", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Behind videocrop's mark, the rectangle lies in the part a sink shows, in
// the whole frame's coordinates.
TEST_F(Composition, RectangleIsPlacedInTheCroppedPartOfTheFrame) {
    const std::string crop = "videocrop top=120 left=40 ! ";
    const std::vector<GType> cropMetas = {GST_VIDEO_META_API_TYPE, GST_VIDEO_CROP_META_API_TYPE};
    std::vector<GType> metas = cropMetas;
    metas.push_back(GST_VIDEO_OVERLAY_COMPOSITION_META_API_TYPE);
    const std::string caps = RawCaps("BGRx", 320, 240);
    const Bytes picture = OpaqueBgrx(320, 240);
    const std::string opaque = std::string(kEveryBuffer) + " transparency=100";
    const Pushed composed = Push(crop, opaque, caps, picture, 1, metas);
    const Pushed blended = Push(crop, opaque, caps, picture, 1, cropMetas);

    ASSERT_NE(composed.compositions[0], nullptr);
    const PixelBox box = RenderBox(composed.compositions[0], 0);
    EXPECT_TRUE(box.x >= 40 && box.y >= 120) << box.x << "," << box.y;
    EXPECT_EQ(ColourDifference(BlendedBy(composed.compositions[0], BgrxInfo(320, 240), picture), blended.out[0]), 0)
        << "at full opacity the colours are the canvas's";
}

// The schedule is the blending path's: the default one, a caption held
// over its frames being one composition.
TEST_F(Composition, ScheduleIsTheSameAndAHeldCaptionIsOneComposition) {
    const std::string caps = RawCaps("I420", 160, 120);
    const Bytes picture = MakePicture("I420", 160, 120);
    const Pushed defaults = Push("", "", caps, picture, 49, Composes());
    std::vector<int> carrying;
    for (size_t i = 0; i < defaults.compositions.size(); ++i)
        if (defaults.compositions[i]) carrying.push_back(int(i) + 1);
    EXPECT_EQ(carrying, (std::vector<int>{1, 13, 25, 37, 49}));
    for (const Bytes& out : defaults.out) EXPECT_EQ(out, picture);

    const Pushed held = Push("", "show-time-from=3 show-time-to=3 show-freq-from=5 show-freq-to=5", caps, picture, 4,
                             Composes());
    ASSERT_NE(held.compositions[0], nullptr);
    EXPECT_EQ(held.compositions[1], held.compositions[0]);
    EXPECT_EQ(held.compositions[2], held.compositions[0]);
    EXPECT_EQ(held.compositions[3], nullptr);
}

// A composition that came with the buffer keeps its rectangle, under the
// caption's.
TEST_F(Composition, CompositionFromUpstreamKeepsItsRectangle) {
    GstHarness* harness = gst_harness_new_parse(
        ("tpp25frame mode=flash progress-db=none settings-file=" + folder / "1.ini" + " " + kEveryBuffer).c_str());
    gst_harness_add_propose_allocation_meta(harness, GST_VIDEO_OVERLAY_COMPOSITION_META_API_TYPE, nullptr);
    gst_harness_set_src_caps_str(harness, RawCaps("BGRx", 160, 120).c_str());
    GstBuffer* pixels = gst_buffer_new_allocate(nullptr, 8 * 8 * 4, nullptr);
    gst_buffer_add_video_meta(pixels, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_OVERLAY_COMPOSITION_FORMAT_RGB, 8, 8);
    GstVideoOverlayRectangle* theirs = gst_video_overlay_rectangle_new_raw(pixels, 1, 2, 8, 8,
                                                                           GST_VIDEO_OVERLAY_FORMAT_FLAG_NONE);
    GstVideoOverlayComposition* upstream = gst_video_overlay_composition_new(theirs);
    const Bytes picture = OpaqueBgrx(160, 120);
    GstBuffer* in = gst_buffer_new_memdup(picture.data(), picture.size());
    gst_buffer_add_video_overlay_composition_meta(in, upstream);
    GstBuffer* out = gst_harness_push_and_pull(harness, in);

    guint metas = 0;
    gpointer state = nullptr;
    while (gst_buffer_iterate_meta_filtered(out, &state, GST_VIDEO_OVERLAY_COMPOSITION_META_API_TYPE)) ++metas;
    EXPECT_EQ(metas, 1u);
    const GstVideoOverlayCompositionMeta* meta = gst_buffer_get_video_overlay_composition_meta(out);
    ASSERT_NE(meta, nullptr);
    ASSERT_EQ(gst_video_overlay_composition_n_rectangles(meta->overlay), 2u);
    EXPECT_EQ(RenderBox(meta->overlay, 0).x, 1);
    gst_buffer_unref(out);
    gst_video_overlay_composition_unref(upstream);
    gst_video_overlay_rectangle_unref(theirs);
    gst_buffer_unref(pixels);
    gst_harness_teardown(harness);
}

// Downstream whose caps must have the feature gets compositions without
// offering the meta; one that takes plain caps gets blended frames. The
// bus says which.
TEST_F(Composition, PathIsChosenByDownstreamAndSaidOnTheBus) {
    const std::string source =
        "videotestsrc num-buffers=2 ! video/x-raw,format=BGRx,width=160,height=120 ! tpp25frame mode=flash "
        "settings-file=none "
        "progress-db=none ! ";
    const PipelineRun composes = RunPipeline(
        source + "video/x-raw(memory:SystemMemory,meta:GstVideoOverlayComposition) ! fakesink");
    const PipelineRun blends = RunPipeline(source + "fakesink");
    for (const PipelineRun* run : {&composes, &blends}) {
        EXPECT_TRUE(run->reachedEos) << run->error;
        ASSERT_EQ(run->infos.size(), 1u);
    }
    EXPECT_NE(composes.infos[0].find("overlay composition, which it blends"), std::string::npos) << composes.infos[0];
    EXPECT_NE(blends.infos[0].find("blended into the frames"), std::string::npos) << blends.infos[0];
}

}  // namespace

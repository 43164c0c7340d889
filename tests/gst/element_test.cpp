// The element in a harness or a small pipeline: formats, the schedule in
// buffers, buffers that pass untouched, new sizes, the settings file and
// the properties over it, each element an instance of its own.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/gst/element_fixture.h"
#include "tests/native/unprivileged.h"

namespace {

class Tpp25Frame : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartGStreamer(); }

    // The element on a fresh settings file of this test's folder, recording
    // nothing (keys_test.cpp tries the store).
    std::string Element(const std::string& properties = "", const std::string& file = "settings.ini") const {
        return "tpp25frame mode=flash progress-db=none settings-file=" + folder / file + " " + properties;
    }

    TempFolder folder;
};

const std::vector<int> kDefaultSchedule = {1, 13, 25, 37, 49};
const char* const kFormats[] = {"YUY2", "BGR",  "BGRx", "BGRA", "I420", "NV12", "RGBA",      "RGBx",     "ARGB",
                                "xRGB", "ABGR", "xBGR", "UYVY", "NV21", "YV12", "P010_10LE", "I420_10LE"};

TEST_F(Tpp25Frame, AcceptsExactlyTheFormatsItBlendsInto) {
    GstElement* element = gst_element_factory_make("tpp25frame", nullptr);
    ASSERT_NE(element, nullptr);
    GstPad* sink = gst_element_get_static_pad(element, "sink");
    for (const char* format : kFormats) {
        GstCaps* caps = gst_caps_from_string(RawCaps(format, 320, 240).c_str());
        EXPECT_TRUE(gst_pad_query_accept_caps(sink, caps)) << format;
        gst_caps_unref(caps);
    }
    for (const char* format : {"RGB", "YVYU", "NV16", "Y42B", "GRAY8", "AYUV", "P010_10BE", "I420_10BE", "I420_12LE"}) {
        GstCaps* caps = gst_caps_from_string(RawCaps(format, 320, 240).c_str());
        EXPECT_FALSE(gst_pad_query_accept_caps(sink, caps)) << format;
        gst_caps_unref(caps);
    }
    gst_object_unref(sink);
    gst_object_unref(element);
}

class EachFormat : public Tpp25Frame, public ::testing::WithParamInterface<const char*> {};

// As it comes, with no converter before the element: the caption on the
// schedule, and a fourth byte beside R, G and B never written.
TEST_P(EachFormat, DefaultScheduleChangesEveryTwelfthBufferFromTheFirst) {
    const Bytes picture = MakePicture(GetParam(), 160, 120);
    const HarnessRun run = RunHarness(Element(), RawCaps(GetParam(), 160, 120), picture, 50);
    EXPECT_EQ(run.changed, kDefaultSchedule);
    const Bytes fourth = FourthBytesOf(GetParam(), 160, 120, picture);
    for (int number : run.changed) {
        if (!fourth.empty()) {
            EXPECT_TRUE(FourthBytesOf(GetParam(), 160, 120, run.out[number - 1]) == fourth);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, EachFormat, ::testing::ValuesIn(kFormats));

// Formats that differ only in the order of their bytes or planes give the
// same picture, component by component.
TEST_F(Tpp25Frame, FormatsOfOtherOrdersGiveTheSamePicture) {
    const int width = 158, height = 118;  // strides with padding
    // Colours whose U and V differ, so that swapped chroma shows.
    const std::string settings =
        "show-freq-from=1 show-freq-to=1 back-type=box transparency=60 text-color=0x00ff00 back-color=0x0000a0";
    int runs = 0;
    const auto components = [&](const char* format) {  // each run on a fresh walk
        const HarnessRun run = RunHarness(Element(settings, std::to_string(++runs) + ".ini"),
                                          RawCaps(format, width, height), MakePicture(format, width, height), 1);
        EXPECT_EQ(run.changed, std::vector<int>{1}) << format;
        return ComponentsOf(format, width, height, run.out.at(0));
    };
    const std::pair<const char*, const char*> siblings[] = {{"BGRA", "RGBA"}, {"BGRA", "ARGB"}, {"BGRA", "ABGR"},
                                                            {"BGRx", "RGBx"}, {"BGRx", "xRGB"}, {"BGRx", "xBGR"},
                                                            {"YUY2", "UYVY"}, {"NV12", "NV21"}, {"I420", "YV12"}};
    for (const auto& [first, second] : siblings) EXPECT_TRUE(components(first) == components(second)) << second;
}

// The kernels' luma is the same in every YUV format; here the element must
// hand each format's planes to them as they are.
TEST_F(Tpp25Frame, PlanarLumaEqualsTheLumaOfYuy2) {
    const int width = 158, height = 118;  // strides with padding
    const std::string settings = "show-freq-from=1 show-freq-to=1 back-type=box transparency=60";
    std::vector<Bytes> lumas[3];
    const char* formats[3] = {"YUY2", "I420", "NV12"};
    for (int f = 0; f < 3; ++f) {
        const HarnessRun run = RunHarness(Element(settings, std::string(formats[f]) + ".ini"),
                                          RawCaps(formats[f], width, height), MakePicture(formats[f], width, height),
                                          4);
        ASSERT_EQ(run.changed, (std::vector<int>{1, 2, 3, 4})) << formats[f];
        for (const Bytes& out : run.out) lumas[f].push_back(LumaOf(formats[f], width, height, out));
    }
    EXPECT_EQ(lumas[1], lumas[0]);
    EXPECT_EQ(lumas[2], lumas[0]);
}

// After a tee both branches hold the buffer: one without a caption goes on
// as it is, one with a caption is copied and the shared one left alone.
TEST_F(Tpp25Frame, SharedBufferIsCopiedOnlyForACaption) {
    GstHarness* harness = gst_harness_new_parse(Element().c_str());
    gst_harness_set_src_caps_str(harness, RawCaps("YUY2", 160, 120).c_str());
    const Bytes picture = MakePicture("YUY2", 160, 120);
    for (int number = 1; number <= 13; ++number) {
        GstBuffer* in = gst_buffer_new_memdup(picture.data(), picture.size());
        gst_buffer_ref(in);
        ASSERT_EQ(gst_harness_push(harness, in), GST_FLOW_OK);
        GstBuffer* out = gst_harness_pull(harness);
        const bool caption = number == 1 || number == 13;
        EXPECT_EQ(out != in, caption) << "buffer " << number;
        EXPECT_EQ(gst_buffer_memcmp(in, 0, picture.data(), picture.size()), 0) << "buffer " << number;
        gst_buffer_unref(out);
        gst_buffer_unref(in);
    }
    gst_harness_teardown(harness);
}

// A GAP buffer holds no picture: it passes as it is and does not count.
TEST_F(Tpp25Frame, GapBufferIsNotCounted) {
    GstHarness* harness = gst_harness_new_parse(Element().c_str());
    gst_harness_set_src_caps_str(harness, RawCaps("YUY2", 160, 120).c_str());
    const Bytes picture = MakePicture("YUY2", 160, 120);
    std::vector<int> changed;
    for (int number = 1; number <= 14; ++number) {
        GstBuffer* in = gst_buffer_new_memdup(picture.data(), picture.size());
        if (number == 5) GST_BUFFER_FLAG_SET(in, GST_BUFFER_FLAG_GAP);
        ASSERT_EQ(gst_harness_push(harness, in), GST_FLOW_OK);
        GstBuffer* out = gst_harness_pull(harness);
        if (gst_buffer_memcmp(out, 0, picture.data(), picture.size()) != 0) changed.push_back(number);
        gst_buffer_unref(out);
    }
    gst_harness_teardown(harness);
    EXPECT_EQ(changed, (std::vector<int>{1, 14}));
}

// A new size mid-stream restarts the canvas; the schedule runs on.
TEST_F(Tpp25Frame, NewSizeMidStreamKeepsTheSchedule) {
    GstHarness* harness = gst_harness_new_parse(Element().c_str());
    std::vector<int> changed;
    for (int number = 1; number <= 26; ++number) {
        const int width = number <= 6 ? 160 : 352, height = number <= 6 ? 120 : 288;
        if (number == 1 || number == 7) gst_harness_set_src_caps_str(harness, RawCaps("I420", width, height).c_str());
        const Bytes picture = MakePicture("I420", width, height);
        ASSERT_EQ(gst_harness_push(harness, gst_buffer_new_memdup(picture.data(), picture.size())), GST_FLOW_OK);
        GstBuffer* out = gst_harness_pull(harness);
        ASSERT_EQ(gst_buffer_get_size(out), picture.size());
        if (gst_buffer_memcmp(out, 0, picture.data(), picture.size()) != 0) changed.push_back(number);
        gst_buffer_unref(out);
    }
    gst_harness_teardown(harness);
    EXPECT_EQ(changed, (std::vector<int>{1, 13, 25}));
}

// The caption settings of the crop tests: a caption on every buffer, the
// same entry and place in every run.
const char kEveryBuffer[] = "show-freq-from=1 show-freq-to=1 rules-type=a-z rnd-string-pos=false";

Bytes BytesOf(GstBuffer* buffer) {
    Bytes bytes(gst_buffer_get_size(buffer));
    gst_buffer_extract(buffer, 0, bytes.data(), bytes.size());
    return bytes;
}

// Behind a sink that crops, videocrop only marks the rows and columns it
// keeps: the caption is drawn in them, as on the cropped picture alone.
TEST_F(Tpp25Frame, CaptionIsDrawnInTheRectangleThatVideocropMarks) {
    GstHarness* harness = gst_harness_new_parse(("videocrop top=120 left=40 ! " + Element(kEveryBuffer)).c_str());
    gst_harness_add_propose_allocation_meta(harness, GST_VIDEO_META_API_TYPE, nullptr);
    gst_harness_add_propose_allocation_meta(harness, GST_VIDEO_CROP_META_API_TYPE, nullptr);
    gst_harness_set_src_caps_str(harness, RawCaps("I420", 320, 240).c_str());
    const Bytes picture = MakePicture("I420", 320, 240);
    ASSERT_EQ(gst_harness_push(harness, gst_buffer_new_memdup(picture.data(), picture.size())), GST_FLOW_OK);
    GstBuffer* out = gst_harness_pull(harness);
    const GstVideoCropMeta* crop = gst_buffer_get_video_crop_meta(out);
    ASSERT_NE(crop, nullptr) << "videocrop cut the picture instead of marking it";
    EXPECT_EQ(crop->y, 120u);
    const Bytes drawn = BytesOf(out);
    gst_buffer_unref(out);
    gst_harness_teardown(harness);

    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, 320, 240);
    const PixelBox shown = {40, 120, 280, 120};
    EXPECT_EQ(ChangesAround(info, picture, drawn, shown).outside, 0);
    const HarnessRun alone = RunHarness(Element(kEveryBuffer, "alone.ini"), RawCaps("I420", 280, 120),
                                        CutOut(info, picture, shown), 1);
    ASSERT_EQ(alone.changed, std::vector<int>{1});
    EXPECT_TRUE(CutOut(info, drawn, shown) == alone.out[0]);
}

struct CropCase {
    const char* format;
    PixelBox drawn;  // the crop less a column or row that shares its chroma with one outside
};

void PrintTo(const CropCase& crop, std::ostream* out) { *out << crop.format; }

class CropOfEachFormat : public Tpp25Frame, public ::testing::WithParamInterface<CropCase> {};

// A buffer with padded rows and planes (GstVideoMeta's offsets and
// strides) and a crop at odd offsets: the element reads the planes
// through the meta, draws only where the crop shows, and leaves the
// padding alone.
TEST_P(CropOfEachFormat, PaddedBufferIsDrawnOnlyWhereItsCropShows) {
    const char* format = GetParam().format;
    const PixelBox crop = {33, 21, 200, 150}, drawn = GetParam().drawn;
    GstVideoInfo plain, padded;
    gst_video_info_set_format(&plain, gst_video_format_from_string(format), 320, 240);
    padded = plain;
    size_t end = 100;
    for (guint plane = 0; plane < GST_VIDEO_INFO_N_PLANES(&plain); ++plane) {
        padded.stride[plane] = plain.stride[plane] + 40;
        padded.offset[plane] = end;
        const size_t rows = (plane + 1 < GST_VIDEO_INFO_N_PLANES(&plain) ? plain.offset[plane + 1] : plain.size) -
                            plain.offset[plane];
        end += rows / plain.stride[plane] * padded.stride[plane] + 64;
    }
    padded.size = end;
    const Bytes picture = MakePicture(format, 320, 240);
    Bytes buffer(padded.size, 0xA5);
    for (guint plane = 0; plane < GST_VIDEO_INFO_N_PLANES(&plain); ++plane)
        for (size_t at = plain.offset[plane], row = 0;
             at < (plane + 1 < GST_VIDEO_INFO_N_PLANES(&plain) ? plain.offset[plane + 1] : plain.size);
             at += plain.stride[plane], ++row)
            std::copy_n(picture.begin() + at, plain.stride[plane],
                        buffer.begin() + padded.offset[plane] + row * padded.stride[plane]);

    GstHarness* harness = gst_harness_new_parse(Element(kEveryBuffer).c_str());
    gst_harness_set_src_caps_str(harness, RawCaps(format, crop.width, crop.height).c_str());
    GstBuffer* in = gst_buffer_new_memdup(buffer.data(), buffer.size());
    gst_buffer_add_video_meta_full(in, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_INFO_FORMAT(&plain), 320, 240,
                                   GST_VIDEO_INFO_N_PLANES(&plain), padded.offset, padded.stride);
    GstVideoCropMeta* meta = gst_buffer_add_video_crop_meta(in);
    meta->x = crop.x, meta->y = crop.y, meta->width = crop.width, meta->height = crop.height;
    ASSERT_EQ(gst_harness_push(harness, in), GST_FLOW_OK);
    GstBuffer* out = gst_harness_pull(harness);
    const Bytes result = BytesOf(out);
    gst_buffer_unref(out);
    gst_harness_teardown(harness);

    const Changes changes = ChangesAround(padded, buffer, result, crop);
    EXPECT_EQ(changes.outside, 0);
    EXPECT_EQ(changes.padding, 0);
    const HarnessRun alone = RunHarness(Element(kEveryBuffer, "alone.ini"), RawCaps(format, drawn.width, drawn.height),
                                        CutOut(plain, picture, drawn), 1);
    ASSERT_EQ(alone.changed, std::vector<int>{1});
    EXPECT_TRUE(CutOut(padded, result, drawn) == alone.out[0]);
}

INSTANTIATE_TEST_SUITE_P(Formats, CropOfEachFormat,
                         ::testing::Values(CropCase{"I420", {34, 22, 199, 149}}, CropCase{"NV12", {34, 22, 199, 149}},
                                           CropCase{"YUY2", {34, 21, 199, 150}}, CropCase{"BGR", {33, 21, 200, 150}},
                                           CropCase{"YV12", {34, 22, 199, 149}}, CropCase{"NV21", {34, 22, 199, 149}},
                                           CropCase{"UYVY", {34, 21, 199, 150}}, CropCase{"RGBA", {33, 21, 200, 150}},
                                           CropCase{"xRGB", {33, 21, 200, 150}}, CropCase{"ABGR", {33, 21, 200, 150}},
                                           CropCase{"P010_10LE", {34, 22, 199, 149}},
                                           CropCase{"I420_10LE", {34, 22, 199, 149}}),
                         [](const ::testing::TestParamInfo<CropCase>& info) { return info.param.format; });

// In A to Z order each caption is the entry after the last; a stop saves
// the last one shown, and the next start goes on after it.
TEST_F(Tpp25Frame, StopSavesTheWalkAndTheNextStartGoesOn) {
    const Bytes picture = MakePicture("YUY2", 160, 120);
    const std::string file = folder / "settings.ini";
    RunHarness(Element("rules-type=a-z"), RawCaps("YUY2", 160, 120), picture, 25);
    EXPECT_EQ(SettingInFile(file, "CurIntEntry"), "3");
    RunHarness(Element("rules-type=a-z"), RawCaps("YUY2", 160, 120), picture, 13);
    EXPECT_EQ(SettingInFile(file, "CurIntEntry"), "5");
}

TEST_F(Tpp25Frame, PropertiesWinOverTheFileAndAreNotWrittenBack) {
    const std::string file = folder / "settings.ini";
    WriteBytes(file,
               "[PluginSettings]\r\nRulesType=0\r\nShowFreqFrom=5\r\nShowFreqTo=5\r\nTextColor=255\r\n"
               "FontSize=-60\r\nCurIntEntry=10\r\n");
    const Bytes picture(160 * 120 * 3, 0);
    const HarnessRun run = RunHarness(Element("show-freq-from=3 show-freq-to=3 text-color=0x00ff00 font-size=-80"),
                                      RawCaps("BGR", 160, 120), picture, 10);
    EXPECT_EQ(run.changed, (std::vector<int>{1, 4, 7, 10}));
    // Black (the picture, the outline), the element's dark box, and the
    // letters in the property's green, never the file's red.
    for (const Bytes& out : run.out)
        for (size_t i = 0; i < out.size(); i += 3) {
            const bool black = out[i] == 0 && out[i + 1] == 0 && out[i + 2] == 0;
            const bool box = out[i] == 0x20 && out[i + 1] == 0x20 && out[i + 2] == 0x20;
            const bool green = out[i] == 0 && out[i + 1] == 255 && out[i + 2] == 0;
            ASSERT_TRUE(black || box || green) << "byte " << i;
        }
    EXPECT_EQ(SettingInFile(file, "ShowFreqFrom"), "5");
    EXPECT_EQ(SettingInFile(file, "ShowFreqTo"), "5");
    EXPECT_EQ(SettingInFile(file, "TextColor"), "255");
    EXPECT_EQ(SettingInFile(file, "FontSize"), "-60");
    EXPECT_EQ(SettingInFile(file, "RulesType"), "0");
    EXPECT_EQ(SettingInFile(file, "CurIntEntry"), "14");
}

// A word list given as a property walks on its own: the file's list keeps
// its name, its selection and its index.
TEST_F(Tpp25Frame, WordListPropertyLeavesTheFilesListAndIndex) {
    const std::string file = folder / "settings.ini", mine = folder / "mine.dic", other = folder / "other.dic";
    WriteBytes(mine, "alpha - one\r\nbeta - two\r\ngamma - three\r\n");
    WriteBytes(other, "delta - four\r\nepsilon - five\r\n");
    WriteBytes(file, "[PluginSettings]\r\nDicType=1\r\nDicFileName=" + mine + "\r\nCurExtEntry=1\r\nRulesType=0\r\n");
    const HarnessRun run = RunHarness(Element("dictionary=" + other), RawCaps("YUY2", 160, 120),
                                      MakePicture("YUY2", 160, 120), 13);
    EXPECT_EQ(run.changed, (std::vector<int>{1, 13}));
    EXPECT_EQ(SettingInFile(file, "DicFileName"), mine);
    EXPECT_EQ(SettingInFile(file, "DicType"), "1");
    EXPECT_EQ(SettingInFile(file, "CurExtEntry"), "1");
    // The file's own list, without the property, goes on from its index.
    RunHarness(Element(), RawCaps("YUY2", 160, 120), MakePicture("YUY2", 160, 120), 1);
    EXPECT_EQ(SettingInFile(file, "CurExtEntry"), "2");
}

// Each word list given as a property goes on, run after run, where its last
// run stopped: the file keeps its walk by its path.
TEST_F(Tpp25Frame, WordListPropertyGoesOnWhereItsLastRunStopped) {
    const std::string file = folder / "settings.ini", mine = folder / "mine=1.dic", other = folder / "other.dic";
    WriteBytes(mine, "a - 1\r\nb - 2\r\nc - 3\r\nd - 4\r\ne - 5\r\n");
    WriteBytes(other, "x - 1\r\ny - 2\r\nz - 3\r\n");
    const auto run = [&](const std::string& list) {
        // Captions at buffers 1 and 13: the two entries after the last shown.
        RunHarness(Element("rules-type=a-z dictionary=\"" + list + "\""), RawCaps("YUY2", 160, 120),
                   MakePicture("YUY2", 160, 120), 13);
    };
    const std::string mineKey = folder / "mine%3D1.dic";
    run(mine);
    EXPECT_EQ(SettingInFile(file, mineKey), "2");
    run(other);
    run(mine);
    EXPECT_EQ(SettingInFile(file, mineKey), "4");
    EXPECT_EQ(SettingInFile(file, other), "2");
    EXPECT_EQ(SettingInFile(file, "CurExtEntry"), "0") << "the file's own list did not walk";
}

// Changed while playing, a property shows from the next caption on.
TEST_F(Tpp25Frame, PropertyChangedWhilePlayingShowsAtTheNextCaption) {
    GstHarness* harness = gst_harness_new_parse(Element().c_str());
    gst_harness_set_src_caps_str(harness, RawCaps("BGR", 160, 120).c_str());
    const Bytes black(160 * 120 * 3, 0);
    Bytes last;
    for (int number = 1; number <= 13; ++number) {
        if (number == 5) {
            GstElement* element = gst_harness_find_element(harness, "tpp25frame");
            g_object_set(element, "text-color", 0x00FF00u, nullptr);
            gst_object_unref(element);
        }
        ASSERT_EQ(gst_harness_push(harness, gst_buffer_new_memdup(black.data(), black.size())), GST_FLOW_OK);
        GstBuffer* out = gst_harness_pull(harness);
        last.resize(gst_buffer_get_size(out));
        gst_buffer_extract(out, 0, last.data(), last.size());
        gst_buffer_unref(out);
    }
    gst_harness_teardown(harness);
    int green = 0;
    for (size_t i = 0; i < last.size(); i += 3) green += last[i] == 0 && last[i + 1] == 255 && last[i + 2] == 0;
    EXPECT_GT(green, 20);
}

TEST_F(Tpp25Frame, MissingWordListIsABusWarningAndTheBuiltInListGoesOn) {
    const std::string words = folder / "missing.dic";
    const PipelineRun run = RunPipeline(
        "videotestsrc num-buffers=13 ! video/x-raw,format=YUY2,width=160,height=120 ! " +
        Element("rules-type=a-z dictionary=" + words) + " ! fakesink");
    EXPECT_TRUE(run.reachedEos) << run.error;
    ASSERT_EQ(run.warnings.size(), 1u);
    EXPECT_NE(run.warnings[0].find(words), std::string::npos) << run.warnings[0];
    EXPECT_FALSE(std::ifstream(words).is_open()) << "the missing list was created";
    EXPECT_EQ(SettingInFile(folder / "settings.ini", "CurIntEntry"), "2");
    EXPECT_EQ(SettingInFile(folder / "settings.ini", "DicType"), "0");
}

TEST_F(Tpp25Frame, WordListThatIsAFolderIsABusWarningSayingSo) {
    const std::string words = folder / "words.dic";
    std::filesystem::create_directory(words);
    const PipelineRun run = RunPipeline("videotestsrc num-buffers=1 ! video/x-raw,format=YUY2,width=160,height=120 ! " +
                                        Element("dictionary=" + words) + " ! fakesink");
    EXPECT_TRUE(run.reachedEos) << run.error;
    ASSERT_EQ(run.warnings.size(), 1u);
    EXPECT_NE(run.warnings[0].find("\"" + words + "\" cannot be read (it is a folder)"), std::string::npos)
        << run.warnings[0];
}

TEST_F(Tpp25Frame, LinesLeftOutOfTheWordListAreABusWarning) {
    const std::string words = folder / "gaps.dic";
    WriteBytes(words, "alpha - one\r\n\r\nbeta - two\r\n - \r\n");
    const PipelineRun run = RunPipeline("videotestsrc num-buffers=1 ! video/x-raw,format=YUY2,width=160,height=120 ! " +
                                        Element("dictionary=" + words) + " ! fakesink");
    EXPECT_TRUE(run.reachedEos) << run.error;
    ASSERT_EQ(run.warnings.size(), 1u);
    EXPECT_NE(run.warnings[0].find(words), std::string::npos) << run.warnings[0];
    EXPECT_NE(run.warnings[0].find("2 lines"), std::string::npos) << run.warnings[0];
    EXPECT_NE(run.warnings[0].find("line 2"), std::string::npos) << run.warnings[0];
}

// How the list's text was read reaches the viewer the same way, in the
// same warning as any lines left out.
TEST_F(Tpp25Frame, LinesOfAUtf8WordListReadAsWindows1251AreABusWarning) {
    const std::string words = folder / "stray.dic";
    WriteBytes(words, "cat - кошка\r\ncaf\xE9 - кафе\r\ndog - собака\r\n");
    const PipelineRun run = RunPipeline("videotestsrc num-buffers=1 ! video/x-raw,format=YUY2,width=160,height=120 ! " +
                                        Element("dictionary=" + words) + " ! fakesink");
    EXPECT_TRUE(run.reachedEos) << run.error;
    ASSERT_EQ(run.warnings.size(), 1u);
    EXPECT_EQ(
        run.warnings[0].rfind("Word list \"" + words + "\": line 2 is not UTF-8 and was read as Windows-1251. | ", 0),
        0u)
        << run.warnings[0];
}

TEST_F(Tpp25Frame, UnopenableSettingsFileIsABusWarningAndDefaultsGoOn) {
    const std::string file = folder / "no-such-folder/settings.ini";
    const PipelineRun run = RunPipeline(
        "videotestsrc num-buffers=13 pattern=black ! video/x-raw,format=YUY2,width=160,height=120 ! "
        "tpp25frame mode=flash settings-file=" +
            file + " ! fakesink name=out signal-handoffs=true",
        {"out"});
    EXPECT_TRUE(run.reachedEos) << run.error;
    ASSERT_EQ(run.warnings.size(), 1u);
    EXPECT_NE(run.warnings[0].find(file), std::string::npos) << run.warnings[0];
    EXPECT_EQ(ChangedBuffers(run.sinks.at("out"), BlackYuy2(160, 120)), (std::vector<int>{1, 13}));
}

// A settings file the user may read but not write is read, and its save at
// stop, which cannot be, is a warning; the file stays as it was.
TEST_F(Tpp25Frame, ReadOnlySettingsFileIsReadAndItsFailedSaveIsABusWarning) {
    const std::string file = folder / "settings.ini";
    const std::string settings = "[PluginSettings]\r\nShowFreqFrom=5\r\nShowFreqTo=5\r\n";
    WriteBytes(file, settings);
    chmod(file.c_str(), 0444);
    EXPECT_TRUE(RunUnprivileged(folder.path(), [&] {
        const PipelineRun run = RunPipeline(
            "videotestsrc num-buffers=10 pattern=black ! video/x-raw,format=YUY2,width=160,height=120 ! " + Element() +
                " ! fakesink name=out signal-handoffs=true",
            {"out"});
        EXPECT_TRUE(run.reachedEos) << run.error;
        EXPECT_EQ(ChangedBuffers(run.sinks.at("out"), BlackYuy2(160, 120)), (std::vector<int>{1, 6}));
        ASSERT_EQ(run.warnings.size(), 1u);
        EXPECT_NE(run.warnings[0].find("\"" + file + "\" cannot be written (it is read-only)"), std::string::npos)
            << run.warnings[0];
    }));
    EXPECT_EQ(ReadBytes(file), settings);
}

// How many of the run's bus infos say this.
long InfosSaying(const PipelineRun& run, const std::string& text) {
    return std::count_if(run.infos.begin(), run.infos.end(),
                         [&](const std::string& info) { return info.find(text) != std::string::npos; });
}

// A settings file the element makes is said with its path, so that one
// made from a word gst-launch took for the path shows; "none" is no file.
TEST_F(Tpp25Frame, CreatedSettingsFileIsABusInfoAndNoneIsNoFile) {
    const std::string source = "videotestsrc num-buffers=13 ! video/x-raw,format=YUY2,width=160,height=120 ! ";
    const std::string file = folder / "new.ini";
    for (const int run : {1, 2}) {
        const PipelineRun made = RunPipeline(source + "tpp25frame mode=flash settings-file=" + file + " ! fakesink");
        EXPECT_TRUE(made.reachedEos) << made.error;
        EXPECT_TRUE(made.warnings.empty());
        EXPECT_EQ(InfosSaying(made, file), run == 1 ? 1 : 0) << "run " << run;
    }
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const PipelineRun none = RunPipeline(source + "tpp25frame mode=flash settings-file=none ! fakesink");
    std::filesystem::current_path(before);
    EXPECT_TRUE(none.reachedEos) << none.error;
    EXPECT_TRUE(InfosSaying(none, "settings file") == 0 && none.warnings.empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "none"));
}

// Letters in the colour that back-type none leaves out draw nothing: the
// application hears why, once.
TEST_F(Tpp25Frame, SettingsThatHideTheCaptionsAreABusWarning) {
    const PipelineRun run = RunPipeline(
        "videotestsrc num-buffers=25 pattern=black ! video/x-raw,format=YUY2,width=160,height=120 ! "
        "tpp25frame mode=flash settings-file=\"\" text-color=0xFFFFFF back-color=0xFFFFFF back-type=none ! fakesink "
        "name=out "
        "signal-handoffs=true",
        {"out"});
    EXPECT_TRUE(run.reachedEos) << run.error;
    ASSERT_EQ(run.warnings.size(), 1u);
    EXPECT_NE(run.warnings[0].find("TextColor=16777215 is BackColor"), std::string::npos) << run.warnings[0];
    EXPECT_TRUE(ChangedBuffers(run.sinks.at("out"), BlackYuy2(160, 120)).empty());
}

TEST_F(Tpp25Frame, ValueOutOfRangeIsRefusedWithAWarning) {
    GstElement* element = gst_element_factory_make("tpp25frame", nullptr);
    int warnings = 0;
    const guint handler = g_log_set_handler(
        "GLib-GObject", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
        [](const gchar*, GLogLevelFlags, const gchar*, gpointer count) { ++*static_cast<int*>(count); }, &warnings);
    g_object_set(element, "transparency", 101, nullptr);
    g_log_remove_handler("GLib-GObject", handler);
    gint transparency = 0;
    g_object_get(element, "transparency", &transparency, nullptr);
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(transparency, 100);
    gst_object_unref(element);
}

// Two elements behind a tee, each with its own settings, give exactly the
// buffers each gives alone, and each saves its own walk.
TEST_F(Tpp25Frame, TwoElementsKeepTheirOwnScheduleAndWalk) {
    const std::string source =
        "videotestsrc num-buffers=30 pattern=black ! video/x-raw,format=YUY2,width=160,height=120";
    const std::string a = "show-freq-from=5 show-freq-to=5 rules-type=a-z";
    const std::string b = "show-freq-from=7 show-freq-to=7 rules-type=z-a cur-int-entry=100 rnd-string-pos=false";
    const std::string sinkA = " ! fakesink name=a signal-handoffs=true";
    const std::string sinkB = " ! fakesink name=b signal-handoffs=true";
    const PipelineRun alone_a = RunPipeline(source + " ! " + Element(a, "alone-a.ini") + sinkA, {"a"});
    const PipelineRun alone_b = RunPipeline(source + " ! " + Element(b, "alone-b.ini") + sinkB, {"b"});
    const PipelineRun both = RunPipeline(source + " ! tee name=t t. ! queue ! " + Element(a, "a.ini") + sinkA +
                                             " t. ! queue ! " + Element(b, "b.ini") + sinkB,
                                         {"a", "b"});
    ASSERT_TRUE(both.reachedEos) << both.error;
    const Bytes black = BlackYuy2(160, 120);
    EXPECT_EQ(ChangedBuffers(both.sinks.at("a"), black), (std::vector<int>{1, 6, 11, 16, 21, 26}));
    EXPECT_EQ(ChangedBuffers(both.sinks.at("b"), black), (std::vector<int>{1, 8, 15, 22, 29}));
    EXPECT_TRUE(both.sinks.at("a") == alone_a.sinks.at("a"));
    EXPECT_TRUE(both.sinks.at("b") == alone_b.sinks.at("b"));
    EXPECT_EQ(SettingInFile(folder / "a.ini", "CurIntEntry"), "6");
    EXPECT_EQ(SettingInFile(folder / "b.ini", "CurIntEntry"), "95");
}

// A fresh element teaches: captions in study mode, by the learner's
// progress while it has a store (its own by default).
TEST_F(Tpp25Frame, FreshElementStudiesInTheSpacedOrder) {
    GstElement* element = gst_element_factory_make("tpp25frame", nullptr);
    ASSERT_NE(element, nullptr);
    gint mode = -1, order = -1;
    gdouble show = 0, every = 0, clear = -1;
    g_object_get(element, "mode", &mode, "study-show", &show, "study-every", &every, "keep-clear", &clear, "rules-type",
                 &order, nullptr);
    EXPECT_EQ(mode, 1) << "study";
    EXPECT_EQ(show, 3);
    EXPECT_EQ(every, 20);
    EXPECT_EQ(clear, 0);
    EXPECT_EQ(order, 3) << "spaced";
    g_object_set(element, "progress-db", "none", nullptr);
    g_object_get(element, "rules-type", &order, nullptr);
    EXPECT_NE(order, 3) << "no spaced order without a store";
    gst_object_unref(element);
}

// At 25 frames a second a study caption stays 3 s and one starts every
// 20 s, counted in the stream's time.
TEST_F(Tpp25Frame, StudyCaptionsStayThreeSecondsEveryTwenty) {
    const Bytes picture = MakePicture("BGR", 96, 72);
    const HarnessRun run = RunHarness(Element("mode=study"), RawCaps("BGR", 96, 72), picture, 45 * 25);
    std::vector<int> expected;
    for (int start : {1, 501, 1001})
        for (int frame = start; frame < start + 75; ++frame) expected.push_back(frame);
    EXPECT_EQ(run.changed, expected);
}

// The bottom band kept clear holds no pixel of a caption, wherever the
// caption would stand.
TEST_F(Tpp25Frame, KeepClearKeepsCaptionsOutOfTheBottomBand) {
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_BGR, 160, 120);
    const Bytes picture = MakePicture("BGR", 160, 120);
    for (const char* place : {"rnd-string-pos=false string-pos-y=575 back-type=box", "rnd-string-pos=true"}) {
        const HarnessRun run = RunHarness(
            Element(std::string("keep-clear=0.25 show-freq-from=1 show-freq-to=1 ") + place), RawCaps("BGR", 160, 120),
            picture, 30);
        EXPECT_EQ(run.changed.size(), 30u) << place;
        for (const Bytes& out : run.out)
            EXPECT_EQ(ChangesAround(info, picture, out, {0, 0, 160, 90}).outside, 0) << place;
    }
}

}  // namespace

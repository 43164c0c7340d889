// A film's words taught from its .srt: every caption is a coming word the
// learner does not know, some seconds before the line that holds it, with
// the line as its context; a word known beforehand never shows, and a
// word found only in mueller7 gets its gloss.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "learner/progress_store.h"
#include "learner/sqlite_db.h"
#include "subtitles/subtitle_reader.h"
#include "tests/gst/element_fixture.h"

namespace {

constexpr int64_t kSecond = 1'000'000'000;
constexpr int kFramesPerSecond = 5;

struct Caption {
    std::string word, translation, context;
    guint64 filmTime = 0;
};

// The captions of 80 s of the film through the element with these
// properties, the store at store knowing "reef".
std::vector<Caption> RunFilm(const std::string& store, const std::string& srt, const std::string& properties) {
    StartGStreamer();
    {
        std::string error;
        auto progress = learner::ProgressStore::Open(store, error);
        EXPECT_TRUE(progress) << error;
        if (!progress) return {};
        progress->RecordMark({"/lists/words.dic", "reef", "риф"}, learner::Mark::kKnown, 1);
        progress->Close();
    }
    GstHarness* harness = gst_harness_new_parse(
        ("tpp25frame settings-file=none progress-db=" + store + " subtitles=" + srt + " " + properties).c_str());
    GstBus* bus = gst_bus_new();
    gst_element_set_bus(harness->element, bus);
    gst_harness_set_src_caps_str(harness, "video/x-raw,format=BGR,width=160,height=120,framerate=5/1");
    const Bytes black(160 * 120 * 3, 0);
    for (int i = 0; i < 80 * kFramesPerSecond; ++i) {
        GstBuffer* buffer = gst_buffer_new_memdup(black.data(), black.size());
        GST_BUFFER_PTS(buffer) = i * kSecond / kFramesPerSecond;
        GST_BUFFER_DURATION(buffer) = kSecond / kFramesPerSecond;
        EXPECT_EQ(gst_harness_push(harness, buffer), GST_FLOW_OK);
        gst_buffer_unref(gst_harness_pull(harness));
    }
    std::vector<Caption> captions;
    while (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ELEMENT)) {
        const GstStructure* s = gst_message_get_structure(message);
        if (gst_structure_has_name(s, "tpp25frame-caption")) {
            Caption caption;
            caption.word = gst_structure_get_string(s, "word");
            caption.translation = gst_structure_get_string(s, "translation");
            const char* context = gst_structure_get_string(s, "context");
            caption.context = context ? context : "";
            gst_structure_get_uint64(s, "film-time", &caption.filmTime);
            captions.push_back(caption);
        }
        gst_message_unref(message);
    }
    gst_harness_teardown(harness);
    gst_object_unref(bus);
    return captions;
}

// Each caption is a film's word, shown 1 to 12 s before a line of the
// film; none is "reef". Returns the line "lighthouse" was shown for.
std::string CheckCaptions(const std::vector<Caption>& captions, const std::string& srt) {
    std::string error;
    const std::vector<SubtitleLine> lines = ReadSubtitleLines(srt, error);
    std::string lighthouse;
    for (const Caption& caption : captions) {
        EXPECT_NE(caption.word, "reef");
        const SubtitleLine* line = nullptr;
        for (const SubtitleLine& candidate : lines)
            if (candidate.text == caption.context) line = &candidate;
        if (!line) {
            ADD_FAILURE() << caption.word << ": " << caption.context;
            continue;
        }
        const int64_t ahead = line->start - static_cast<int64_t>(caption.filmTime);
        EXPECT_GE(ahead, kSecond) << caption.word;
        EXPECT_LE(ahead, 12 * kSecond) << caption.word;
        if (caption.word == "lighthouse") {
            lighthouse = caption.context;
            EXPECT_NE(caption.translation.find("маяк"), std::string::npos) << caption.translation;
        }
    }
    EXPECT_FALSE(lighthouse.empty());
    return lighthouse;
}

TEST(FilmWords, CaptionsTeachTheComingLines) {
    const std::string srt = std::getenv("TPP_FILM_SRT");
    TempFolder folder;
    const std::string store = folder / "progress.db";
    const std::vector<Caption> captions = RunFilm(store, srt, "study-every=10");
    ASSERT_GE(captions.size(), 3u);
    const std::string lighthouse = CheckCaptions(captions, srt);

    // The store keeps the line with the word.
    std::string error;
    learner::Database db;
    ASSERT_TRUE(db.OpenReadOnly(store, false, error)) << error;
    learner::Statement context(db, "SELECT context FROM entries WHERE word = 'lighthouse'");
    ASSERT_TRUE(context.Step());
    EXPECT_EQ(context.Text(0), lighthouse);
}

// In flash mode the same words ride the settings' frames: every flash is
// one of them, within its time.
TEST(FilmWords, FlashesTeachTheSameWords) {
    const std::string srt = std::getenv("TPP_FILM_SRT");
    TempFolder folder;
    const std::vector<Caption> captions = RunFilm(folder / "progress.db", srt, "mode=flash study-every=10");
    ASSERT_GE(captions.size(), 3u);
    CheckCaptions(captions, srt);
}

}  // namespace

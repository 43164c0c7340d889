// The viewer's keys as navigation events from upstream of a sink: a mark
// goes to the caption the viewer saw, by the stream's time (buffers without
// a time come a frame apart), and is told on the bus; a known entry that
// never returns, the keys that change what shows, the keys property, and
// every other event passing upstream as it came; the marks in the progress
// store, and the spaced order that follows them.
#include <gst/video/navigation.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "learner/progress_store.h"
#include "learner/side_file.h"
#include "tests/gst/element_fixture.h"
#include "tests/learner/lock_holder.h"

namespace {

// An element in a harness, with a bus for its messages.
class Keyed : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartGStreamer(); }

    void Start(const std::string& properties,
               const std::string& words = "alpha - one\r\nbeta - two\r\ngamma - three\r\n") {
        WriteBytes(folder / "words.dic", words);
        harness = gst_harness_new_parse(
            ("tpp25frame mode=flash settings-file=none progress-db=none rules-type=a-z dictionary=" +
             folder / "words.dic" + " " + properties)
                .c_str());
        bus = gst_bus_new();
        gst_element_set_bus(harness->element, bus);
        gst_harness_set_src_caps_str(harness, RawCaps("BGR", 160, 120).c_str());
    }
    void TearDown() override { Stop(); }
    void Stop() {
        if (!harness) return;
        gst_harness_teardown(harness);
        gst_object_unref(bus);
        harness = nullptr;
    }

    // Which of count buffers came out changed, from 1.
    std::vector<int> Push(int count) {
        std::vector<int> changed;
        for (int i = 1; i <= count; ++i) {
            EXPECT_EQ(gst_harness_push(harness, gst_buffer_new_memdup(black.data(), black.size())), GST_FLOW_OK);
            GstBuffer* out = gst_harness_pull(harness);
            if (gst_buffer_memcmp(out, 0, black.data(), black.size()) != 0) changed.push_back(i);
            gst_buffer_unref(out);
        }
        return changed;
    }

    // A key pressed and released in the window; whether either event came
    // out upstream.
    bool Key(const char* key, GstNavigationModifierType state = GST_NAVIGATION_MODIFIER_NONE) {
        gst_harness_push_upstream_event(harness, gst_navigation_event_new_key_press(key, state));
        gst_harness_push_upstream_event(harness, gst_navigation_event_new_key_release(key, state));
        bool passed = false;
        while (GstEvent* event = gst_harness_try_pull_upstream_event(harness)) {
            passed = passed || GST_EVENT_TYPE(event) == GST_EVENT_NAVIGATION;
            gst_event_unref(event);
        }
        return passed;
    }

    struct Told {
        std::string name, word, translation, list, mark, action;
        int index = -1;
        gboolean marked = FALSE;
    };
    // The element messages on the bus since last asked; the keys' own only
    // when asked for.
    std::vector<Told> Messages(bool keys = false) {
        std::vector<Told> told;
        while (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ELEMENT)) {
            const GstStructure* s = gst_message_get_structure(message);
            Told t;
            t.name = gst_structure_get_name(s);
            gst_structure_get_int(s, "index", &t.index);
            gst_structure_get_boolean(s, "marked", &t.marked);
            for (auto [field, into] : {std::pair{"word", &t.word},
                                       {"translation", &t.translation},
                                       {"list", &t.list},
                                       {"mark", &t.mark},
                                       {"action", &t.action}})
                if (const char* value = gst_structure_get_string(s, field)) *into = value;
            if (keys || t.name != "tpp25frame-key") told.push_back(t);
            gst_message_unref(message);
        }
        return told;
    }
    std::vector<std::string> Words(const std::vector<Told>& told) {
        std::vector<std::string> words;
        for (const Told& t : told)
            if (t.name == "tpp25frame-caption") words.push_back(t.word);
        return words;
    }

    TempFolder folder;
    GstHarness* harness = nullptr;
    GstBus* bus = nullptr;
    const Bytes black = Bytes(160 * 120 * 3, 0);
};

// At the table's defaults a caption shows for one frame every twelfth (25
// a second): a key 0.52 s after a caption came, 0.04 s after the next one
// did, marks the first, which the viewer had time to see.
TEST_F(Keyed, KeyMarksTheCaptionTheViewerSaw) {
    Start("");
    Push(14);
    EXPECT_EQ(Words(Messages()), (std::vector<std::string>{"beta", "gamma"}));
    EXPECT_FALSE(Key("k"));
    std::vector<Told> marks = Messages();
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].name, "tpp25frame-mark");
    EXPECT_EQ(marks[0].mark, "known");
    EXPECT_EQ(marks[0].index, 1);
    EXPECT_EQ(marks[0].word, "beta");
    EXPECT_EQ(marks[0].translation, "two");
    EXPECT_EQ(marks[0].list, folder / "words.dic");
    // The same key on the same caption, as auto-repeat sends it, marks it
    // no more; the other key marks it again.
    for (int i = 0; i < 10; ++i) Key("k");
    Key("a");
    marks = Messages(true);
    ASSERT_EQ(marks.size(), 12u);
    EXPECT_EQ(std::count_if(marks.begin(), marks.end(), [](const Told& t) { return t.marked; }), 1);
    EXPECT_EQ(marks[10].name, "tpp25frame-mark");
    EXPECT_EQ(marks[10].mark, "again");
    EXPECT_EQ(marks[10].word, "beta");
}

// A caption on screen for less than a reaction's time, with none before
// it, is not marked; one gone for two seconds is not either.
TEST_F(Keyed, KeyTooSoonOrTooLateMarksNothing) {
    Start("show-freq-from=200 show-freq-to=200");
    Push(7);  // 0.24 s
    Key("k");
    std::vector<Told> told = Messages(true);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1].name, "tpp25frame-key");
    EXPECT_EQ(told[1].action, "known");
    EXPECT_FALSE(told[1].marked);
    Push(100);  // the note, then nothing for two seconds
    Key("a");
    told = Messages(true);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_FALSE(told[0].marked);
}

// A mark is told on the picture for 1.5 s, where the caption stood; a
// study caption's gap is not shortened by it. At the table's defaults
// the last caption again stays its 2 s however soon the next one is due.
TEST_F(Keyed, MarkNoteAndRepeatStayTheirTime) {
    Start("mode=study");
    Push(10);
    Key("a");
    EXPECT_EQ(Push(100).size(), 38u);  // frames at 0 .. 1.48 s
    EXPECT_EQ(Messages().size(), 2u);  // the caption and its mark
    Stop();
    Start("");
    Push(1);
    Key("r");
    const std::vector<int> shown = Push(60);
    ASSERT_GE(shown.size(), 50u);
    EXPECT_EQ(shown[49], 50);  // every frame of the 2 s, and the next caption after them
}

TEST_F(Keyed, KnownEntryNeverReturnsInThisRun) {
    Start("show-freq-from=1 show-freq-to=1");
    Push(9);  // a caption each frame: the first came 0.32 s ago
    Key("k");
    Push(60);  // the note stays 1.5 s, then a caption a frame again
    const std::vector<Told> told = Messages();
    ASSERT_GE(told.size(), 10u);
    EXPECT_EQ(told[9].name, "tpp25frame-mark");
    EXPECT_EQ(told[9].word, "beta");
    std::vector<std::string> after;
    for (size_t i = 10; i < told.size(); ++i) after.push_back(told[i].word);
    EXPECT_EQ(after.size(), 60u - 38u);
    EXPECT_EQ(std::count(after.begin(), after.end(), "beta"), 0);
}

TEST_F(Keyed, NextRepeatCaptionsOffAndHelpChangeWhatShows) {
    Start("show-freq-from=100 show-freq-to=100");
    EXPECT_EQ(Push(2), (std::vector<int>{1}));
    Key("n");
    EXPECT_EQ(Push(2), (std::vector<int>{1}));
    EXPECT_EQ(Words(Messages()), (std::vector<std::string>{"beta", "gamma"}));
    // Two seconds at 25 frames a second.
    Key("r");
    const std::vector<int> repeated = Push(60);
    EXPECT_EQ(repeated.size(), 50u);
    EXPECT_EQ(repeated.back(), 50);
    EXPECT_EQ(Words(Messages()), (std::vector<std::string>{"gamma"}));
    // Off, a due caption waits: the next one comes as many buffers after
    // the last as the schedule says, counted while on.
    Key("c");
    Key("n");
    EXPECT_TRUE(Push(150).empty());
    Key("c");
    EXPECT_EQ(Push(41), (std::vector<int>{41}));
    // Help is a caption of its own, told as none: "?" from a Wayland sink,
    // and as the X sinks send it.
    Messages();
    EXPECT_FALSE(Key("question"));
    EXPECT_EQ(Push(1), (std::vector<int>{1}));
    EXPECT_FALSE(Key("slash", GST_NAVIGATION_MODIFIER_SHIFT_MASK));
    EXPECT_TRUE(Key("slash"));
    EXPECT_EQ(Messages(true).size(), 2u);  // the two help keys, told
    // With captions off, help still stays its 4 seconds.
    Key("c");
    Key("question");
    EXPECT_EQ(Push(120).size(), 100u);
}

TEST_F(Keyed, OtherEventsPassUpstreamAsTheyCame) {
    Start("");
    Push(1);
    GstEvent* key = gst_navigation_event_new_key_press("x", GST_NAVIGATION_MODIFIER_SHIFT_MASK);
    GstEvent* click = gst_navigation_event_new_mouse_button_press(1, 10, 20, GST_NAVIGATION_MODIFIER_NONE);
    for (GstEvent* sent : {key, click}) {
        while (GstEvent* earlier = gst_harness_try_pull_upstream_event(harness)) gst_event_unref(earlier);
        gst_harness_push_upstream_event(harness, gst_event_ref(sent));
        GstEvent* came = gst_harness_try_pull_upstream_event(harness);
        ASSERT_NE(came, nullptr);
        EXPECT_TRUE(gst_structure_is_equal(gst_event_get_structure(came), gst_event_get_structure(sent)));
        gst_event_unref(came);
        gst_event_unref(sent);
    }
    EXPECT_TRUE(Key("K"));                                       // no key of the element's, as a Wayland sink names it
    EXPECT_FALSE(Key("k", GST_NAVIGATION_MODIFIER_SHIFT_MASK));  // known, as the X sinks send Shift+k
}

TEST_F(Keyed, KeysPropertyRemapsAndRefusesWhatItCannotRead) {
    Start("keys=\"known=x, again=none, help=/\"");
    Push(9);
    GstElement* element = gst_harness_find_element(harness, "tpp25frame");
    EXPECT_TRUE(Key("k"));
    EXPECT_TRUE(Key("a"));
    EXPECT_FALSE(Key("x"));
    EXPECT_FALSE(Key("slash"));
    const std::vector<Told> told = Messages();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1].mark, "known");

    std::vector<std::string> warnings;
    const guint handler = g_log_set_handler(
        nullptr, G_LOG_LEVEL_WARNING,
        [](const gchar*, GLogLevelFlags, const gchar* text, gpointer into) {
            static_cast<std::vector<std::string>*>(into)->push_back(text);
        },
        &warnings);
    for (const char* bad : {"known=k,again=k", "known=k,known=j", "seen=s", "next"})
        g_object_set(element, "keys", bad, nullptr);
    g_log_remove_handler(nullptr, handler);
    ASSERT_EQ(warnings.size(), 4u);
    EXPECT_NE(warnings[0].find("keys=\"known=k,again=k\" is refused: the key k is given to both known and again"),
              std::string::npos)
        << warnings[0];
    EXPECT_NE(warnings[1].find("known is given twice"), std::string::npos) << warnings[1];
    EXPECT_NE(warnings[2].find("\"seen\" is no action (known, again, next, repeat, captions, help)"), std::string::npos)
        << warnings[2];
    EXPECT_NE(warnings[3].find("names no key"), std::string::npos) << warnings[3];
    gchar* keys = nullptr;
    g_object_get(element, "keys", &keys, nullptr);
    EXPECT_STREQ(keys, "known=x,again=none,next=n,repeat=r,captions=c,help=slash");
    g_free(keys);
    gst_object_unref(element);
}

// Ten words in the spaced order, with a store: the mark is stored, the word
// marked again comes back within ten captions, and the word marked known
// never comes again, in this run or the next.
TEST_F(Keyed, SpacedOrderFollowsTheMarksAndTheStoreKeepsThem) {
    std::string words;
    for (char c = 'a'; c <= 'j'; ++c) words += std::string(3, c) + " - " + std::string(1, c) + "\r\n";
    const std::string spaced = "rules-type=spaced show-freq-from=1 show-freq-to=1 progress-db=" + folder / "p.sqlite";
    Start(spaced, words);
    Push(9);
    Key("a");  // the first, seen 0.32 s ago
    Push(38 + 10);
    std::vector<std::string> shown = Words(Messages());
    ASSERT_EQ(shown.size(), 19u);
    EXPECT_EQ(shown[0], "aaa");
    EXPECT_NE(std::find(shown.begin() + 9, shown.end(), "aaa"), shown.end()) << "again did not come back";
    Key("k");
    const std::vector<Told> marked = Messages();
    ASSERT_EQ(marked.size(), 1u);
    const std::string known = marked[0].word;
    Push(38 + 30);
    shown = Words(Messages());
    EXPECT_EQ(std::count(shown.begin(), shown.end(), known), 0);
    Stop();

    std::string error;
    const std::unique_ptr<learner::ProgressStore> store = learner::ProgressStore::Open(folder / "p.sqlite", error);
    ASSERT_TRUE(store) << error;
    std::vector<learner::EntryText> entries;
    for (char c = 'a'; c <= 'j'; ++c) entries.push_back({std::string(3, c), std::string(1, c)});
    const auto states = store->RegisterList(folder / "words.dic", entries, error);
    ASSERT_TRUE(states) << error;
    const size_t knownIndex = size_t(known[0] - 'a');
    EXPECT_EQ((*states)[knownIndex].phase, learner::Phase::kKnown);
    EXPECT_GE((*states)[0].againMarks, 1);
    EXPECT_GE((*states)[0].showings, 2);

    Start(spaced, words);
    Push(30);
    shown = Words(Messages());
    EXPECT_EQ(shown.size(), 30u);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), known), 0) << "known in the next run";
}

// Another program holds the store's lock while a run stops: the stop gives
// up after the busy timeout, and a warning on the bus says where the
// showings wait; the next open, once the lock is gone, writes them all.
TEST_F(Keyed, StoreLockedAtStopIsABusWarningAndTheNextOpenKeepsEveryShowing) {
    const std::string db = folder / "p.sqlite";
    std::string error;
    ASSERT_TRUE(learner::ProgressStore::Open(db, error)) << error;
    LockHolder lock(db);
    ASSERT_TRUE(lock.held());
    Start("show-freq-from=1 show-freq-to=1 show-time-from=1 show-time-to=1 progress-db=" + db);
    Push(20);
    const size_t shown = Words(Messages()).size();
    EXPECT_GE(shown, 10u);
    gst_harness_teardown(harness);
    harness = nullptr;
    std::string warning;
    while (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_WARNING)) {
        GError* told = nullptr;
        gst_message_parse_warning(message, &told, nullptr);
        warning += told->message;
        g_error_free(told);
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    EXPECT_NE(warning.find("kept in \"" + learner::SideFilePath(db) + "\""), std::string::npos) << warning;

    lock.Release();
    auto store = learner::ProgressStore::Open(db, error);
    ASSERT_TRUE(store && store->Flush(&error)) << error;
    learner::Database read;
    ASSERT_TRUE(read.Open(db, error));
    learner::Statement count(read, "SELECT count(*) FROM events WHERE kind = 0");
    ASSERT_TRUE(count.Step());
    EXPECT_EQ(count.Int(0), static_cast<int64_t>(shown));
}

}  // namespace

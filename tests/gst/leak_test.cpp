// PLAYING, NULL and PLAYING again, ten times, under the leak checker: a
// stopped element leaves nothing behind, whatever it drew.
#include <gtest/gtest.h>

#include "tests/gst/element_fixture.h"

namespace {

TEST(Tpp25FrameLeaks, PlayingToNullTenTimesLeavesNothing) {
    StartGStreamer();
    TempFolder folder;
    const std::string description =
        "videotestsrc is-live=true ! video/x-raw,format=I420,width=320,height=240,framerate=100/1 ! "
        "tpp25frame show-freq-from=2 show-freq-to=2 settings-file=" +
        folder / "settings.ini" + " ! fakesink name=sink signal-handoffs=true";
    GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
    ASSERT_NE(pipeline, nullptr);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    int buffers = 0;
    g_signal_connect(sink, "handoff", G_CALLBACK(+[](GstElement*, GstBuffer*, GstPad*, gpointer count) {
                         g_atomic_int_inc(static_cast<int*>(count));
                     }),
                     &buffers);
    for (int round = 0; round < 10; ++round) {
        const int before = g_atomic_int_get(&buffers);
        ASSERT_NE(gst_element_set_state(pipeline, GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
        while (g_atomic_int_get(&buffers) < before + 5) g_usleep(5000);
        ASSERT_EQ(gst_element_set_state(pipeline, GST_STATE_NULL), GST_STATE_CHANGE_SUCCESS);
    }
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    gst_deinit();
}

}  // namespace

#include "gst/caption_messages.h"

namespace {

GstStructure* Describe(const char* name, const CaptionShown& caption) {
    return gst_structure_new(name, "index", G_TYPE_INT, gint(caption.index), "word", G_TYPE_STRING,
                             caption.word.c_str(), "translation", G_TYPE_STRING, caption.translation.c_str(), "list",
                             G_TYPE_STRING, caption.list.c_str(), nullptr);
}

}  // namespace

GstMessage* CaptionMessage(GstObject* source, const CaptionShown& caption) {
    GstStructure* fields = Describe("tpp25frame-caption", caption);
    if (!caption.context.empty())
        gst_structure_set(fields, "context", G_TYPE_STRING, caption.context.c_str(), "film-time", G_TYPE_UINT64,
                          guint64(caption.filmTime), nullptr);
    return gst_message_new_element(source, fields);
}

GstMessage* MarkMessage(GstObject* source, const CaptionShown& caption, learner::Mark mark) {
    GstStructure* fields = Describe("tpp25frame-mark", caption);
    gst_structure_set(fields, "mark", G_TYPE_STRING, mark == learner::Mark::kKnown ? "known" : "again", nullptr);
    return gst_message_new_element(source, fields);
}

GstMessage* KeyMessage(GstObject* source, KeyAction action, bool marked, bool captionsOff) {
    return gst_message_new_element(
        source,
        gst_structure_new("tpp25frame-key", "action", G_TYPE_STRING, KeyActionName(action), "marked", G_TYPE_BOOLEAN,
                          gboolean(marked), "captions-off", G_TYPE_BOOLEAN, gboolean(captionsOff), nullptr));
}

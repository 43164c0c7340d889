// tpp25frame: vocabulary captions blended into the picture in place, on
// the schedule of the plug-in: one buffer is one frame. Each element runs a
// plug-in instance of its own (caption_engine.h).
#include <gst/gst.h>
#include <gst/video/gstvideofilter.h>
#include <gst/video/video.h>

#include <exception>
#include <string>
#include <vector>

#include "gst/caption_engine.h"
#include "gst/element_properties.h"

GST_DEBUG_CATEGORY_STATIC(tpp25frame_debug);
#define GST_CAT_DEFAULT tpp25frame_debug

struct GstTpp25Frame {
    GstVideoFilter parent;
    RunSettings* properties;  // under the object lock
    bool propertiesChanged;   // under the object lock: set while running
    CaptionEngine* engine;    // from start to stop, used on the streaming thread
};

struct GstTpp25FrameClass {
    GstVideoFilterClass parent_class;
};

G_DEFINE_TYPE(GstTpp25Frame, gst_tpp25frame, GST_TYPE_VIDEO_FILTER)
GST_ELEMENT_REGISTER_DEFINE(tpp25frame, "tpp25frame", GST_RANK_NONE, gst_tpp25frame_get_type())

namespace {

// What decoders and cameras give, each blended without conversion.
#define TPP_FORMATS "{ YUY2, BGR, BGRx, BGRA, I420, NV12 }"

GstTpp25Frame* Self(gpointer object) { return reinterpret_cast<GstTpp25Frame*>(object); }

void PostWarnings(GstTpp25Frame* self, const std::vector<std::string>& warnings) {
    for (const std::string& text : warnings)
        GST_ELEMENT_WARNING(self, RESOURCE, OPEN_READ, ("%s", text.c_str()), (nullptr));
}

// The properties for the run to take; they are then no longer pending.
RunSettings TakeProperties(GstTpp25Frame* self) {
    GST_OBJECT_LOCK(self);
    RunSettings copy = *self->properties;
    self->properties->pending.reset();
    self->properties->dictionaryPending = false;
    self->propertiesChanged = false;
    GST_OBJECT_UNLOCK(self);
    return copy;
}

// A fault the plug-in instance caught and survived, or settings that hide
// the captions: the frames go on, and the application hears of it.
void PostFault(GstTpp25Frame* self) {
    if (!self->engine) return;
    const std::string fault = self->engine->TakeFault();
    if (!fault.empty()) GST_ELEMENT_WARNING(self, LIBRARY, FAILED, ("%s", fault.c_str()), (nullptr));
    for (const std::string& notice : self->engine->TakeNotices())
        GST_ELEMENT_WARNING(self, LIBRARY, SETTINGS, ("%s", notice.c_str()), (nullptr));
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* spec) {
    GstTpp25Frame* self = Self(object);
    GST_OBJECT_LOCK(self);
    const bool known = SetElementProperty(*self->properties, id, value);
    self->propertiesChanged = true;
    GST_OBJECT_UNLOCK(self);
    if (!known) G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* spec) {
    GstTpp25Frame* self = Self(object);
    GST_OBJECT_LOCK(self);
    const bool known = GetElementProperty(*self->properties, spec, id, value);
    GST_OBJECT_UNLOCK(self);
    if (!known) G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
}

void Finalize(GObject* object) {
    GstTpp25Frame* self = Self(object);
    delete self->engine;
    delete self->properties;
    G_OBJECT_CLASS(gst_tpp25frame_parent_class)->finalize(object);
}

gboolean Start(GstBaseTransform* trans) {
    GstTpp25Frame* self = Self(trans);
    std::vector<std::string> warnings;
    try {
        self->engine = new CaptionEngine(TakeProperties(self), warnings);
    } catch (const std::exception& error) {
        GST_ELEMENT_ERROR(self, LIBRARY, INIT, ("The caption engine cannot start: %s", error.what()), (nullptr));
        return FALSE;
    }
    PostWarnings(self, warnings);
    PostFault(self);
    return TRUE;
}

gboolean Stop(GstBaseTransform* trans) {
    GstTpp25Frame* self = Self(trans);
    if (self->engine) self->engine->Stop();
    PostFault(self);
    delete self->engine;
    self->engine = nullptr;
    return TRUE;
}

FrameFormat FormatOf(GstVideoFormat format) {
    switch (format) {
        case GST_VIDEO_FORMAT_YUY2: return FrameFormat::kYuy2;
        case GST_VIDEO_FORMAT_BGR: return FrameFormat::kBgr;
        case GST_VIDEO_FORMAT_I420: return FrameFormat::kI420;
        case GST_VIDEO_FORMAT_NV12: return FrameFormat::kNv12;
        default: return FrameFormat::kBgrx;  // BGRx, BGRA: the caps allow nothing else
    }
}

// A new size restarts the canvas, as a host's StreamStart does; the
// schedule runs on.
gboolean SetInfo(GstVideoFilter* filter, GstCaps*, GstVideoInfo* in, GstCaps*, GstVideoInfo*) {
    GstTpp25Frame* self = Self(filter);
    if (!self->engine || !self->engine->StartStream(FormatOf(GST_VIDEO_INFO_FORMAT(in)), GST_VIDEO_INFO_WIDTH(in),
                                                    GST_VIDEO_INFO_HEIGHT(in))) {
        const std::string fault = self->engine ? self->engine->TakeFault() : std::string();
        GST_ELEMENT_ERROR(self, CORE, NEGOTIATION,
                          ("No caption canvas for %dx%d frames", GST_VIDEO_INFO_WIDTH(in), GST_VIDEO_INFO_HEIGHT(in)),
                          ("%s", fault.c_str()));
        return FALSE;
    }
    GST_INFO_OBJECT(self, "captions into %s %dx%d", gst_video_format_to_string(GST_VIDEO_INFO_FORMAT(in)),
                    GST_VIDEO_INFO_WIDTH(in), GST_VIDEO_INFO_HEIGHT(in));
    return TRUE;
}

// A buffer without a caption is only counted, and passes untouched: in
// passthrough nothing makes it writable, so a buffer shared after a tee
// is not copied for it. A GAP buffer holds no picture and, like the host's
// frame without pixels, does not count.
void BeforeTransform(GstBaseTransform* trans, GstBuffer* buffer) {
    GstTpp25Frame* self = Self(trans);
    if (!self->engine) return;
    GST_OBJECT_LOCK(self);
    const bool changed = self->propertiesChanged;
    GST_OBJECT_UNLOCK(self);
    if (changed) {
        std::vector<std::string> warnings;
        try {
            self->engine->Apply(TakeProperties(self), warnings);
        } catch (const std::exception& error) {
            warnings.push_back(std::string("The changed properties were not taken: ") + error.what());
        }
        PostWarnings(self, warnings);
        PostFault(self);
    }
    bool untouched = GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_GAP);
    if (!untouched && !self->engine->NextFrameMayDraw()) {
        self->engine->PassFrame();
        untouched = true;
    }
    gst_base_transform_set_passthrough(trans, untouched);
}

GstFlowReturn TransformFrameInPlace(GstVideoFilter* filter, GstVideoFrame* frame) {
    FrameView view = {
        FormatOf(GST_VIDEO_FRAME_FORMAT(frame)), GST_VIDEO_FRAME_WIDTH(frame), GST_VIDEO_FRAME_HEIGHT(frame), {}};
    for (guint plane = 0; plane < GST_VIDEO_FRAME_N_PLANES(frame) && plane < 3; ++plane)
        view.planes[plane] = {static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(frame, plane)),
                              GST_VIDEO_FRAME_PLANE_STRIDE(frame, plane)};
    GstTpp25Frame* self = Self(filter);
    self->engine->ProcessFrame(view);
    PostFault(self);
    return GST_FLOW_OK;
}

}  // namespace

static void gst_tpp25frame_class_init(GstTpp25FrameClass* klass) {
    GObjectClass* object = G_OBJECT_CLASS(klass);
    object->set_property = SetProperty;
    object->get_property = GetProperty;
    object->finalize = Finalize;
    InstallElementProperties(object);

    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    gst_element_class_set_static_metadata(
        element, "25th frame vocabulary captions", "Filter/Effect/Video",
        "Flashes a word and its translation over the picture every few frames, for learning a language", "TPP_25Frame");
    GstCaps* caps = gst_caps_from_string(GST_VIDEO_CAPS_MAKE(TPP_FORMATS));
    gst_element_class_add_pad_template(element, gst_pad_template_new("sink", GST_PAD_SINK, GST_PAD_ALWAYS, caps));
    gst_element_class_add_pad_template(element, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
    gst_caps_unref(caps);

    GstBaseTransformClass* transform = GST_BASE_TRANSFORM_CLASS(klass);
    transform->start = Start;
    transform->stop = Stop;
    transform->before_transform = BeforeTransform;
    transform->transform_ip_on_passthrough = FALSE;

    GstVideoFilterClass* filter = GST_VIDEO_FILTER_CLASS(klass);
    filter->set_info = SetInfo;
    filter->transform_frame_ip = TransformFrameInPlace;

    GST_DEBUG_CATEGORY_INIT(tpp25frame_debug, "tpp25frame", 0, "25th frame captions");
}

static void gst_tpp25frame_init(GstTpp25Frame* self) {
    self->properties = new RunSettings();
    self->properties->settingsFile = DefaultSettingsFile();
    self->propertiesChanged = false;
    self->engine = nullptr;
    // Every buffer counts in the schedule: none is dropped for being late.
    gst_base_transform_set_qos_enabled(GST_BASE_TRANSFORM(self), FALSE);
}

static gboolean PluginInit(GstPlugin* plugin) { return GST_ELEMENT_REGISTER(tpp25frame, plugin); }

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, tpp25frame,
                  "Vocabulary captions over video by the 25th-frame method", PluginInit, VERSION, "unknown", PACKAGE,
                  "Unknown package origin")

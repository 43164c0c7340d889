/**
 * SECTION:element-tpp25frame
 * @title: tpp25frame
 *
 * Vocabulary captions over the picture: a word above its translation, for a
 * frame or a few, at intervals counted in buffers (one buffer is one frame).
 * The element blends them into the frames in place, in the format they come
 * in, or hands them to a sink that blends overlays itself as an overlay
 * composition. Each element runs a plug-in instance of its own
 * (frontend/caption_engine.h): one property per setting over its settings
 * file, its own schedule and walk through the dictionary. The viewer's keys
 * come upstream from the video window as navigation events; each caption
 * shown and each mark goes to the bus as an element message, and to the
 * learner's progress store.
 *
 * ## Example launch lines
 * |[
 * gst-launch-1.0 videotestsrc num-buffers=100 ! \
 *     tpp25frame settings-file=none progress-db=none ! videoconvert ! autovideosink
 * ]| A test picture with a caption every 12 frames, without a settings file
 * or a progress store.
 * |[
 * gst-launch-1.0 playbin uri=file:///home/me/film.mkv video-filter="tpp25frame rules-type=a-z"
 * ]| A film with its sound, the captions in alphabetical order.
 */
#include <gst/gst.h>
#include <gst/video/gstvideofilter.h>
#include <gst/video/navigation.h>
#include <gst/video/video.h>
#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "frontend/caption_engine.h"
#include "frontend/viewer_keys.h"
#include "gst/caption_composition.h"
#include "gst/caption_messages.h"
#include "gst/element_properties.h"
#include "learner/store_path.h"

GST_DEBUG_CATEGORY_STATIC(tpp25frame_debug);
#define GST_CAT_DEFAULT tpp25frame_debug

struct GstTpp25Frame {
    GstVideoFilter parent;
    RunSettings* properties;   // under the object lock
    bool propertiesChanged;    // under the object lock: set while running
    CaptionEngine* engine;     // from start to stop, used on the streaming thread
    char* settingsFileToCome;  // the run's settings file while it does not exist yet
    // The canvas the engine's stream has: the visible rectangle's size,
    // which a crop may make other than the caps', and whether it is blended
    // into the frames (in canvasFormat) or handed downstream.
    bool canvasBlends;
    FrameFormat canvasFormat;
    int32_t canvasWidth, canvasHeight;
    // Whether the captions go downstream as an overlay composition: decided
    // at the first buffer after the caps, once downstream has them, and told
    // on the bus when it changes (pathTold).
    bool compose, composeCaps, pathPending, pathTold;
    CaptionComposition* composition;
    ViewerKeys* keys;  // from the window's thread, for the next frame
    // The running time of the buffer in hand, which the viewer's keys look
    // back from; none when it has none.
    std::optional<int64_t> bufferTime;
};

struct GstTpp25FrameClass {
    GstVideoFilterClass parent_class;
};

G_DEFINE_TYPE(GstTpp25Frame, gst_tpp25frame, GST_TYPE_VIDEO_FILTER)
GST_ELEMENT_REGISTER_DEFINE(tpp25frame, "tpp25frame", GST_RANK_NONE, gst_tpp25frame_get_type())

namespace {

// What decoders and cameras give, each blended without conversion.
#define TPP_FORMATS                                                       \
    "{ YUY2, BGR, BGRx, BGRA, I420, NV12, RGBA, RGBx, ARGB, xRGB, ABGR, " \
    "xBGR, UYVY, NV21, YV12, P010_10LE, I420_10LE }"
#define TPP_COMPOSITION GST_CAPS_FEATURE_META_GST_VIDEO_OVERLAY_COMPOSITION

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

bool Exists(const char* path) {
    struct stat status;
    return ::stat(path, &status) == 0;
}

// A settings file the element makes is said once, with its path: made
// where none was meant (gst-launch takes "settings-file= !" as the path
// "!"), it is found. An info and not a warning, since a first run makes
// the per-user file as it should.
void TellCreatedSettingsFile(GstTpp25Frame* self) {
    if (!self->settingsFileToCome || !Exists(self->settingsFileToCome)) return;
    GST_ELEMENT_INFO(
        self, RESOURCE, SETTINGS,
        ("Created the settings file \"%s\" (settings-file=none runs without one)", self->settingsFileToCome),
        (nullptr));
    g_clear_pointer(&self->settingsFileToCome, g_free);
}

// A text that the keys cannot be read from leaves them as they were.
void SetKeys(GstTpp25Frame* self, const char* text) {
    std::string why;
    std::optional<KeyMap> keys = KeyMap::Parse(text ? text : "", why);
    if (!keys) {
        g_warning("tpp25frame: keys=\"%s\" is refused: %s", text ? text : "", why.c_str());
        return;
    }
    self->keys->SetMap(std::move(*keys));
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* spec) {
    GstTpp25Frame* self = Self(object);
    if (id == kPropertyKeys) return SetKeys(self, g_value_get_string(value));
    if (id == kPropertyPlayerKeys) {
        const char* text = g_value_get_string(value);
        return self->keys->SetPlayerKeys(text ? text : "");
    }
    GST_OBJECT_LOCK(self);
    const bool known = SetElementProperty(*self->properties, id, value);
    self->propertiesChanged = true;
    GST_OBJECT_UNLOCK(self);
    if (!known) G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* spec) {
    GstTpp25Frame* self = Self(object);
    if (id == kPropertyKeys) return g_value_set_string(value, self->keys->Map().Text().c_str());
    if (id == kPropertyPlayerKeys) return g_value_set_string(value, self->keys->PlayerKeys().c_str());
    GST_OBJECT_LOCK(self);
    const bool known = GetElementProperty(*self->properties, spec, id, value);
    GST_OBJECT_UNLOCK(self);
    if (!known) G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
}

void Finalize(GObject* object) {
    GstTpp25Frame* self = Self(object);
    delete self->engine;
    delete self->composition;
    delete self->properties;
    delete self->keys;
    g_free(self->settingsFileToCome);
    G_OBJECT_CLASS(gst_tpp25frame_parent_class)->finalize(object);
}

gboolean Start(GstBaseTransform* trans) {
    GstTpp25Frame* self = Self(trans);
    std::vector<std::string> warnings;
    const RunSettings run = TakeProperties(self);
    g_clear_pointer(&self->settingsFileToCome, g_free);
    if (!run.settingsFile.empty() && !Exists(run.settingsFile.c_str()))
        self->settingsFileToCome = g_strdup(run.settingsFile.c_str());
    try {
        self->engine = new CaptionEngine(run, warnings);
        self->canvasWidth = self->canvasHeight = 0;  // a new engine has no stream yet
        self->composition->Reset();
        self->compose = self->pathTold = false;  // each run decides and tells anew
    } catch (const std::exception& error) {
        GST_ELEMENT_ERROR(self, LIBRARY, INIT, ("The caption engine cannot start: %s", error.what()), (nullptr));
        return FALSE;
    }
    self->keys->StartRun(self->engine->progressStore());
    PostWarnings(self, warnings);
    PostFault(self);
    TellCreatedSettingsFile(self);
    return TRUE;
}

gboolean Stop(GstBaseTransform* trans) {
    GstTpp25Frame* self = Self(trans);
    self->keys->EndRun();
    if (self->engine) self->engine->Stop();
    PostFault(self);
    TellCreatedSettingsFile(self);
    delete self->engine;
    self->engine = nullptr;
    return TRUE;
}

FrameFormat FormatOf(GstVideoFormat format) {
    switch (format) {
        case GST_VIDEO_FORMAT_YUY2: return FrameFormat::kYuy2;
        case GST_VIDEO_FORMAT_BGR: return FrameFormat::kBgr;
        case GST_VIDEO_FORMAT_I420:
        case GST_VIDEO_FORMAT_YV12: return FrameFormat::kI420;  // VisibleView puts each plane in its place
        case GST_VIDEO_FORMAT_NV12: return FrameFormat::kNv12;
        case GST_VIDEO_FORMAT_RGBA:
        case GST_VIDEO_FORMAT_RGBx: return FrameFormat::kRgbx;
        case GST_VIDEO_FORMAT_ARGB:
        case GST_VIDEO_FORMAT_xRGB: return FrameFormat::kXrgb;
        case GST_VIDEO_FORMAT_ABGR:
        case GST_VIDEO_FORMAT_xBGR: return FrameFormat::kXbgr;
        case GST_VIDEO_FORMAT_UYVY: return FrameFormat::kUyvy;
        case GST_VIDEO_FORMAT_NV21: return FrameFormat::kNv21;
        case GST_VIDEO_FORMAT_P010_10LE: return FrameFormat::kP010;
        case GST_VIDEO_FORMAT_I420_10LE: return FrameFormat::kI420p10;
        default: return FrameFormat::kBgrx;  // BGRx, BGRA: the caps allow nothing else
    }
}

// A new size restarts the canvas, as a host's StreamStart does; the
// schedule runs on. A canvas handed downstream is not blended.
bool StartCanvas(GstTpp25Frame* self, bool blends, FrameFormat format, int32_t width, int32_t height) {
    if (self->engine &&
        self->engine->StartStream(blends ? std::optional<FrameFormat>(format) : std::nullopt, width, height)) {
        self->canvasBlends = blends;
        self->canvasFormat = format;
        self->canvasWidth = width;
        self->canvasHeight = height;
        return true;
    }
    const std::string fault = self->engine ? self->engine->TakeFault() : std::string();
    GST_ELEMENT_ERROR(self, CORE, NEGOTIATION, ("No caption canvas for %dx%d frames", width, height),
                      ("%s", fault.c_str()));
    return false;
}

gboolean SetInfo(GstVideoFilter* filter, GstCaps*, GstVideoInfo* in, GstCaps* out, GstVideoInfo*) {
    GstTpp25Frame* self = Self(filter);
    if (!StartCanvas(self, !self->compose, FormatOf(GST_VIDEO_INFO_FORMAT(in)), GST_VIDEO_INFO_WIDTH(in),
                     GST_VIDEO_INFO_HEIGHT(in)))
        return FALSE;
    self->composeCaps = gst_caps_features_contains(gst_caps_get_features(out, 0), TPP_COMPOSITION);
    self->pathPending = true;
    // A stream of no fixed rate (0/1) is taken as 25 frames a second.
    const gint rateN = GST_VIDEO_INFO_FPS_N(in), rateD = GST_VIDEO_INFO_FPS_D(in);
    self->engine->SetFramesPerSecond(rateN > 0 && rateD > 0 ? double(rateN) / rateD : 0);
    GST_INFO_OBJECT(self, "captions into %s %dx%d", gst_video_format_to_string(GST_VIDEO_INFO_FORMAT(in)),
                    GST_VIDEO_INFO_WIDTH(in), GST_VIDEO_INFO_HEIGHT(in));
    return TRUE;
}

// Towards the source, caps with the composition feature come first, then
// those without; towards the sink, the feature is dropped: the element
// takes frames, and gives them with or without compositions.
GstCaps* TransformCaps(GstBaseTransform*, GstPadDirection direction, GstCaps* caps, GstCaps* filter) {
    GstCaps* result = gst_caps_new_empty();
    if (gst_caps_is_any(caps)) gst_caps_replace(&result, caps);
    for (int pass = direction == GST_PAD_SINK ? 0 : 1; pass < 2; ++pass)
        for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
            GstCapsFeatures* features = gst_caps_features_copy(gst_caps_get_features(caps, i));
            if (!gst_caps_features_is_any(features)) {
                if (pass == 0)
                    gst_caps_features_add(features, TPP_COMPOSITION);
                else
                    gst_caps_features_remove(features, TPP_COMPOSITION);
            }
            result = gst_caps_merge_structure_full(result, gst_structure_copy(gst_caps_get_structure(caps, i)),
                                                   features);
        }
    if (filter) {
        GstCaps* both = gst_caps_intersect_full(filter, result, GST_CAPS_INTERSECT_FIRST);
        gst_caps_unref(result);
        result = both;
    }
    return result;
}

// As GStreamer's textoverlay decides: downstream that negotiated the composition
// feature takes the captions as compositions when its allocation answer
// has the meta, or when it takes no caps without the feature; any other
// gets them blended.
bool DownstreamComposes(GstBaseTransform* trans) {
    GstCaps* caps = gst_pad_get_current_caps(trans->srcpad);
    if (!caps) return false;
    GstQuery* query = gst_query_new_allocation(caps, FALSE);
    bool composes = gst_pad_peer_query(trans->srcpad, query) &&
                    gst_query_find_allocation_meta(query, GST_VIDEO_OVERLAY_COMPOSITION_META_API_TYPE, nullptr);
    gst_query_unref(query);
    if (!composes) {
        GstCaps* plain = TransformCaps(trans, GST_PAD_SRC, caps, nullptr);
        composes = !gst_pad_peer_query_accept_caps(trans->srcpad, plain);
        gst_caps_unref(plain);
    }
    gst_caps_unref(caps);
    return composes;
}

// Decided once downstream has the caps (its allocation answer needs
// them), at the first buffer after new caps; said on the bus when it
// changes.
void ChoosePath(GstTpp25Frame* self) {
    if (!self->pathPending) return;
    self->pathPending = false;
    const bool compose = self->composeCaps && DownstreamComposes(GST_BASE_TRANSFORM(self));
    if (self->pathTold && compose == self->compose) return;
    self->compose = compose;
    self->pathTold = true;
    if (compose)
        GST_ELEMENT_INFO(self, CORE, NEGOTIATION,
                         ("Captions go downstream as an overlay composition, which it blends: the frames are left "
                          "as they are"),
                         (nullptr));
    else
        GST_ELEMENT_INFO(self, CORE, NEGOTIATION,
                         ("Captions are blended into the frames: downstream takes no overlay composition"), (nullptr));
}

// A buffer without a caption is only counted, and passes untouched: in
// passthrough nothing makes it writable, so a buffer shared after a tee
// is not copied for it. A GAP buffer holds no picture and, like the host's
// frame without pixels, does not count.
void BeforeTransform(GstBaseTransform* trans, GstBuffer* buffer) {
    GstTpp25Frame* self = Self(trans);
    if (!self->engine) return;
    ChoosePath(self);
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
    self->engine->Take(self->keys->TakeRequests());
    bool untouched = GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_GAP);
    if (untouched) return gst_base_transform_set_passthrough(trans, TRUE);
    const GstClockTime running = gst_segment_to_running_time(&trans->segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    self->bufferTime = GST_CLOCK_TIME_IS_VALID(running) ? std::optional<int64_t>(running) : std::nullopt;
    self->engine->SetFrameTime(self->bufferTime);
    // A film's words are taught by the place in the film, which a seek moves.
    const GstClockTime place = gst_segment_to_stream_time(&trans->segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    self->engine->SetFilmTime(GST_CLOCK_TIME_IS_VALID(place) ? std::optional<int64_t>(place) : std::nullopt);
    if (!self->engine->NextFrameMayDraw()) {
        self->engine->PassFrame();
        self->keys->Frame(self->engine->streamTime(), self->bufferTime, std::nullopt, self->engine->frameDuration());
        untouched = true;
    }
    gst_base_transform_set_passthrough(trans, untouched);
}

// A caption that started with this frame is told on the bus, and is the
// one the viewer's marks go to.
void TellCaption(GstTpp25Frame* self, const CaptionShown& caption) {
    self->keys->Shown(caption, self->engine->streamTime());
    gst_element_post_message(GST_ELEMENT(self), CaptionMessage(GST_OBJECT(self), caption));
}

// The part of the frame a sink shows: the rectangle of its crop meta
// (videocrop in front of a sink that crops leaves the whole picture and
// marks it), else the caps' size from the top left. A column or row whose
// chroma it shares with one outside is left out, so that nothing unseen
// changes: the rectangle starts at a pixel that begins a chroma sample.
// The planes are read through the buffer's video meta, which the frame's
// mapping took its offsets and strides from.
struct Visible {
    FrameView view;
    int32_t left, top;  // in the frame
};

Visible VisibleView(GstVideoFilter* filter, GstVideoFrame* frame) {
    const GstVideoFormatInfo* info = frame->info.finfo;
    int32_t x = 0, y = 0, width = GST_VIDEO_INFO_WIDTH(&filter->in_info),
            height = GST_VIDEO_INFO_HEIGHT(&filter->in_info);
    if (const GstVideoCropMeta* crop = gst_buffer_get_video_crop_meta(frame->buffer)) {
        x = int32_t(std::min<guint>(crop->x, G_MAXINT32));
        y = int32_t(std::min<guint>(crop->y, G_MAXINT32));
        width = int32_t(std::min<guint>(crop->width, G_MAXINT32));
        height = int32_t(std::min<guint>(crop->height, G_MAXINT32));
    }
    int32_t xStep = 1, yStep = 1;
    for (guint c = 0; c < GST_VIDEO_FORMAT_INFO_N_COMPONENTS(info); ++c) {
        xStep = std::max(xStep, 1 << GST_VIDEO_FORMAT_INFO_W_SUB(info, c));
        yStep = std::max(yStep, 1 << GST_VIDEO_FORMAT_INFO_H_SUB(info, c));
    }
    const int32_t frameWidth = GST_VIDEO_FRAME_WIDTH(frame), frameHeight = GST_VIDEO_FRAME_HEIGHT(frame);
    const int32_t left = std::min((std::min(x, frameWidth) + xStep - 1) / xStep * xStep, frameWidth);
    const int32_t top = std::min((std::min(y, frameHeight) + yStep - 1) / yStep * yStep, frameHeight);
    const int32_t right = int32_t(std::min<int64_t>(int64_t{x} + width, frameWidth));
    const int32_t bottom = int32_t(std::min<int64_t>(int64_t{y} + height, frameHeight));
    FrameView view = {
        FormatOf(GST_VIDEO_FRAME_FORMAT(frame)), std::max(right - left, 0), std::max(bottom - top, 0), {}};
    // Each plane goes where the view keeps its first component (Y, U, V in
    // that order), so YV12's V plane, second in memory, becomes I420's third.
    for (guint plane = 0; plane < GST_VIDEO_FRAME_N_PLANES(frame) && plane < 3; ++plane) {
        guint c = 0;
        while (GST_VIDEO_FORMAT_INFO_PLANE(info, c) != plane) ++c;
        const ptrdiff_t stride = GST_VIDEO_FRAME_PLANE_STRIDE(frame, plane);
        uint8_t* data = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(frame, plane)) +
                        (top >> GST_VIDEO_FORMAT_INFO_H_SUB(info, c)) * stride +
                        (left >> GST_VIDEO_FORMAT_INFO_W_SUB(info, c)) * GST_VIDEO_FORMAT_INFO_PSTRIDE(info, c);
        view.planes[c] = {data, stride};
    }
    return {view, left, top};
}

// The visible part of a frame goes through the engine, which blends the
// caption into it or, on the composition path, leaves it for Compose.
GstFlowReturn CaptionFrame(GstTpp25Frame* self, const Visible& visible) {
    const FrameView& view = visible.view;
    if (view.width == 0 || view.height == 0) {
        self->engine->PassFrame();
        self->keys->Frame(self->engine->streamTime(), self->bufferTime, std::nullopt, self->engine->frameDuration());
        return GST_FLOW_OK;
    }
    const bool blends = !self->compose;
    if (blends != self->canvasBlends || view.format != self->canvasFormat || view.width != self->canvasWidth ||
        view.height != self->canvasHeight) {
        GST_INFO_OBJECT(self, "captions into the visible %dx%d", view.width, view.height);
        if (!StartCanvas(self, blends, view.format, view.width, view.height)) return GST_FLOW_ERROR;
    }
    const std::optional<CaptionShown> started = self->engine->ProcessFrame(view);
    PostFault(self);
    if (started) TellCaption(self, *started);
    self->keys->Frame(self->engine->streamTime(), self->bufferTime, self->engine->EntryOnScreen(),
                      self->engine->frameDuration());
    return GST_FLOW_OK;
}

GstFlowReturn TransformFrameInPlace(GstVideoFilter* filter, GstVideoFrame* frame) {
    return CaptionFrame(Self(filter), VisibleView(filter, frame));
}

// On the composition path the frame is only read, so that a buffer shared
// after a tee keeps its memory, and the caption goes on it as a meta.
GstFlowReturn TransformInPlace(GstBaseTransform* trans, GstBuffer* buffer) {
    GstTpp25Frame* self = Self(trans);
    if (!self->compose) return GST_BASE_TRANSFORM_CLASS(gst_tpp25frame_parent_class)->transform_ip(trans, buffer);
    GstVideoFilter* filter = GST_VIDEO_FILTER(trans);
    GstVideoFrame frame;
    const int flags = int{GST_MAP_READ} | int{GST_VIDEO_FRAME_MAP_FLAG_NO_REF};  // the meta needs it writable
    if (!gst_video_frame_map(&frame, &filter->in_info, buffer, GstMapFlags(flags))) {
        GST_ELEMENT_ERROR(self, STREAM, FAILED, ("A buffer does not hold the negotiated frame"), (nullptr));
        return GST_FLOW_ERROR;
    }
    const Visible visible = VisibleView(filter, &frame);
    const GstFlowReturn result = CaptionFrame(self, visible);
    gst_video_frame_unmap(&frame);
    if (result == GST_FLOW_OK)
        if (const std::optional<ShownCaption>& caption = self->engine->FrameCaption())
            self->composition->Attach(buffer, *caption, visible.left, visible.top);
    return result;
}

// A key of the viewer's, pressed or released in the video window, is
// taken; true when it is one of the element's keys. A mark is told at once,
// even while the picture stands still.
bool TakeKey(GstTpp25Frame* self, GstEvent* event) {
    const GstNavigationEventType type = gst_navigation_event_get_type(event);
    const gchar* key = nullptr;
    if ((type != GST_NAVIGATION_EVENT_KEY_PRESS && type != GST_NAVIGATION_EVENT_KEY_RELEASE) ||
        !gst_navigation_event_parse_key_event(event, &key))
        return false;
    GstNavigationModifierType modifiers = GST_NAVIGATION_MODIFIER_NONE;
    gst_navigation_event_parse_modifier_state(event, &modifiers);
    // The pipeline's running time now, which the keys compare with the
    // buffers' to find the caption on screen.
    const GstClockTime now = gst_element_get_current_running_time(GST_ELEMENT(self));
    const ViewerKeys::Taken taken = self->keys->Take(
        key, (modifiers & GST_NAVIGATION_MODIFIER_SHIFT_MASK) != 0, type == GST_NAVIGATION_EVENT_KEY_PRESS,
        GST_CLOCK_TIME_IS_VALID(now) ? std::optional<int64_t>(now) : std::nullopt);
    if (taken.mark)
        gst_element_post_message(GST_ELEMENT(self),
                                 MarkMessage(GST_OBJECT(self), taken.mark->caption, taken.mark->mark));
    if (taken.action)
        gst_element_post_message(
            GST_ELEMENT(self), KeyMessage(GST_OBJECT(self), *taken.action, taken.mark.has_value(), taken.captionsOff));
    return taken.ours;
}

// The element's keys stop here; every other event goes upstream as it is.
gboolean SrcEvent(GstBaseTransform* trans, GstEvent* event) {
    if (GST_EVENT_TYPE(event) == GST_EVENT_NAVIGATION && TakeKey(Self(trans), event)) {
        gst_event_unref(event);
        return TRUE;
    }
    return GST_BASE_TRANSFORM_CLASS(gst_tpp25frame_parent_class)->src_event(trans, event);
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
    gst_caps_unref(caps);
    caps = gst_caps_from_string(GST_VIDEO_CAPS_MAKE_WITH_FEATURES(
        GST_CAPS_FEATURE_MEMORY_SYSTEM_MEMORY "," TPP_COMPOSITION, TPP_FORMATS) ";" GST_VIDEO_CAPS_MAKE(TPP_FORMATS));
    gst_element_class_add_pad_template(element, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
    gst_caps_unref(caps);

    GstBaseTransformClass* transform = GST_BASE_TRANSFORM_CLASS(klass);
    transform->start = Start;
    transform->stop = Stop;
    transform->before_transform = BeforeTransform;
    transform->transform_caps = TransformCaps;
    transform->transform_ip = TransformInPlace;
    transform->src_event = SrcEvent;
    transform->transform_ip_on_passthrough = FALSE;

    GstVideoFilterClass* filter = GST_VIDEO_FILTER_CLASS(klass);
    filter->set_info = SetInfo;
    filter->transform_frame_ip = TransformFrameInPlace;

    GST_DEBUG_CATEGORY_INIT(tpp25frame_debug, "tpp25frame", 0, "25th frame captions");
}

static void gst_tpp25frame_init(GstTpp25Frame* self) {
    self->properties = new RunSettings();
    self->properties->settingsFile = DefaultSettingsFile();
    self->properties->progressStore = learner::DefaultStorePath();
    self->propertiesChanged = false;
    self->engine = nullptr;
    self->settingsFileToCome = nullptr;
    self->canvasBlends = true;
    self->canvasFormat = FrameFormat::kBgrx;
    self->canvasWidth = self->canvasHeight = 0;
    self->compose = self->composeCaps = self->pathPending = self->pathTold = false;
    self->composition = new CaptionComposition();
    self->keys = new ViewerKeys();
    self->bufferTime = std::nullopt;
    // Every buffer counts in the schedule: none is dropped for being late.
    gst_base_transform_set_qos_enabled(GST_BASE_TRANSFORM(self), FALSE);
}

static gboolean PluginInit(GstPlugin* plugin) { return GST_ELEMENT_REGISTER(tpp25frame, plugin); }

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, tpp25frame,
                  "Vocabulary captions over video by the 25th-frame method", PluginInit, VERSION, "unknown", PACKAGE,
                  "Unknown package origin")

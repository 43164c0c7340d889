// tpp25frame: vocabulary captions blended into VLC's pictures, on the
// schedule of the plug-in: one picture is one frame. Each filter runs a
// plug-in instance of its own (caption_engine.h), from open to close, and
// takes the viewer's keys from the video window.
#include <vlc_common.h>
#include <vlc_filter.h>
#include <vlc_picture.h>
#include <vlc_plugin.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "frontend/viewer_keys.h"
#include "vlc/filter_options.h"
#include "vlc/key_names.h"
#include "vlc/picture_view.h"

struct filter_sys_t {
    CaptionEngine engine;
    FrameFormat format;
    ViewerKeys keys;
    std::optional<int64_t> firstDate;
};

namespace {

void Tell(filter_t* filter, const std::vector<std::string>& warnings) {
    for (const std::string& text : warnings) msg_Warn(filter, "%s", text.c_str());
}

// A fault the plug-in instance caught and survived, or settings that hide
// the captions: the pictures go on, and the log hears of it.
void TellFaults(filter_t* filter) {
    CaptionEngine& engine = filter->p_sys->engine;
    if (const std::string fault = engine.TakeFault(); !fault.empty()) msg_Warn(filter, "%s", fault.c_str());
    Tell(filter, engine.TakeNotices());
}

// A picture without a caption is only counted and passes as it is. One
// that gets a caption is drawn into a copy: the decoder may still read
// the picture it gave as a reference for the next.
// A picture's date, VLC's clock in microseconds, as nanoseconds.
std::optional<int64_t> NanosOf(mtime_t date) {
    if (date <= VLC_TS_INVALID) return std::nullopt;
    return int64_t{date} * 1000;
}

// The keys look back from each picture's date to find the caption the
// viewer saw.
void TellKeys(filter_sys_t* sys, std::optional<int64_t> date, std::optional<uint32_t> entryOnScreen) {
    sys->keys.Frame(sys->engine.streamTime(), date, entryOnScreen, sys->engine.frameDuration());
}

picture_t* Filter(filter_t* filter, picture_t* picture) {
    filter_sys_t* sys = filter->p_sys;
    if (!picture) return nullptr;
    sys->engine.Take(sys->keys.TakeRequests());
    const std::optional<int64_t> date = NanosOf(picture->date);
    sys->engine.SetFrameTime(date);
    // The film's place: a picture's date from the first one's (VLC gives a
    // filter no stream time of its own; a seek is not followed).
    if (date && !sys->firstDate) sys->firstDate = date;
    if (date) sys->engine.SetFilmTime(*date - *sys->firstDate);
    picture_t* drawn = sys->engine.NextFrameMayDraw() ? filter_NewPicture(filter) : nullptr;
    if (!drawn) {
        sys->engine.PassFrame();
        TellKeys(sys, date, std::nullopt);
        return picture;
    }
    picture_Copy(drawn, picture);
    picture_Release(picture);
    const FrameView view = VisibleView(drawn, sys->format);
    if (view.width == 0 || view.height == 0) {
        sys->engine.PassFrame();
    } else if (const std::optional<CaptionShown> started = sys->engine.ProcessFrame(view)) {
        sys->keys.Shown(*started, sys->engine.streamTime());
    }
    TellKeys(sys, date, sys->engine.EntryOnScreen());
    TellFaults(filter);
    return drawn;
}

// VLC's root object is told every key pressed in a video window, on that
// window's thread; VLC's hotkeys hear the same keys. A transcode has no
// window and calls this never.
int KeyPressed(vlc_object_t*, const char*, vlc_value_t, vlc_value_t key, void* data) {
    filter_t* filter = static_cast<filter_t*>(data);
    const std::optional<NamedKey> named = NamedKeyOf(key.i_int);
    if (!named) return VLC_SUCCESS;
    const ViewerKeys::Taken taken = filter->p_sys->keys.Take(named->name.c_str(), named->shift, true,
                                                             int64_t{mdate()} * 1000);
    if (taken.mark) {
        const CaptionShown& caption = taken.mark->caption;
        msg_Info(filter, "marked %s: %s - %s", taken.mark->mark == learner::Mark::kKnown ? "known" : "again",
                 caption.word.c_str(), caption.translation.c_str());
    }
    return VLC_SUCCESS;
}

void Close(vlc_object_t* object) {
    filter_t* filter = reinterpret_cast<filter_t*>(object);
    // Returns once no call of it runs.
    var_DelCallback(filter->obj.libvlc, "key-pressed", KeyPressed, filter);
    filter->p_sys->keys.EndRun();
    filter->p_sys->engine.Stop();
    TellFaults(filter);
    delete filter->p_sys;
}

int Open(vlc_object_t* object) {
    filter_t* filter = reinterpret_cast<filter_t*>(object);
    const std::optional<FrameFormat> format = FormatOfChroma(filter->fmt_in.video);
    if (!format) return VLC_EGENERIC;
    if (!video_format_IsSimilar(&filter->fmt_in.video, &filter->fmt_out.video)) {
        if (!filter->b_allow_fmt_out_change) return VLC_EGENERIC;
        video_format_Clean(&filter->fmt_out.video);
        video_format_Copy(&filter->fmt_out.video, &filter->fmt_in.video);
    }
    std::vector<std::string> warnings;
    FilterOptions options = ReadFilterOptions(filter, warnings);
    try {
        filter->p_sys = new filter_sys_t{CaptionEngine(options.run, warnings), *format, {}, std::nullopt};
    } catch (const std::exception& error) {
        msg_Err(filter, "The caption engine cannot start: %s", error.what());
        return VLC_EGENERIC;
    }
    Tell(filter, warnings);
    const video_format_t& size = filter->fmt_in.video;
    if (!filter->p_sys->engine.StartStream(*format, int32_t(size.i_visible_width), int32_t(size.i_visible_height))) {
        msg_Err(filter, "No caption canvas for %ux%u pictures: %s", size.i_visible_width, size.i_visible_height,
                filter->p_sys->engine.TakeFault().c_str());
        delete filter->p_sys;
        return VLC_EGENERIC;
    }
    TellFaults(filter);
    ViewerKeys& keys = filter->p_sys->keys;
    keys.SetMap(std::move(options.keys));
    keys.StartRun(filter->p_sys->engine.progressStore());
    // A stream of no known rate is taken as 25 frames a second.
    filter->p_sys->engine.SetFramesPerSecond(
        size.i_frame_rate > 0 && size.i_frame_rate_base > 0 ? double(size.i_frame_rate) / size.i_frame_rate_base : 0);
    var_AddCallback(filter->obj.libvlc, "key-pressed", KeyPressed, filter);
    msg_Dbg(filter, "captions into %4.4s %ux%u", reinterpret_cast<const char*>(&size.i_chroma), size.i_visible_width,
            size.i_visible_height);
    filter->pf_video_filter = Filter;
    return VLC_SUCCESS;
}

}  // namespace

vlc_module_begin() set_shortname("tpp25frame") set_description("25th frame vocabulary captions")
    set_help("Flashes a word and its translation over the picture every few frames, for learning a language.")
        set_category(CAT_VIDEO) set_subcategory(SUBCAT_VIDEO_VFILTER) set_capability("video filter", 0)
            add_shortcut("tpp25frame") set_callbacks(Open, Close) DeclareFilterOptions(vlc_set, opaque);
vlc_module_end()

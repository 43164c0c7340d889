// tpp25frame: vocabulary captions blended into VLC's pictures, on the
// schedule of the plug-in: one picture is one frame. Each filter runs a
// plug-in instance of its own (caption_engine.h), from open to close.
#include <vlc_common.h>
#include <vlc_filter.h>
#include <vlc_picture.h>
#include <vlc_plugin.h>

#include <exception>
#include <string>
#include <vector>

#include "vlc/filter_options.h"
#include "vlc/picture_view.h"

struct filter_sys_t {
    CaptionEngine engine;
    FrameFormat format;
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
picture_t* Filter(filter_t* filter, picture_t* picture) {
    filter_sys_t* sys = filter->p_sys;
    if (!picture) return nullptr;
    if (!sys->engine.NextFrameMayDraw()) {
        sys->engine.PassFrame();
        return picture;
    }
    picture_t* drawn = filter_NewPicture(filter);
    if (!drawn) {
        sys->engine.PassFrame();
        return picture;
    }
    picture_Copy(drawn, picture);
    picture_Release(picture);
    const FrameView view = VisibleView(drawn, sys->format);
    if (view.width == 0 || view.height == 0)
        sys->engine.PassFrame();
    else
        sys->engine.ProcessFrame(view);
    TellFaults(filter);
    return drawn;
}

void Close(vlc_object_t* object) {
    filter_t* filter = reinterpret_cast<filter_t*>(object);
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
    const RunSettings run = ReadFilterOptions(filter, warnings);
    try {
        filter->p_sys = new filter_sys_t{CaptionEngine(run, warnings), *format};
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

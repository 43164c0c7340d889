#include "plugin/host_callbacks.h"

namespace host {

VideoFormat VideoFormatOf(const StreamFormat& format) {
    VideoFormat video = {format.width, format.height, std::nullopt};
    if (format.pixelFormat == 0) video.format = FrameFormat::kYuy2;
    if (format.pixelFormat == 1) video.format = FrameFormat::kBgr;
    return video;
}

int32_t StreamStart(PluginInstance& instance, const StreamFormat* format) {
    return format ? instance.StreamStart(VideoFormatOf(*format)) : 0;
}

int32_t ProcessFrameRecord(PluginInstance& instance, const FrameRecord& frame) {
    // The frame as the stream announced it; the host's BGR is bottom-up.
    const VideoFormat stream = instance.videoFormat();
    VideoFrame video;
    video.planes[0] = {frame.pixels, 0};
    if (stream.format == FrameFormat::kYuy2)
        video.planes[0] = HostYuy2Frame(frame.pixels, stream.width, stream.height).planes[0];
    else if (stream.format == FrameFormat::kBgr)
        video.planes[0] = HostRgb24Frame(frame.pixels, stream.width, stream.height).planes[0];
    return instance.ProcessFrame(video);
}

void ShowSettings(PluginInstance& instance, const HostWindowRecord* window) {
    if (window) instance.ShowSettings(window->window);
}

}  // namespace host

#include "plugin/host_callbacks.h"

#include "blend/frame_view.h"

namespace host {
namespace {

// A record's pixels laid out as the stream announced them; the host's BGR
// is bottom-up.
FrameView HostFrameOf(const VideoFormat& stream, uint8_t* pixels) {
    if (stream.format == FrameFormat::kYuy2) return HostYuy2Frame(pixels, stream.width, stream.height);
    if (stream.format == FrameFormat::kBgr) return HostRgb24Frame(pixels, stream.width, stream.height);
    // Of another pixel format only the pixels are known; nothing is blended
    // into them.
    FrameView frame = {};
    frame.width = stream.width, frame.height = stream.height;
    frame.planes[0].top = pixels;
    return frame;
}

}  // namespace

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
    return instance.ProcessFrame(HostFrameOf(instance.videoFormat(), frame.pixels));
}

void ShowSettings(PluginInstance& instance, const HostWindowRecord* window) {
    if (window) instance.ShowSettings(window->window);
}

}  // namespace host

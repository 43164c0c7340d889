// The host's records on an instance: what each callback of the plug-in
// record does with the record it is given. The host's pixel format 0 is
// YUY2 and 1 RGB24 bottom-up, neither padded; a stream of another format
// has its captions scheduled and drawn, but blended into nothing.
#pragma once

#include <cstdint>

#include "overlay/overlay_engine.h"
#include "plugin/host_interface.h"
#include "plugin/plugin_instance.h"

namespace host {

// The stream the host announces, in the engine's terms.
VideoFormat VideoFormatOf(const StreamFormat& format);

// 0 without a record.
int32_t StreamStart(PluginInstance& instance, const StreamFormat* format);
// The frame of a record that has pixels, in the stream's terms.
int32_t ProcessFrameRecord(PluginInstance& instance, const FrameRecord& frame);

// 0 without a record or its pixels. Most frames fall in the gap between
// captions: those are counted here, before the record is taken apart.
inline int32_t ProcessFrame(PluginInstance& instance, FrameRecord* frame) {
    if (!frame || !frame->pixels) return 0;
    if (instance.CountGapFrame()) return 1;
    return ProcessFrameRecord(instance, *frame);
}
// Without a record there is no owner to speak of: nothing opens.
void ShowSettings(PluginInstance& instance, const HostWindowRecord* window);

}  // namespace host

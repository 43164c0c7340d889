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
// 0 without a record or its pixels.
int32_t ProcessFrame(PluginInstance& instance, FrameRecord* frame);
// Without a record there is no owner to speak of: nothing opens.
void ShowSettings(PluginInstance& instance, const HostWindowRecord* window);

}  // namespace host

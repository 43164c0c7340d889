// The overlay engine: per-frame caption schedule, layout and blending.
#pragma once

#include <cstdint>

#include "plugin/host_interface.h"

namespace overlay {

void CreateRenderContext();
int32_t StreamStart(const StreamFormat* format);
int32_t ProcessFrame(FrameRecord* frame);
void StreamStop();

}  // namespace overlay

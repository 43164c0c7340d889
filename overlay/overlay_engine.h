// The overlay engine: the per-frame caption schedule, layout on the virtual
// canvas, rendering and blending into the host's frame.
#pragma once

#include <cstdint>

#include "overlay/caption_renderer.h"
#include "plugin/host_interface.h"
#include "settings/settings_record.h"

namespace overlay {

// The platform's renderer; set once when the library loads.
void SetRenderer(CaptionRenderer* renderer);

void CreateRenderContext();
// 1 when the stream is accepted; 0 for a frame size of zero or below.
int32_t StreamStart(const StreamFormat* format);
int32_t ProcessFrame(FrameRecord* frame);
void StreamStop();

}  // namespace overlay

// Rebuilds the caption font from the working settings.
void CreateCaptionFont();

// The font request the settings make: the face name cut to what a font
// name holds, the height kept within the canvas.
CaptionFont CaptionFontFrom(const SettingsRecord& settings);

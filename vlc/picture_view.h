// VLC's pictures as the caption engine's frames.
#pragma once

#include <vlc_common.h>
#include <vlc_picture.h>

#include <optional>

#include "blend/frame_view.h"

// The frame format of the chromas the filter blends without conversion:
// I420, YV12, NV12, NV21, P010, I420_10L, YUY2, UYVY, RGBA, ARGB, BGRA,
// and RV24 and RV32 with blue in the first byte. None for the others,
// which VLC converts first.
std::optional<FrameFormat> FormatOfChroma(const video_format_t& format);

// The picture's visible rectangle as a frame of the format. It starts at a
// pixel that begins a chroma sample, so that nothing outside it changes.
FrameView VisibleView(picture_t* picture, FrameFormat format);

// ProcessFrame as a host calls it, through the plug-in record's callback,
// on an instance that draws with a given renderer:
//   ProcessFrame/RENDERER/first/WxH/FORMAT/backtype:N  a caption's first frame: drawn, then blended
//   ProcessFrame/RENDERER/held/WxH/FORMAT/backtype:N   a frame of the caption held from the frame before
//   ProcessFrame/RENDERER/gap/WxH                      a frame between captions
//   ProcessFrame/RENDERER/{first,held}/1920x1080/yuy2/backtype:N/outline:3  the same with an outline
// first and held report x_blend, their CPU time over that of the blend of
// their caption alone (the engine's canvas, rectangle and runs, on its
// path); x_memcpy, over a warm memcpy of the frame's bytes; and
// rect_vs_runs, the time of that blend reading the caption's whole
// rectangle over the time with the runs (above 1: the runs pay).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "overlay/caption_renderer.h"

using MakeRenderer = std::function<std::unique_ptr<CaptionRenderer>()>;

void RegisterProcessFrameCases(const std::string& rendererName, const MakeRenderer& makeRenderer);

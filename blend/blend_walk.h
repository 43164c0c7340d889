// The walk every kernel path shares: clipping, the derived values, frame
// edges and the cut of each row into canvas spans and constant spans.
#pragma once

#include "blend/blend_job.h"
#include "blend/blend_spans.h"

namespace blend {

// Mixes the job into its frame; with targets, the canvas spans mix toward
// them instead (see PrepareTargetsOn).
void MixIntoFrame(const BlendJob& job, const Spans& spans, const FrameView* targets);

// Writes the targets where the job's canvas spans lie, at full opacity;
// the frame is left as it is.
void WriteTargets(const BlendJob& job, const Spans& spans, const FrameView& targets);

}  // namespace blend

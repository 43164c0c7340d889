// The walk every kernel path shares: clipping, the derived values, frame
// edges and the cut of each row into canvas spans and constant spans.
#pragma once

#include "blend/blend_job.h"
#include "blend/blend_spans.h"

namespace blend {

// With targets, the canvas spans mix toward them instead (see
// PrepareTargetsOn); preparing, they write the targets at full opacity and
// nothing else is done.
void Walk(const BlendJob& job, const Spans& spans, const FrameView* targets, bool preparing);

}  // namespace blend

// The walk every kernel path shares: clipping, the derived values, frame
// edges and the cut of each row into canvas spans and constant spans.
#pragma once

#include "overlay/blend.h"
#include "overlay/blend_spans.h"

namespace blend {

void Walk(const BlendJob& job, const Spans& spans);

}  // namespace blend

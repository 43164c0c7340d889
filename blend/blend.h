// The blend kernels' entry: a BlendJob mixed into its frame on one of the
// kernel paths, straight from the canvas or through a held caption's
// targets.
#pragma once

#include "blend/blend_job.h"
#include "blend/frame_view.h"

// The kernels' code paths; every one gives the reference's bytes.
enum class KernelPath { kReference, kSse2, kAvx2 };

// Whether this processor has the path (whatever the CPU mask says).
bool PathAvailable(KernelPath path);
// The best path that UsableCpuFeatures() allows: the same for the whole
// process, and what every engine starts on.
KernelPath ActivePath();

// The job mixed into its frame on one path, which must be available.
//
// A caption blended over several frames need not convert its canvas every
// time: its colours in the frame's own format, once, and each frame then
// only mixes toward those bytes, as fast as toward a constant. The targets
// are a surface of the frame's format and size; PrepareTargetsOn writes,
// where the job would read the canvas, the bytes the frame would get at
// full opacity, and BlendOn with them gives the bytes of BlendOn without,
// for a job of the same geometry and canvas (in the 10-bit formats only
// the samples count: the words' other bits are the frame's). For YUY2,
// UYVY, BGR, I420, NV12, NV21, P010 and I420_10LE, with the key off (a
// keyed pixel's neighbours mix with the frame itself); any other job reads
// the canvas.
void BlendOn(KernelPath path, const BlendJob& job, const FrameView* targets = nullptr);
bool TargetsServe(const BlendJob& job);
void PrepareTargetsOn(KernelPath path, const BlendJob& job, const FrameView& targets);

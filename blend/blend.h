// Kernels that mix the rendered 32-bit canvas into a frame in place: the
// host's YUY2 (pixel format 0) and RGB24 bottom-up (pixel format 1) through
// the fifteen arguments of BlendArgs, and every format of FrameView through
// a BlendJob.
#pragma once

#include <cstdint>

#include "blend/canvas_runs.h"
#include "blend/frame_view.h"

// Opacity is in percent; more counts as full (whoever hands a blend over
// need not clamp it).
constexpr uint32_t kFullOpacity = 100;

// The fifteen arguments of a blend, in the order the scheduler passes them.
struct BlendArgs {
    const uint8_t* sourceBits;  // canvas: B, G, R, ignored; rows top-down
    int32_t sourceLeft;
    int32_t sourceTop;
    int32_t sourceRight;   // exclusive
    int32_t sourceBottom;  // exclusive
    int32_t sourceWidth;
    int32_t sourceHeight;
    uint8_t* destBits;  // the host's frame
    int32_t destLeft;
    int32_t destTop;
    int32_t destWidth;
    int32_t destHeight;
    uint32_t transparency;  // opacity in percent; above 100 counts as 100
    uint32_t backColor;     // COLORREF 0x00BBGGRR
    uint32_t keyFlag;       // bit 0: skip canvas pixels of exactly backColor
};

// Clips both rectangles to their surfaces; false when nothing is left.
bool ClipBlendRect(BlendArgs& args);

// One blend of any frame format. The source rectangle of the canvas goes to
// the frame at (destLeft, destTop), clipped to both surfaces. Canvas pixels
// outside caption are taken as backColor without being read (a whole-frame
// background costs one pass over the frame); inside it, runs, when given,
// tell where the canvas differs from backColor, and only there, and in the
// caption up to 15 pixels beside them (where whole vectors cost less than
// a remainder done pixel by pixel), is it read. A canvas that holds anything
// but backColor outside the runs gives undefined colours there, never an
// access outside the surfaces.
struct BlendJob {
    FrameView frame;
    CanvasView canvas;
    PixelRect source;
    int32_t destLeft, destTop;
    PixelRect caption;
    const CanvasRuns* runs;  // null: all of caption is read
    uint32_t transparency;   // as in BlendArgs
    uint32_t backColor;
    uint32_t keyFlag;
};

// The kernels' code paths; every one gives the reference's bytes.
enum class KernelPath { kReference, kSse2, kAvx2 };

// Whether this processor has the path (whatever the CPU mask says).
bool PathAvailable(KernelPath path);
// The best path that UsableCpuFeatures() allows: the same for the whole
// process, and what every engine starts on.
KernelPath ActivePath();

// Dispatching: on the active path.
void Blend(const BlendJob& job);
void BlendYUY2(const BlendArgs& args);
void BlendRGB24(const BlendArgs& args);

// On one path, which must be available: for engines put on a path of their
// own, tests and benchmarks.
void BlendOn(KernelPath path, const BlendJob& job);

// A caption blended over several frames need not convert its canvas every
// time: its colours in the frame's own format, once, and each frame then
// only mixes toward those bytes, as fast as toward a constant. The targets
// are a surface of the frame's format and size; PrepareTargetsOn writes,
// where the job would read the canvas, the bytes the frame would get at
// full opacity, and BlendOn with them gives the bytes of BlendOn without,
// for a job of the same geometry and canvas. For YUY2, BGR, I420 and NV12,
// with the key off (a keyed pixel's neighbours mix with the frame itself);
// any other job reads the canvas.
bool TargetsServe(const BlendJob& job);
void PrepareTargetsOn(KernelPath path, const BlendJob& job, const FrameView& targets);
void BlendOn(KernelPath path, const BlendJob& job, const FrameView* targets);
void BlendYUY2On(KernelPath path, const BlendArgs& args);
void BlendRGB24On(KernelPath path, const BlendArgs& args);

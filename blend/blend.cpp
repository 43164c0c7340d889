#include "blend/blend.h"

#include "blend/blend_walk.h"
#include "blend/cpu_features.h"

namespace {

uint32_t FeatureOf(KernelPath path) {
    switch (path) {
        case KernelPath::kSse2: return kCpuSse2;
        case KernelPath::kAvx2: return kCpuAvx2;
        default: return 0;
    }
}

const blend::Spans& SpansOf(KernelPath path) {
    switch (path) {
        case KernelPath::kSse2: return blend::Sse2Spans();
        case KernelPath::kAvx2: return blend::Avx2Spans();
        default: return blend::ReferenceSpans();
    }
}

// The host's frame and the canvas behind BlendArgs; the whole canvas may
// differ from the background, as the fifteen arguments cannot say otherwise.
BlendJob JobOf(const BlendArgs& a, const FrameView& frame) {
    return {frame,
            {a.sourceBits, static_cast<ptrdiff_t>(a.sourceWidth) * 4, a.sourceWidth, a.sourceHeight},
            {a.sourceLeft, a.sourceTop, a.sourceRight, a.sourceBottom},
            a.destLeft,
            a.destTop,
            {0, 0, a.sourceWidth, a.sourceHeight},
            nullptr,
            a.transparency,
            a.backColor,
            a.keyFlag};
}

}  // namespace

bool PathAvailable(KernelPath path) { return (DetectedCpuFeatures() & FeatureOf(path)) == FeatureOf(path); }

KernelPath ActivePath() {
    const uint32_t usable = UsableCpuFeatures();
    if (usable & kCpuAvx2) return KernelPath::kAvx2;
    if (usable & kCpuSse2) return KernelPath::kSse2;
    return KernelPath::kReference;
}

void BlendOn(KernelPath path, const BlendJob& job) { blend::Walk(job, SpansOf(path), nullptr, false); }

bool TargetsServe(const BlendJob& job) {
    return !(job.keyFlag & 1) && job.frame.format != FrameFormat::kBgrx;
}

void PrepareTargetsOn(KernelPath path, const BlendJob& job, const FrameView& targets) {
    if (TargetsServe(job)) blend::Walk(job, SpansOf(path), &targets, true);
}

void BlendOn(KernelPath path, const BlendJob& job, const FrameView* targets) {
    blend::Walk(job, SpansOf(path), TargetsServe(job) ? targets : nullptr, false);
}

void BlendYUY2On(KernelPath path, const BlendArgs& args) {
    BlendOn(path, JobOf(args, HostYuy2Frame(args.destBits, args.destWidth, args.destHeight)));
}

void BlendRGB24On(KernelPath path, const BlendArgs& args) {
    BlendOn(path, JobOf(args, HostRgb24Frame(args.destBits, args.destWidth, args.destHeight)));
}

void Blend(const BlendJob& job) { BlendOn(ActivePath(), job); }

void BlendYUY2(const BlendArgs& args) { BlendYUY2On(ActivePath(), args); }

void BlendRGB24(const BlendArgs& args) { BlendRGB24On(ActivePath(), args); }

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

}  // namespace

bool PathAvailable(KernelPath path) { return (DetectedCpuFeatures() & FeatureOf(path)) == FeatureOf(path); }

KernelPath ActivePath() {
    const uint32_t usable = UsableCpuFeatures();
    if (usable & kCpuAvx2) return KernelPath::kAvx2;
    if (usable & kCpuSse2) return KernelPath::kSse2;
    return KernelPath::kReference;
}

// Not for the 4-byte RGB formats: a target span would write their kept byte.
bool TargetsServe(const BlendJob& job) {
    const FrameFormat f = job.frame.format;
    const bool keepsAByte = f == FrameFormat::kBgrx || f == FrameFormat::kRgbx || f == FrameFormat::kXrgb ||
                            f == FrameFormat::kXbgr;
    return !job.keyBackground && !keepsAByte;
}

void PrepareTargetsOn(KernelPath path, const BlendJob& job, const FrameView& targets) {
    if (TargetsServe(job)) blend::WriteTargets(job, SpansOf(path), targets);
}

void BlendOn(KernelPath path, const BlendJob& job, const FrameView* targets) {
    blend::MixIntoFrame(job, SpansOf(path), TargetsServe(job) ? targets : nullptr);
}

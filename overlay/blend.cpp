#include "overlay/blend.h"

#include "overlay/cpu_features.h"

BlendKernels ActiveBlendKernels() {
    if (UsableCpuFeatures() & kCpuSse2) return {BlendYUY2Sse2, BlendRGB24Sse2};
    return {BlendYUY2Reference, BlendRGB24Reference};
}

void BlendYUY2(const BlendArgs& args) { ActiveBlendKernels().yuy2(args); }

void BlendRGB24(const BlendArgs& args) { ActiveBlendKernels().rgb24(args); }

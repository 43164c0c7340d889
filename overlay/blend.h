// Kernels that mix the rendered 32-bit canvas into the host's frame in
// place: YUY2 (pixel format 0) and RGB24 bottom-up (pixel format 1).
#pragma once

#include <cstdint>

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

// Dispatching kernels: the SIMD path that UsableCpuFeatures() allows at
// the time of the call, else the reference.
void BlendYUY2(const BlendArgs& args);
void BlendRGB24(const BlendArgs& args);

// The kernels the dispatching ones would call now.
struct BlendKernels {
    void (*yuy2)(const BlendArgs&);
    void (*rgb24)(const BlendArgs&);
};
BlendKernels ActiveBlendKernels();

// Plain reference kernels; every SIMD kernel gives the same bytes.
void BlendYUY2Reference(const BlendArgs& args);
void BlendRGB24Reference(const BlendArgs& args);

// SSE2 kernels; call only when DetectedCpuFeatures() has kCpuSse2.
void BlendYUY2Sse2(const BlendArgs& args);
void BlendRGB24Sse2(const BlendArgs& args);

// Which SIMD paths the blend kernels may take. The processor decides what
// exists; a mask decides what may be used, so that a test, a script or a
// user chasing a fault can force every path down to the plain reference:
// the environment variable TPP_CPU_MASK at the first use, SetCpuMask since.
#pragma once

#include <cstdint>

enum CpuFeature : uint32_t {
    kCpuSse2 = 1u << 0,
    kCpuAvx2 = 1u << 1,
};
constexpr uint32_t kAllCpuFeatures = 0xFFFFFFFFu;

// What the processor has, detected once.
uint32_t DetectedCpuFeatures();

// What the kernels may use now: the detected features within the mask.
uint32_t UsableCpuFeatures();

// Allows only the features in mask from the next blend on (0: the reference
// kernels only; kAllCpuFeatures: whatever the processor has).
void SetCpuMask(uint32_t mask);

// The mask that TPP_CPU_MASK's text means: a number, decimal or 0x-hex,
// whose bits are CpuFeature values; unset or empty allows everything, and
// text that is not a number allows nothing (the safe side).
uint32_t CpuMaskFromText(const char* text);

// Which SIMD paths the blend kernels may take. The processor decides what
// exists; the environment variable TPP_CPU_MASK limits it for the whole
// process, so that a script or a user chasing a fault can force every
// blend down to the plain reference. Both are read once and never change;
// an engine may still be put on one path of its own (tests, benchmarks).
#pragma once

#include <cstdint>

enum CpuFeature : uint32_t {
    kCpuSse2 = 1u << 0,
    kCpuAvx2 = 1u << 1,
};
constexpr uint32_t kAllCpuFeatures = 0xFFFFFFFFu;

// What the processor has, detected once.
uint32_t DetectedCpuFeatures();

// TPP_CPU_MASK as the process found it at the first call.
uint32_t EnvironmentCpuMask();

// What the kernels may use: the detected features within the environment's
// mask.
uint32_t UsableCpuFeatures();

// The mask that TPP_CPU_MASK's text means: a number, decimal or 0x-hex,
// whose bits are CpuFeature values; unset or empty allows everything, and
// text that is not a number allows nothing (the safe side).
uint32_t CpuMaskFromText(const char* text);

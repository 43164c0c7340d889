#include "blend/cpu_features.h"

#include <cstdlib>

uint32_t DetectedCpuFeatures() {
    static const uint32_t detected = [] {
        __builtin_cpu_init();
        uint32_t features = 0;
        if (__builtin_cpu_supports("sse2")) features |= kCpuSse2;
        if (__builtin_cpu_supports("avx2")) features |= kCpuAvx2;
        return features;
    }();
    return detected;
}

uint32_t EnvironmentCpuMask() {
    static const uint32_t mask = CpuMaskFromText(std::getenv("TPP_CPU_MASK"));
    return mask;
}

uint32_t UsableCpuFeatures() { return DetectedCpuFeatures() & EnvironmentCpuMask(); }

uint32_t CpuMaskFromText(const char* text) {
    if (!text || !*text) return kAllCpuFeatures;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 0);
    if (*end != '\0') return 0;
    return static_cast<uint32_t>(value);
}

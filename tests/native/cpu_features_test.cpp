#include "overlay/cpu_features.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "overlay/blend.h"

namespace {

TEST(CpuMask, TextOfTheEnvironmentVariable) {
    EXPECT_EQ(CpuMaskFromText(nullptr), kAllCpuFeatures);
    EXPECT_EQ(CpuMaskFromText(""), kAllCpuFeatures);
    EXPECT_EQ(CpuMaskFromText("0"), 0u);
    EXPECT_EQ(CpuMaskFromText("1"), uint32_t{kCpuSse2});
    EXPECT_EQ(CpuMaskFromText("0x3"), 3u);
    EXPECT_EQ(CpuMaskFromText("-1"), kAllCpuFeatures);
    EXPECT_EQ(CpuMaskFromText("sse2"), 0u) << "not a number: reference only";
    EXPECT_EQ(CpuMaskFromText("1x"), 0u);
}

// The environment's mask holds for the whole run (this is how CTest runs the
// engine's tests on the reference kernels), and SetCpuMask takes effect at
// the next call.
TEST(CpuMask, DecidesTheKernelsAtEachCall) {
    const uint32_t fromEnvironment = CpuMaskFromText(std::getenv("TPP_CPU_MASK"));
    EXPECT_EQ(UsableCpuFeatures(), DetectedCpuFeatures() & fromEnvironment);

    SetCpuMask(0);
    EXPECT_EQ(UsableCpuFeatures(), 0u);
    EXPECT_EQ(ActivePath(), KernelPath::kReference);
    SetCpuMask(kCpuSse2);
    if (DetectedCpuFeatures() & kCpuSse2) EXPECT_EQ(ActivePath(), KernelPath::kSse2);
    SetCpuMask(kAllCpuFeatures);
    if (DetectedCpuFeatures() & kCpuAvx2) EXPECT_EQ(ActivePath(), KernelPath::kAvx2);
    SetCpuMask(fromEnvironment);
}

}  // namespace

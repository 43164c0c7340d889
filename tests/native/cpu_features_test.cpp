#include "blend/cpu_features.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "blend/blend.h"
#include "tests/support/test_instance.h"

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

// The environment's mask holds for the whole run (this is how CTest runs
// the engine's tests on the reference kernels) and decides the path every
// engine starts on; an engine put on a path of its own keeps it to itself.
TEST(CpuMask, EnvironmentDecidesWhereEveryEngineStarts) {
    const uint32_t fromEnvironment = CpuMaskFromText(std::getenv("TPP_CPU_MASK"));
    EXPECT_EQ(UsableCpuFeatures(), DetectedCpuFeatures() & fromEnvironment);
    if (fromEnvironment == 0) {
        EXPECT_EQ(ActivePath(), KernelPath::kReference);
    } else if (UsableCpuFeatures() & kCpuAvx2) {
        EXPECT_EQ(ActivePath(), KernelPath::kAvx2);
    }

    const std::unique_ptr<PluginInstance> plugin = MakeTestInstance();
    EXPECT_EQ(OverlayOf(*plugin).kernelPath(), ActivePath());
    for (KernelPath path : {KernelPath::kAvx2, KernelPath::kSse2, KernelPath::kReference}) {
        const KernelPath before = OverlayOf(*plugin).kernelPath();
        EXPECT_EQ(OverlayOf(*plugin).SetKernelPath(path), PathAvailable(path));
        EXPECT_EQ(OverlayOf(*plugin).kernelPath(), PathAvailable(path) ? path : before);
    }
    EXPECT_EQ(OverlayOf(*MakeTestInstance()).kernelPath(), ActivePath());
    EXPECT_EQ(UsableCpuFeatures(), DetectedCpuFeatures() & fromEnvironment);
}

}  // namespace

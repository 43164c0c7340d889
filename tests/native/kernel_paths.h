// The blend kernel paths a test runs on: the reference and each SIMD path
// that this processor has.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blend/blend.h"

inline const char* PathName(KernelPath path) {
    switch (path) {
        case KernelPath::kSse2: return "sse2";
        case KernelPath::kAvx2: return "avx2";
        default: return "reference";
    }
}

inline std::vector<KernelPath> AvailablePaths() {
    std::vector<KernelPath> paths;
    for (KernelPath path : {KernelPath::kReference, KernelPath::kSse2, KernelPath::kAvx2})
        if (PathAvailable(path)) paths.push_back(path);
    return paths;
}

inline std::vector<KernelPath> SimdPaths() {
    std::vector<KernelPath> paths = AvailablePaths();
    paths.erase(paths.begin());
    return paths;
}

// For INSTANTIATE_TEST_SUITE_P over every path.
inline std::string PathTestName(const testing::TestParamInfo<KernelPath>& info) { return PathName(info.param); }

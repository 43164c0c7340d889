// How one picture stands in every frame format: YUY2, I420 and NV12 share
// their luma, NV12 is I420 with U and V interleaved, BGR bottom-up is BGR
// top-down, BGRx is BGR with its fourth byte left as it was.
#pragma once

#include <gtest/gtest.h>

#include "tests/native/blend_surfaces.h"

struct FramesOfOnePicture {
    TestFrame &yuy2, &i420, &nv12, &bgr, &bgrUp, &bgrx;
};

// fourth(x, y): what BGRx's fourth byte held before.
template <class Fourth>
void ExpectFormatsAgree(const FramesOfOnePicture& f, Fourth fourth) {
    for (int32_t y = 0; y < f.yuy2.height; ++y)
        for (int32_t x = 0; x < f.yuy2.width; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            ASSERT_EQ(f.i420.At(0, x, y), f.yuy2.At(0, x * 2, y));
            ASSERT_EQ(f.nv12.At(0, x, y), f.i420.At(0, x, y));
            ASSERT_EQ(f.nv12.At(1, x / 2 * 2, y / 2), f.i420.At(1, x / 2, y / 2));
            ASSERT_EQ(f.nv12.At(1, x / 2 * 2 + 1, y / 2), f.i420.At(2, x / 2, y / 2));
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(f.bgrUp.At(0, x * 3 + c, y), f.bgr.At(0, x * 3 + c, y));
                ASSERT_EQ(f.bgrx.At(0, x * 4 + c, y), f.bgr.At(0, x * 3 + c, y));
            }
            ASSERT_EQ(f.bgrx.At(0, x * 4 + 3, y), fourth(x, y));
        }
}

// How one picture stands in every frame format: YUY2, I420 and NV12 share
// their luma, NV12 is I420 with U and V interleaved, BGR bottom-up is BGR
// top-down, BGRx is BGR with its fourth byte left as it was; and the
// formats that only order those bytes otherwise.
#pragma once

#include <gtest/gtest.h>

#include <vector>

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

// The frame in a format of the same bytes in another order: BGRx as RGBx,
// xRGB or xBGR (the fourth byte moving with the pixel), YUY2 as UYVY, NV12
// as NV21. Padding, and an odd width's last YUY2 column, stay as they are.
inline TestFrame InSiblingFormat(const TestFrame& from, FrameFormat to) {
    struct Order {
        int plane, group, source[4];
    };
    const Order order = to == FrameFormat::kRgbx   ? Order{0, 4, {2, 1, 0, 3}}
                        : to == FrameFormat::kXrgb ? Order{0, 4, {3, 2, 1, 0}}
                        : to == FrameFormat::kXbgr ? Order{0, 4, {3, 0, 1, 2}}
                        : to == FrameFormat::kUyvy ? Order{0, 4, {1, 0, 3, 2}}
                                                   : Order{1, 2, {1, 0}};
    TestFrame out = from;
    out.format = to;
    const std::vector<uint8_t>& source = from.planes[order.plane];
    for (int32_t row = 0; row < from.Rows(order.plane); ++row)
        for (size_t at = size_t(row) * from.Stride(order.plane), end = at + from.RowBytes(order.plane);
             at + order.group <= end; at += order.group)
            for (int b = 0; b < order.group; ++b) out.planes[order.plane][at + b] = source[at + order.source[b]];
    return out;
}

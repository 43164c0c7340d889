// A host's RGB24 frames as the tests look at them: blue, green and red
// bytes a pixel, the bottom row first. Colours are COLORREFs; rows are
// counted from the top, as on the canvas.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "blend/frame_view.h"

inline uint32_t ColourOfBgr(const uint8_t* pixel) {
    return uint32_t{pixel[2]} | uint32_t{pixel[1]} << 8 | uint32_t{pixel[0]} << 16;
}

// Every pixel of the frame is one of these colours; the first that is not
// is named.
inline void ExpectOnlyColours(const std::vector<uint8_t>& frame, int32_t width,
                              std::initializer_list<uint32_t> colours) {
    const size_t pixels = frame.size() / 3, rows = pixels / width;
    for (size_t i = 0; i < pixels; ++i) {
        const uint32_t colour = ColourOfBgr(&frame[i * 3]);
        if (std::find(colours.begin(), colours.end(), colour) != colours.end()) continue;
        ADD_FAILURE() << "pixel " << i % width << "," << rows - 1 - i / width << " is 0x" << std::hex << colour;
        return;
    }
}

// The pixels of rows top to bottom that are not of one colour: how many,
// and the box round them.
struct FrameChanges {
    int64_t count = 0;
    PixelRect box = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};

    ::testing::AssertionResult Within(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
        if (box.left >= left && box.top >= top && box.right <= right && box.bottom <= bottom)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "changes from " << box.left << "," << box.top << " to " << box.right << "," << box.bottom
               << ", outside " << left << "," << top << " to " << right << "," << bottom;
    }
};
inline FrameChanges ChangesFrom(const std::vector<uint8_t>& frame, int32_t width, uint32_t colour, int32_t top = 0,
                                int32_t bottom = INT32_MAX) {
    const auto rows = static_cast<int32_t>(frame.size() / 3 / width);
    FrameChanges changes;
    for (int32_t y = top; y < std::min(bottom, rows); ++y)
        for (int32_t x = 0; x < width; ++x) {
            if (ColourOfBgr(&frame[(size_t(rows - 1 - y) * width + x) * 3]) == colour) continue;
            ++changes.count;
            changes.box = {std::min(changes.box.left, x), std::min(changes.box.top, y),
                           std::max(changes.box.right, x + 1), std::max(changes.box.bottom, y + 1)};
        }
    return changes;
}

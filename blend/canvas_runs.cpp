#include "blend/canvas_runs.h"

#include <algorithm>

#include "blend/blend_math.h"

void CanvasRunList::Add(int32_t left, int32_t right) {
    if (left >= right) return;
    if (rowStarts_.size() == 1) NextRow();
    const bool rowHasRuns = rowStarts_.back() > rowStarts_[rowStarts_.size() - 2];
    if (rowHasRuns && int64_t{left} <= int64_t{runs_.back().right} + join_) {
        runs_.back().right = std::max(runs_.back().right, right);
        return;
    }
    runs_.push_back({left, right});
    rowStarts_.back() = static_cast<uint32_t>(runs_.size());
}

CanvasRunList ScanCanvasRuns(const CanvasView& canvas, const PixelRect& rect, uint32_t backColor, int32_t join) {
    const uint32_t background = blend::CanvasColour(backColor);
    CanvasRunList list(rect.top, join);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        list.NextRow();
        const uint8_t* row = canvas.bits + y * canvas.stride;
        for (int32_t x = rect.left; x < rect.right;) {
            if (blend::CanvasPixel(row + x * 4) == background) {
                ++x;
                continue;
            }
            const int32_t start = x;
            while (x < rect.right && blend::CanvasPixel(row + x * 4) != background) ++x;
            list.Add(start, x);
        }
    }
    return list;
}

CanvasRunList ScanInkExtents(const CanvasView& canvas, const PixelRect& rect, uint32_t backColor) {
    const uint32_t background = blend::CanvasColour(backColor);
    CanvasRunList list(rect.top);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        list.NextRow();
        const uint8_t* row = canvas.bits + y * canvas.stride;
        int32_t left = rect.left, right = rect.right;
        while (left < right && blend::CanvasPixel(row + left * 4) == background) ++left;
        while (right > left && blend::CanvasPixel(row + (right - 1) * 4) == background) --right;
        list.Add(left, right);
    }
    return list;
}

CanvasRunList RunsOfBoxes(std::vector<PixelRect> boxes, const PixelRect& rect, int32_t join) {
    // Left edges in order, so that each row's runs come out sorted.
    std::sort(boxes.begin(), boxes.end(), [](const PixelRect& a, const PixelRect& b) { return a.left < b.left; });
    CanvasRunList list(rect.top, join);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        list.NextRow();
        for (const PixelRect& box : boxes)
            if (y >= box.top && y < box.bottom)
                list.Add(std::max(box.left, rect.left), std::min(box.right, rect.right));
    }
    return list;
}

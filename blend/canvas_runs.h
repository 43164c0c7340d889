// Where a rendered canvas differs from its background colour, row by row:
// the blend reads the canvas only there and takes every other pixel as the
// background, so its work follows the glyphs rather than the caption's area.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "blend/frame_view.h"

// A COLORREF (0x00BBGGRR) as a canvas pixel's four bytes in memory order
// (blue, green, red, 0), read as one word: pixels are compared and painted
// a word at a time whatever the byte order.
inline uint32_t CanvasBytes(uint32_t colorref) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(colorref >> 16), static_cast<uint8_t>(colorref >> 8),
                              static_cast<uint8_t>(colorref), 0};
    uint32_t pixel;
    std::memcpy(&pixel, bytes, 4);
    return pixel;
}

// Canvas columns [left, right) of one row.
struct CanvasRun {
    int32_t left, right;
};

// Rows top .. top + rows - 1; row r's runs are runs[rowStarts[r]] up to
// runs[rowStarts[r + 1]], sorted and not overlapping. Rows outside that
// range hold only the background. (Unsorted runs are clipped like any other
// and never lead outside the surfaces, but the result is then undefined.)
struct CanvasRuns {
    int32_t top = 0;
    int32_t rows = 0;
    const uint32_t* rowStarts = nullptr;  // rows + 1 entries
    const CanvasRun* runs = nullptr;
};

// Runs at most this many pixels apart are read as one: a few background
// pixels cost less through the canvas than another run (and give the same
// bytes).
constexpr int32_t kRunJoinGap = 16;

// Builds a CanvasRuns row after row.
class CanvasRunList {
public:
    // Runs at most join pixels apart become one.
    explicit CanvasRunList(int32_t top = 0, int32_t join = 0) : top_(top), join_(join) {}

    // Starts the next row (the first call starts row top).
    void NextRow() { rowStarts_.push_back(rowStarts_.back()); }
    // Adds a run to the current row, starting no further left than its last
    // one; one that overlaps the last run or lies within join of it joins
    // it, an empty one is dropped.
    void Add(int32_t left, int32_t right);

    CanvasRuns view() const {
        return {top_, static_cast<int32_t>(rowStarts_.size() - 1), rowStarts_.data(), runs_.data()};
    }
    const std::vector<CanvasRun>& runs() const { return runs_; }

private:
    int32_t top_;
    int32_t join_;
    std::vector<uint32_t> rowStarts_ = {0};
    std::vector<CanvasRun> runs_;
};

// The runs of the canvas inside rect, rows rect.top on: where a pixel's
// blue, green and red are not those of backColor (a COLORREF).
CanvasRunList ScanCanvasRuns(const CanvasView& canvas, const PixelRect& rect, uint32_t backColor, int32_t join = 0);

// One run a row inside rect, rows rect.top on, from the first to the last
// pixel that differs from backColor: found from both ends of the row, so
// only the margins of the ink are read.
CanvasRunList ScanInkExtents(const CanvasView& canvas, const PixelRect& rect, uint32_t backColor);

// The runs that boxes (in any order, overlapping or not) cover inside rect,
// rows rect.top on.
CanvasRunList RunsOfBoxes(std::vector<PixelRect> boxes, const PixelRect& rect, int32_t join = 0);

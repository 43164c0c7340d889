#include "overlay/caption_canvas.h"

#include <algorithm>

#include "settings/setting_choices.h"

void CaptionCanvas::Start(CaptionRenderer& renderer, int32_t width, int32_t height) {
    width_ = width;
    height_ = height;
    bits_ = renderer.StartCanvas(width, height);
    filled_ = false;
}

void CaptionCanvas::Stop(CaptionRenderer& renderer) {
    renderer.StopCanvas();
    bits_ = nullptr;
    heldTargets_ = HeldTargets();
}

// Leaves the canvas all background but for the new caption. Only the last
// caption's rectangle (with a margin against rounding) needs clearing while
// the background colour stays the same.
void CaptionCanvas::Prepare(CaptionRenderer& renderer, uint32_t background) {
    if (!filled_ || drawn_.background != background) {
        renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, background);
        filled_ = true;
    } else {
        const CanvasRect& last = drawn_.area;
        renderer.Fill({last.left - 2, last.top - 2, last.right + 2, last.bottom + 2}, background);
    }
}

// Notes where it drew: the renderer's own boxes, or else the extent of
// whatever differs from the background in each row of its rectangle.
// (Strokes found one by one would be walked run by run, at a cost above
// that of reading the gaps between them.) Outline and shadow are painted
// round the letters once, here, and give the runs of what they painted.
void CaptionCanvas::Draw(CaptionRenderer& renderer, const std::string& lines, const CaptionDrawing& drawing) {
    Prepare(renderer, drawing.background);
    ++drawings_;
    renderer.DrawCentred(lines, drawing.letters, drawing.textColor);
    drawn_ = drawing;
    heldTargets_.ready = false;

    // The caption in frame pixels: the renderer draws nowhere else, so
    // outside it the canvas is all background and need not be read, even
    // when the whole frame is blended.
    const CanvasPoint topLeft = renderer.ToFrame({drawing.area.left, drawing.area.top});
    const CanvasPoint bottomRight = renderer.ToFrame({drawing.area.right, drawing.area.bottom});
    drawnPixels_ = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    const PixelRect onCanvas = {std::max(topLeft.x, 0), std::max(topLeft.y, 0), std::min(bottomRight.x, width_),
                                std::min(bottomRight.y, height_)};
    // Letters in the background's colour cannot be told from it: they are
    // not there to outline.
    const std::vector<PixelRect>* boxes = renderer.DrawnBoxes();
    if (drawing.effects.Paints() && drawing.textColor != drawing.background) {
        runs_ = PaintEffects(bits_, ptrdiff_t{width_} * 4, onCanvas, drawing.textColor, drawing.background,
                             drawing.effects, boxes, kRunJoinGap, effectsScratch_);
        return;
    }
    runs_ = boxes ? RunsOfBoxes(*boxes, onCanvas, kRunJoinGap) : ScanInkExtents(view(), onCanvas, drawing.background);
}

PixelRect CaptionCanvas::AreaOf(int32_t backType) const {
    return backType == kBackgroundWholeFrame ? PixelRect{0, 0, width_, height_} : drawnPixels_;
}

void CaptionCanvas::Blend(const FrameView& frame, int32_t backType, uint32_t opacity, bool held) {
    const PixelRect area = AreaOf(backType);
    const CanvasRuns runs = runs_.view();
    const BlendJob job = {.frame = frame,
                          .canvas = view(),
                          .source = area,
                          .destLeft = area.left,
                          .destTop = area.top,
                          .caption = drawnPixels_,
                          .runs = &runs,
                          .opacity = opacity,
                          .backColor = drawn_.background,
                          .keyBackground = backType == kBackgroundNone};
    HeldTargets& targets = heldTargets_;
    const bool useTargets = held && TargetsServe(job);
    if (useTargets && !(targets.ready && targets.backType == backType)) {
        targets.view = FrameIn(targets.storage, frame.format, frame.width, frame.height);
        PrepareTargetsOn(kernelPath_, job, targets.view);
        targets.ready = true, targets.backType = backType;
    }
    BlendOn(kernelPath_, job, useTargets ? &targets.view : nullptr);
}

std::optional<ShownCaption> CaptionCanvas::HandOn(int32_t backType, uint32_t opacity) const {
    const PixelRect area = AreaOf(backType);
    const PixelRect shown = {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, width_),
                             std::min(area.bottom, height_)};
    if (shown.left >= shown.right || shown.top >= shown.bottom) return std::nullopt;
    return ShownCaption{view(), shown, drawn_.background, backType == kBackgroundNone, opacity, drawings_};
}

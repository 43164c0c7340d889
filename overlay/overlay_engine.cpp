#include "overlay/overlay_engine.h"

#include <algorithm>
#include <vector>

#include "blend/blend.h"
#include "settings/settings_table.h"

namespace {

constexpr SettingRange kOpacityRange = RangeOf("Transparency");
static_assert(kOpacityRange.minimum == 0 && kOpacityRange.maximum == kFullOpacity,
              "the setting's percent is the kernels' opacity");
}  // namespace

OverlayEngine::OverlayEngine(WorkingSettings& settings, DictionaryStore& dictionaries,
                             std::unique_ptr<CaptionRenderer> renderer)
    : workingSettings_(settings),
      schedule_(settings, dictionaries),
      renderer_(std::move(renderer)),
      kernelPath_(ActivePath()) {}

// The random source is drawn in this order: the centre (down, then
// across), then the gap, then the frames shown.
void OverlayEngine::StartCaption(std::string text) {
    const OverlayState& state = overlayState;
    const CaptionEffects effects = EffectsFor(settings_, state.frameWidth, state.frameHeight);
    layout_.Start(*renderer_, std::move(text), MarginsOf(effects, state.frameWidth, state.frameHeight));
    if (settings_.RndStringPos != 0) {
        const int32_t y = static_cast<int32_t>(random_.Random(kCanvasHeight));
        const int32_t x = static_cast<int32_t>(random_.Random(kCanvasWidth));
        layout_.CentreAt({x, y});
    }
    schedule_.Start(settings_, random_);
}

// The caption placed at the settings' centre, or where it stands; the
// centre it was placed at is written back, unless the dialog moved it
// meanwhile: the user's move wins.
void OverlayEngine::PlaceCaption(CaptionMargins margins) {
    SettingsRecord& settings = settings_;
    const bool fixed = settings.RndStringPos == 0;
    const CanvasPoint asked = {settings.StringPosX, settings.StringPosY};
    const CanvasPoint centre = layout_.Place(margins, fixed ? std::optional(asked) : std::nullopt);
    if (fixed && (centre.x != asked.x || centre.y != asked.y)) {
        workingSettings_.Change([&](SettingsRecord& live) {
            if (live.StringPosX != asked.x || live.StringPosY != asked.y) return;
            live.StringPosX = centre.x, live.StringPosY = centre.y;
        });
        settings.StringPosX = centre.x, settings.StringPosY = centre.y;
    }
}

// Leaves the canvas all background but for the new caption. Only the last
// caption's rectangle (with a margin against rounding) needs clearing while
// the background colour stays the same.
void OverlayEngine::PrepareCanvas(uint32_t background) {
    OverlayState& state = overlayState;
    CaptionRenderer& renderer = *renderer_;
    if (!state.canvasFilled || state.canvasFill != background) {
        renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, background);
        state.canvasFilled = true;
        state.canvasFill = background;
    } else {
        const CanvasRect& last = state.lastCaptionRect;
        renderer.Fill({last.left - 2, last.top - 2, last.right + 2, last.bottom + 2}, background);
    }
}

// Whether the canvas shows what this frame would draw: the same entry in
// the same place, font and colours.
bool OverlayEngine::CanvasHolds(uint32_t background, uint32_t textColor) const {
    const OverlayState& state = overlayState;
    return state.canvasFilled && state.canvasFill == background && state.lastCaptionRect == layout_.captionRect() &&
           state.drawnTextRect == layout_.textRect() && state.drawnEntry == layout_.entriesStarted() &&
           state.drawnFont == layout_.fontsSet() && state.drawnTextColor == textColor && state.drawnEffects == effects_;
}

// Draws the caption anew and notes where it drew: the renderer's own boxes,
// or else the extent of whatever differs from the background in each row of
// its rectangle. (Strokes found one by one would be walked run by run, at a
// cost above that of reading the gaps between them.) Outline and shadow
// are painted round the letters once, here, and give the runs of what
// they painted.
void OverlayEngine::RenderCaption(uint32_t background, uint32_t textColor) {
    OverlayState& state = overlayState;
    CaptionRenderer& renderer = *renderer_;
    PrepareCanvas(background);
    ++drawings_;
    renderer.DrawCentred(layout_.lines(), layout_.textRect(), textColor);
    state.lastCaptionRect = layout_.captionRect();
    state.drawnTextRect = layout_.textRect();
    state.drawnEntry = layout_.entriesStarted();
    state.drawnFont = layout_.fontsSet();
    state.drawnTextColor = textColor;
    state.drawnEffects = effects_;

    // The caption in frame pixels: the renderer draws nowhere else, so
    // outside it the canvas is all background and need not be read, even
    // when the whole frame is blended.
    const CanvasRect& caption = layout_.captionRect();
    const CanvasPoint topLeft = renderer.ToFrame({caption.left, caption.top});
    const CanvasPoint bottomRight = renderer.ToFrame({caption.right, caption.bottom});
    state.drawnPixels = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    const PixelRect onCanvas = {std::max(topLeft.x, 0), std::max(topLeft.y, 0),
                                std::min(bottomRight.x, state.frameWidth), std::min(bottomRight.y, state.frameHeight)};
    // Letters in the background's colour cannot be told from it: they are
    // not there to outline.
    const std::vector<PixelRect>* boxes = renderer.DrawnBoxes();
    if (effects_.Paints() && textColor != background) {
        const ptrdiff_t stride = ptrdiff_t{state.frameWidth} * 4;
        captionRuns_ = PaintEffects(state.canvasBits, stride, onCanvas, textColor, background, effects_, boxes,
                                    kRunJoinGap, effectsScratch_);
        return;
    }
    captionRuns_ = boxes ? RunsOfBoxes(*boxes, onCanvas, kRunJoinGap)
                         : ScanInkExtents(CanvasOfStream(), onCanvas, background);
}

void OverlayEngine::DrawCaption(const FrameView& frame) {
    OverlayState& state = overlayState;
    effects_ = EffectsFor(settings_, state.frameWidth, state.frameHeight);
    const CaptionMargins margins = MarginsOf(effects_, state.frameWidth, state.frameHeight);
    // Its box was the old font's: a bigger font would be clipped to it.
    if (layout_.measuredInOldFont()) layout_.MeasureAgain(*renderer_, margins);
    PlaceCaption(margins);
    if (!state.canvasBits) return;  // no canvas could be made for this stream

    const SettingsRecord& settings = settings_;
    const uint32_t background = settings.BackColor & 0xFFFFFF;
    const uint32_t textColor = settings.TextColor & 0xFFFFFF;
    notices_.TellWhatHides(background, textColor, effects_, settings.BackType == kBackgroundNone);
    // A caption held over several frames is drawn once.
    const bool held = CanvasHolds(background, textColor);
    if (!held) {
        RenderCaption(background, textColor);
        heldTargets_.ready = false;
    }

    const int32_t backType = settings.BackType;
    const int32_t opacity = kOpacityRange.Clamp(settings.Transparency);
    const PixelRect& caption = state.drawnPixels;
    const PixelRect area = backType == kBackgroundWholeFrame ? PixelRect{0, 0, state.frameWidth, state.frameHeight}
                                                             : caption;
    if (!state.frameFormat) {
        const PixelRect shown = {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, state.frameWidth),
                                 std::min(area.bottom, state.frameHeight)};
        if (shown.left < shown.right && shown.top < shown.bottom)
            frameCaption_ = ShownCaption{
                CanvasOfStream(), shown, background, backType == kBackgroundNone, static_cast<uint32_t>(opacity),
                drawings_};
        return;
    }
    const CanvasRuns runs = captionRuns_.view();
    const BlendJob job = {.frame = frame,
                          .canvas = CanvasOfStream(),
                          .source = area,
                          .destLeft = area.left,
                          .destTop = area.top,
                          .caption = caption,
                          .runs = &runs,
                          .opacity = static_cast<uint32_t>(opacity),
                          .backColor = background,
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

void OverlayEngine::SetCaptionFont() {
    RefreshSettings();
    layout_.SetFont(*renderer_, CaptionFontFrom(settings_));
}

void OverlayEngine::RefreshSettings() { workingSettings_.Refresh(settings_, settingsSeen_); }

// The next entry of the chosen dictionary into text; an empty one is told.
bool OverlayEngine::TakeNextEntry(std::string& text) {
    const NextEntry next = schedule_.TakeNextEntry(settings_, text);
    if (next == NextEntry::kDictionaryEmpty) notices_.TellEmptyDictionary(settings_);
    if (next != NextEntry::kTaken) return false;
    notices_.EntryTaken();
    return true;
}

CanvasView OverlayEngine::CanvasOfStream() const {
    const OverlayState& state = overlayState;
    return {state.canvasBits, static_cast<ptrdiff_t>(state.frameWidth) * 4, state.frameWidth, state.frameHeight};
}

int32_t OverlayEngine::ShowPhase(const FrameView& frame) {
    if (schedule_.CountShownFrame()) DrawCaption(frame);
    return 1;
}

void OverlayEngine::CreateRenderContext() {
    const std::lock_guard<std::mutex> lock(renderLock_);
    if (renderer_) renderer_->CreateContext();
}

int32_t OverlayEngine::StreamStart(const VideoFormat& format) {
    if (format.width <= 0 || format.height <= 0 || !renderer_) return 0;
    OverlayState& state = overlayState;
    if (state.streaming) StreamStop();
    const std::lock_guard<std::mutex> lock(renderLock_);
    state.frameWidth = format.width;
    state.frameHeight = format.height;
    state.frameFormat = format.format;
    state.canvasBits = renderer_->StartCanvas(state.frameWidth, state.frameHeight);
    state.canvasFilled = false;
    state.streaming = true;
    SetCaptionFont();
    return 1;
}

// The canvas, the held targets and the blend's clipping all take the
// stream's size and format: a frame of another would be read and written
// out of its bounds.
bool OverlayEngine::IsStreamFrame(const FrameView& frame) const {
    const OverlayState& state = overlayState;
    return frame.planes[0].top && state.streaming && frame.width == state.frameWidth &&
           frame.height == state.frameHeight && (!state.frameFormat || frame.format == *state.frameFormat);
}

int32_t OverlayEngine::ProcessFrame(const FrameView& frame) {
    frameCaption_.reset();
    if (!IsStreamFrame(frame)) return 0;
    if (schedule_.waiting()) return WhileOff(frame);
    if (CountGapFrame()) return 1;
    const bool due = schedule_.CountDueFrame();
    // Held for the rest of the frame: the settings it reads and the font it
    // draws with may be changed by the dialog's thread.
    const std::lock_guard<std::mutex> lock(renderLock_);
    RefreshSettings();
    if (!due) return ShowPhase(frame);
    if (schedule_.requested()) {
        StartRequested();
        return ShowPhase(frame);
    }
    std::string text;
    if (!TakeNextEntry(text)) return 0;
    StartCaption(std::move(text));
    return ShowPhase(frame);
}

void OverlayEngine::StartRequested() {
    const CaptionRequest request = schedule_.TakeRequest();
    StartCaption(request.text);
    schedule_.ShowRequested(request);
}

// With captions off the schedule waits; only a caption asked for stays out
// its frames.
int32_t OverlayEngine::WhileOff(const FrameView& frame) {
    if (!schedule_.showing()) return 1;
    const std::lock_guard<std::mutex> lock(renderLock_);
    RefreshSettings();
    return ShowPhase(frame);
}

void OverlayEngine::PassFrame() {
    frameCaption_.reset();
    if (overlayState.streaming) schedule_.PassFrame();
}

void OverlayEngine::StreamStop() {
    OverlayState& state = overlayState;
    if (!state.streaming) return;
    const std::lock_guard<std::mutex> lock(renderLock_);
    renderer_->StopCanvas();
    state.canvasBits = nullptr;
    heldTargets_ = HeldTargets();
    state.streaming = false;
}

bool OverlayEngine::SetKernelPath(KernelPath path) {
    if (!PathAvailable(path)) return false;
    const std::lock_guard<std::mutex> lock(renderLock_);
    kernelPath_ = path;
    return true;
}

void OverlayEngine::CreateCaptionFont() {
    const std::lock_guard<std::mutex> lock(renderLock_);
    if (renderer_) SetCaptionFont();
}

VideoFormat OverlayEngine::videoFormat() const {
    return {overlayState.frameWidth, overlayState.frameHeight, overlayState.frameFormat};
}

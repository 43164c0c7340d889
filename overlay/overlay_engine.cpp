#include "overlay/overlay_engine.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "blend/blend.h"
#include "settings/settings_table.h"

namespace {

constexpr SettingRange kOpacityRange = RangeOf("Transparency");
static_assert(kOpacityRange.minimum == 0 && kOpacityRange.maximum == kFullOpacity,
              "the setting's percent is the kernels' opacity");
constexpr SettingRange kFontHeightRange = RangeOf("FontSize");
static_assert(kFontHeightRange.maximum == kCanvasHeight && kFontHeightRange.minimum == -kCanvasHeight,
              "a caption may be as tall as the canvas, no taller");

// A caption stands for a few frames: more characters than this no one
// reads in that time, and wrapped to fit the frame they would be a few
// pixels high. A longer entry is cut to them, so that what a renderer lays
// out (each line again for each try of wrapping) stays small, its sums far
// inside 32 bits, whichever renderer it is.
constexpr size_t kMostCaptionCharacters = 4096;

// The text cut after that many characters, at a character's first byte.
void CutToShowableLength(std::string& text) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<uint8_t>(text[i]) & 0xC0) == 0x80) continue;  // a continuation byte
        if (characters++ == kMostCaptionCharacters) {
            text.resize(i);
            return;
        }
    }
}

// Every " - " becomes a line break, in place (the text only shrinks).
void BreakAtSeparators(std::string& text) {
    size_t out = 0;
    for (size_t in = 0; in < text.size();) {
        if (text.compare(in, 3, " - ") == 0) {
            text[out++] = '\n';
            in += 3;
        } else {
            text[out++] = text[in++];
        }
    }
    text.resize(out);
}

// The caption's near edge moved inside the canvas, the far edge winning
// when the caption is the larger. Wide arithmetic: a hand-edited position
// may lie anywhere in 32 bits.
int32_t KeepInside(int64_t start, int32_t size, int32_t limit) {
    if (start < 0) start = 0;
    if (start + size > limit) start = int64_t{limit} - size;
    return static_cast<int32_t>(start);
}

}  // namespace

OverlayEngine::OverlayEngine(WorkingSettings& settings, DictionaryStore& dictionaries,
                             std::unique_ptr<CaptionRenderer> renderer)
    : workingSettings_(settings),
      schedule_(settings, dictionaries),
      renderer_(std::move(renderer)),
      kernelPath_(ActivePath()) {}

namespace {

// Frame pixels as canvas units along an axis, rounded up: a margin of
// these units holds the pixels on any frame.
int32_t CanvasUnits(int32_t pixels, int32_t frameLength, int32_t canvasLength) {
    if (pixels <= 0 || frameLength <= 0) return 0;
    return static_cast<int32_t>((int64_t{pixels} * canvasLength + frameLength - 1) / frameLength);
}

// The text's pieces between separators, as they are drawn one a line.
std::vector<std::string_view> DrawnLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t start = 0;;) {
        const size_t split = text.find(" - ", start);
        lines.push_back(text.substr(start, split == std::string_view::npos ? split : split - start));
        if (split == std::string_view::npos) return lines;
        start = split + 3;
    }
}

}  // namespace

OverlayEngine::Margins OverlayEngine::MarginsOf(const CaptionEffects& effects) const {
    const OverlayState& state = overlayState;
    return {CanvasUnits(effects.MarginX(), state.frameWidth, kCanvasWidth),
            CanvasUnits(effects.MarginY(), state.frameHeight, kCanvasHeight)};
}

// Word above translation: the caption is as wide as its wider line and as
// tall as both. The second line is measured as it stands, separators and
// all. A caption that does not fit the canvas within its margins is laid
// out anew by WrapCaption.
void OverlayEngine::MeasureCaption() {
    OverlayState& state = overlayState;
    CaptionRenderer& renderer = *renderer_;
    if (fontShrunk_) {  // the last caption's smaller font
        renderer.SetFont(captionFont_);
        fontShrunk_ = false;
        ++state.fontsSet;
    }
    const Margins margins = MarginsOf(EffectsFor(settings_, state.frameWidth, state.frameHeight));
    const int32_t roomWidth = std::max(1, kCanvasWidth - 2 * margins.x);
    const int32_t roomHeight = std::max(1, kCanvasHeight - 2 * margins.y);
    const size_t split = captionText.find(" - ");
    if (split == std::string::npos) {
        const TextExtent line = renderer.MeasureLine(captionText.data(), captionText.size());
        state.captionWidth = line.width;
        state.captionHeight = line.height;
    } else {
        const TextExtent first = renderer.MeasureLine(captionText.data(), split);
        const TextExtent second = renderer.MeasureLine(captionText.data() + split + 3, captionText.size() - split - 3);
        state.captionWidth = std::max(first.width, second.width);
        state.captionHeight = first.height + second.height;
    }
    state.measuredFont = state.fontsSet;
    if ((state.captionWidth > roomWidth || state.captionHeight > roomHeight) && WrapCaption(roomWidth, roomHeight))
        return;
    BreakAtSeparators(captionText);
}

// The entry laid out anew in the font set since it started, about the
// centre it stood at; PlaceCaption then keeps it inside the canvas.
void OverlayEngine::MeasureAgain() {
    OverlayState& state = overlayState;
    const int64_t centreX = int64_t{state.captionLeft} + state.captionWidth / 2;
    const int64_t centreY = int64_t{state.captionTop} + state.captionHeight / 2;
    captionText = entryText_;
    MeasureCaption();
    state.captionLeft = static_cast<int32_t>(
        std::clamp<int64_t>(centreX - state.captionWidth / 2, INT32_MIN, INT32_MAX));
    state.captionTop = static_cast<int32_t>(
        std::clamp<int64_t>(centreY - state.captionHeight / 2, INT32_MIN, INT32_MAX));
}

// Each drawn line broken at spaces, greedily, into lines that fit
// roomWidth; a word wider than that on its own, or lines taller than
// roomHeight together, take a smaller font for this caption, until the
// caption fits or the font can shrink no more. A word is never broken.
// captionText becomes the lines; false when there was nothing to lay out.
bool OverlayEngine::WrapCaption(int32_t roomWidth, int32_t roomHeight) {
    OverlayState& state = overlayState;
    CaptionRenderer& renderer = *renderer_;
    const std::string text = captionText;
    std::vector<std::string> lines;
    for (int attempt = 0;; ++attempt) {
        lines.clear();
        int32_t widest = 0, widestWord = 0;
        int64_t height = 0;
        const auto finish = [&](std::string line) {
            const TextExtent extent = renderer.MeasureLine(line.data(), line.size());
            widest = std::max(widest, extent.width);
            height += extent.height;
            lines.push_back(std::move(line));
        };
        for (const std::string_view drawn : DrawnLines(text)) {
            std::string line;
            bool started = false;
            for (size_t start = 0; start <= drawn.size();) {
                size_t end = drawn.find(' ', start);
                if (end == std::string_view::npos) end = drawn.size();
                const std::string_view word = drawn.substr(start, end - start);
                start = end + 1;
                widestWord = std::max(widestWord, renderer.MeasureLine(word.data(), word.size()).width);
                if (!started) {
                    line.assign(word), started = true;
                    continue;
                }
                std::string longer = line + ' ';
                longer.append(word);
                if (renderer.MeasureLine(longer.data(), longer.size()).width <= roomWidth) {
                    line = std::move(longer);
                } else {
                    finish(std::move(line));
                    line.assign(word);
                }
            }
            finish(std::move(line));
        }
        state.captionWidth = widest;
        state.captionHeight = static_cast<int32_t>(std::min<int64_t>(height, INT32_MAX));
        if ((widestWord <= roomWidth && height <= roomHeight) || attempt == 12) break;
        // A smaller font in proportion to the overflow, by one unit at least.
        CaptionFont smaller = fontShrunk_ ? shrunkFont_ : captionFont_;
        const int64_t size = smaller.height < 0 ? -int64_t{smaller.height} : smaller.height;
        const double fits = std::min(double(roomWidth) / std::max(widestWord, 1),
                                     double(roomHeight) / double(std::max<int64_t>(height, 1)));
        const int64_t next = std::min<int64_t>(size - 1, static_cast<int64_t>(double(size) * fits));
        if (next < 1) break;
        smaller.height = static_cast<int32_t>(smaller.height < 0 ? -next : next);
        shrunkFont_ = smaller;
        renderer.SetFont(smaller);
        fontShrunk_ = true;
        state.measuredFont = ++state.fontsSet;
    }
    if (lines.empty()) return false;
    captionText = lines.front();
    for (size_t i = 1; i < lines.size(); ++i) captionText += '\n' + lines[i];
    return true;
}

void OverlayEngine::StartCaption() {
    OverlayState& state = overlayState;
    entryText_ = captionText;
    MeasureCaption();
    const SettingsRecord& settings = settings_;
    if (settings.RndStringPos != 0) {
        const int32_t y = static_cast<int32_t>(random_.Random(kCanvasHeight));
        const int32_t x = static_cast<int32_t>(random_.Random(kCanvasWidth));
        state.captionLeft = x - state.captionWidth / 2;
        state.captionTop = y - state.captionHeight / 2;
    }
    schedule_.Start(settings, random_);
    ++state.entriesStarted;
}

// The letters' block and its margins for the effects are kept inside the
// canvas together; captionLeft and captionTop are the letters'.
void OverlayEngine::PlaceCaption() {
    OverlayState& state = overlayState;
    SettingsRecord& settings = settings_;
    effects_ = EffectsFor(settings, state.frameWidth, state.frameHeight);
    const Margins margins = MarginsOf(effects_);
    const int32_t width = state.captionWidth + 2 * margins.x, height = state.captionHeight + 2 * margins.y;
    const bool fixed = settings.RndStringPos == 0;
    int64_t left = int64_t{state.captionLeft} - margins.x, top = int64_t{state.captionTop} - margins.y;
    if (fixed) {
        left = int64_t{settings.StringPosX} - width / 2;
        top = int64_t{settings.StringPosY} - height / 2;
    }
    const int32_t outerLeft = KeepInside(left, width, kCanvasWidth), outerTop = KeepInside(top, height, kCanvasHeight);
    state.captionLeft = outerLeft + margins.x;
    state.captionTop = outerTop + margins.y;
    // The centre the caption was drawn at is written back, unless the
    // dialog moved it meanwhile: the user's move wins.
    const int32_t x = outerLeft + width / 2, y = outerTop + height / 2;
    if (fixed && (x != settings.StringPosX || y != settings.StringPosY)) {
        workingSettings_.Change([&](SettingsRecord& live) {
            if (live.StringPosX != settings.StringPosX || live.StringPosY != settings.StringPosY) return;
            live.StringPosX = x, live.StringPosY = y;
        });
        settings.StringPosX = x, settings.StringPosY = y;
    }
    state.captionRect = {outerLeft, outerTop, outerLeft + width, outerTop + height};
    state.textRect = {state.captionLeft, state.captionTop, state.captionLeft + state.captionWidth,
                      state.captionTop + state.captionHeight};
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
    return state.canvasFilled && state.canvasFill == background && state.lastCaptionRect == state.captionRect &&
           state.drawnTextRect == state.textRect && state.drawnEntry == state.entriesStarted &&
           state.drawnFont == state.fontsSet && state.drawnTextColor == textColor && state.drawnEffects == effects_;
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
    renderer.DrawCentred(captionText, state.textRect, textColor);
    state.lastCaptionRect = state.captionRect;
    state.drawnTextRect = state.textRect;
    state.drawnEntry = state.entriesStarted;
    state.drawnFont = state.fontsSet;
    state.drawnTextColor = textColor;
    state.drawnEffects = effects_;

    // The caption in frame pixels: the renderer draws nowhere else, so
    // outside it the canvas is all background and need not be read, even
    // when the whole frame is blended.
    const CanvasPoint topLeft = renderer.ToFrame({state.captionRect.left, state.captionRect.top});
    const CanvasPoint bottomRight = renderer.ToFrame({state.captionRect.right, state.captionRect.bottom});
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
    // Its box was the old font's: a bigger font would be clipped to it.
    if (state.measuredFont != state.fontsSet) MeasureAgain();
    PlaceCaption();
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
    ++overlayState.fontsSet;
    captionFont_ = CaptionFontFrom(settings_);
    fontShrunk_ = false;
    renderer_->SetFont(captionFont_);
}

void OverlayEngine::RefreshSettings() { workingSettings_.Refresh(settings_, settingsSeen_); }

// The next entry of the chosen dictionary into captionText; an empty one
// is told. 0 when none was taken.
int32_t OverlayEngine::TakeNextEntry() {
    const NextEntry next = schedule_.TakeNextEntry(settings_, captionText);
    if (next == NextEntry::kDictionaryEmpty) notices_.TellEmptyDictionary(settings_);
    if (next != NextEntry::kTaken) return 0;
    notices_.EntryTaken();
    CutToShowableLength(captionText);
    return 1;
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
    if (TakeNextEntry() == 0) return 0;
    StartCaption();
    return ShowPhase(frame);
}

void OverlayEngine::StartRequested() {
    const CaptionRequest request = schedule_.TakeRequest();
    captionText = request.text;
    CutToShowableLength(captionText);
    StartCaption();
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

CaptionFont CaptionFontFrom(const SettingsRecord& settings) {
    CaptionFont font = {};
    const size_t nameLength = std::min(settings.FontName.size(), sizeof font.faceName - 1);
    std::memcpy(font.faceName, settings.FontName.data(), nameLength);
    font.height = kFontHeightRange.Clamp(settings.FontSize);
    font.weight = settings.FontWeight;
    font.italic = settings.FontItalic;
    font.underline = settings.FontUnderline;
    font.strikeOut = settings.FontStrikeOut;
    font.charSet = settings.FontCharSet;
    font.keepProportions = settings.KeepProportions != 0;
    return font;
}

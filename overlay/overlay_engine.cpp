#include "overlay/overlay_engine.h"

#include <algorithm>
#include <cstring>

#include "dictionary/next_caption.h"
#include "overlay/blend.h"
#include "overlay/overlay_state.h"
#include "overlay/random.h"
#include "settings/settings_state.h"

OverlayState overlayState;
std::mutex renderLock;

namespace {

OverlayState& state = overlayState;

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

// Word above translation: the caption is as wide as its wider line and as
// tall as both. The second line is measured as it stands, separators and all.
void MeasureCaption() {
    CaptionRenderer& renderer = *state.renderer;
    const size_t split = captionText.find(" - ");
    if (split == std::string::npos) {
        const TextExtent line = renderer.MeasureLine(captionText.data(), captionText.size());
        state.captionWidth = line.width;
        state.captionHeight = line.height;
        return;
    }
    const TextExtent first = renderer.MeasureLine(captionText.data(), split);
    const TextExtent second = renderer.MeasureLine(captionText.data() + split + 3, captionText.size() - split - 3);
    state.captionWidth = std::max(first.width, second.width);
    state.captionHeight = first.height + second.height;
    BreakAtSeparators(captionText);
}

// A value drawn from from..to inclusive. Bounds below zero count as zero and
// a reversed range as its lower bound, so a hand-edited settings file can
// never produce a negative or huge count.
uint32_t DrawFromRange(int32_t from, int32_t to) {
    const int64_t low = std::max(from, 0);
    const int64_t high = std::max<int64_t>(to, low - 1);
    return Random(static_cast<uint32_t>(high - low + 1)) + static_cast<uint32_t>(low);
}

void StartCaption() {
    MeasureCaption();
    const SettingsRecord& settings = workingSettings;
    if (settings.RndStringPos != 0) {
        const int32_t y = static_cast<int32_t>(Random(kCanvasHeight));
        const int32_t x = static_cast<int32_t>(Random(kCanvasWidth));
        state.captionLeft = x - state.captionWidth / 2;
        state.captionTop = y - state.captionHeight / 2;
    }
    state.gapCounter = DrawFromRange(settings.ShowFreqFrom, settings.ShowFreqTo);
    state.showCounter = DrawFromRange(settings.ShowTimeFrom, settings.ShowTimeTo);
}

// The caption's near edge moved inside the canvas, the far edge winning
// when the caption is the larger. Wide arithmetic: a hand-edited position
// may lie anywhere in 32 bits.
int32_t KeepInside(int64_t start, int32_t size, int32_t limit) {
    if (start < 0) start = 0;
    if (start + size > limit) start = int64_t{limit} - size;
    return static_cast<int32_t>(start);
}

void PlaceCaption() {
    SettingsRecord& settings = workingSettings;
    const bool fixed = settings.RndStringPos == 0;
    int64_t left = state.captionLeft, top = state.captionTop;
    if (fixed) {
        left = int64_t{settings.StringPosX} - state.captionWidth / 2;
        top = int64_t{settings.StringPosY} - state.captionHeight / 2;
    }
    state.captionLeft = KeepInside(left, state.captionWidth, kCanvasWidth);
    state.captionTop = KeepInside(top, state.captionHeight, kCanvasHeight);
    if (fixed) {
        settings.StringPosX = state.captionLeft + state.captionWidth / 2;
        settings.StringPosY = state.captionTop + state.captionHeight / 2;
    }
    state.captionRect = {state.captionLeft, state.captionTop, state.captionLeft + state.captionWidth,
                         state.captionTop + state.captionHeight};
}

// Leaves the canvas all background but for the new caption. Only the last
// caption's rectangle (with a margin against rounding) needs clearing while
// the background colour stays the same.
void PrepareCanvas(uint32_t background) {
    CaptionRenderer& renderer = *state.renderer;
    if (!state.canvasFilled || state.canvasFill != background) {
        renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, background);
        state.canvasFilled = true;
        state.canvasFill = background;
    } else {
        const CanvasRect& last = state.lastCaptionRect;
        renderer.Fill({last.left - 2, last.top - 2, last.right + 2, last.bottom + 2}, background);
    }
}

void DrawCaption(uint8_t* pixels) {
    PlaceCaption();
    if (!state.canvasBits) return;  // no canvas could be made for this stream

    const SettingsRecord& settings = workingSettings;
    const uint32_t background = settings.BackColor & 0xFFFFFF;
    const int32_t backType = settings.BackType;
    const int32_t opacity = std::clamp(settings.Transparency, 0, 100);
    CaptionRenderer& renderer = *state.renderer;
    PrepareCanvas(background);
    renderer.DrawCentred(captionText, state.captionRect, settings.TextColor & 0xFFFFFF);
    state.lastCaptionRect = state.captionRect;

    // The caption in frame pixels: the renderer draws nowhere else, so
    // outside it the canvas is all background and need not be read, even
    // when the whole frame is blended.
    const CanvasPoint topLeft = renderer.ToFrame({state.captionRect.left, state.captionRect.top});
    const CanvasPoint bottomRight = renderer.ToFrame({state.captionRect.right, state.captionRect.bottom});
    const PixelRect caption = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    const PixelRect area = backType == 2 ? PixelRect{0, 0, state.frameWidth, state.frameHeight} : caption;
    FrameView frame;
    if (state.pixelFormat == 0)
        frame = HostYuy2Frame(pixels, state.frameWidth, state.frameHeight);
    else if (state.pixelFormat == 1)
        frame = HostRgb24Frame(pixels, state.frameWidth, state.frameHeight);
    else
        return;
    const CanvasView canvas = {state.canvasBits, static_cast<ptrdiff_t>(state.frameWidth) * 4, state.frameWidth,
                               state.frameHeight};
    Blend({frame, canvas, area, area.left, area.top, caption, nullptr, static_cast<uint32_t>(opacity), background,
           backType == 0 ? 1u : 0u});
}

// A caption taller than the canvas cannot show; a larger height from a
// hand-edited file would only overflow the layout arithmetic.
constexpr int32_t kMaxFontHeight = kCanvasHeight;

void SetCaptionFont() { state.renderer->SetFont(CaptionFontFrom(workingSettings)); }

int32_t ShowPhase(uint8_t* pixels) {
    if (state.showCounter == 0) return 1;
    --state.showCounter;
    DrawCaption(pixels);
    return 1;
}

}  // namespace

namespace overlay {

void SetRenderer(CaptionRenderer* renderer) { state.renderer = renderer; }

void CreateRenderContext() {
    const std::lock_guard<std::mutex> lock(renderLock);
    if (state.renderer) state.renderer->CreateContext();
}

int32_t StreamStart(const StreamFormat* format) {
    if (!format || format->width <= 0 || format->height <= 0 || !state.renderer) return 0;
    if (state.streaming) StreamStop();
    const std::lock_guard<std::mutex> lock(renderLock);
    state.frameWidth = format->width;
    state.frameHeight = format->height;
    state.pixelFormat = format->pixelFormat;
    state.canvasBits = state.renderer->StartCanvas(state.frameWidth, state.frameHeight);
    state.canvasFilled = false;
    state.streaming = true;
    SetCaptionFont();
    return 1;
}

int32_t ProcessFrame(FrameRecord* frame) {
    if (!frame || !frame->pixels || !state.streaming) return 0;
    const bool due = state.gapCounter == 0 || --state.gapCounter == 0;
    // A gap frame with nothing to show touches only this thread's counters.
    if (!due && state.showCounter == 0) return 1;
    // Held for the rest of the frame: the settings it reads and the font it
    // draws with may be changed by the dialog's thread.
    const std::lock_guard<std::mutex> lock(renderLock);
    if (!due) return ShowPhase(frame->pixels);
    if (NextCaption() == 0) return 0;
    StartCaption();
    return ShowPhase(frame->pixels);
}

void StreamStop() {
    if (!state.streaming) return;
    const std::lock_guard<std::mutex> lock(renderLock);
    state.renderer->StopCanvas();
    state.canvasBits = nullptr;
    state.streaming = false;
}

}  // namespace overlay

void CreateCaptionFont() {
    const std::lock_guard<std::mutex> lock(renderLock);
    if (state.renderer) SetCaptionFont();
}

CaptionFont CaptionFontFrom(const SettingsRecord& settings) {
    CaptionFont font = {};
    const size_t nameLength = std::min(settings.FontName.size(), sizeof font.faceName - 1);
    std::memcpy(font.faceName, settings.FontName.data(), nameLength);
    font.height = std::clamp(settings.FontSize, -kMaxFontHeight, kMaxFontHeight);
    font.weight = settings.FontWeight;
    font.italic = settings.FontItalic;
    font.underline = settings.FontUnderline;
    font.strikeOut = settings.FontStrikeOut;
    font.charSet = settings.FontCharSet;
    return font;
}

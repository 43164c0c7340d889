#include "overlay/overlay_engine.h"

#include <algorithm>
#include <cmath>

#include "overlay/caption_effects.h"
#include "settings/setting_choices.h"
#include "settings/settings_table.h"

namespace {

// The canvas row above which a caption stays, with share of the frame's
// height kept clear below: whole frame rows, so that no pixel of the
// caption falls in the band however the canvas maps to the frame.
int32_t ClearBottom(double share, int32_t frameHeight) {
    if (share <= 0 || frameHeight <= 0) return kCanvasHeight;
    const auto rows = static_cast<int64_t>(std::floor(frameHeight * (1 - share)));
    return static_cast<int32_t>(rows * kCanvasHeight / frameHeight);
}

constexpr SettingRange kOpacityRange = RangeOf("Transparency");
static_assert(kOpacityRange.minimum == 0 && kOpacityRange.maximum == kFullOpacity,
              "the setting's percent is the kernels' opacity");

}  // namespace

OverlayEngine::OverlayEngine(WorkingSettings& settings, DictionaryStore& dictionaries,
                             std::unique_ptr<CaptionRenderer> renderer)
    : workingSettings_(settings), renderer_(std::move(renderer)), schedule_(settings, dictionaries) {}

void OverlayEngine::RefreshSettings() { workingSettings_.Refresh(settings_, settingsSeen_); }

void OverlayEngine::SetCaptionFont() {
    RefreshSettings();
    layout_.SetFont(*renderer_, CaptionFontFrom(settings_));
}

// The next entry of the chosen dictionary into text; an empty one is told.
bool OverlayEngine::TakeNextEntry(std::string& text) {
    const NextEntry next = schedule_.TakeNextEntry(settings_, text);
    if (next == NextEntry::kDictionaryEmpty) notices_.TellEmptyDictionary(settings_);
    if (next != NextEntry::kTaken) return false;
    notices_.EntryTaken();
    return true;
}

// The random source is drawn in this order: the centre (down, then
// across), then the gap, then the frames shown.
void OverlayEngine::StartCaption(std::string text, bool atLastPlace) {
    const CaptionEffects effects = EffectsFor(settings_, stream_.width, stream_.height);
    layout_.SetBottom(ClearBottom(keepClear_, stream_.height));
    layout_.Start(*renderer_, std::move(text), MarginsOf(effects, stream_.width, stream_.height), atLastPlace);
    if (settings_.RndStringPos != 0 && !atLastPlace) {
        const int32_t y = static_cast<int32_t>(random_.Random(kCanvasHeight));
        const int32_t x = static_cast<int32_t>(random_.Random(kCanvasWidth));
        layout_.CentreAt({x, y});
    }
    schedule_.Start(settings_, random_);
}

void OverlayEngine::StartRequested() {
    const CaptionRequest request = schedule_.TakeRequest();
    StartCaption(request.text, request.atLastPlace);
    schedule_.ShowRequested(request);
}

// The caption placed at the settings' centre, or where it stands; the
// centre it was placed at is written back, unless the dialog moved it
// meanwhile: the user's move wins.
void OverlayEngine::PlaceCaption(CaptionMargins margins) {
    SettingsRecord& settings = settings_;
    const bool fixed = settings.RndStringPos == 0;
    const CanvasPoint asked = {settings.StringPosX, settings.StringPosY};
    const CanvasPoint centre = layout_.Place(margins, fixed ? std::optional(asked) : std::nullopt);
    // A centre moved up out of the kept-clear band is not the user's.
    if (fixed && keepClear_ == 0 && (centre.x != asked.x || centre.y != asked.y)) {
        workingSettings_.Change([&](SettingsRecord& live) {
            if (live.StringPosX != asked.x || live.StringPosY != asked.y) return;
            live.StringPosX = centre.x, live.StringPosY = centre.y;
        });
        settings.StringPosX = centre.x, settings.StringPosY = centre.y;
    }
}

void OverlayEngine::DrawCaption(const FrameView& frame) {
    const CaptionEffects effects = EffectsFor(settings_, stream_.width, stream_.height);
    const CaptionMargins margins = MarginsOf(effects, stream_.width, stream_.height);
    // Its box was the old font's: a bigger font would be clipped to it.
    if (layout_.measuredInOldFont()) layout_.MeasureAgain(*renderer_, margins);
    // A band kept clear since the caption started (subtitles that came on)
    // moves it up at once.
    layout_.SetBottom(ClearBottom(keepClear_, stream_.height));
    PlaceCaption(margins);
    if (!canvas_.ready()) return;  // no canvas could be made for this stream

    const uint32_t background = settings_.BackColor & 0xFFFFFF;
    const uint32_t textColor = settings_.TextColor & 0xFFFFFF;
    const int32_t backType = settings_.BackType;
    notices_.TellWhatHides(background, textColor, effects, backType == kBackgroundNone);
    const CaptionDrawing drawing = {.area = layout_.captionRect(),
                                    .letters = layout_.textRect(),
                                    .entry = layout_.entriesStarted(),
                                    .font = layout_.fontsSet(),
                                    .background = background,
                                    .textColor = textColor,
                                    .effects = effects};
    // A caption held over several frames is drawn once.
    const bool held = canvas_.Holds(drawing);
    if (!held) canvas_.Draw(*renderer_, layout_.lines(), drawing);

    const auto opacity = static_cast<uint32_t>(kOpacityRange.Clamp(settings_.Transparency));
    if (!stream_.format) {
        frameCaption_ = canvas_.HandOn(backType, opacity);
        return;
    }
    canvas_.Blend(frame, backType, opacity, held);
}

int32_t OverlayEngine::ShowPhase(const FrameView& frame) {
    const bool entry = schedule_.showingEntry();
    if (!schedule_.CountShownFrame()) return 1;
    if (entry) entryOnScreen_ = schedule_.lastShown().serial;
    DrawCaption(frame);
    return 1;
}

void OverlayEngine::SetKeepClear(double share) {
    const std::lock_guard<std::mutex> lock(renderLock_);
    keepClear_ = std::clamp(share, 0.0, 0.5);
}

void OverlayEngine::CreateRenderContext() {
    const std::lock_guard<std::mutex> lock(renderLock_);
    if (renderer_) renderer_->CreateContext();
}

int32_t OverlayEngine::StreamStart(const VideoFormat& format) {
    if (format.width <= 0 || format.height <= 0 || !renderer_) return 0;
    if (streaming_) StreamStop();
    const std::lock_guard<std::mutex> lock(renderLock_);
    stream_ = format;
    canvas_.Start(*renderer_, format.width, format.height);
    streaming_ = true;
    SetCaptionFont();
    return 1;
}

// The canvas, the held targets and the blend's clipping all take the
// stream's size and format: a frame of another would be read and written
// out of its bounds.
bool OverlayEngine::IsStreamFrame(const FrameView& frame) const {
    return frame.planes[0].top && streaming_ && frame.width == stream_.width && frame.height == stream_.height &&
           (!stream_.format || frame.format == *stream_.format);
}

int32_t OverlayEngine::ProcessFrame(const FrameView& frame) {
    frameCaption_.reset();
    entryOnScreen_.reset();
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
    entryOnScreen_.reset();
    if (streaming_) schedule_.PassFrame();
}

void OverlayEngine::StreamStop() {
    if (!streaming_) return;
    const std::lock_guard<std::mutex> lock(renderLock_);
    canvas_.Stop(*renderer_);
    streaming_ = false;
}

bool OverlayEngine::SetKernelPath(KernelPath path) {
    if (!PathAvailable(path)) return false;
    const std::lock_guard<std::mutex> lock(renderLock_);
    canvas_.SetKernelPath(path);
    return true;
}

void OverlayEngine::CreateCaptionFont() {
    const std::lock_guard<std::mutex> lock(renderLock_);
    if (renderer_) SetCaptionFont();
}

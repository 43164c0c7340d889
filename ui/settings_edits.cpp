#include "ui/settings_edits.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>

namespace {

// A pad step, in 64 bits as placement works: a hand-edited position may lie
// anywhere in 32 bits, and a step beyond a limit stays at the limit instead
// of wrapping round to the far edge. No other bound: the overlay keeps the
// drawn caption inside the canvas and writes the centre back.
int32_t Step(int32_t position, int32_t step) {
    using Limits = std::numeric_limits<int32_t>;
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{position} + step, Limits::min(), Limits::max()));
}

}  // namespace

SettingsEdits::SettingsEdits(SettingsRecord& settings, std::mutex& render, std::mutex& caption)
    : workingSettings(settings), renderLock(render), captionLock(caption) {}

// The host may render frames on another thread: ProcessFrame reads the
// working settings under renderLock and writes the caption's position
// back, and reads and moves the entry indexes under captionLock inside it.
// Every change here takes the locks in that order.
template <class Change>
auto SettingsEdits::UnderRenderLock(Change change) {
    const std::lock_guard<std::mutex> lock(renderLock);
    return change(workingSettings);
}

template <class Change>
auto SettingsEdits::UnderBothLocks(Change change) {
    const std::lock_guard<std::mutex> render(renderLock);
    const std::lock_guard<std::mutex> caption(captionLock);
    return change(workingSettings);
}

SettingsRecord SettingsEdits::CopyWorkingSettings() {
    return UnderBothLocks([](const SettingsRecord& settings) { return settings; });
}

void SettingsEdits::ReplaceWorkingSettings(const SettingsRecord& values) {
    UnderBothLocks([&](SettingsRecord& settings) { settings = values; });
}

void SettingsEdits::MoveCaptionToPreset(CaptionPreset preset) {
    int32_t x = 0, y = 0;
    switch (preset) {
        case CaptionPreset::TopLeft: break;
        case CaptionPreset::TopRight: x = kCanvasWidth; break;
        case CaptionPreset::Centre: x = kCanvasWidth / 2, y = kCanvasHeight / 2; break;
        case CaptionPreset::BottomLeft: y = kCanvasHeight; break;
        case CaptionPreset::BottomRight: x = kCanvasWidth, y = kCanvasHeight; break;
    }
    UnderRenderLock([&](SettingsRecord& settings) {
        settings.StringPosX = x;
        settings.StringPosY = y;
    });
}

void SettingsEdits::MoveCaptionBy(int32_t dx, int32_t dy) {
    UnderRenderLock([&](SettingsRecord& settings) {
        settings.StringPosX = Step(settings.StringPosX, dx);
        settings.StringPosY = Step(settings.StringPosY, dy);
    });
}

void SettingsEdits::SetRandomPosition(bool random) {
    UnderRenderLock([&](SettingsRecord& settings) { settings.RndStringPos = random ? 1 : 0; });
}

void SettingsEdits::StoreFontSettings(const CaptionFont& font) {
    UnderRenderLock([&](SettingsRecord& settings) {
        settings.FontName.assign(font.faceName, strnlen(font.faceName, sizeof font.faceName));
        settings.FontSize = font.height;
        settings.FontWeight = font.weight;
        settings.FontItalic = font.italic;
        settings.FontUnderline = font.underline;
        settings.FontStrikeOut = font.strikeOut;
        settings.FontCharSet = font.charSet;
    });
}

void SettingsEdits::SetCaptionTextColor(uint32_t colorref) {
    UnderRenderLock([&](SettingsRecord& settings) { settings.TextColor = colorref; });
}

void SettingsEdits::SetCaptionBackColor(uint32_t colorref) {
    UnderRenderLock([&](SettingsRecord& settings) { settings.BackColor = colorref; });
}

void SettingsEdits::SetTransparency(int32_t percent) {
    UnderRenderLock([&](SettingsRecord& settings) { settings.Transparency = percent; });
}

void SettingsEdits::SetBackType(int32_t type) {
    UnderRenderLock([&](SettingsRecord& settings) { settings.BackType = type; });
}

StoredRange SettingsEdits::SetFrameRangeBound(FrameRange range, RangeBound bound, int32_t value) {
    return UnderRenderLock([&](SettingsRecord& settings) {
        const bool time = range == FrameRange::ShowTime;
        int32_t& from = time ? settings.ShowTimeFrom : settings.ShowFreqFrom;
        int32_t& to = time ? settings.ShowTimeTo : settings.ShowFreqTo;
        (bound == RangeBound::From ? from : to) = value;
        const bool crossed = to < from;
        if (crossed) (bound == RangeBound::From ? to : from) = value;
        return StoredRange{from, to, crossed};
    });
}

void SettingsEdits::SetRulesType(int32_t rules) {
    UnderRenderLock([&](SettingsRecord& settings) { settings.RulesType = rules; });
}

void SettingsEdits::SetDicType(int32_t type) {
    UnderRenderLock([&](SettingsRecord& settings) { settings.DicType = type; });
}

void SettingsEdits::SetDictionaryFile(const std::string& path) {
    UnderRenderLock([&](SettingsRecord& settings) { settings.DicFileName = path; });
}

void SettingsEdits::SetCurrentAltEntry(int32_t index) {
    UnderBothLocks([&](SettingsRecord& settings) { settings.CurExtEntry = index; });
}

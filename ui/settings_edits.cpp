#include "ui/settings_edits.h"

#include "settings/settings_table.h"

#include <algorithm>
#include <cstring>
#include <limits>

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

SettingsEdits::SettingsEdits(WorkingSettings& settings) : workingSettings_(settings) {}

SettingsRecord SettingsEdits::CopyWorkingSettings() const { return workingSettings_.Get(); }

void SettingsEdits::ReplaceWorkingSettings(const SettingsRecord& values) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings = values; });
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
    workingSettings_.Change([&](SettingsRecord& settings) {
        settings.StringPosX = x;
        settings.StringPosY = y;
    });
}

void SettingsEdits::MoveCaptionBy(int32_t dx, int32_t dy) {
    workingSettings_.Change([&](SettingsRecord& settings) {
        settings.StringPosX = Step(settings.StringPosX, dx);
        settings.StringPosY = Step(settings.StringPosY, dy);
    });
}

void SettingsEdits::SetRandomPosition(bool random) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.RndStringPos = random ? 1 : 0; });
}

void SettingsEdits::StoreFontSettings(const CaptionFont& font) {
    workingSettings_.Change([&](SettingsRecord& settings) {
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
    workingSettings_.Change([&](SettingsRecord& settings) { settings.TextColor = colorref; });
}

void SettingsEdits::SetCaptionBackColor(uint32_t colorref) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.BackColor = colorref; });
}

void SettingsEdits::SetTransparency(int32_t percent) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.Transparency = percent; });
}

void SettingsEdits::SetBackType(Background type) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.BackType = type; });
}

namespace {

int32_t InRange(SettingRange range, int32_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, range.minimum, range.maximum));
}

}  // namespace

uint32_t HiddenParts(const SettingsRecord& settings) {
    const uint32_t background = settings.BackColor & 0xFFFFFF;
    uint32_t hidden = 0;
    if ((settings.TextColor & 0xFFFFFF) == background) hidden |= kHiddenLetters;
    if (settings.OutlineWidth > 0 && (settings.OutlineColor & 0xFFFFFF) == background) hidden |= kHiddenOutline;
    if (settings.ShadowOffset > 0 && (settings.ShadowColor & 0xFFFFFF) == background) hidden |= kHiddenShadow;
    return hidden;
}

void SettingsEdits::SetOutlineWidth(int32_t width) {
    workingSettings_.Change(
        [&](SettingsRecord& settings) { settings.OutlineWidth = InRange(RangeOf("OutlineWidth"), width); });
}

void SettingsEdits::SetOutlineColor(uint32_t colorref) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.OutlineColor = colorref; });
}

void SettingsEdits::SetShadowOffset(int32_t offset) {
    workingSettings_.Change(
        [&](SettingsRecord& settings) { settings.ShadowOffset = InRange(RangeOf("ShadowOffset"), offset); });
}

void SettingsEdits::SetShadowColor(uint32_t colorref) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.ShadowColor = colorref; });
}

void SettingsEdits::SetBoxPadding(int32_t padding) {
    workingSettings_.Change(
        [&](SettingsRecord& settings) { settings.BoxPadding = InRange(RangeOf("BoxPadding"), padding); });
}

void SettingsEdits::SetKeepProportions(bool keep) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.KeepProportions = keep ? 1 : 0; });
}

StoredRange SettingsEdits::SetFrameRangeBound(FrameRange range, RangeBound bound, int32_t value) {
    return workingSettings_.Change([&](SettingsRecord& settings) {
        const bool time = range == FrameRange::ShowTime;
        int32_t& from = time ? settings.ShowTimeFrom : settings.ShowFreqFrom;
        int32_t& to = time ? settings.ShowTimeTo : settings.ShowFreqTo;
        (bound == RangeBound::From ? from : to) = value;
        const bool crossed = to < from;
        if (crossed) (bound == RangeBound::From ? to : from) = value;
        return StoredRange{from, to, crossed};
    });
}

void SettingsEdits::SetRulesType(WordOrder rules) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.RulesType = rules; });
}

void SettingsEdits::SetDicType(WordSource type) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.DicType = type; });
}

void SettingsEdits::SetDictionaryFile(const std::string& path) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.DicFileName = path; });
}

void SettingsEdits::SetCurrentAltEntry(int32_t index) {
    workingSettings_.Change([&](SettingsRecord& settings) { settings.CurExtEntry = index; });
}

void SettingsEdits::KeepAltEntryBelow(int32_t count) {
    workingSettings_.Change(
        [&](SettingsRecord& settings) { settings.CurExtEntry = std::min(settings.CurExtEntry, count - 1); });
}

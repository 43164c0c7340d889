#include "ui/settings_edits.h"

#include <cstring>
#include <mutex>

#include "dictionary/dictionary_store.h"
#include "overlay/overlay_state.h"
#include "settings/settings_state.h"

// The frame thread reads the font fields under renderLock and the entry
// indexes under captionLock; whole-record copies take both.
SettingsRecord CopyWorkingSettings() {
    std::scoped_lock lock(renderLock, captionLock);
    return workingSettings;
}

void ReplaceWorkingSettings(const SettingsRecord& values) {
    std::scoped_lock lock(renderLock, captionLock);
    workingSettings = values;
}

void MoveCaptionToPreset(CaptionPreset preset) {
    SettingsRecord& settings = workingSettings;
    switch (preset) {
        case CaptionPreset::TopLeft: settings.StringPosX = 0, settings.StringPosY = 0; break;
        case CaptionPreset::TopRight: settings.StringPosX = kCanvasWidth, settings.StringPosY = 0; break;
        case CaptionPreset::Centre:
            settings.StringPosX = kCanvasWidth / 2, settings.StringPosY = kCanvasHeight / 2;
            break;
        case CaptionPreset::BottomLeft: settings.StringPosX = 0, settings.StringPosY = kCanvasHeight; break;
        case CaptionPreset::BottomRight:
            settings.StringPosX = kCanvasWidth, settings.StringPosY = kCanvasHeight;
            break;
    }
}

void MoveCaptionBy(int32_t dx, int32_t dy) {
    workingSettings.StringPosX = workingSettings.StringPosX + dx;
    workingSettings.StringPosY = workingSettings.StringPosY + dy;
}

void SetRandomPosition(bool random) { workingSettings.RndStringPos = random ? 1 : 0; }

void StoreFontSettings(const CaptionFont& font) {
    const std::lock_guard<std::mutex> lock(renderLock);
    SettingsRecord& settings = workingSettings;
    settings.FontName.assign(font.faceName, strnlen(font.faceName, sizeof font.faceName));
    settings.FontSize = font.height;
    settings.FontWeight = font.weight;
    settings.FontItalic = font.italic;
    settings.FontUnderline = font.underline;
    settings.FontStrikeOut = font.strikeOut;
    settings.FontCharSet = font.charSet;
}

void SetCaptionTextColor(uint32_t colorref) { workingSettings.TextColor = colorref; }

void SetCaptionBackColor(uint32_t colorref) { workingSettings.BackColor = colorref; }

void SetTransparency(int32_t percent) { workingSettings.Transparency = percent; }

void SetBackType(int32_t type) { workingSettings.BackType = type; }

StoredRange SetFrameRangeBound(FrameRange range, RangeBound bound, int32_t value) {
    SettingsRecord& settings = workingSettings;
    const bool time = range == FrameRange::ShowTime;
    int32_t& from = time ? settings.ShowTimeFrom : settings.ShowFreqFrom;
    int32_t& to = time ? settings.ShowTimeTo : settings.ShowFreqTo;
    (bound == RangeBound::From ? from : to) = value;
    const bool crossed = to < from;
    if (crossed) (bound == RangeBound::From ? to : from) = value;
    return {from, to, crossed};
}

void SetRulesType(int32_t rules) { workingSettings.RulesType = rules; }

void SetDicType(int32_t type) { workingSettings.DicType = type; }

void SetDictionaryFile(const std::string& path) { workingSettings.DicFileName = path; }

void SetCurrentAltEntry(int32_t index) {
    const std::lock_guard<std::mutex> lock(captionLock);
    workingSettings.CurExtEntry = index;
}

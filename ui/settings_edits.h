// The settings dialog's changes to an instance's working settings, one
// function for what each control does to them. The Win32 handlers read
// their controls and call these; nothing else of the dialog writes the
// working settings, and each goes through their one writer, so the host may
// render frames on another thread meanwhile.
#pragma once

#include <cstdint>
#include <string>

#include "overlay/caption_renderer.h"
#include "settings/setting_choices.h"
#include "settings/settings_record.h"
#include "settings/working_settings.h"

// The position pad: the caption's centre on the canvas.
enum class CaptionPreset { TopLeft, TopRight, Centre, BottomLeft, BottomRight };

// The two ranges of frames, each from a lower to an upper bound. Setting
// one bound takes the other along when they would cross.
enum class FrameRange { ShowTime, ShowFreq };
enum class RangeBound { From, To };
struct StoredRange {
    int32_t from, to;
    bool otherMoved;  // the bound not set was moved to keep from <= to
    bool operator==(const StoredRange&) const = default;
};

// What of the caption the colours hide: letters in the background's colour
// cannot be told from it, whatever the background; an outline or a shadow
// in it vanishes into the box, or is left out with it where no background
// is drawn (the colour that BackType none keys out).
enum HiddenPart : uint32_t { kHiddenLetters = 1, kHiddenOutline = 2, kHiddenShadow = 4 };
uint32_t HiddenParts(const SettingsRecord& settings);

class SettingsEdits {
public:
    explicit SettingsEdits(WorkingSettings& workingSettings);

    // The whole record: the snapshot at opening, Cancel, Default, the font
    // chooser's undo.
    SettingsRecord CopyWorkingSettings() const;
    void ReplaceWorkingSettings(const SettingsRecord& values);

    void MoveCaptionToPreset(CaptionPreset preset);
    void MoveCaptionBy(int32_t dx, int32_t dy);
    void SetRandomPosition(bool random);

    // The caption's look.
    void StoreFontSettings(const CaptionFont& font);
    void SetCaptionTextColor(uint32_t colorref);
    void SetCaptionBackColor(uint32_t colorref);
    void SetTransparency(int32_t percent);
    void SetBackType(Background type);

    // The letters' outline, shadow and box, and their proportions; numbers
    // are kept inside their rows' ranges.
    void SetOutlineWidth(int32_t width);
    void SetOutlineColor(uint32_t colorref);
    void SetShadowOffset(int32_t offset);
    void SetShadowColor(uint32_t colorref);
    void SetBoxPadding(int32_t padding);
    void SetKeepProportions(bool keep);

    StoredRange SetFrameRangeBound(FrameRange range, RangeBound bound, int32_t value);

    // Which words come next, and from where.
    void SetRulesType(WordOrder rules);
    void SetDicType(WordSource type);
    void SetDictionaryFile(const std::string& path);
    void SetCurrentAltEntry(int32_t index);
    // After entries were deleted: the entry shown last stays inside the list.
    void KeepAltEntryBelow(int32_t count);

private:
    WorkingSettings& workingSettings_;
};

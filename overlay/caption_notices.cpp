#include "overlay/caption_notices.h"

#include "settings/setting_choices.h"

void CaptionNotices::TellWhatHides(uint32_t background, uint32_t textColor, const CaptionEffects& effects, bool keyed) {
    enum : uint32_t { kLetters = 1, kOutline = 2, kShadow = 4 };
    uint32_t hidden = 0;
    if (textColor == background) hidden |= kLetters;
    if (keyed && effects.outline > 0 && effects.outlineColor == background) hidden |= kOutline;
    if (keyed && (effects.shadowX > 0 || effects.shadowY > 0) && effects.shadowColor == background) hidden |= kShadow;
    const uint32_t fresh = hidden & ~hidden_;
    hidden_ = hidden;
    if (!fresh || !handler_) return;
    const std::string colour = "=" + std::to_string(background) + " is BackColor";
    const std::string leftOut = ", the colour that BackType none leaves out: ";
    if (fresh & kLetters)
        handler_(keyed ? "TextColor" + colour + leftOut + "the captions do not show"
                       : "TextColor" + colour + ": the letters do not show on it");
    if (fresh & kOutline) handler_("OutlineColor" + colour + leftOut + "the outline does not show");
    if (fresh & kShadow) handler_("ShadowColor" + colour + leftOut + "the shadow does not show");
}

// Named by its list, which a missing file leaves empty.
void CaptionNotices::TellEmptyDictionary(const SettingsRecord& settings) {
    if (toldEmpty_ || !handler_) return;
    toldEmpty_ = true;
    if (static_cast<WordSource>(settings.DicType) == kWordList)
        handler_("DicFileName=" + settings.DicFileName +
                 ": the word list that DicType=1 chooses has no entries: no captions");
    else
        handler_("the built-in dictionary that DicType=0 chooses has no entries: no captions");
}

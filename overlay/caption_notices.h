// Notices of what keeps the captions from showing: nothing on the screen
// says why they are gone, so each is told once each time it starts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "overlay/caption_effects.h"
#include "settings/settings_record.h"

class CaptionNotices {
public:
    // Told each notice as one sentence; unset: none is told.
    void SetHandler(std::function<void(const std::string&)> handler) { handler_ = std::move(handler); }

    // The colours that hide what the caption draws: the letters in the
    // background's colour, or an outline or shadow in the colour a keyed
    // background leaves out.
    void TellWhatHides(uint32_t background, uint32_t textColor, const CaptionEffects& effects, bool keyed);
    // The dictionary the settings choose has no entries, frame after
    // frame; told again once an entry was taken since.
    void TellEmptyDictionary(const SettingsRecord& settings);
    void EntryTaken() { toldEmpty_ = false; }

private:
    std::function<void(const std::string&)> handler_;
    uint32_t hidden_ = 0;  // what hides what is drawn, as last told (bits of TellWhatHides)
    bool toldEmpty_ = false;
};

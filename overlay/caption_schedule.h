// The caption schedule: the frames of the gap before each entry and the
// frames it shows, the viewer's requests, captions off, and which entry
// comes next. All of it is the frame's thread's: no lock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "dictionary/dictionary_store.h"
#include "overlay/random.h"
#include "settings/settings_record.h"
#include "settings/working_settings.h"

// The entry the last caption showed, as the dictionary gave it.
struct ShownEntry {
    uint32_t serial = 0;  // counts the captions of entries from 1; 0: none yet
    WordSource source = kBuiltinWords;
    std::string list;  // the word list's name as the settings give it; empty for the built-in one
    int32_t index = -1;
    std::string text;       // "word - translation"
    bool repeated = false;  // shown again at the viewer's asking, not by the schedule
};

// Chooses the next entry's index in the dictionary of source instead of
// the settings' order; none: no caption now.
using EntryChooser = std::function<std::optional<int32_t>(WordSource source)>;

// A caption asked for, started at the next frame instead of the schedule's
// entry: its text and how many frames it stays.
struct CaptionRequest {
    std::string text;
    uint32_t frames = 0;
    bool entry = false;  // the last entry again, not a note
};

// What asking for the next entry came to.
enum class NextEntry {
    kTaken,
    kNoneChosen,       // the chooser has none for now, which is no fault
    kDictionaryEmpty,  // the chosen dictionary gave none
};

class CaptionSchedule {
public:
    // Entries come from the dictionaries; the index of each is written back
    // through the working settings' one writer.
    CaptionSchedule(WorkingSettings& workingSettings, DictionaryStore& dictionaries);

    // Counts a frame of the gap, with nothing shown and the next entry more
    // than a frame away, and says whether it did.
    bool CountGapFrame() noexcept {
        if (showFrames_ != 0 || gapFrames_ <= 1) return false;
        --gapFrames_;
        return true;
    }
    // Counts a frame towards the next entry: whether it is due now.
    bool CountDueFrame() { return gapFrames_ == 0 || --gapFrames_ == 0; }
    // Counts a frame of the caption shown: false when none shows.
    bool CountShownFrame();
    bool showing() const { return showFrames_ > 0; }
    bool NextFrameMayDraw() const;
    // Counts a frame that NextFrameMayDraw ruled out.
    void PassFrame();
    // Captions off and nothing asked for: the schedule waits.
    bool waiting() const { return captionsOff_ && !request_; }

    // A new caption's gap and frames, drawn from the settings' ranges.
    void Start(const SettingsRecord& settings, RandomSource& random);
    // The next entry of the dictionary the settings choose into text, its
    // index written back to them unless the dialog set another meanwhile.
    NextEntry TakeNextEntry(SettingsRecord& settings, std::string& text);
    bool requested() const { return request_.has_value(); }
    CaptionRequest TakeRequest();
    // A requested caption, once started, stays its own frames; the last
    // entry shown again counts as one more caption of it.
    void ShowRequested(const CaptionRequest& request);

    // The viewer's requests (see OverlayEngine).
    void ShowNextNow();
    void ShowAgain(uint32_t frames);
    void ShowNote(const std::string& text, uint32_t frames);
    void SetCaptionsOff(bool off);
    bool captionsOff() const { return captionsOff_; }
    void Retire(const std::string& list, int32_t index) { retired_.insert({list, index}); }
    const ShownEntry& lastShown() const { return shown_; }
    // Unset: the settings' order.
    void SetEntryChooser(EntryChooser chooser) { chooseEntry_ = std::move(chooser); }

    // The caption on screen ends, and the next frame is due.
    void Interrupt();
    uint32_t gapFrames() const { return gapFrames_; }
    uint32_t showFrames() const { return showFrames_; }

private:
    WorkingSettings& workingSettings_;
    DictionaryStore& dictionaries_;
    uint32_t gapFrames_ = 0;   // until the next entry
    uint32_t showFrames_ = 0;  // the entry still shows
    std::optional<CaptionRequest> request_;
    bool captionsOff_ = false;
    std::set<std::pair<std::string, int32_t>> retired_;  // by list (empty: built-in) and index
    ShownEntry shown_;
    EntryChooser chooseEntry_;
};

#include "overlay/caption_schedule.h"

#include <algorithm>
#include <utility>

namespace {

// A value drawn from from..to inclusive. Bounds below zero count as zero and
// a reversed range as its lower bound, so a hand-edited settings file can
// never produce a negative or huge count.
uint32_t DrawFromRange(RandomSource& random, int32_t from, int32_t to) {
    const int64_t low = std::max(from, 0);
    const int64_t high = std::max<int64_t>(to, low - 1);
    return random.Random(static_cast<uint32_t>(high - low + 1)) + static_cast<uint32_t>(low);
}

}  // namespace

CaptionSchedule::CaptionSchedule(WorkingSettings& workingSettings, DictionaryStore& dictionaries)
    : workingSettings_(workingSettings), dictionaries_(dictionaries) {}

bool CaptionSchedule::CountShownFrame() {
    if (timing_) return now_ < showUntil_;
    if (showFrames_ == 0) return false;
    --showFrames_;
    return true;
}

bool CaptionSchedule::NextFrameMayDraw() const {
    if (captionsOff_) return request_ || showing();
    if (timing_) return now_ >= nextStart_ || now_ < showUntil_;
    return gapFrames_ <= 1 || showFrames_ > 0;
}

void CaptionSchedule::PassFrame() {
    if (!timing_ && !captionsOff_ && !NextFrameMayDraw()) --gapFrames_;
}

void CaptionSchedule::SetTiming(const std::optional<StudyTiming>& timing) {
    timing_ = timing;
    Interrupt();
}

void CaptionSchedule::Start(const SettingsRecord& settings, RandomSource& random) {
    showingEntry_ = true;
    if (timing_) {
        const int64_t limit = std::exchange(provisionLimit_, 0);
        showUntil_ = now_ + (limit > 0 ? std::min(limit, timing_->showNanos) : timing_->showNanos);
        nextStart_ = now_ + timing_->everyNanos;
        return;
    }
    gapFrames_ = DrawFromRange(random, settings.ShowFreqFrom, settings.ShowFreqTo);
    showFrames_ = DrawFromRange(random, settings.ShowTimeFrom, settings.ShowTimeTo);
}

// At least one frame, so that a request is seen.
uint32_t CaptionSchedule::FramesOf(uint32_t millis) const {
    return std::max<uint32_t>(1, static_cast<uint32_t>((uint64_t{millis} * framesPerSecond_ + 999) / 1000));
}

NextEntry CaptionSchedule::TakeNextEntry(SettingsRecord& settings, std::string& text) {
    const auto source = static_cast<WordSource>(settings.DicType);
    int32_t SettingsRecord::*const indexField = source == kWordList ? &SettingsRecord::CurExtEntry
                                                                    : &SettingsRecord::CurIntEntry;
    if (provideEntry_) {
        std::optional<ProvidedEntry> provided = provideEntry_();
        if (!provided) return NextEntry::kNoneChosen;
        text = std::move(provided->text);
        provisionLimit_ = provided->showNanos;
        shown_ = {shown_.serial + 1, source, std::string(), provided->index, text, false, true};
        return NextEntry::kTaken;
    }
    const int32_t from = settings.*indexField;
    const auto order = static_cast<WordOrder>(settings.RulesType);
    const std::string list = source == kWordList ? settings.DicFileName : std::string();
    std::optional<int32_t> next;
    if (chooseEntry_) {
        const std::optional<int32_t> chosen = chooseEntry_(source);
        if (!chosen) return NextEntry::kNoneChosen;
        next = dictionaries_.CaptionAt(source, *chosen, text);
    } else {
        next = dictionaries_.NextCaption(source, order, from, text);
        // Each order comes to every entry once a cycle, so each retired entry
        // is passed at most once before one that is not; with all retired, none.
        for (size_t passed = 0; next && retired_.count({list, *next}); ++passed)
            next = passed < retired_.size() ? dictionaries_.NextCaption(source, order, *next, text) : std::nullopt;
    }
    if (!next) return NextEntry::kDictionaryEmpty;
    shown_ = {shown_.serial + 1, source, list, *next, text, false};
    if (*next != from) {
        workingSettings_.Change([&](SettingsRecord& live) {
            if (live.*indexField == from) live.*indexField = *next;
        });
        settings.*indexField = *next;
    }
    return NextEntry::kTaken;
}

CaptionRequest CaptionSchedule::TakeRequest() {
    CaptionRequest request = std::move(*request_);
    request_.reset();
    return request;
}

// Nothing cuts a request short: the next entry waits until it ends.
void CaptionSchedule::ShowRequested(const CaptionRequest& request) {
    showingEntry_ = request.entry;
    if (timing_) {
        showUntil_ = now_ + int64_t{request.millis} * 1'000'000;
        nextStart_ = std::max(nextStart_, showUntil_);
    } else {
        showFrames_ = FramesOf(request.millis);
        gapFrames_ = std::max(gapFrames_, showFrames_);
    }
    if (request.entry) ++shown_.serial, shown_.repeated = true;
}

void CaptionSchedule::Interrupt() {
    showFrames_ = 0;
    gapFrames_ = 1;
    showUntil_ = nextStart_ = now_;
}

void CaptionSchedule::ShowNextNow() {
    if (!captionsOff_) Interrupt();
}

void CaptionSchedule::ShowAgain(uint32_t millis) {
    if (shown_.serial == 0) return;
    request_ = CaptionRequest{shown_.text, millis, true, false};
    Interrupt();
}

void CaptionSchedule::ShowNote(const std::string& text, uint32_t millis, bool atLastPlace) {
    request_ = CaptionRequest{text, millis, false, atLastPlace};
    Interrupt();
}

void CaptionSchedule::SetCaptionsOff(bool off) {
    captionsOff_ = off;
    if (off) showFrames_ = 0, showUntil_ = now_;
}

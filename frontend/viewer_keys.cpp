#include "frontend/viewer_keys.h"

#include <algorithm>

#include "frontend/learner_link.h"

void ViewerKeys::SetMap(KeyMap map) {
    const std::lock_guard lock(mutex_);
    map_ = std::move(map);
}

KeyMap ViewerKeys::Map() const {
    const std::lock_guard lock(mutex_);
    return map_;
}

void ViewerKeys::SetPlayerKeys(std::string text) {
    const std::lock_guard lock(mutex_);
    playerKeys_ = std::move(text);
}

std::string ViewerKeys::PlayerKeys() const {
    const std::lock_guard lock(mutex_);
    return playerKeys_;
}

void ViewerKeys::StartRun(std::shared_ptr<learner::ProgressStore> store) {
    const std::lock_guard lock(mutex_);
    requests_ = KeyRequests();
    recent_.clear();
    marked_.clear();
    lastAt_ = 0;
    lastFrameNanos_.reset();
    captionsOff_ = false;
    store_ = std::move(store);
}

void ViewerKeys::EndRun() {
    const std::lock_guard lock(mutex_);
    store_.reset();
}

void ViewerKeys::Shown(const CaptionShown& caption, int64_t at) {
    const std::lock_guard lock(mutex_);
    if (!recent_.empty() && !recent_.back().end) recent_.back().end = at;
    recent_.push_back({caption, at, std::nullopt});
}

// Captions that ended long before the latest frame can be marked no more.
void ViewerKeys::Frame(int64_t at, std::optional<int64_t> frameNanos, std::optional<uint32_t> entryOnScreen,
                       int64_t frameDuration) {
    const std::lock_guard lock(mutex_);
    lastAt_ = at;
    lastFrameNanos_ = frameNanos;
    frameDuration_ = frameDuration;
    if (!recent_.empty() && !recent_.back().end && entryOnScreen != recent_.back().caption.serial)
        recent_.back().end = at;
    while (!recent_.empty() && recent_.front().end && *recent_.front().end < at - kLookBackNanos) {
        const uint32_t serial = recent_.front().caption.serial;
        std::erase_if(marked_, [serial](const auto& mark) { return mark.first == serial; });
        recent_.pop_front();
    }
}

// The last frame's time, moved by how far the front end's clock is past
// that frame: back while the frame waits to be shown, on by at most a
// frame while the picture stands still.
int64_t ViewerKeys::KeyTime(std::optional<int64_t> nowNanos) const {
    if (!nowNanos || !lastFrameNanos_) return lastAt_;
    return lastAt_ + std::clamp(*nowNanos - *lastFrameNanos_, -StreamClock::kSecond, frameDuration_);
}

const ViewerKeys::Recent* ViewerKeys::Seen(int64_t keyTime) const {
    for (auto recent = recent_.rbegin(); recent != recent_.rend(); ++recent) {
        if (recent->start > keyTime - kReactionNanos) continue;  // too new to have been seen
        if (recent->end && *recent->end <= keyTime - kLookBackNanos) return nullptr;
        return &*recent;
    }
    return nullptr;
}

void ViewerKeys::Note(std::string text, uint32_t millis, bool atLastPlace) {
    requests_.note = std::move(text);
    requests_.noteMillis = millis;
    requests_.noteAtLastPlace = atLastPlace;
}

void ViewerKeys::Mark(KeyAction action, int64_t keyTime, Taken& taken) {
    const bool known = action == KeyAction::kKnown;
    const Recent* seen = Seen(keyTime);
    if (!seen) {
        Note(std::string(known ? "✓" : "↻") + " no caption to mark", kMarkNoteMillis, true);
        return;
    }
    const learner::Mark mark = known ? learner::Mark::kKnown : learner::Mark::kAgain;
    const std::string what = std::string(known ? "✓ known: " : "↻ again: ") + seen->caption.word;
    if (!marked_.insert({seen->caption.serial, mark}).second) {
        Note(what + " (marked already)", kMarkNoteMillis, true);
        return;
    }
    taken.mark = CaptionMark{seen->caption, mark};
    requests_.marks.push_back(*taken.mark);
    Note(what, kMarkNoteMillis, true);
}

ViewerKeys::Taken ViewerKeys::Take(const char* key, bool shift, bool pressed, std::optional<int64_t> nowNanos) {
    Taken taken;
    std::shared_ptr<learner::ProgressStore> store;
    {
        const std::lock_guard lock(mutex_);
        const std::optional<KeyAction> action = map_.ActionOf(key, shift);
        taken.ours = action.has_value();
        if (!action || !pressed) return taken;
        taken.action = action;
        switch (*action) {
            case KeyAction::kKnown:
            case KeyAction::kAgain:
                Mark(*action, KeyTime(nowNanos), taken);
                if (taken.mark) store = store_;
                break;
            case KeyAction::kNext: requests_.next = true; break;
            case KeyAction::kRepeat: requests_.repeatMillis = kRepeatMillis; break;
            case KeyAction::kCaptions:
                requests_.toggleCaptions = !requests_.toggleCaptions;
                captionsOff_ = !captionsOff_;
                break;
            case KeyAction::kHelp: {
                std::string help = map_.HelpLine();
                if (!playerKeys_.empty()) help += " - " + playerKeys_;  // a line of its own
                Note(std::move(help), kHelpMillis, false);
                break;
            }
        }
        taken.captionsOff = captionsOff_;
    }
    // Outside the lock: the frames need not wait for the store.
    if (store) {
        const CaptionShown& caption = taken.mark->caption;
        store->RecordMark({caption.list, caption.word, caption.translation}, taken.mark->mark, NowMillis());
    }
    return taken;
}

KeyRequests ViewerKeys::TakeRequests() {
    const std::lock_guard lock(mutex_);
    return std::exchange(requests_, KeyRequests());
}

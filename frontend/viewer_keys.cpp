#include "frontend/viewer_keys.h"

#include <utility>

#include "frontend/learner_link.h"

void ViewerKeys::SetMap(KeyMap map) {
    const std::lock_guard lock(mutex_);
    map_ = std::move(map);
}

KeyMap ViewerKeys::Map() const {
    const std::lock_guard lock(mutex_);
    return map_;
}

void ViewerKeys::StartRun(std::shared_ptr<learner::ProgressStore> store) {
    const std::lock_guard lock(mutex_);
    requests_ = KeyRequests();
    shown_ = CaptionShown();
    store_ = std::move(store);
}

void ViewerKeys::EndRun() {
    const std::lock_guard lock(mutex_);
    store_.reset();
}

void ViewerKeys::SetFramesPerSecond(uint32_t frames) {
    const std::lock_guard lock(mutex_);
    framesPerSecond_ = frames;
}

void ViewerKeys::Shown(const CaptionShown& caption) {
    const std::lock_guard lock(mutex_);
    shown_ = caption;
}

ViewerKeys::Taken ViewerKeys::Take(const char* key, bool shift, bool pressed) {
    Taken taken;
    std::shared_ptr<learner::ProgressStore> store;
    {
        const std::lock_guard lock(mutex_);
        const std::optional<KeyAction> action = map_.ActionOf(key, shift);
        taken.ours = action.has_value();
        if (!action || !pressed) return taken;
        switch (*action) {
            case KeyAction::kKnown:
            case KeyAction::kAgain:
                if (shown_.serial == 0) break;  // no caption yet
                taken.mark = {shown_, *action == KeyAction::kKnown ? learner::Mark::kKnown : learner::Mark::kAgain};
                requests_.marks.push_back(*taken.mark);
                store = store_;
                break;
            case KeyAction::kNext: requests_.next = true; break;
            case KeyAction::kRepeat: requests_.repeatFrames = 2 * framesPerSecond_; break;
            case KeyAction::kCaptions: requests_.toggleCaptions = !requests_.toggleCaptions; break;
            case KeyAction::kHelp:
                requests_.note = map_.HelpLine();
                requests_.noteFrames = 4 * framesPerSecond_;
                break;
        }
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

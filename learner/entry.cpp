#include "learner/entry.h"

#include <algorithm>
#include <limits>

#include "learner/fsrs.h"

namespace learner {

namespace {

constexpr double kMillisPerDay = 86'400'000.0;
constexpr int64_t kDayMillis = 86'400'000;

// A review answered with rating at now, scheduled by FSRS.
EntryState Reviewed(EntryState state, fsrs::Rating rating, int64_t nowMillis) {
    fsrs::Memory memory{state.stability, state.difficulty};
    // A first review, or one of an entry marked known before it ever had one.
    if (state.phase == Phase::kNew || state.stability <= 0) {
        memory = fsrs::First(rating);
    } else {
        memory = fsrs::Next(memory, static_cast<double>(nowMillis - state.lastReviewMillis) / kMillisPerDay, rating);
    }
    state.phase = Phase::kReviewing;
    state.stability = memory.stability;
    state.difficulty = memory.difficulty;
    state.lastReviewMillis = nowMillis;
    state.dueMillis = nowMillis + static_cast<int64_t>(fsrs::IntervalDays(memory.stability) * kMillisPerDay);
    return state;
}

}  // namespace

int64_t PassiveReviewFrom(const EntryState& state) {
    switch (state.phase) {
        case Phase::kNew: return std::numeric_limits<int64_t>::min();
        case Phase::kKnown: return std::numeric_limits<int64_t>::max();
        case Phase::kReviewing: break;
    }
    if (state.lastPassiveMillis == 0) return state.dueMillis;
    return std::max(state.dueMillis, state.lastPassiveMillis + kDayMillis);
}

// Shown before it was due (there was nothing else to show, or it came back
// soon after "again"), a caption is no test of memory.
std::optional<int64_t> PassiveReviewAt(const EntryState& state) {
    if (!state.pendingShowingMillis || *state.pendingShowingMillis < PassiveReviewFrom(state)) return std::nullopt;
    return state.pendingShowingMillis;
}

EntryState Settled(EntryState state) {
    const std::optional<int64_t> review = PassiveReviewAt(state);
    state.pendingShowingMillis.reset();
    if (!review) return state;
    state = Reviewed(state, fsrs::Rating::kHard, *review);
    state.lastPassiveMillis = *review;
    return state;
}

EntryState AfterShowing(EntryState state, int64_t nowMillis) {
    state = Settled(state);
    ++state.showings;
    state.lastShownMillis = nowMillis;
    if (state.phase != Phase::kKnown) state.pendingShowingMillis = nowMillis;
    return state;
}

EntryState AfterMark(EntryState state, Mark mark, int64_t nowMillis) {
    state.pendingShowingMillis.reset();
    if (mark == Mark::kKnown) {
        state.phase = Phase::kKnown;
        return state;
    }
    ++state.againMarks;
    return Reviewed(state, fsrs::Rating::kAgain, nowMillis);
}

}  // namespace learner

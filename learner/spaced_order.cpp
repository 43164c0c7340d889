#include "learner/spaced_order.h"

#include <algorithm>
#include <map>

#include "learner/word_key.h"

namespace learner {

namespace {

bool IsNew(const EntryState& state) { return state.phase == Phase::kNew && !state.pendingShowingMillis; }

bool InReview(const EntryState& state) {
    return state.phase == Phase::kReviewing || (state.phase == Phase::kNew && state.pendingShowingMillis);
}

}  // namespace

SpacedOrder::SpacedOrder(std::vector<EntryState> states, std::vector<int32_t> ranks, uint64_t seed,
                         const std::vector<std::string>& words)
    : states_(std::move(states)), due_(states_.size()), shownAt_(states_.size(), -1), random_(seed) {
    for (size_t i = 0; i < states_.size(); ++i) due_[i] = PassiveReviewFrom(Settled(states_[i]));
    byRank_.resize(states_.size());
    for (size_t i = 0; i < byRank_.size(); ++i) byRank_[i] = static_cast<int32_t>(i);
    if (ranks.size() == states_.size()) {
        std::stable_sort(byRank_.begin(), byRank_.end(), [&ranks](int32_t a, int32_t b) {
            return ranks[static_cast<size_t>(a)] < ranks[static_cast<size_t>(b)];
        });
    }
    if (words.size() == states_.size()) {
        std::map<std::string, int32_t> numbers;
        for (const std::string& word : words)
            wordOf_.push_back(numbers.emplace(WordKey(word), static_cast<int32_t>(numbers.size())).first->second);
    }
    SkipNoLongerNew();
}

SpacedOrder::SpacedOrder(std::vector<EntryState> states, uint64_t seed) : SpacedOrder(std::move(states), {}, seed) {}

std::optional<int32_t> SpacedOrder::Next(int64_t nowMillis) const {
    if (auto index = DueReturn()) return index;
    if (auto index = MostOverdue(nowMillis)) return index;
    if (auto index = FirstNew()) return index;
    return LongestAgo();
}

void SpacedOrder::Shown(int32_t index, int64_t nowMillis) {
    if (index < 0 || index >= size()) return;
    Update(index, AfterShowing(states_[static_cast<size_t>(index)], nowMillis));
    DropReturn(index);
    shownAt_[static_cast<size_t>(index)] = captions_++;
    last_ = index;
}

void SpacedOrder::Marked(int32_t index, Mark mark, int64_t nowMillis) {
    if (index < 0 || index >= size()) return;
    Update(index, AfterMark(states_[static_cast<size_t>(index)], mark, nowMillis));
    DropReturn(index);
    if (mark == Mark::kAgain) returns_.push_back({captions_ + RandomGap(), index});
    if (mark != Mark::kKnown || wordOf_.empty()) return;
    for (int32_t i = 0; i < size(); ++i) {
        if (wordOf_[static_cast<size_t>(i)] != wordOf_[static_cast<size_t>(index)] || i == index) continue;
        Update(i, AfterMark(states_[static_cast<size_t>(i)], Mark::kKnown, nowMillis));
        DropReturn(i);
    }
}

// The "again" entry whose turn has come, the earliest first.
std::optional<int32_t> SpacedOrder::DueReturn() const {
    const Return* first = nullptr;
    for (const Return& r : returns_)
        if (r.caption <= captions_ && (!first || r.caption < first->caption)) first = &r;
    if (!first) return std::nullopt;
    return first->index;
}

// Of the entries in review whose time has come, the one waiting longest;
// not the one just shown.
std::optional<int32_t> SpacedOrder::MostOverdue(int64_t nowMillis) const {
    std::optional<int32_t> best;
    for (int32_t i = 0; i < size(); ++i) {
        if (!InReview(states_[static_cast<size_t>(i)]) || i == last_) continue;
        const int64_t due = due_[static_cast<size_t>(i)];
        if (due <= nowMillis && (!best || due < due_[static_cast<size_t>(*best)])) best = i;
    }
    return best;
}

std::optional<int32_t> SpacedOrder::FirstNew() const {
    if (nextNew_ == byRank_.size()) return std::nullopt;
    return byRank_[nextNew_];
}

// An entry is new until it is first shown or marked, and never again after.
void SpacedOrder::SkipNoLongerNew() {
    while (nextNew_ < byRank_.size() && !IsNew(states_[static_cast<size_t>(byRank_[nextNew_])])) ++nextNew_;
}

// The entry in review shown longest ago, other than the one just shown
// unless it is the only one left. Not the one due soonest: showing an entry
// early leaves its due time as it was, so that one would come again and
// again while the rest waited.
std::optional<int32_t> SpacedOrder::LongestAgo() const {
    std::optional<int32_t> best;
    for (int32_t i = 0; i < size(); ++i) {
        if (!InReview(states_[static_cast<size_t>(i)]) || i == last_) continue;
        if (!best || ShownBefore(i, *best)) best = i;
    }
    if (!best && last_ && InReview(states_[static_cast<size_t>(*last_)])) return last_;
    return best;
}

// Whether a was last shown before b: in an earlier run (by the stored
// times), or earlier in this one (by the count, which a clock set back
// cannot disturb).
bool SpacedOrder::ShownBefore(int32_t a, int32_t b) const {
    const int64_t runA = shownAt_[static_cast<size_t>(a)], runB = shownAt_[static_cast<size_t>(b)];
    if (runA >= 0 || runB >= 0) return runA < runB;
    return states_[static_cast<size_t>(a)].lastShownMillis < states_[static_cast<size_t>(b)].lastShownMillis;
}

void SpacedOrder::Update(int32_t index, const EntryState& state) {
    states_[static_cast<size_t>(index)] = state;
    due_[static_cast<size_t>(index)] = PassiveReviewFrom(Settled(state));
    SkipNoLongerNew();
}

void SpacedOrder::DropReturn(int32_t index) {
    std::erase_if(returns_, [index](const Return& r) { return r.index == index; });
}

// SplitMix64: a well-mixed, portable sequence from the seed.
int64_t SpacedOrder::RandomGap() {
    uint64_t z = (random_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return kAgainReturnMin + static_cast<int64_t>(z % static_cast<uint64_t>(kAgainReturnMax - kAgainReturnMin + 1));
}

}  // namespace learner

// The spaced order: which entry of a list to show next. Known entries never
// return; an entry marked again returns within the next few captions, then
// when FSRS makes it due; an entry whose time has come goes before new
// ones; new entries fill the gaps in the list's own order. When nothing is
// due and nothing is new, the entry shown longest ago comes early, so that
// a caption is always there while any entry is not known and every such
// entry has its turn. Given the same seed and the same clock readings, the
// order is the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "learner/entry.h"

namespace learner {

class SpacedOrder {
public:
    // states: one for each entry of the list, as stored
    // (ProgressStore::RegisterList), or default ones for a list without a
    // history. ranks: each entry's place in the list's own order, the order
    // of its file where the entries are held sorted otherwise, lowest
    // first; new entries come in that order, entries of one rank by index.
    // Empty, or not one for each entry: the list's own order is the
    // entries' order. words: each entry's word, so that a known mark
    // retires every entry of the word (by WordKey, learner/word_key.h);
    // empty, or not one for each entry: each entry is a word of its own.
    SpacedOrder(std::vector<EntryState> states, std::vector<int32_t> ranks, uint64_t seed,
                const std::vector<std::string>& words = {});
    // A list whose entries are in its own order.
    SpacedOrder(std::vector<EntryState> states, uint64_t seed);

    // The entry to show at now; none when every entry is known or there is
    // none. The order moves on only when it is shown.
    std::optional<int32_t> Next(int64_t nowMillis) const;
    void Shown(int32_t index, int64_t nowMillis);
    // A mark on the entry on screen or the one just gone. Known retires
    // every entry of its word.
    void Marked(int32_t index, Mark mark, int64_t nowMillis);

    int32_t size() const { return static_cast<int32_t>(states_.size()); }
    const EntryState& state(int32_t index) const { return states_[static_cast<size_t>(index)]; }

    // How many captions after an "again" its entry returns, at least and at most.
    static constexpr int64_t kAgainReturnMin = 2;
    static constexpr int64_t kAgainReturnMax = 5;

private:
    struct Return {
        int64_t caption;  // the count of captions shown by which it is due back
        int32_t index;
    };

    std::optional<int32_t> DueReturn() const;
    std::optional<int32_t> MostOverdue(int64_t nowMillis) const;
    std::optional<int32_t> FirstNew() const;
    void SkipNoLongerNew();
    std::optional<int32_t> LongestAgo() const;
    bool ShownBefore(int32_t a, int32_t b) const;
    void Update(int32_t index, const EntryState& state);
    void DropReturn(int32_t index);
    int64_t RandomGap();

    std::vector<EntryState> states_;
    // When showing each entry next counts as a review (PassiveReviewFrom,
    // its pending showing settled): its due time in the order. Only
    // meaningful for entries in review.
    std::vector<int64_t> due_;
    // The count of captions shown before each entry's showing in this run;
    // -1 for an entry not shown in it, whose stored last showing counts.
    std::vector<int64_t> shownAt_;
    std::vector<Return> returns_;
    // Each entry's word, as a number its entries share; empty when none
    // were given.
    std::vector<int32_t> wordOf_;
    // The entries by rank; those before nextNew_ are new no more.
    std::vector<int32_t> byRank_;
    size_t nextNew_ = 0;
    int64_t captions_ = 0;
    std::optional<int32_t> last_;
    uint64_t random_;
};

}  // namespace learner

// What the learner's memory is about: the entries of word lists, the
// viewer's marks on them and each entry's scheduling state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace learner {

enum class Mark { kKnown, kAgain };

// A word list's entry, known by its text rather than its place, since lists
// get edited. list is the list's absolute path, or kBuiltinList.
struct EntryKey {
    std::string list;
    std::string word;
    std::string translation;
    // Not part of the key: the line a film's word was shown for, kept with
    // the entry at a showing; empty: none.
    std::string context = {};
};

inline constexpr std::string_view kBuiltinList = "builtin";

// A line of a word list as its front end split it into word and translation.
struct EntryText {
    std::string word;
    std::string translation;
};

// Stored as 0, 1, 2.
enum class Phase { kNew, kReviewing, kKnown };

struct EntryState {
    Phase phase = Phase::kNew;
    double stability = 0;   // days (FSRS)
    double difficulty = 0;  // 1 .. 10 (FSRS)
    int64_t lastReviewMillis = 0;
    int64_t dueMillis = 0;  // kReviewing: when it should come back
    int32_t showings = 0;
    int32_t againMarks = 0;
    int64_t lastShownMillis = 0;    // 0: never shown
    int64_t lastPassiveMillis = 0;  // the last showing counted as a review; 0: none
    // The last showing, while no mark has answered it: it counts as a
    // passive review once settled (see Settled), unless a mark takes its
    // place.
    std::optional<int64_t> pendingShowingMillis;
};

// The state after a showing at now: an earlier pending showing settles,
// this one becomes pending. A known entry stays known.
EntryState AfterShowing(EntryState state, int64_t nowMillis);
// The state after a mark at now; the mark answers the pending showing,
// which then counts no more. Known retires the entry; again is a failed
// review.
EntryState AfterMark(EntryState state, Mark mark, int64_t nowMillis);
// The state with its pending showing settled: counted as a passive review
// at the time it was shown when PassiveReviewAt says so, a Hard answer, so
// that a word merely seen comes back sooner than one the viewer confirmed;
// otherwise an exposure only, which leaves the schedule as it was.
EntryState Settled(EntryState state);

// When a showing of the entry begins to count as a passive review: at once
// for a new one, from its due time for one in review but never within a day
// of its last passive review, however short its interval (reviews on one
// day would push the interval out fast, and a caption seen is no answer);
// never for a known one.
int64_t PassiveReviewFrom(const EntryState& state);
// The time of the pending showing, if settling it counts as a passive
// review.
std::optional<int64_t> PassiveReviewAt(const EntryState& state);

}  // namespace learner

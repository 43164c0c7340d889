// How showings and marks move an entry's schedule: the passive review, a
// mark in its place, intervals that grow, one passive review a day.
#include <gtest/gtest.h>

#include "learner/entry.h"

namespace {

using learner::AfterMark;
using learner::AfterShowing;
using learner::EntryState;
using learner::Mark;
using learner::Phase;
using learner::Settled;

constexpr int64_t kDay = 86'400'000;

// Marked again, then seen without a key each time a showing counts: each
// wait is longer than the one before.
TEST(EntryState, IntervalsGrowAfterAgain) {
    EntryState state = AfterMark(AfterShowing({}, 0), Mark::kAgain, 1000);
    int64_t interval = state.dueMillis - state.lastReviewMillis;
    EXPECT_LT(interval, kDay);
    for (int review = 0; review < 8; ++review) {
        state = Settled(AfterShowing(state, learner::PassiveReviewFrom(state)));
        const int64_t next = state.dueMillis - state.lastReviewMillis;
        EXPECT_GT(next, interval) << "review " << review;
        interval = next;
    }
}

// A mark answers the showing it follows: the showing is then no passive
// review as well.
TEST(EntryState, AMarkTakesThePassiveReviewsPlace) {
    const EntryState shown = AfterShowing({}, 0);
    ASSERT_TRUE(shown.pendingShowingMillis);
    const EntryState marked = AfterMark(shown, Mark::kAgain, 2000);
    const EntryState markedAlone = AfterMark({}, Mark::kAgain, 2000);
    EXPECT_EQ(marked.stability, markedAlone.stability);
    EXPECT_EQ(marked.difficulty, markedAlone.difficulty);
    EXPECT_EQ(marked.dueMillis, markedAlone.dueMillis);
    EXPECT_FALSE(marked.pendingShowingMillis);
    EXPECT_EQ(marked.showings, 1);
}

TEST(EntryState, SeenWithoutAKeyReturnsLaterThanMarkedAgain) {
    const EntryState passive = Settled(AfterShowing({}, 0));
    const EntryState again = AfterMark(AfterShowing({}, 0), Mark::kAgain, 0);
    EXPECT_EQ(passive.phase, Phase::kReviewing);
    EXPECT_GT(passive.dueMillis, again.dueMillis);
}

// Shown early (nothing else to show), a caption is no test of memory.
TEST(EntryState, AShowingBeforeItIsDueChangesOnlyTheCount) {
    const EntryState reviewed = Settled(AfterShowing({}, 0));
    const EntryState early = Settled(AfterShowing(reviewed, reviewed.dueMillis / 2));
    EXPECT_EQ(early.stability, reviewed.stability);
    EXPECT_EQ(early.dueMillis, reviewed.dueMillis);
    EXPECT_EQ(early.showings, 2);
}

// Due again within hours (after "again"), an entry seen without a key
// reaches FSRS once a day at most; the showings between are exposures.
TEST(EntryState, APassiveReviewAtMostOnceADay) {
    EntryState state = AfterMark(AfterShowing({}, 0), Mark::kAgain, 0);
    state = Settled(AfterShowing(state, state.dueMillis));
    const EntryState reviewed = state;
    ASSERT_LT(reviewed.dueMillis, reviewed.lastReviewMillis + kDay);
    for (int64_t at = reviewed.dueMillis; at < reviewed.lastReviewMillis + kDay; at += 3'600'000) {
        EXPECT_FALSE(learner::PassiveReviewAt(AfterShowing(state, at)));
        state = Settled(AfterShowing(state, at));
    }
    EXPECT_EQ(state.lastReviewMillis, reviewed.lastReviewMillis);
    state = Settled(AfterShowing(state, reviewed.lastReviewMillis + kDay));
    EXPECT_EQ(state.lastReviewMillis, reviewed.lastReviewMillis + kDay);
}

TEST(EntryState, KnownStaysKnownWhenShown) {
    const EntryState known = AfterMark(AfterShowing({}, 0), Mark::kKnown, 10);
    const EntryState shown = Settled(AfterShowing(known, kDay));
    EXPECT_EQ(shown.phase, Phase::kKnown);
    EXPECT_EQ(shown.showings, 2);
    // The viewer changes their mind: back in review, due soon.
    const EntryState again = AfterMark(known, Mark::kAgain, kDay);
    EXPECT_EQ(again.phase, Phase::kReviewing);
    EXPECT_LT(again.dueMillis, 2 * kDay);
}

}  // namespace

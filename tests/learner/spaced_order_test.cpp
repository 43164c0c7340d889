// The spaced order as a viewer meets it: new entries in the list's order,
// known ones never again, "again" ones back within a few captions and then
// at growing intervals, the same order for the same seed and clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "learner/spaced_order.h"

namespace {

using learner::EntryState;
using learner::Mark;
using learner::SpacedOrder;

constexpr int64_t kSecond = 1000;
constexpr int64_t kHour = 3600 * kSecond;
constexpr int64_t kDay = 24 * kHour;

// Shows count captions, one every step, from now on; returns them in order.
std::vector<int32_t> Watch(SpacedOrder& order, int64_t& now, int count, int64_t step) {
    std::vector<int32_t> shown;
    for (int i = 0; i < count; ++i, now += step) {
        const std::optional<int32_t> next = order.Next(now);
        if (!next) break;
        order.Shown(*next, now);
        shown.push_back(*next);
    }
    return shown;
}

TEST(SpacedOrder, NewEntriesComeInTheListsOrder) {
    SpacedOrder order(std::vector<EntryState>(6), 1);
    int64_t now = 0;
    EXPECT_EQ(Watch(order, now, 6, 10 * kSecond), (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
}

// A list held sorted (as the word-list dictionary holds it) is taught in
// its file's order, by the ranks given; one seen already is passed over.
TEST(SpacedOrder, NewEntriesComeByTheirRankInTheFile) {
    std::vector<EntryState> states(6);
    states[4] = learner::AfterShowing({}, 0);
    SpacedOrder order(states, {2, 0, 1, 5, 3, 4}, 1);
    int64_t now = kSecond;
    EXPECT_EQ(Watch(order, now, 5, 10 * kSecond), (std::vector<int32_t>{1, 2, 0, 5, 3}));
}

TEST(SpacedOrder, AKnownEntryNeverReturns) {
    SpacedOrder order(std::vector<EntryState>(5), 7);
    int64_t now = 0;
    Watch(order, now, 3, 10 * kSecond);
    order.Marked(2, Mark::kKnown, now);
    // Hours apart, so that every other entry falls due again and again.
    for (int32_t index : Watch(order, now, 300, 6 * kHour)) ASSERT_NE(index, 2);
}

// Known is the word's: its other entries (another translation) go too.
TEST(SpacedOrder, AKnownMarkRetiresEveryEntryOfTheWord) {
    SpacedOrder order(std::vector<EntryState>(4), {}, 7, {"bank", "tree", "Bank ", "river"});
    int64_t now = 0;
    Watch(order, now, 1, 10 * kSecond);
    order.Marked(0, Mark::kKnown, now);
    for (int32_t index : Watch(order, now, 100, 6 * kHour)) ASSERT_TRUE(index == 1 || index == 3) << index;
}

TEST(SpacedOrder, EveryEntryKnownLeavesNothingToShow) {
    SpacedOrder order(std::vector<EntryState>(2), 1);
    order.Marked(0, Mark::kKnown, 0);
    order.Marked(1, Mark::kKnown, 0);
    EXPECT_FALSE(order.Next(kDay));
    EXPECT_FALSE(SpacedOrder({}, 1).Next(0));
}

TEST(SpacedOrder, AnAgainEntryReturnsWithinTenCaptions) {
    for (uint64_t seed = 0; seed < 50; ++seed) {
        SpacedOrder order(std::vector<EntryState>(40), seed);
        int64_t now = 0;
        Watch(order, now, 5, 10 * kSecond);
        order.Marked(4, Mark::kAgain, now);  // the caption on screen
        const std::vector<int32_t> after = Watch(order, now, 10, 10 * kSecond);
        EXPECT_NE(std::find(after.begin(), after.end(), 4), after.end()) << "seed " << seed;
        // Not at once: it returns after others, which go on in order.
        EXPECT_NE(after.front(), 4) << "seed " << seed;
    }
}

// Marked again while another caption is already up (the one just gone).
TEST(SpacedOrder, AMarkOnTheCaptionJustGoneCountsToo) {
    SpacedOrder order(std::vector<EntryState>(40), 3);
    int64_t now = 0;
    Watch(order, now, 5, 10 * kSecond);
    order.Marked(3, Mark::kAgain, now);
    const std::vector<int32_t> after = Watch(order, now, 10, 10 * kSecond);
    EXPECT_EQ(std::count(after.begin(), after.end(), 3), 1);
}

// An entry whose time has come goes before the new ones left.
TEST(SpacedOrder, ADueEntryComesBeforeNewOnes) {
    SpacedOrder order(std::vector<EntryState>(100), 5);
    int64_t now = 0;
    Watch(order, now, 1, kSecond);
    order.Marked(0, Mark::kAgain, now);
    Watch(order, now, 10, kSecond);  // its quick return
    now = order.state(0).dueMillis;
    EXPECT_EQ(order.Next(now), 0);
    EXPECT_NE(order.Next(now - kSecond), 0);
}

// Without a key, a list runs out of new entries long before any falls due:
// each entry then has its turn, the one shown longest ago first, never the
// same caption twice running.
TEST(SpacedOrder, WithoutKeysEveryEntryHasItsTurn) {
    SpacedOrder order(std::vector<EntryState>(30), 2);
    int64_t now = 0;
    const std::vector<int32_t> shown = Watch(order, now, 300, 20 * kSecond);
    for (int32_t entry = 0; entry < 30; ++entry) {
        const auto times = std::count(shown.begin(), shown.end(), entry);
        EXPECT_TRUE(times >= 7 && times <= 13) << "entry " << entry << " shown " << times << " times";
    }
    for (size_t i = 1; i < shown.size(); ++i) EXPECT_NE(shown[i], shown[i - 1]) << "caption " << i;
}

// The next run goes on where the last left off: by the stored last showing.
TEST(SpacedOrder, TheNextRunBeginsWithTheEntryShownLongestAgo) {
    std::vector<EntryState> states;
    for (int64_t shownAt : {3 * kHour, 1 * kHour, 2 * kHour}) {
        EntryState state = learner::Settled(learner::AfterShowing({}, shownAt));
        state.dueMillis = 10 * kDay;
        states.push_back(state);
    }
    SpacedOrder order(states, 1);
    int64_t now = 4 * kHour;
    EXPECT_EQ(Watch(order, now, 4, kSecond), (std::vector<int32_t>{1, 2, 0, 1}));
}

TEST(SpacedOrder, TheSameSeedAndClockGiveTheSameOrder) {
    auto watch = [](uint64_t seed) {
        SpacedOrder order(std::vector<EntryState>(100), seed);
        std::vector<int32_t> shown;
        int64_t now = 0;
        for (int caption = 0; caption < 400; ++caption, now += 37 * kSecond) {
            const int32_t next = *order.Next(now);
            order.Shown(next, now);
            shown.push_back(next);
            if (caption % 7 == 3) order.Marked(next, Mark::kAgain, now + kSecond);
            if (caption % 11 == 5) order.Marked(next, Mark::kKnown, now + kSecond);
        }
        return shown;
    };
    EXPECT_EQ(watch(42), watch(42));
}

}  // namespace

// The spaced order's choice of the next caption, which the element makes on
// its streaming thread once a caption: lists the size of the built-in
// dictionary (about 3,000 entries) and ten times that, half of them in
// review, some due. And its spread: how evenly a small list's entries are
// shown when the viewer presses no key.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "learner/spaced_order.h"

namespace {

constexpr int64_t kDay = 86'400'000;

void BM_NextAndShown(benchmark::State& state) {
    const auto size = static_cast<size_t>(state.range(0));
    std::vector<learner::EntryState> states(size);
    for (size_t i = 0; i < size / 2; ++i) {
        states[i] = learner::Settled(learner::AfterShowing({}, 0));
        states[i].dueMillis = static_cast<int64_t>(i % 7) * kDay;
    }
    learner::SpacedOrder order(std::move(states), 1);
    int64_t now = 3 * kDay;
    for (auto _ : state) {
        const std::optional<int32_t> next = order.Next(now);
        order.Shown(*next, now);
        now += 2000;
    }
}
BENCHMARK(BM_NextAndShown)->Arg(3000)->Arg(30000)->Unit(benchmark::kMicrosecond);

// 300 captions of a new 30-entry list, one every range(0) seconds, no key
// pressed: the fewest and most showings of an entry, and how many entries
// were shown at all. Even would be 10 each. Study mode starts a caption
// every 20 s; an hour apart lets entries fall due.
void BM_Spread(benchmark::State& state) {
    constexpr int kEntries = 30;
    constexpr int kCaptions = 300;
    const int64_t step = state.range(0) * 1000;
    std::vector<int> shown(kEntries);
    for (auto _ : state) {
        std::fill(shown.begin(), shown.end(), 0);
        learner::SpacedOrder order(std::vector<learner::EntryState>(kEntries), 1);
        int64_t now = 0;
        for (int caption = 0; caption < kCaptions; ++caption, now += step) {
            const std::optional<int32_t> next = order.Next(now);
            if (!next) break;
            order.Shown(*next, now);
            ++shown[static_cast<size_t>(*next)];
        }
    }
    const auto [fewest, most] = std::minmax_element(shown.begin(), shown.end());
    state.counters["fewest"] = *fewest;
    state.counters["most"] = *most;
    state.counters["entries_shown"] = static_cast<double>(
        std::count_if(shown.begin(), shown.end(), [](int n) { return n > 0; }));
    double squares = 0;
    for (int n : shown) squares += (n - 10.0) * (n - 10.0);
    state.counters["stddev"] = std::sqrt(squares / kEntries);
}
BENCHMARK(BM_Spread)->Arg(20)->Arg(3600)->Unit(benchmark::kMicrosecond);

}  // namespace

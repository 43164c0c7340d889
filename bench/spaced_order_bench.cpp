// The spaced order's choice of the next caption, which the element makes on
// its streaming thread once a caption: lists the size of the built-in
// dictionary (about 3,000 entries) and ten times that, half of them in
// review, some due.
#include <benchmark/benchmark.h>

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

}  // namespace

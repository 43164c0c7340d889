// The progress store: what a showing costs the thread that records it (a
// streaming thread: it must never wait for the disk), and how much the file
// grows per 10,000 showings.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "learner/progress_store.h"
#include "learner/sqlite_db.h"

namespace {

constexpr int kEntries = 1000;

// A temporary store, in a folder of its name, holding a registered list of kEntries entries.
class BenchStore {
public:
    explicit BenchStore(const std::string& name) {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("tpp-store-bench-" + name);
        std::filesystem::remove_all(folder);
        path_ = (folder / "progress.sqlite").string();
        std::string error;
        store_ = learner::ProgressStore::Open(path_, error);
        std::vector<learner::EntryText> entries;
        for (int i = 0; i < kEntries; ++i)
            entries.push_back({"word" + std::to_string(i * 7919 % 100003), "перевод" + std::to_string(i)});
        store_->RegisterList(list_, entries, error);
        for (const auto& entry : entries) keys_.push_back({list_, entry.word, entry.translation});
    }
    ~BenchStore() {
        store_.reset();
        std::filesystem::remove_all(std::filesystem::path(path_).parent_path());
    }

    learner::ProgressStore& store() { return *store_; }
    const learner::EntryKey& key(int64_t i) const { return keys_[static_cast<size_t>(i % kEntries)]; }
    // Events the file holds.
    int64_t Events() const {
        learner::Database db;
        std::string error;
        if (!db.Open(path_, error)) return -1;
        learner::Statement count(db, "SELECT count(*) FROM events");
        return count.Step() ? count.Int(0) : -1;
    }
    // The file alone: closing the last connection folds the log into it.
    int64_t ClosedSize() {
        store_.reset();
        return static_cast<int64_t>(std::filesystem::file_size(path_));
    }

private:
    std::string path_;
    std::string list_ = "/home/viewer/lists/english-russian.dic";
    std::unique_ptr<learner::ProgressStore> store_;
    std::vector<learner::EntryKey> keys_;
};

// The caller's cost of RecordShowing, the writer busy alongside; the queue
// is written out every 4,096 calls, outside the timing.
void BM_RecordShowing(benchmark::State& state) {
    BenchStore bench("calls");
    int64_t i = 0;
    for (auto _ : state) {
        bench.store().RecordShowing(bench.key(i), i);
        if (++i % 4096 == 0) {
            state.PauseTiming();
            bench.store().Flush();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordShowing);

// Each of 10,000 calls timed on its own, a showing every 50 us so that the
// writer's batches run among them: the slowest the caller ever waited.
// Beside it, the same timing around nothing (control_): what the machine's
// scheduler alone costs a thread on its shared cores.
void BM_RecordShowingWorst(benchmark::State& state) {
    BenchStore bench("worst");
    std::vector<double> calls;
    std::vector<double> control;
    auto timed = [](std::vector<double>& micros, auto&& body) {
        const auto start = std::chrono::steady_clock::now();
        body();
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        while (std::chrono::steady_clock::now() - end < std::chrono::microseconds(50)) {
        }
    };
    for (auto _ : state) {
        for (int64_t i = 0; i < 10000; ++i) {
            timed(calls, [&] { bench.store().RecordShowing(bench.key(i), i); });
            timed(control, [] {});
        }
        bench.store().Flush();
    }
    for (auto* micros : {&calls, &control}) {
        std::sort(micros->begin(), micros->end());
        const std::string prefix = micros == &control ? "control_" : "";
        state.counters[prefix + "p99_us"] = (*micros)[micros->size() * 99 / 100];
        state.counters[prefix + "p99.9_us"] = (*micros)[micros->size() * 999 / 1000];
        state.counters[prefix + "max_us"] = micros->back();
    }
}
BENCHMARK(BM_RecordShowingWorst)->Iterations(3)->Unit(benchmark::kMillisecond);

// 10,000 showings written: the time to write them, and what they add to
// the file over the registered list alone (bytes_per_10k).
void BM_StoreSizePer10kShowings(benchmark::State& state) {
    int64_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BenchStore empty("empty");
        const int64_t base = empty.ClosedSize();
        BenchStore bench("size");
        state.ResumeTiming();
        for (int64_t i = 0; i < 10000; ++i) bench.store().RecordShowing(bench.key(i * 31), 1'700'000'000'000 + i);
        bench.store().Flush();
        state.PauseTiming();
        added = bench.ClosedSize() - base;
        state.ResumeTiming();
    }
    state.counters["bytes_per_10k"] = static_cast<double>(added);
    state.counters["bytes_per_showing"] = static_cast<double>(added) / 10000;
}
BENCHMARK(BM_StoreSizePer10kShowings)->Iterations(3)->Unit(benchmark::kMillisecond);

// Showings at a steady rate for 4 s (captions a second: the argument),
// the backlog read each millisecond: how many waited for the writer at
// most (max_backlog), and that in time at the rate (max_lag_ms), the
// most a kill could take; refused, those over the queue's bound
// (ProgressStore::kQueueLimit). 25 and 60 are a caption a frame, far
// above any schedule; 1,000 and 50,000 a flood of keys.
void BM_WriterLag(benchmark::State& state) {
    const int64_t rate = state.range(0);
    BenchStore bench("lag");
    int64_t most = 0, sent = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        sent = 0;
        for (auto now = start; now - start < std::chrono::seconds(4); now = std::chrono::steady_clock::now()) {
            const int64_t due = std::chrono::duration_cast<std::chrono::microseconds>(now - start).count() * rate /
                                1'000'000;
            for (; sent < due; ++sent) bench.store().RecordShowing(bench.key(sent), sent);
            most = std::max(most, bench.store().backlog());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        bench.store().Flush();
    }
    state.counters["max_backlog"] = static_cast<double>(most);
    state.counters["max_lag_ms"] = static_cast<double>(most) * 1000.0 / static_cast<double>(rate);
    state.counters["refused"] = static_cast<double>(sent - bench.Events());
}
BENCHMARK(BM_WriterLag)->Arg(25)->Arg(60)->Arg(1000)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

#include "frontend/learner_link.h"

#include <chrono>
#include <random>

int64_t NowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

LearnerLink::LearnerLink(const std::string& path, std::string& error) {
    if (!path.empty()) store_ = learner::ProgressStore::Open(path, error);
}

std::optional<int32_t> LearnerLink::Next(const std::string& list,
                                         const std::function<std::vector<std::string>()>& captions,
                                         std::string& error) {
    if (!order_ || orderList_ != list) {
        std::vector<learner::EntryText> entries;
        for (const std::string& caption : captions()) entries.push_back(learner::SplitEntryLine(caption));
        std::optional<std::vector<learner::EntryState>> states;
        if (store_) states = store_->RegisterList(list, entries, error);
        if (!states) states.emplace(entries.size());
        order_.emplace(std::move(*states), std::random_device()());
        orderList_ = list;
    }
    return order_->Next(NowMillis());
}

void LearnerLink::Shown(const learner::EntryKey& entry, int32_t index) {
    const int64_t now = NowMillis();
    if (store_) store_->RecordShowing(entry, now);
    if (order_ && orderList_ == entry.list && index >= 0 && index < order_->size()) order_->Shown(index, now);
}

void LearnerLink::Marked(const std::string& list, int32_t index, learner::Mark mark) {
    if (order_ && orderList_ == list && index >= 0 && index < order_->size()) order_->Marked(index, mark, NowMillis());
}

std::string LearnerLink::Close() { return store_ ? store_->Close() : std::string(); }

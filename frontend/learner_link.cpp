#include "frontend/learner_link.h"

#include <chrono>
#include <random>

#include "dictionary/entry_separator.h"

int64_t NowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

LearnerLink::LearnerLink(const std::string& path, std::string& error) {
    if (!path.empty()) store_ = learner::ProgressStore::Open(path, error);
}

std::optional<int32_t> LearnerLink::Next(const std::string& list, const std::function<ListEntries()>& entries,
                                         std::string& error) {
    if (!order_ || orderList_ != list) {
        ListEntries listed = entries();
        std::vector<learner::EntryText> texts;
        std::vector<std::string> words;
        for (const std::string& caption : listed.captions) {
            const EntryParts parts = SplitEntry(caption);
            texts.push_back({std::string(parts.word), std::string(parts.translation)});
            words.push_back(texts.back().word);
        }
        std::optional<std::vector<learner::EntryState>> states;
        if (store_) states = store_->RegisterList(list, texts, error);
        if (!states) states.emplace(texts.size());
        order_.emplace(std::move(*states), std::move(listed.fileRanks), std::random_device()(), words);
        orderList_ = list;
    }
    return order_->Next(NowMillis());
}

std::vector<std::string> LearnerLink::KnownWords(std::string& error) {
    if (!store_) return {};
    return store_->KnownWords(error).value_or(std::vector<std::string>());
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

// The element's side of the learner's progress: the store that every
// showing and mark is recorded in, and the spaced order that chooses the
// captions when rules-type is spaced. One for each run of an element.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "learner/progress_store.h"
#include "learner/spaced_order.h"

// The wall clock in milliseconds since 1970, as the store keeps times.
int64_t NowMillis();

class LearnerLink {
public:
    // path empty: no store (the order then starts every run anew). A store
    // that cannot be opened leaves none, and error says why.
    LearnerLink(const std::string& path, std::string& error);

    // Shared with the thread the viewer's marks come on.
    std::shared_ptr<learner::ProgressStore> store() const { return store_; }

    // A list as the order meets it: its captions, "word - translation", in
    // its order, and each one's place in the list's own file (empty: that
    // order), for new entries to come in.
    struct ListEntries {
        std::vector<std::string> captions;
        std::vector<int32_t> fileRanks;
    };
    // The spaced order's next entry of the list (its entries asked for
    // when the list is new to the order); none when every entry is known.
    // error: the list could not be registered in the store (the order goes
    // on without its history).
    std::optional<int32_t> Next(const std::string& list, const std::function<ListEntries()>& entries,
                                std::string& error);
    // The words known in any list (as learner::WordKey makes them), sorted;
    // empty without a store. error: the store could not be read.
    std::vector<std::string> KnownWords(std::string& error);
    // A caption of the schedule's, and a mark, each at its time.
    void Shown(const learner::EntryKey& entry, int32_t index);
    void Marked(const std::string& list, int32_t index, learner::Mark mark);
    // Closes the store at the run's end: what the viewer should hear of
    // events that did not reach it, else empty.
    std::string Close();

private:
    std::shared_ptr<learner::ProgressStore> store_;
    std::string orderList_;
    std::optional<learner::SpacedOrder> order_;
};

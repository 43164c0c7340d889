// The dialog edits the alternative dictionary on its thread while the host
// asks for captions on its streaming thread. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

#include "dictionary/dictionary_store.h"

namespace {

TEST(DictionaryThreads, EditsAgainstNextCaption) {
    DictionaryStore store;
    // What the settings hold: where the walk stands.
    int32_t altIndex = 0;
    std::string captionText;
    std::set<std::string> known;
    for (int i = 0; i < 64; ++i) known.insert("word" + std::to_string(i) + " - translation");
    for (int i = 0; i < 8; ++i) store.AddAltEntry("word" + std::to_string(i) + " - translation");

    std::atomic<bool> done{false};
    std::thread dialog([&] {
        for (int round = 0; round < 3000; ++round) {
            const std::string text = "word" + std::to_string(round % 64) + " - translation";
            switch (round % 3) {
                case 0: store.AddAltEntry(text); break;
                case 1: store.ChangeAltEntry(round % 5, text); break;
                default: store.DeleteAltEntry(round % 7); break;
            }
        }
        done = true;
    });

    int captions = 0;
    bool allKnown = true;
    while (!done || captions < 1000) {
        const auto order = static_cast<WordOrder>(captions % 3);
        if (const auto next = store.NextCaption(kWordList, order, altIndex, captionText)) {
            altIndex = *next;
            allKnown = allKnown && known.count(captionText) == 1;
        }
        ++captions;
    }
    dialog.join();
    EXPECT_TRUE(allKnown);
    const int32_t count = store.altDictionary.count();
    if (count > 0) {
        EXPECT_EQ(store.altOrder.range, static_cast<uint32_t>(count));
        // An index left beyond the shorter list comes back inside it.
        const auto next = store.NextCaption(kWordList, kOrderAtoZ, count + 5, captionText);
        ASSERT_TRUE(next);
        EXPECT_LT(*next, count);
    }
}

}  // namespace

// The dialog edits the alternative dictionary on its thread while the host
// asks for captions on its streaming thread. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

#include "dictionary/dictionary_store.h"
#include "dictionary/next_caption.h"
#include "settings/settings_state.h"

namespace {

TEST(DictionaryThreads, EditsAgainstNextCaption) {
    workingSettings = SettingsRecord{};
    workingSettings.DicType = 1;
    workingSettings.RulesType = 2;
    {
        std::lock_guard lock(captionLock);
        altDictionary = AltDictionary{};
        altOrder = EntryOrder{};
    }
    std::set<std::string> known;
    for (int i = 0; i < 64; ++i) known.insert("word" + std::to_string(i) + " - translation");
    for (int i = 0; i < 8; ++i) AddAltEntry("word" + std::to_string(i) + " - translation");

    std::atomic<bool> done{false};
    std::thread dialog([&] {
        for (int round = 0; round < 3000; ++round) {
            const std::string text = "word" + std::to_string(round % 64) + " - translation";
            switch (round % 3) {
                case 0: AddAltEntry(text); break;
                case 1: ChangeAltEntry(round % 5, text); break;
                default: DeleteAltEntry(round % 7); break;
            }
        }
        done = true;
    });

    int captions = 0;
    bool allKnown = true;
    while (!done || captions < 1000) {
        {
            std::lock_guard lock(captionLock);
            workingSettings.RulesType = captions % 3;
        }
        const int32_t result = NextCaption();
        std::lock_guard lock(captionLock);
        if (result == 1) allKnown = allKnown && known.count(captionText) == 1;
        ++captions;
    }
    dialog.join();
    EXPECT_TRUE(allKnown);
    const int32_t count = altDictionary.count();
    if (count > 0) {
        EXPECT_EQ(altOrder.range, static_cast<uint32_t>(count));
    }
    EXPECT_LT(workingSettings.CurExtEntry, count);
}

}  // namespace

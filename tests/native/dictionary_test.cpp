#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <vector>

#include "dictionary/builtin_dictionary.h"
#include "dictionary/dictionary_store.h"
#include "dictionary/entry_order.h"
#include "dictionary/text_compare.h"
#include "platform/cp1251.h"
#include "settings/settings_record.h"
#include "tests/native/temp_folder.h"

namespace {

TEST(CompareNoCase, FoldsAsciiCyrillicAndYo) {
    EXPECT_EQ(CompareNoCase("ABC", "abc"), 0);
    EXPECT_EQ(CompareNoCase("АЯ", "ая"), 0);
    EXPECT_EQ(CompareNoCase("Ё", "ё"), 0);
    EXPECT_LT(CompareNoCase("a", "B"), 0);
    EXPECT_LT(CompareNoCase("Z", "а"), 0) << "Latin before Cyrillic";
    EXPECT_LT(CompareNoCase("ab", "abc"), 0) << "a prefix sorts first";
    EXPECT_LT(CompareNoCase("", "a"), 0);
    // Capitals are taken as small letters, so '[' (between the two ranges)
    // sorts before both.
    EXPECT_LT(CompareNoCase("[", "a"), 0);
    EXPECT_LT(CompareNoCase("[", "A"), 0);
    EXPECT_GT(CompareNoCase("й", "И"), 0);
}

std::vector<int32_t> Indices(EntryOrder& order, int n) {
    std::vector<int32_t> result;
    for (int i = 0; i < n; ++i) result.push_back(NextOrderIndex(order));
    return result;
}

TEST(EntryOrder, FiveEntriesFromAFreshLoad) {
    EntryOrder order;
    ASSERT_TRUE(ResetOrder(order, 4));
    EXPECT_EQ(order.taps, 0x5u);
    EXPECT_EQ(Indices(order, 10), (std::vector<int32_t>{4, 2, 3, 1, 0, 4, 2, 3, 1, 0}));
}

TEST(EntryOrder, OneEntryAndEmpty) {
    EntryOrder order;
    EXPECT_FALSE(ResetOrder(order, -1));
    EXPECT_EQ(order.range, 1u);
    ASSERT_TRUE(ResetOrder(order, 0));
    EXPECT_EQ(Indices(order, 3), (std::vector<int32_t>{0, 0, 0}));
}

TEST(EntryOrder, GrowingKeepsStateAndChangesTapsWithTheWidth) {
    EntryOrder order;
    ResetOrder(order, 3);
    NextOrderIndex(order);
    const uint32_t state = order.state;
    ResetOrder(order, 4);  // fifth line: k stays 3
    EXPECT_EQ(order.taps, 0x5u);
    EXPECT_EQ(order.state, state);
    ResetOrder(order, 7);  // range 8: k = 4
    EXPECT_EQ(order.taps, 0x9u);
    EXPECT_EQ(order.state, state);
    order.state = 7;
    ResetOrder(order, 2);  // a state above the new range starts over
    EXPECT_EQ(order.state, 1u);
}

// Resuming after any index gives what the walk from a fresh load gives
// right after it reached that index.
TEST(EntryOrder, ResumingAfterAnIndexContinuesTheSameWalk) {
    for (int32_t count : {5, 1000}) {
        EntryOrder walk;
        ResetOrder(walk, count - 1);
        const std::vector<int32_t> cycle = Indices(walk, count + 1);
        for (int32_t j = 0; j < count; ++j) {
            EntryOrder resumed;
            ResetOrder(resumed, count - 1);
            ResumeOrderAfter(resumed, cycle[j]);
            ASSERT_EQ(NextOrderIndex(resumed), cycle[j + 1]) << count << " after " << cycle[j];
        }
    }
    EntryOrder order;
    ResetOrder(order, 4);
    order.state = 6;
    for (int32_t outside : {-1, 5, -7}) ResumeOrderAfter(order, outside);
    EXPECT_EQ(order.state, 6u) << "an index outside the range changes nothing";
}

// Every tap mask must give a full cycle, or some entries would never show.
TEST(EntryOrder, EveryIndexOncePerCycle) {
    for (int32_t count : {2, 3, 7, 8, 100, 1000, 4097}) {
        EntryOrder order;
        ResetOrder(order, count - 1);
        std::set<int32_t> seen;
        for (int32_t i = 0; i < count; ++i) seen.insert(NextOrderIndex(order));
        EXPECT_EQ(static_cast<int32_t>(seen.size()), count) << count;
        EXPECT_EQ(*seen.rbegin(), count - 1);
    }
    for (int k = 1; k <= 20; ++k) {
        uint32_t state = 1, period = 0;
        do {
            state = (state & 1) ? (state >> 1) ^ orderTaps[k] : state >> 1;
            ++period;
        } while (state != 1 && period <= (1u << k));
        EXPECT_EQ(period, (1u << k) - 1) << "k " << k;
    }
}

TEST(AltDictionary, InsertKeepsCaseInsensitiveOrderAndDropsDuplicates) {
    AltDictionary dictionary;
    EXPECT_EQ(InsertAltEntry(dictionary, "b - y"), 0);
    EXPECT_EQ(InsertAltEntry(dictionary, "A - x"), 0);
    EXPECT_EQ(InsertAltEntry(dictionary, "a - X"), 0);
    EXPECT_EQ(dictionary.lines, (std::vector<std::string>{"A - x", "b - y"}));
    for (const char* text : {"d", "C", "e", "", "bb", "Б", "а"}) InsertAltEntry(dictionary, text);
    EXPECT_EQ(dictionary.lines, (std::vector<std::string>{"", "A - x", "b - y", "bb", "C", "d", "e", "а", "Б"}));
    EXPECT_EQ(InsertAltEntry(dictionary, "BB"), 3);
    EXPECT_EQ(dictionary.count(), 9);
    RemoveAltEntry(dictionary, 0);
    RemoveAltEntry(dictionary, 99);
    RemoveAltEntry(dictionary, -1);
    EXPECT_EQ(dictionary.lines.front(), "A - x");
    EXPECT_EQ(dictionary.count(), 8);
}

// Loading sorts the whole file at once; it must give exactly the list that
// inserting the lines one by one gives, the first of equal lines kept (and
// the lines that cannot be captions left out).
TEST(AltDictionary, LoadingEqualsInsertingLineByLine) {
    TempFolder dir;
    const char letters[] = {'a', 'B', 'c', '\xC0', '\xE0', '\xA8', '\xB8', ' ', '-'};  // Windows-1251
    uint32_t seed = 12345;
    std::string file;
    AltDictionary inserted;
    for (int i = 0; i < 3000; ++i) {
        std::string line;
        seed = seed * 1103515245u + 12345u;
        for (uint32_t n = (seed >> 16) % 4; n > 0; --n) {
            seed = seed * 1103515245u + 12345u;
            line += letters[(seed >> 16) % sizeof letters];
        }
        file += line + (i % 2 ? "\r\n" : "\n");
        if (CanBeCaption(line)) InsertAltEntry(inserted, DecodeCp1251(line));
    }
    WriteBytes(dir / "a.dic", file);
    AltDictionary loaded;
    ASSERT_TRUE(ReadAltDictionaryFile(dir / "a.dic", loaded));
    EXPECT_EQ(loaded.lines, inserted.lines);
    EXPECT_GT(loaded.count(), 100);
}

// The store with the settings it is given, as the plug-in keeps them.
class DictionaryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        workingSettings.DicType = 1;
        path_ = dir_ / "words.dic";
    }

    void LoadFile(const std::string& content) {
        WriteBytes(path_, content);
        workingSettings.DicFileName = path_;
        LoadAltDictionary();
    }

    std::vector<std::string> Captions(int n) {
        std::vector<std::string> result;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(NextCaption(), 1);
            result.push_back(captionText);
        }
        return result;
    }

    void FillBuiltin(const std::vector<std::pair<const char*, const char*>>& pairs) {
        BuiltinDictionary builtin;
        builtin.entries = std::make_unique<DictEntry[]>(pairs.size());
        for (size_t i = 0; i < pairs.size(); ++i) builtin.entries[i] = {pairs[i].first, pairs[i].second};
        builtin.count = static_cast<int32_t>(pairs.size());
        workingSettings.CurIntEntry = store.LoadBuiltinDictionary(
            std::make_shared<const BuiltinDictionary>(std::move(builtin)), workingSettings.CurIntEntry);
    }

    // The store's operations on what the working settings choose and name,
    // the indexes they return stored as the plug-in stores them: 0 when the
    // chosen dictionary is empty, else 1.
    int32_t NextCaption() {
        const auto source = static_cast<WordSource>(workingSettings.DicType);
        int32_t& index = source == kWordList ? workingSettings.CurExtEntry : workingSettings.CurIntEntry;
        const std::optional<int32_t> next = store.NextCaption(source, static_cast<WordOrder>(workingSettings.RulesType),
                                                              index, captionText);
        if (next) index = *next;
        return next ? 1 : 0;
    }
    void RearmBuiltinOrder() {
        workingSettings.CurIntEntry = store.LoadBuiltinDictionary(store.builtinDictionary, workingSettings.CurIntEntry);
    }
    void LoadAltDictionary() {
        workingSettings.CurExtEntry = store.LoadAltDictionary(workingSettings.DicFileName, workingSettings.CurExtEntry);
    }
    void SaveAltDictionary() { store.SaveAltDictionary(workingSettings.DicFileName); }
    bool AltDictionaryChanged() { return store.AltDictionaryChanged(); }
    std::vector<std::string> AltDictionaryLines() { return store.AltDictionaryLines(); }
    int32_t AddAltEntry(const std::string& text) { return store.AddAltEntry(text); }
    int32_t ChangeAltEntry(int32_t selected, const std::string& text) { return store.ChangeAltEntry(selected, text); }
    void DeleteAltEntry(int32_t index) {
        workingSettings.CurExtEntry = std::min(workingSettings.CurExtEntry, store.DeleteAltEntry(index) - 1);
    }

    TempFolder dir_;
    std::string path_;
    SettingsRecord workingSettings;
    std::string captionText;
    DictionaryStore store;
    bool& altDictChanged = store.altDictChanged;
    AltDictionary& altDictionary = store.altDictionary;
    EntryOrder& altOrder = store.altOrder;
};

TEST_F(DictionaryStoreTest, FileIsSortedDeduplicatedAndSavedWithCrLf) {
    LoadFile("b - y\r\nA - x\na - X\r\n");
    EXPECT_EQ(AltDictionaryLines(), (std::vector<std::string>{"A - x", "b - y"}));
    altDictChanged = true;
    SaveAltDictionary();
    EXPECT_FALSE(altDictChanged);
    EXPECT_EQ(ReadBytes(path_), "A - x\r\nb - y\r\n");
}

TEST_F(DictionaryStoreTest, LinesThatCannotBeCaptionsAreLeftOutAndCounted) {
    LoadFile("b\r\n\r\na\r\n \t\r\n - \r\n-\r\nc -\r\n - d\r\n \xE2\x80\x94 \r\n");
    EXPECT_EQ(AltDictionaryLines(), (std::vector<std::string>{" - d", "a", "b", "c -"}));
    EXPECT_EQ(store.LastAltDictionaryLoad().skippedLines, 5);
    EXPECT_EQ(store.LastAltDictionaryLoad().firstSkippedLine, 2);
    EXPECT_EQ(SkippedLinesMessage(store.LastAltDictionaryLoad()),
              "5 lines of the word list were left out (empty, or only a dash), the first is line 2");
    LoadFile("a\r\n");
    EXPECT_EQ(AltDictionaryLines(), (std::vector<std::string>{"a"})) << "a final line end adds no line";
    EXPECT_EQ(store.LastAltDictionaryLoad().skippedLines, 0);
    EXPECT_EQ(SkippedLinesMessage(store.LastAltDictionaryLoad()), "");
}

TEST_F(DictionaryStoreTest, MissingFileIsCreatedEmptyAndClampsTheIndex) {
    workingSettings.CurExtEntry = 5;
    workingSettings.DicFileName = path_;
    altDictChanged = true;
    LoadAltDictionary();
    EXPECT_TRUE(std::filesystem::exists(path_));
    EXPECT_EQ(altDictionary.count(), 0);
    EXPECT_EQ(workingSettings.CurExtEntry, -1);
    EXPECT_FALSE(altDictChanged);
    EXPECT_EQ(NextCaption(), 0);
    EXPECT_EQ(captionText, "");
}

TEST_F(DictionaryStoreTest, UnopenableFileLeavesTheListEmptyAndTheChangedFlag) {
    LoadFile("a\r\n");
    altDictChanged = true;
    workingSettings.DicFileName = dir_ / "no-folder/x.dic";
    LoadAltDictionary();
    EXPECT_EQ(altDictionary.count(), 0);
    EXPECT_TRUE(altDictChanged);
    workingSettings.DicFileName.clear();
    LoadAltDictionary();
    EXPECT_EQ(altDictionary.count(), 0);
    EXPECT_TRUE(altDictChanged);
}

TEST_F(DictionaryStoreTest, FailedSaveKeepsTheChangedFlagAndTheOldFile) {
    LoadFile("old\r\n");
    AddAltEntry("new");
    EXPECT_TRUE(altDictChanged);
    ASSERT_TRUE(RunWithFileSizeLimit(4, [this] {
        SaveAltDictionary();
        if (!AltDictionaryChanged()) _exit(1);  // the disk filled: still changed
    }));
    EXPECT_EQ(ReadBytes(path_), "old\r\n");
    workingSettings.DicFileName = dir_ / "no-folder/x.dic";
    SaveAltDictionary();
    EXPECT_TRUE(altDictChanged);
    workingSettings.DicFileName.clear();
    SaveAltDictionary();
    EXPECT_TRUE(altDictChanged);
}

TEST_F(DictionaryStoreTest, FileRemovedOrReplacedByAFolderBetweenLoadAndSave) {
    LoadFile("old\r\n");
    AddAltEntry("new");
    std::filesystem::remove(path_);
    SaveAltDictionary();
    EXPECT_FALSE(altDictChanged);
    EXPECT_EQ(ReadBytes(path_), "new\r\nold\r\n");

    AddAltEntry("newer");
    std::filesystem::remove(path_);
    std::filesystem::create_directory(path_);
    SaveAltDictionary();
    EXPECT_TRUE(altDictChanged);
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    LoadAltDictionary();
    EXPECT_EQ(altDictionary.count(), 0) << "a folder is no dictionary";
}

TEST_F(DictionaryStoreTest, StaleStoredIndexIsClampedAndTheWalkContinues) {
    workingSettings.CurExtEntry = 10;
    workingSettings.RulesType = 0;
    LoadFile("a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(workingSettings.CurExtEntry, 3);
    EXPECT_EQ(Captions(5), (std::vector<std::string>{"a", "b", "c", "d", "a"}));
    EXPECT_EQ(workingSettings.CurExtEntry, 0);
}

TEST_F(DictionaryStoreTest, IndexBelowMinusOneNeverReadsOutsideTheList) {
    workingSettings.CurExtEntry = -7;
    workingSettings.RulesType = 0;
    LoadFile("a\r\nb\r\n");
    EXPECT_EQ(workingSettings.CurExtEntry, -1);
    for (int32_t rules : {0, 1, 2, 9}) {
        workingSettings.RulesType = rules;
        workingSettings.CurExtEntry = -50;
        ASSERT_EQ(NextCaption(), 1);
        EXPECT_GE(workingSettings.CurExtEntry, 0) << rules;
        EXPECT_LT(workingSettings.CurExtEntry, 2) << rules;
        workingSettings.CurExtEntry = 50;
        ASSERT_EQ(NextCaption(), 1);
        EXPECT_LT(workingSettings.CurExtEntry, 2) << rules;
    }
}

TEST_F(DictionaryStoreTest, BuiltinWalksInEveryOrder) {
    FillBuiltin({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    workingSettings.DicType = 0;
    workingSettings.RulesType = 0;
    EXPECT_EQ(Captions(4), (std::vector<std::string>{"b - 2", "c - 3", "a - 1", "b - 2"}));
    workingSettings.CurIntEntry = 0;
    workingSettings.RulesType = 1;
    EXPECT_EQ(Captions(4), (std::vector<std::string>{"c - 3", "b - 2", "a - 1", "c - 3"}));
    workingSettings.RulesType = 7;  // unknown order: the index stays
    EXPECT_EQ(Captions(2), (std::vector<std::string>{"c - 3", "c - 3"}));
    EXPECT_EQ(workingSettings.CurExtEntry, 0) << "the other dictionary's index does not move";
}

TEST_F(DictionaryStoreTest, RandomOrderOfFiveEntries) {
    LoadFile("0\r\n1\r\n2\r\n3\r\n4\r\n");
    workingSettings.RulesType = 2;
    EXPECT_EQ(Captions(6), (std::vector<std::string>{"4", "2", "3", "1", "0", "4"}));
    EXPECT_EQ(workingSettings.CurExtEntry, 4);
}

// A run that stopped at a stored index goes on where the walk was, with
// either dictionary; the walk from state 1 over five entries is 4, 2, 3, 1, 0.
TEST_F(DictionaryStoreTest, RandomOrderGoesOnAfterTheStoredIndexAtLoad) {
    workingSettings.RulesType = 2;
    workingSettings.CurExtEntry = 3;
    LoadFile("0\r\n1\r\n2\r\n3\r\n4\r\n");
    EXPECT_EQ(Captions(3), (std::vector<std::string>{"1", "0", "4"}));
    workingSettings.DicType = 0;
    workingSettings.CurIntEntry = 2;
    FillBuiltin({{"a", "0"}, {"b", "1"}, {"c", "2"}, {"d", "3"}, {"e", "4"}});
    EXPECT_EQ(Captions(2), (std::vector<std::string>{"d - 3", "b - 1"}));
}

// An edit keeps the walk where it is, whatever the index says: from state 1
// over six entries it gives 4, 5 (from the index, 3, it would give 1, 0).
TEST_F(DictionaryStoreTest, EditsDoNotMoveTheRandomWalkToTheIndex) {
    LoadFile("0\r\n1\r\n2\r\n3\r\n4\r\n");
    workingSettings.RulesType = 0;
    Captions(3);  // the index is 3; the walk has not moved
    AddAltEntry("5");
    workingSettings.RulesType = 2;
    EXPECT_EQ(Captions(2), (std::vector<std::string>{"4", "5"}));
}

TEST_F(DictionaryStoreTest, EmptyOrUnknownDictionary) {
    workingSettings.DicType = 0;
    workingSettings.CurIntEntry = 3;
    RearmBuiltinOrder();
    EXPECT_EQ(workingSettings.CurIntEntry, -1);
    captionText = "old";
    EXPECT_EQ(NextCaption(), 0);
    EXPECT_EQ(captionText, "");
    workingSettings.DicType = 1;  // alternative empty, built-in full
    FillBuiltin({{"a", "1"}});
    EXPECT_EQ(NextCaption(), 0);
    workingSettings.DicType = 5;
    captionText = "kept";
    EXPECT_EQ(NextCaption(), 1);
    EXPECT_EQ(captionText, "kept");
}

TEST_F(DictionaryStoreTest, EditsKeepOrderIndexAndChangedFlag) {
    LoadFile("b\r\nc\r\nd\r\ne\r\n");
    EXPECT_FALSE(altDictChanged);
    EXPECT_EQ(AddAltEntry("B"), 0) << "a line differing only in case adds nothing";
    EXPECT_EQ(altDictionary.count(), 4);
    EXPECT_TRUE(altDictChanged);
    EXPECT_EQ(AddAltEntry("a"), 0);
    EXPECT_EQ(altOrder.range, 5u);
    EXPECT_EQ(ChangeAltEntry(0, "e"), 3) << "a change onto another line merges them";
    EXPECT_EQ(AltDictionaryLines(), (std::vector<std::string>{"b", "c", "d", "e"}));
    workingSettings.CurExtEntry = 3;
    DeleteAltEntry(3);
    EXPECT_EQ(workingSettings.CurExtEntry, 2);
    EXPECT_EQ(altOrder.range, 3u);
    for (int i = 0; i < 3; ++i) DeleteAltEntry(0);
    EXPECT_EQ(workingSettings.CurExtEntry, -1);
    EXPECT_EQ(NextCaption(), 0);
    EXPECT_EQ(ChangeAltEntry(-1, "z"), 0);
    LoadAltDictionary();
    EXPECT_FALSE(altDictChanged) << "a reload drops the edits";
    EXPECT_EQ(AltDictionaryLines(), (std::vector<std::string>{"b", "c", "d", "e"}));
}

}  // namespace

// The progress store across processes: what a killed process marked is
// there, two writing at once lose nothing, a newer file is refused, an
// older one is brought up to date with its history, reviews are kept apart
// from showings, known words hold across lists, and the spaced order
// starts where the last run left off.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "learner/progress_store.h"
#include "learner/spaced_order.h"
#include "learner/sqlite_db.h"
#include "learner/store_schema.h"
#include "learner/word_key.h"
#include "tests/learner/store_files.h"
#include "tests/native/temp_folder.h"

namespace {

using learner::EntryKey;
using learner::EntryState;
using learner::EntryText;
using learner::Mark;
using learner::Phase;
using learner::ProgressStore;

const std::vector<EntryText> kList = {{"cat", "кот"}, {"dog", "собака"}, {"house", "дом"}, {"tree", "дерево"}};
const std::string kListName = "/lists/animals.dic";

EntryKey Key(size_t index) { return {kListName, kList[index].word, kList[index].translation}; }

std::vector<EntryState> Register(ProgressStore& store) {
    std::string error;
    auto states = store.RegisterList(kListName, kList, error);
    EXPECT_TRUE(states) << error;
    return states.value_or(std::vector<EntryState>());
}

// A child marks an entry known and is killed 1.5 s later, without a chance
// to close the store.
TEST(ProgressStore, AMarkSurvivesAKillAfterOneAndAHalfSeconds) {
    TempFolder folder;
    const std::string path = folder / "store/progress.sqlite";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string error;
        auto store = ProgressStore::Open(path, error);
        if (!store) _exit(1);
        store->RecordShowing(Key(1), 1000);
        store->RecordMark(Key(1), Mark::kKnown, 2000);
        const char marked = 'm';
        if (write(ready[1], &marked, 1) != 1) _exit(1);
        for (;;) pause();
    }
    close(ready[1]);
    char marked = 0;
    ASSERT_EQ(read(ready[0], &marked, 1), 1);
    close(ready[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    auto store = OpenStore(path);
    ASSERT_TRUE(store);
    const std::vector<EntryState> states = Register(*store);
    ASSERT_EQ(states.size(), kList.size());
    EXPECT_EQ(states[1].phase, Phase::kKnown);
    EXPECT_EQ(states[1].showings, 1);
    EXPECT_EQ(Count(path, "SELECT count(*) FROM events"), 2);
}

// Two processes record showings of the same entries at once: every one is
// kept, in the events and in each entry's count.
TEST(ProgressStore, TwoProcessesWritingAtOnceLoseNothing) {
    TempFolder folder;
    const std::string path = folder / "progress.sqlite";
    constexpr int kShowings = 400;
    pid_t children[2];
    for (pid_t& child : children) {
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::string error;
            auto store = ProgressStore::Open(path, error);
            if (!store) _exit(1);
            for (int i = 0; i < kShowings; ++i) {
                store->RecordShowing(Key(static_cast<size_t>(i) % kList.size()), i);
                // Batches of both processes interleave.
                if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            _exit(store->Flush() ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Count(path, "SELECT count(*) FROM events WHERE kind = 0"), 2 * kShowings);
    EXPECT_EQ(Count(path, "SELECT sum(showings) FROM entries"), 2 * kShowings);
    EXPECT_EQ(Count(path, "SELECT count(*) FROM entries"), static_cast<int64_t>(kList.size()));
}

// Streaming threads of several elements record into one store while
// another registers the list and flushes: every showing is kept.
TEST(ProgressStore, ThreadsRecordingAtOnceLoseNothing) {
    TempFolder folder;
    const std::string path = folder / "progress.sqlite";
    constexpr int kThreads = 4;
    constexpr int kShowings = 300;
    {
        auto store = OpenStore(path);
        ASSERT_TRUE(store);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&store, t] {
                for (int i = 0; i < kShowings; ++i) store->RecordShowing(Key(static_cast<size_t>(t + i) % 4), i);
            });
        }
        for (int i = 0; i < 3; ++i) {
            Register(*store);
            store->Flush();
        }
        for (std::thread& thread : threads) thread.join();
    }
    EXPECT_EQ(Count(path, "SELECT count(*) FROM events WHERE kind = 0"), kThreads * kShowings);
    EXPECT_EQ(Count(path, "SELECT sum(showings) FROM entries"), kThreads * kShowings);
}

// Showings are kept as exposures; those that reached FSRS as passive
// reviews are kept beside them, at the time of the showing each was.
TEST(ProgressStore, KeepsTheReviewsApartFromTheShowings) {
    TempFolder folder;
    const std::string path = folder / "progress.sqlite";
    constexpr int64_t kDay = 86'400'000;
    {
        auto store = OpenStore(path);
        ASSERT_TRUE(store);
        for (const int64_t at : {int64_t{0}, int64_t{60'000}, 2 * kDay, 2 * kDay + 60'000})
            store->RecordShowing(Key(0), at);
    }
    // The first, settled by the second (too soon to count); the third, due.
    EXPECT_EQ(Count(path, "SELECT count(*) FROM events WHERE kind = 3"), 2);
    EXPECT_EQ(Count(path, "SELECT sum(at) FROM events WHERE kind = 3"), 2 * kDay);
}

TEST(ProgressStore, RefusesAFileItCannotKeep) {
    TempFolder folder;
    const std::string newer = folder / "newer.sqlite";
    OpenStore(newer).reset();
    {
        learner::Database db;
        std::string error;
        ASSERT_TRUE(db.Open(newer, error) && db.Execute("PRAGMA journal_mode = DELETE; PRAGMA user_version = " +
                                                            std::to_string(learner::kStoreSchemaVersion + 1),
                                                        error))
            << error;
    }
    const std::string before = ReadBytes(newer);
    std::string error;
    EXPECT_FALSE(ProgressStore::Open(newer, error));
    EXPECT_NE(error.find("newer"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(newer), before);

    const std::string other = folder / "other.sqlite";
    {
        learner::Database db;
        ASSERT_TRUE(db.Open(other, error) && db.Execute("CREATE TABLE notes (text)", error)) << error;
    }
    error.clear();
    EXPECT_FALSE(ProgressStore::Open(other, error));
    EXPECT_NE(error.find("not a progress store"), std::string::npos) << error;

    WriteBytes(folder / "text.sqlite", "word - translation\n");
    error.clear();
    EXPECT_FALSE(ProgressStore::Open(folder / "text.sqlite", error));
    EXPECT_NE(error.find("text.sqlite"), std::string::npos) << error;
}

// A run marks an entry known; the next run, on the store reopened, never
// shows it, and finds the list's entries as they were.
TEST(ProgressStore, AKnownEntryStaysAwayInTheNextRun) {
    TempFolder folder;
    const std::string path = folder / "progress.sqlite";
    int64_t now = 0;
    {
        auto store = OpenStore(path);
        learner::SpacedOrder order(Register(*store), 9);
        for (int caption = 0; caption < 3; ++caption, now += 5000) {
            const int32_t index = *order.Next(now);
            order.Shown(index, now);
            store->RecordShowing(Key(static_cast<size_t>(index)), now);
        }
        order.Marked(2, Mark::kKnown, now);
        store->RecordMark(Key(2), Mark::kKnown, now);
    }
    auto store = OpenStore(path);
    const std::vector<EntryState> states = Register(*store);
    ASSERT_EQ(states.size(), kList.size());
    EXPECT_EQ(states[0].showings, 1);
    EXPECT_EQ(states[3].phase, Phase::kNew);
    learner::SpacedOrder order(states, 9);
    for (int caption = 0; caption < 200; ++caption, now += 3'600'000) {
        const int32_t index = *order.Next(now);
        ASSERT_NE(index, 2) << "caption " << caption;
        order.Shown(index, now);
    }
}

// Known is the word's: marked in one list, it is known in another, case
// and blanks aside, in any script, until an again mark takes it back.
TEST(ProgressStore, AWordKnownInOneListIsKnownInEvery) {
    EXPECT_EQ(learner::WordKey(" Das \t Fenster\xC2\xA0"), "das fenster");  // ending in a no-break space
    EXPECT_EQ(learner::WordKey("ДОМ Ёлка ÄRGER ΣΟΦΊΑ"), "дом ёлка ärger σοφία");
    EXPECT_NE(learner::WordKey("\xC4\xCE"), learner::WordKey("\xC4\xCF"));  // not UTF-8, kept apart
    TempFolder folder;
    auto store = OpenStore(folder / "progress.sqlite");
    ASSERT_TRUE(store);
    Register(*store);
    store->RecordMark(Key(2), Mark::kKnown, 1000);
    const std::vector<EntryText> french = {{"tree", "arbre"}, {" House", "maison"}};
    std::string error;
    const auto states = store->RegisterList("/lists/french.dic", french, error);
    ASSERT_TRUE(states) << error;
    EXPECT_EQ((*states)[0].phase, Phase::kNew);
    EXPECT_EQ((*states)[1].phase, Phase::kKnown);
    EXPECT_EQ(store->KnownWords(error), std::vector<std::string>{"house"}) << error;

    store->RecordMark(Key(2), Mark::kAgain, 2000);
    EXPECT_EQ(store->KnownWords(error), std::vector<std::string>{}) << error;
}

// A store the schema-1 code left (five entries, four shown on a day, one
// marked again and one known, three shown two days later) keeps its history.
TEST(ProgressStore, AStoreOfSchemaOneKeepsItsHistory) {
    TempFolder folder;
    const std::string path = folder / "progress.sqlite";
    WriteBytes(path, ReadBytes(std::string(TPP_LEARNER_DATA) + "/progress-v1.sqlite"));
    constexpr int64_t kDayOne = 1'790'000'000'000;
    constexpr int64_t kDayThree = kDayOne + 2 * 86'400'000;
    auto store = OpenStore(path);
    ASSERT_TRUE(store);
    std::string error;
    const auto states = store->RegisterList(
        "/lists/deutsch.dic",
        {{"arbeiten", "работать"}, {"das Fenster", "окно"}, {"Haus", "дом"}, {"der Tisch", "стол"}, {"gehen", "идти"}},
        error);
    ASSERT_TRUE(states) << error;
    EXPECT_EQ(Count(path, "PRAGMA user_version"), learner::kStoreSchemaVersion);
    EXPECT_EQ(Count(path, "SELECT count(*) FROM events"), 10);

    EXPECT_EQ((*states)[0].showings, 2);
    EXPECT_EQ((*states)[0].lastShownMillis, kDayThree);
    EXPECT_EQ((*states)[0].lastPassiveMillis, kDayOne);  // its first showing, settled by the second
    EXPECT_EQ((*states)[1].againMarks, 1);
    EXPECT_EQ((*states)[1].lastPassiveMillis, 0);  // its last review was the mark
    EXPECT_EQ((*states)[2].phase, Phase::kKnown);
}

}  // namespace

// The progress store against what another program and the disk do to it:
// a second process holding SQLite's write lock at stop and at start, a
// full disk, a side file a kill cut short. Nothing recorded may go without
// either reaching the store or being told.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "learner/progress_store.h"
#include "learner/side_file.h"
#include "learner/sqlite_db.h"
#include "learner/store_schema.h"
#include "tests/learner/lock_holder.h"
#include "tests/learner/store_files.h"
#include "tests/native/temp_folder.h"

namespace {

using learner::EntryKey;
using learner::ProgressStore;

const std::string kList = "/lists/animals.dic";
// Showings and marks are the events of kinds 0 to 2; a showing that
// settles a passive review adds one of kind 3 beside it.

EntryKey Key(int i) { return {kList, "word" + std::to_string(i % 7), "слово"}; }

// The number a notice starts its count with ("150 showings and marks ...").
int64_t CountIn(const std::string& notice, const std::string& after) {
    const size_t at = notice.find(after);
    return at == std::string::npos ? 0 : std::atoll(notice.c_str() + at + after.size());
}

// The lock is held from outside while a run stops: the close gives up
// after the busy timeout, keeps every showing in the side file and says
// so; the queue's bound turns the rest away, counted. Once the lock is
// gone, the next open holds every showing kept.
TEST(StoreFaults, LockHeldAtStopKeepsEveryShowingAsideAndTellsOfIt) {
    TempFolder folder;
    const std::string path = folder / "progress.sqlite";
    OpenStore(path).reset();
    LockHolder lock(path);
    ASSERT_TRUE(lock.held());
    constexpr int kOver = 25;
    std::string notice;
    {
        auto store = OpenStore(path);
        for (int i = 0; i < ProgressStore::kQueueLimit + kOver; ++i) store->RecordShowing(Key(i), 1000 + i);
        notice = store->Close();
    }
    const std::string side = learner::SideFilePath(path);
    EXPECT_NE(notice.find(std::to_string(ProgressStore::kQueueLimit) + " showings and marks could not be written"),
              std::string::npos)
        << notice;
    EXPECT_NE(notice.find(side), std::string::npos) << notice;
    EXPECT_EQ(CountIn(notice, "\": "), ProgressStore::kQueueLimit);
    EXPECT_NE(notice.find(std::to_string(kOver) + " showings and marks were not recorded"), std::string::npos)
        << notice;
    EXPECT_TRUE(std::filesystem::exists(side));

    lock.Release();
    auto store = OpenStore(path);
    store->RecordShowing(Key(0), 999'999);
    ASSERT_TRUE(store->Flush());
    EXPECT_EQ(Count(path, "SELECT count(*) FROM events WHERE kind IN (0, 1, 2)"), ProgressStore::kQueueLimit + 1);
    EXPECT_EQ(Count(path, "SELECT sum(showings) FROM entries"), ProgressStore::kQueueLimit + 1);
    EXPECT_EQ(Count(path, "SELECT max(at) FROM events"), 999'999);
    EXPECT_FALSE(std::filesystem::exists(side));
}

// A new file another process has locked: the store opens at once, its
// showings wait in the queue, and they are written once the lock goes.
// A current file locked for writing is opened without waiting at all.
TEST(StoreFaults, LockHeldAtStartDelaysTheWritesOnly) {
    TempFolder folder;
    for (const bool existing : {false, true}) {
        const std::string path = folder / (existing ? "current.sqlite" : "new.sqlite");
        if (existing) OpenStore(path).reset();
        LockHolder lock(path);
        ASSERT_TRUE(lock.held());
        auto store = OpenStore(path);
        ASSERT_TRUE(store);
        for (int i = 0; i < 40; ++i) store->RecordShowing(Key(i), i);
        std::string error;
        EXPECT_FALSE(store->RegisterList(kList, {{"word0", "слово"}}, error));
        lock.Release();
        ASSERT_TRUE(store->Flush(&error)) << error;
        EXPECT_EQ(store->Close(), "");
        EXPECT_EQ(Count(path, "SELECT count(*) FROM events WHERE kind IN (0, 1, 2)"), 40) << path;
    }
}

// What the disk takes is written, in smaller transactions once a large
// one fails; what it cannot take is kept aside or said lost, never lost
// in silence. On a real full disk: a small tmpfs.
TEST(StoreFaults, FullDiskWritesWhatFitsAndTellsOfTheRest) {
    TempFolder folder;
    const std::string disk = folder / "disk";
    std::filesystem::create_directory(disk);
    if (mount("tpp-store-test", disk.c_str(), "tmpfs", 0, "size=512k") != 0) GTEST_SKIP() << "cannot mount here";
    struct Unmount {
        std::string disk;
        ~Unmount() { umount(disk.c_str()); }
    } unmount{disk};
    const std::string path = disk + "/progress.sqlite";
    constexpr int kShowings = 3000;
    std::string notice;
    {
        auto store = OpenStore(path);
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->Flush());
        FILE* filler = std::fopen((disk + "/filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        const std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
        }
        std::fclose(filler);
        // A little room: a part of the showings fits.
        std::filesystem::resize_file(disk + "/filler", std::filesystem::file_size(disk + "/filler") - 48 * 1024);
        for (int i = 0; i < kShowings; ++i) store->RecordShowing(Key(i), i);
        notice = store->Close();
    }
    std::filesystem::remove(disk + "/filler");
    const int64_t lost = CountIn(notice, "\": ");
    auto store = OpenStore(path);
    ASSERT_TRUE(store->Flush());
    const int64_t kept = Count(path, "SELECT count(*) FROM events WHERE kind IN (0, 1, 2)");
    EXPECT_EQ(kept + (notice.find("are lost") != std::string::npos ? lost : 0), kShowings) << notice;
    if (kept < kShowings) {
        EXPECT_FALSE(notice.empty());
    }
}

// A side file a killed process left mid-line, with lines added after it:
// every whole line is written, the cut one left out, the file removed; a
// file that is not one of ours is left as it is.
TEST(StoreFaults, SideFileCutShortKeepsItsWholeLines) {
    TempFolder folder;
    const std::string path = folder / "progress.sqlite";
    const std::string side = learner::SideFilePath(path);
    std::string error;
    ASSERT_TRUE(learner::AppendSideFile(side, {{Key(1), learner::EventKind::kShown, 10}}, error)) << error;
    {
        std::ofstream cut(side, std::ios::app | std::ios::binary);
        cut << "0\t11\t/lists/animals.dic\twor";
    }
    const EntryKey odd{kList, "tab\there\\", "line\nbreak"};
    ASSERT_TRUE(learner::AppendSideFile(side, {{odd, learner::EventKind::kAgain, 12}}, error)) << error;
    OpenStore(path).reset();
    EXPECT_FALSE(std::filesystem::exists(side));
    EXPECT_EQ(Count(path, "SELECT count(*) FROM events WHERE kind IN (0, 1, 2)"), 2);
    EXPECT_EQ(Count(path, "SELECT again_marks FROM entries WHERE word = 'tab\there\\' AND translation = 'line\nbreak'"),
              1);

    WriteBytes(side, "not ours\n");
    OpenStore(path).reset();
    EXPECT_EQ(ReadBytes(side), "not ours\n");
}

// A process killed (SIGKILL) while it adds to the side file, at whatever
// byte it had reached; another adds after it: the next open writes every
// whole line, the later batch entire, and each entry's count matches its
// events.
TEST(StoreFaults, KillWhileWritingTheSideFileLosesOnlyTheLineCut) {
    TempFolder folder;
    const std::string path = folder / "progress.sqlite";
    const std::string side = learner::SideFilePath(path);
    OpenStore(path).reset();
    std::vector<learner::Event> batch;
    for (int i = 0; i < 500; ++i) batch.push_back({Key(i), learner::EventKind::kShown, i});
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string error;
        for (;;) learner::AppendSideFile(side, batch, error);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(child, SIGKILL);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    std::vector<learner::Event> last;
    for (int i = 0; i < 100; ++i) last.push_back({Key(i), learner::EventKind::kShown, 1'000'000 + i});
    std::string error;
    ASSERT_TRUE(learner::AppendSideFile(side, last, error)) << error;

    OpenStore(path).reset();
    EXPECT_FALSE(std::filesystem::exists(side));
    EXPECT_EQ(Count(path, "SELECT count(*) FROM events WHERE kind IN (0, 1, 2) AND at >= 1000000"), 100);
    EXPECT_GE(Count(path, "SELECT count(*) FROM events WHERE kind IN (0, 1, 2)"), 100);
    EXPECT_EQ(Count(path, "SELECT count(*) FROM events WHERE kind IN (0, 1, 2)"),
              Count(path, "SELECT sum(showings) FROM entries"));
}

}  // namespace

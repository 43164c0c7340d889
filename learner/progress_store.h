// The learner's memory: a SQLite file of the word lists and their entries,
// every showing and mark with its time, and each entry's scheduling state.
// Showings and marks are queued without a lock and written by a thread of
// the store's own, a batch each tenth of a second, so that the caller (a
// streaming thread) never waits for the disk nor for the writer, and a
// process killed outright loses at most its last fraction of a second.
// Several stores, in one process or several, may share a file: each write
// is one transaction, and a writer waits a few seconds for another.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "learner/entry.h"
#include "learner/entry_table.h"
#include "learner/event_queue.h"
#include "learner/sqlite_db.h"

namespace learner {

class ProgressStore {
public:
    // Opens or creates the store at path (and its folders); nothing, with
    // error saying why, when it cannot be opened, was written by a newer
    // schema or is not a progress store.
    static std::unique_ptr<ProgressStore> Open(const std::string& path, std::string& error);
    // Writes what is still queued.
    ~ProgressStore();
    ProgressStore(const ProgressStore&) = delete;
    ProgressStore& operator=(const ProgressStore&) = delete;

    // Queued; any thread may call them.
    void RecordShowing(const EntryKey& entry, int64_t unixMillis);
    void RecordMark(const EntryKey& entry, Mark mark, int64_t unixMillis);

    // Registers the list (its absolute path, or kBuiltinList) as it stands
    // now, its entries in its order (an entry it no longer holds keeps its
    // history), and returns the state of each entry, in that order, after
    // all that was queued before. Waits for the disk; for the start of a
    // run. Nothing, with error, on a database error.
    std::optional<std::vector<EntryState>> RegisterList(const std::string& list, const std::vector<EntryText>& entries,
                                                        std::string& error);

    // The words known in any list, each as its WordKey (learner/word_key.h),
    // sorted, without repeats, after all that was queued before: a word
    // marked known in one list is known in every list and every order, so
    // that a front end leaves out each entry whose WordKey(word) is among
    // them. (RegisterList's states count such entries known already.)
    // Waits for the disk; for the start of a run. Nothing, with error, on a
    // database error.
    std::optional<std::vector<std::string>> KnownWords(std::string& error);

    // Waits until everything queued before it is written: true, or false
    // when a write failed (it is kept queued and tried again), with error.
    bool Flush(std::string* error = nullptr);

private:
    explicit ProgressStore(std::unique_ptr<Database> db);
    void WriteLoop();
    bool WriteBatch(const std::vector<Event>& batch, std::string& error);

    std::unique_ptr<Database> db_;
    std::mutex dbLock_;  // the connection: the writer's batches, RegisterList
    EntryTable table_;   // guarded by dbLock_

    EventQueue queue_;
    std::atomic<uint64_t> queuedCount_{0};

    std::mutex stateLock_;  // what follows: the writer's progress, and its orders
    std::condition_variable wake_;
    std::condition_variable written_;
    uint64_t writtenCount_ = 0;
    uint64_t failedWrites_ = 0;
    std::string writeError_;
    bool flushWanted_ = false;
    bool stopping_ = false;
    std::thread writer_;
};

}  // namespace learner

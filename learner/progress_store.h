// The learner's memory: a SQLite file of the word lists and their entries,
// every showing and mark with its time, and each entry's scheduling state.
// Showings and marks are queued without a lock and written by a thread of
// the store's own, a batch each tenth of a second, so that the caller (a
// streaming thread) never waits for the disk nor for the writer, and a
// process killed outright loses at most its last fraction of a second.
// Several stores, in one process or several, may share a file: each write
// is one transaction, and a writer waits a few seconds for another. A file
// another program keeps locked, or a full disk, only delays the writes:
// the writer tries again while the run goes on, and what it still cannot
// write at the close waits in the side file (learner/side_file.h).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
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
    // schema or is not a progress store. A file another program holds
    // locked is opened all the same: its events wait in the queue. What an
    // earlier run kept in the side file is written in first.
    static std::unique_ptr<ProgressStore> Open(const std::string& path, std::string& error);
    // Closes, when Close was not called.
    ~ProgressStore();
    ProgressStore(const ProgressStore&) = delete;
    ProgressStore& operator=(const ProgressStore&) = delete;

    // At most this many events wait for the writer; later ones are counted
    // and told at the close.
    static constexpr int64_t kQueueLimit = 10000;

    // Queued; any thread may call them.
    void RecordShowing(const EntryKey& entry, int64_t unixMillis);
    void RecordMark(const EntryKey& entry, Mark mark, int64_t unixMillis);

    // Registers the list (its absolute path, or kBuiltinList) as it stands
    // now, its entries in its order (an entry it no longer holds keeps its
    // history), and returns the state of each entry, in that order, after
    // all that was queued before. Waits for the disk; for the start of a
    // run. Nothing, with error, on a database error, and at once (after a
    // fifth of a second at most) while another program holds the file:
    // the caller is a streaming thread.
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

    // Ends the writer. What is queued is written, waiting for a locked file
    // at most the busy timeout from now; what still cannot be written is
    // kept in the side file, for the next open. A sentence for the viewer
    // when anything of the run did not reach the store (kept aside, or
    // lost), else empty. Events recorded after it are written (or kept
    // aside) when the store goes.
    std::string Close();

    // Events waiting for the writer: a measure of how far behind it is.
    int64_t backlog() const { return backlog_.load(std::memory_order_relaxed); }

private:
    ProgressStore(std::string path, std::unique_ptr<Database> db, bool ready);
    void Record(Event event);
    // Before a read: everything queued is written; false, with error, at
    // once while the writer cannot write (a lock another program holds, a
    // full disk), so that a streaming thread does not wait on it.
    bool CaughtUp(std::string& error);
    void WriteLoop();
    // One round of the writer: the file made ready, the side file taken,
    // then the queued events in transactions; false, with error, when
    // something stays to write.
    bool WriteRound(std::string& error, size_t& written);
    bool ReplaySideFile(std::string& error);
    bool WriteBatch(size_t count, std::string& error, bool& busy);
    // What Close and the destructor leave: written, or kept aside.
    std::string Finish();
    static int OnBusy(void* self, int tries);

    const std::string path_;
    std::unique_ptr<Database> db_;
    std::mutex dbLock_;                // the connection: the writer's batches, RegisterList
    std::optional<EntryTable> table_;  // guarded by dbLock_; made once the file is ready
    std::atomic<bool> ready_;
    bool sideFileWanted_ = true;  // the writer's
    // The events taken from the queue and not yet written, oldest first,
    // and how many go in one transaction (halved after a failure other
    // than a lock: a full disk may take a smaller one). The writer's, then
    // Close's.
    std::deque<Event> pending_;
    size_t batchLimit_;
    std::chrono::steady_clock::time_point busySince_;  // the busy handler's, under dbLock_

    EventQueue queue_;
    std::atomic<uint64_t> queuedCount_{0};
    std::atomic<int64_t> backlog_{0};
    std::atomic<uint64_t> refused_{0};  // over kQueueLimit
    // A close waits for a lock only until then (the busy handler's).
    std::atomic<int64_t> closeDeadlineNanos_{INT64_MAX};

    std::mutex stateLock_;  // what follows: the writer's progress, and its orders
    std::condition_variable wake_;
    std::condition_variable written_;
    uint64_t writtenCount_ = 0;
    uint64_t failedWrites_ = 0;
    std::string writeError_;
    bool flushWanted_ = false;
    bool writerFailing_ = false;  // the writer's last round failed
    bool stopping_ = false;
    bool closed_ = false;
    std::thread writer_;
};

}  // namespace learner

#include "learner/progress_store.h"

#include <chrono>
#include <utility>

#include "learner/store_schema.h"

namespace learner {

namespace {

// A burst of events goes into one transaction: the writer gathers for this
// long after the first, well inside the second a crash may lose.
constexpr std::chrono::milliseconds kGatherTime{100};
// After a failed write (the file locked past the busy timeout, a full
// disk), the batch is tried again after this long.
constexpr std::chrono::milliseconds kRetryDelay{1000};
// Tries at closing before what is queued is given up.
constexpr int kWritesAtClose = 3;

}  // namespace

std::unique_ptr<ProgressStore> ProgressStore::Open(const std::string& path, std::string& error) {
    auto db = std::make_unique<Database>();
    if (!OpenStoreDatabase(path, *db, error)) return nullptr;
    return std::unique_ptr<ProgressStore>(new ProgressStore(std::move(db)));
}

ProgressStore::ProgressStore(std::unique_ptr<Database> db)
    : db_(std::move(db)), table_(*db_), writer_(&ProgressStore::WriteLoop, this) {}

ProgressStore::~ProgressStore() {
    {
        std::lock_guard lock(queueLock_);
        stopping_ = true;
    }
    wake_.notify_all();
    writer_.join();
}

void ProgressStore::RecordShowing(const EntryKey& entry, int64_t unixMillis) {
    Enqueue({entry, EventKind::kShown, unixMillis});
}

void ProgressStore::RecordMark(const EntryKey& entry, Mark mark, int64_t unixMillis) {
    Enqueue({entry, mark == Mark::kKnown ? EventKind::kKnown : EventKind::kAgain, unixMillis});
}

void ProgressStore::Enqueue(Event event) {
    bool first;
    {
        std::lock_guard lock(queueLock_);
        first = queue_.empty();
        queue_.push_back(std::move(event));
        ++queuedCount_;
    }
    // The writer waits for the first event of a batch only; waking it for
    // each would have it take the lock again and again while it gathers.
    if (first) wake_.notify_one();
}

bool ProgressStore::Flush(std::string* error) {
    std::unique_lock lock(queueLock_);
    const uint64_t target = queuedCount_;
    const uint64_t failures = failedWrites_;
    flushWanted_ = true;
    wake_.notify_one();
    written_.wait(lock, [&] { return writtenCount_ >= target || failedWrites_ != failures; });
    if (writtenCount_ >= target) return true;
    if (error) *error = writeError_;
    return false;
}

std::optional<std::vector<EntryState>> ProgressStore::RegisterList(const std::string& list,
                                                                   const std::vector<EntryText>& entries,
                                                                   std::string& error) {
    if (!Flush(&error)) return std::nullopt;
    std::lock_guard lock(dbLock_);
    if (!db_->Execute("BEGIN IMMEDIATE", error)) return std::nullopt;
    std::optional<std::vector<EntryState>> states = table_.Register(list, entries);
    if (states && db_->Execute("COMMIT", error)) return states;
    if (!states) error = db_->LastError();
    std::string ignored;
    db_->Execute("ROLLBACK", ignored);
    return std::nullopt;
}

bool ProgressStore::WriteBatch(const std::vector<Event>& batch, std::string& error) {
    std::lock_guard lock(dbLock_);
    if (!db_->Execute("BEGIN IMMEDIATE", error)) return false;
    for (const Event& event : batch) {
        if (!table_.Apply(event)) {
            error = db_->LastError();
            std::string ignored;
            db_->Execute("ROLLBACK", ignored);
            return false;
        }
    }
    return db_->Execute("COMMIT", error);
}

void ProgressStore::WriteLoop() {
    std::unique_lock lock(queueLock_);
    int failuresAtClose = 0;
    // Swapped with the queue, so each keeps the other's room: a recording
    // caller seldom waits for the queue to grow.
    std::vector<Event> batch;
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (queue_.empty() || failuresAtClose >= kWritesAtClose) return;
        wake_.wait_for(lock, kGatherTime, [&] { return stopping_ || flushWanted_; });
        flushWanted_ = false;
        batch.swap(queue_);
        lock.unlock();
        std::string error;
        const bool written = WriteBatch(batch, error);
        const size_t count = batch.size();
        // Freed before the lock is taken, which recording callers wait for.
        if (written) batch.clear();
        lock.lock();
        if (written) {
            writtenCount_ += count;
        } else {
            // Nothing is dropped: the batch goes back before what came since.
            batch.insert(batch.end(), std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.end()));
            queue_.clear();
            batch.swap(queue_);
            writeError_ = error;
            ++failedWrites_;
            if (stopping_) ++failuresAtClose;
        }
        written_.notify_all();
        if (!written && !stopping_) wake_.wait_for(lock, kRetryDelay, [&] { return stopping_; });
    }
}

}  // namespace learner

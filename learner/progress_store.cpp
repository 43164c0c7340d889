#include "learner/progress_store.h"

#include <chrono>
#include <utility>

#include "learner/store_schema.h"

namespace learner {

namespace {

// The writer takes what was queued this often: one transaction for a burst,
// well inside the second a crash may lose.
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
        std::lock_guard lock(stateLock_);
        stopping_ = true;
    }
    wake_.notify_all();
    writer_.join();
}

void ProgressStore::RecordShowing(const EntryKey& entry, int64_t unixMillis) {
    queue_.Push({entry, EventKind::kShown, unixMillis});
    queuedCount_.fetch_add(1, std::memory_order_release);
}

void ProgressStore::RecordMark(const EntryKey& entry, Mark mark, int64_t unixMillis) {
    queue_.Push({entry, mark == Mark::kKnown ? EventKind::kKnown : EventKind::kAgain, unixMillis});
    queuedCount_.fetch_add(1, std::memory_order_release);
}

bool ProgressStore::Flush(std::string* error) {
    const uint64_t target = queuedCount_.load(std::memory_order_acquire);
    std::unique_lock lock(stateLock_);
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

std::optional<std::vector<std::string>> ProgressStore::KnownWords(std::string& error) {
    if (!Flush(&error)) return std::nullopt;
    std::lock_guard lock(dbLock_);
    return KnownWordKeys(*db_, error);
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

// Every tenth of a second, or at once for a flush or the end, whatever was
// queued is written in one transaction; a batch that fails stays, and what
// comes later joins it.
void ProgressStore::WriteLoop() {
    std::vector<Event> batch;
    int failuresAtClose = 0;
    std::unique_lock lock(stateLock_);
    for (;;) {
        wake_.wait_for(lock, batch.empty() ? kGatherTime : kRetryDelay, [&] { return stopping_ || flushWanted_; });
        flushWanted_ = false;
        const bool stopping = stopping_;
        lock.unlock();
        std::vector<Event> taken = queue_.TakeAll();
        batch.insert(batch.end(), std::make_move_iterator(taken.begin()), std::make_move_iterator(taken.end()));
        std::string error;
        const bool written = batch.empty() || WriteBatch(batch, error);
        const size_t count = batch.size();
        if (written) batch.clear();
        lock.lock();
        if (written) {
            writtenCount_ += count;
        } else {
            writeError_ = error;
            ++failedWrites_;
            if (stopping) ++failuresAtClose;
        }
        written_.notify_all();
        if (stopping && (written || failuresAtClose >= kWritesAtClose)) return;
    }
}

}  // namespace learner

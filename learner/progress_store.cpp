#include "learner/progress_store.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "learner/side_file.h"
#include "learner/store_schema.h"

namespace learner {

namespace {

using Clock = std::chrono::steady_clock;

// The writer takes what was queued this often: one transaction for a burst,
// well inside the second a crash may lose.
constexpr std::chrono::milliseconds kGatherTime{100};
// After a failed write (the file locked past the busy timeout, a full
// disk), the writer tries again after this long.
constexpr std::chrono::milliseconds kRetryDelay{1000};
// Opening waits this long for a file another holds while it has to be made
// ready; then the run goes on and the writer keeps trying.
constexpr std::chrono::milliseconds kOpenWait{200};
// Events in one transaction at most: a batch that grew while the file was
// locked is written in parts, which a nearly full disk can take.
constexpr size_t kBatchLimit = 1000;
// How long registering a list waits for another's lock: it holds up the
// first caption of a spaced run.
constexpr std::chrono::milliseconds kRegisterWait{200};

// Set while the thread registers a list: the busy handler waits less.
thread_local bool registering = false;

int64_t NanosOf(Clock::time_point at) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}

std::string Events(uint64_t count) {
    return std::to_string(count) + (count == 1 ? " showing or mark" : " showings and marks");
}

}  // namespace

std::unique_ptr<ProgressStore> ProgressStore::Open(const std::string& path, std::string& error) {
    auto db = std::make_unique<Database>();
    const StoreOpening opening = OpenStoreDatabase(path, *db, error, kOpenWait);
    if (opening == StoreOpening::kFailed) return nullptr;
    error.clear();
    return std::unique_ptr<ProgressStore>(new ProgressStore(path, std::move(db), opening == StoreOpening::kReady));
}

ProgressStore::ProgressStore(std::string path, std::unique_ptr<Database> db, bool ready)
    : path_(std::move(path)), db_(std::move(db)), ready_(ready), batchLimit_(kBatchLimit) {
    if (ready) {
        table_.emplace(*db_);
        // What an earlier run kept aside is in the store when Open returns,
        // unless another holds the file now (the busy timeout is still the
        // opening's): then the writer takes it.
        std::string ignored;
        ReplaySideFile(ignored);
    }
    sqlite3_busy_handler(db_->handle(), &ProgressStore::OnBusy, this);
    writer_ = std::thread(&ProgressStore::WriteLoop, this);
}

ProgressStore::~ProgressStore() {
    bool closed = false;
    {
        std::lock_guard lock(stateLock_);
        closed = closed_;
    }
    if (!closed) Close();
    Finish();
}

// Waits as SQLite's busy timeout would, but a close cuts the wait short.
int ProgressStore::OnBusy(void* self, int tries) {
    auto* store = static_cast<ProgressStore*>(self);
    const Clock::time_point now = Clock::now();
    if (tries == 0) store->busySince_ = now;
    const std::chrono::milliseconds wait = registering ? kRegisterWait : std::chrono::milliseconds(kBusyTimeoutMillis);
    const int64_t deadline = std::min(NanosOf(store->busySince_ + wait),
                                      store->closeDeadlineNanos_.load(std::memory_order_relaxed));
    const int64_t left = deadline - NanosOf(now);
    if (left <= 0) return 0;
    std::this_thread::sleep_for(
        std::min<std::chrono::nanoseconds>(std::chrono::nanoseconds(left), std::chrono::milliseconds(10)));
    return 1;
}

void ProgressStore::Record(Event event) {
    if (backlog_.fetch_add(1, std::memory_order_relaxed) >= kQueueLimit) {
        backlog_.fetch_sub(1, std::memory_order_relaxed);
        refused_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    queue_.Push(std::move(event));
    queuedCount_.fetch_add(1, std::memory_order_release);
}

void ProgressStore::RecordShowing(const EntryKey& entry, int64_t unixMillis) {
    Record({entry, EventKind::kShown, unixMillis});
}

void ProgressStore::RecordMark(const EntryKey& entry, Mark mark, int64_t unixMillis) {
    Record({entry, mark == Mark::kKnown ? EventKind::kKnown : EventKind::kAgain, unixMillis});
}

bool ProgressStore::Flush(std::string* error) {
    const uint64_t target = queuedCount_.load(std::memory_order_acquire);
    std::unique_lock lock(stateLock_);
    if (stopping_) {
        if (error) *error = "the store is closed";
        return false;
    }
    const uint64_t failures = failedWrites_;
    flushWanted_ = true;
    wake_.notify_one();
    written_.wait(lock, [&] { return writtenCount_ >= target || failedWrites_ != failures; });
    if (writtenCount_ >= target) return true;
    if (error) *error = writeError_;
    return false;
}

bool ProgressStore::CaughtUp(std::string& error) {
    {
        std::lock_guard lock(stateLock_);
        if (!ready_.load() || writerFailing_) {
            error = ready_.load() ? writeError_ : "another program holds the store's lock";
            return false;
        }
    }
    return Flush(&error);
}

std::optional<std::vector<EntryState>> ProgressStore::RegisterList(const std::string& list,
                                                                   const std::vector<EntryText>& entries,
                                                                   std::string& error) {
    if (!CaughtUp(error)) return std::nullopt;
    std::lock_guard lock(dbLock_);
    registering = true;
    const bool begun = db_->Execute("BEGIN IMMEDIATE", error);
    registering = false;
    if (!begun) return std::nullopt;
    std::optional<std::vector<EntryState>> states = table_->Register(list, entries);
    if (states && db_->Execute("COMMIT", error)) return states;
    if (!states) error = db_->LastError();
    std::string ignored;
    db_->Execute("ROLLBACK", ignored);
    return std::nullopt;
}

std::optional<std::vector<std::string>> ProgressStore::KnownWords(std::string& error) {
    if (!CaughtUp(error)) return std::nullopt;
    std::lock_guard lock(dbLock_);
    return KnownWordKeys(*db_, error);
}

bool ProgressStore::WriteBatch(size_t count, std::string& error, bool& busy) {
    std::lock_guard lock(dbLock_);
    bool written = db_->Execute("BEGIN IMMEDIATE", error);
    for (size_t i = 0; written && i < count; ++i) {
        written = table_->Apply(pending_[i]);
        if (!written) error = db_->LastError();
    }
    written = written && db_->Execute("COMMIT", error);
    if (written) return true;
    busy = db_->Busy();
    std::string ignored;
    db_->Execute("ROLLBACK", ignored);
    return false;
}

// What an earlier run kept aside goes in before anything of this one. A
// side file another process holds is tried again at the next round.
bool ProgressStore::ReplaySideFile(std::string& error) {
    const std::string side = SideFilePath(path_);
    if (::access(side.c_str(), F_OK) != 0) {
        sideFileWanted_ = false;
        return true;
    }
    std::lock_guard lock(dbLock_);
    if (!db_->Execute("BEGIN IMMEDIATE", error)) return false;
    const SideFileTaken taken = TakeSideFile(side, [&](const std::vector<Event>& events) {
        for (const Event& event : events) {
            if (!table_->Apply(event)) {
                error = db_->LastError();
                return false;
            }
        }
        return db_->Execute("COMMIT", error);
    });
    if (taken.outcome != SideFileTaken::kTaken) {
        std::string ignored;
        db_->Execute("ROLLBACK", ignored);
    }
    // Kept: it could not be written now (a lock, a full disk); tried again.
    sideFileWanted_ = taken.outcome == SideFileTaken::kLocked || taken.outcome == SideFileTaken::kKept;
    return taken.outcome != SideFileTaken::kKept;
}

bool ProgressStore::WriteRound(std::string& error, size_t& written) {
    written = 0;
    if (!ready_.load()) {
        std::lock_guard lock(dbLock_);
        bool busy = false;
        if (!PrepareStoreDatabase(*db_, path_, error, busy, std::chrono::milliseconds(0))) return false;
        table_.emplace(*db_);
        ready_ = true;
    }
    if (sideFileWanted_ && !ReplaySideFile(error)) return false;
    std::vector<Event> taken = queue_.TakeAll();
    pending_.insert(pending_.end(), std::make_move_iterator(taken.begin()), std::make_move_iterator(taken.end()));
    while (!pending_.empty()) {
        const size_t count = std::min(pending_.size(), batchLimit_);
        bool busy = false;
        if (WriteBatch(count, error, busy)) {
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(count));
            written += count;
            backlog_.fetch_sub(static_cast<int64_t>(count), std::memory_order_relaxed);
            batchLimit_ = std::min(kBatchLimit, batchLimit_ * 2);
            continue;
        }
        if (busy || count == 1) return false;
        batchLimit_ = count / 2;
    }
    return true;
}

// Every tenth of a second, or at once for a flush or the close, what was
// queued is written; after a failure, a second later.
void ProgressStore::WriteLoop() {
    bool failed = false;
    std::unique_lock lock(stateLock_);
    for (;;) {
        wake_.wait_for(lock, failed ? kRetryDelay : kGatherTime, [&] { return stopping_ || flushWanted_; });
        flushWanted_ = false;
        const bool stopping = stopping_;
        lock.unlock();
        std::string error;
        size_t written = 0;
        failed = !WriteRound(error, written);
        lock.lock();
        writtenCount_ += written;
        writerFailing_ = failed;
        if (failed) {
            writeError_ = error;
            ++failedWrites_;
        }
        written_.notify_all();
        if (stopping) return;
    }
}

std::string ProgressStore::Close() {
    {
        std::lock_guard lock(stateLock_);
        if (stopping_) return std::string();
        stopping_ = true;
        closeDeadlineNanos_ = NanosOf(Clock::now() + std::chrono::milliseconds(kBusyTimeoutMillis));
    }
    wake_.notify_all();
    writer_.join();
    std::string notice = Finish();
    std::lock_guard lock(stateLock_);
    closed_ = true;
    return notice;
}

std::string ProgressStore::Finish() {
    std::string error;
    {
        std::lock_guard lock(stateLock_);
        error = writeError_;
    }
    std::vector<Event> late = queue_.TakeAll();
    pending_.insert(pending_.end(), std::make_move_iterator(late.begin()), std::make_move_iterator(late.end()));
    if (!pending_.empty()) {
        size_t written = 0;
        WriteRound(error, written);
        std::lock_guard lock(stateLock_);
        writtenCount_ += written;
    }
    std::string notice;
    if (!pending_.empty()) {
        const std::vector<Event> kept(std::make_move_iterator(pending_.begin()),
                                      std::make_move_iterator(pending_.end()));
        pending_.clear();
        const std::string side = SideFilePath(path_);
        std::string why;
        if (AppendSideFile(side, kept, why)) {
            notice = "Progress store \"" + path_ + "\": " + Events(kept.size()) + " could not be written (" + error +
                     "); they are kept in \"" + side + "\" and written at the store's next open.";
        } else {
            notice = "Progress store \"" + path_ + "\": " + Events(kept.size()) +
                     " are lost: the store could not take them (" + error + "), nor \"" + side + "\" (" + why + ").";
        }
    }
    if (const uint64_t refused = refused_.exchange(0); refused > 0) {
        if (!notice.empty()) notice += ' ';
        notice += "Progress store \"" + path_ + "\": " + Events(refused) + " were not recorded: more than " +
                  std::to_string(kQueueLimit) + " waited for the store.";
    }
    return notice;
}

}  // namespace learner

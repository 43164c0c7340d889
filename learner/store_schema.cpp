#include "learner/store_schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>

#include "learner/schema_upgrade.h"

namespace learner {

namespace {

// The tables as version 1 made them; UpgradeSchema takes a new file on from
// there as it does an old one. Times are Unix milliseconds. An entry keeps
// its scheduling state (see learner/entry.h); dropped is set for the entries
// its list no longer held when last registered, whose history stays. Events
// are of the kinds of EventKind (learner/entry_table.h).
constexpr const char* kSchema = R"(
CREATE TABLE lists (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE
);
CREATE TABLE entries (
    id INTEGER PRIMARY KEY,
    list INTEGER NOT NULL REFERENCES lists(id) ON DELETE CASCADE,
    word TEXT NOT NULL,
    translation TEXT NOT NULL,
    position INTEGER,
    dropped INTEGER NOT NULL DEFAULT 0,
    phase INTEGER NOT NULL DEFAULT 0,
    stability REAL NOT NULL DEFAULT 0,
    difficulty REAL NOT NULL DEFAULT 0,
    last_review INTEGER NOT NULL DEFAULT 0,
    due INTEGER NOT NULL DEFAULT 0,
    showings INTEGER NOT NULL DEFAULT 0,
    again_marks INTEGER NOT NULL DEFAULT 0,
    pending_showing INTEGER,
    UNIQUE (list, word, translation)
);
CREATE TABLE events (
    entry INTEGER NOT NULL REFERENCES entries(id) ON DELETE CASCADE,
    at INTEGER NOT NULL,
    kind INTEGER NOT NULL
);
)";

// A number the file holds; nothing when it could not be read, and busy set
// when that was for a lock another connection held.
std::optional<int64_t> ReadNumber(const Database& db, const char* sql, bool& busy) {
    Statement statement(db, sql);
    if (statement.Step()) return statement.Int(0);
    busy = busy || db.Busy();
    return std::nullopt;
}

// Whether this program may write to the file: not to another program's,
// nor to one of a newer schema. Read inside a transaction, so that the
// header and the tables are of one moment.
bool Acceptable(const Database& db, const std::string& path, std::string& error, bool& busy) {
    const std::optional<int64_t> id = ReadNumber(db, "PRAGMA application_id", busy);
    const std::optional<int64_t> version = ReadNumber(db, "PRAGMA user_version", busy);
    const std::optional<int64_t> tables = ReadNumber(db, "SELECT count(*) FROM sqlite_schema", busy);
    if (!id || !version || !tables) {
        error = "cannot read " + path + ": " + db.LastError();
        return false;
    }
    if (*id != kStoreApplicationId && *tables > 0) {
        error = path + " is not a progress store";
        return false;
    }
    if (*version > kStoreSchemaVersion) {
        error = path + " has schema version " + std::to_string(*version) + ", newer than this program's " +
                std::to_string(kStoreSchemaVersion) + ": it needs a newer tpp25frame";
        return false;
    }
    return true;
}

// Runs body inside a transaction begun with begin, committed when body
// succeeds and rolled back otherwise.
template <typename Body>
bool InTransaction(Database& db, const char* begin, std::string& error, bool& busy, Body body) {
    if (!db.Execute(begin, error)) {
        busy = db.Busy();
        return false;
    }
    std::string ignored;
    if (!body()) {
        db.Execute("ROLLBACK", ignored);
        return false;
    }
    if (db.Execute("COMMIT", error)) return true;
    busy = db.Busy();
    db.Execute("ROLLBACK", ignored);
    return false;
}

// The tables of a new file, as version 1 made them.
bool MakeTables(Database& db, std::string& error) {
    return db.Execute(kSchema, error) &&
           db.Execute("PRAGMA application_id = " + std::to_string(kStoreApplicationId) + "; PRAGMA user_version = 1",
                      error);
}

// Makes the tables of a new file, or brings an older file's up to date,
// inside one transaction, checking again there, so that two processes
// opening the file at once do it once.
bool PrepareSchema(Database& db, const std::string& path, std::string& error, bool& busy) {
    return InTransaction(db, "BEGIN IMMEDIATE", error, busy, [&] {
        if (!Acceptable(db, path, error, busy)) return false;
        const std::optional<int64_t> version = ReadNumber(db, "PRAGMA user_version", busy);
        if (!version) error = "cannot read " + path + ": " + db.LastError();
        if (!version || *version == kStoreSchemaVersion) return version.has_value();
        const bool made = (*version > 0 || MakeTables(db, error)) &&
                          UpgradeSchema(db, std::max<int64_t>(*version, 1), error);
        busy = !made && db.Busy();
        return made;
    });
}

bool UseWriteAheadLog(const Database& db, const std::string& path, std::string& error, bool& busy) {
    Statement journal(db, "PRAGMA journal_mode = WAL");
    if (!journal.Step()) {
        busy = db.Busy();
        error = "cannot open " + path + ": " + db.LastError();
        return false;
    }
    if (journal.Text(0) != "wal") {
        error = "cannot keep " + path + " with a write-ahead log (its file system may not allow one)";
        return false;
    }
    return true;
}

// One try at making the connection and the file ready. A file already at
// this schema and in WAL mode is only read: opening it never waits for
// another connection's write lock.
bool Prepare(Database& db, const std::string& path, std::string& error, bool& busy) {
    std::optional<int64_t> version;
    // Checked before the log is switched on, which would change the file.
    if (!InTransaction(db, "BEGIN", error, busy, [&] {
            if (!Acceptable(db, path, error, busy)) return false;
            version = ReadNumber(db, "PRAGMA user_version", busy);
            return version.has_value();
        }))
        return false;
    bool inLog = false;
    {
        Statement journal(db, "PRAGMA journal_mode");
        inLog = journal.Step() && journal.Text(0) == "wal";
    }
    if (!inLog && !UseWriteAheadLog(db, path, error, busy)) return false;
    // In WAL mode NORMAL loses nothing a process crash could: only a power
    // cut may take the last transactions.
    if (!db.Execute("PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON", error)) {
        busy = db.Busy();
        return false;
    }
    return version == kStoreSchemaVersion || PrepareSchema(db, path, error, busy);
}

}  // namespace

StoreOpening OpenStoreDatabase(const std::string& path, Database& db, std::string& error,
                               std::chrono::milliseconds wait) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code made;
    if (!folder.empty()) std::filesystem::create_directories(folder, made);
    if (made) {
        error = "cannot make the folder " + folder.string() + ": " + made.message();
        return StoreOpening::kFailed;
    }
    if (!db.Open(path, error)) {
        error = "cannot open " + path + ": " + error;
        return StoreOpening::kFailed;
    }
    sqlite3_busy_timeout(db.handle(), static_cast<int>(wait.count()));
    bool busy = false;
    if (PrepareStoreDatabase(db, path, error, busy, wait)) return StoreOpening::kReady;
    return busy ? StoreOpening::kBusy : StoreOpening::kFailed;
}

bool OpenStoreDatabase(const std::string& path, Database& db, std::string& error) {
    return OpenStoreDatabase(path, db, error, std::chrono::milliseconds(kBusyTimeoutMillis)) == StoreOpening::kReady;
}

bool PrepareStoreDatabase(Database& db, const std::string& path, std::string& error, bool& busy,
                          std::chrono::milliseconds wait) {
    // Where waiting could deadlock (two connections making a new file ready
    // at once) SQLite answers busy at once, without its busy handler: such a
    // try is made again, for as long as the handler would have waited.
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        busy = false;
        error.clear();
        if (Prepare(db, path, error, busy)) return true;
        if (!busy || std::chrono::steady_clock::now() >= until) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (error.find(path) == std::string::npos) error = path + ": " + error;
    return false;
}

bool OpenStoreForReading(const std::string& path, Database& db, std::string& error) {
    std::error_code missing;
    const auto size = std::filesystem::file_size(path, missing);
    if (missing) {
        error = "no progress store at " + path + " (" + missing.message() + ")";
        return false;
    }
    if (size == 0) {
        error = path + " is empty: not a progress store";
        return false;
    }
    // A store another user owns, or on a read-only mount, may leave no log
    // and no shared memory to open: it is then read as a file nobody writes.
    for (const bool immutable : {false, true}) {
        if (!db.OpenReadOnly(path, immutable, error)) continue;
        sqlite3_busy_timeout(db.handle(), kBusyTimeoutMillis);
        bool busy = false;
        if (InTransaction(db, "BEGIN", error, busy, [&] { return Acceptable(db, path, error, busy); })) return true;
        if (busy) break;
        if (error.find("not a progress store") != std::string::npos || error.find("newer") != std::string::npos)
            return false;
    }
    if (error.find(path) == std::string::npos) error = "cannot read " + path + ": " + error;
    return false;
}

}  // namespace learner

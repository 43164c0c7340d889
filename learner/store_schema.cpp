#include "learner/store_schema.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

namespace learner {

namespace {

// Another process holding the write lock is waited for this long.
constexpr int kBusyTimeoutMillis = 5000;

// Times are Unix milliseconds. An entry keeps its scheduling state (see
// learner/entry.h); dropped is set for the entries its list no longer held
// when last registered, whose history stays. Events are kinds 0 shown,
// 1 marked known, 2 marked again.
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

int PragmaInt(const Database& db, const char* name) {
    Statement pragma(db, std::string("PRAGMA ") + name);
    return pragma.Step() ? static_cast<int>(pragma.Int(0)) : -1;
}

bool HasTables(const Database& db) {
    Statement count(db, "SELECT count(*) FROM sqlite_schema");
    return count.Step() && count.Int(0) > 0;
}

// A file this program must not write to: another program's, or one of a
// newer schema.
bool Refused(const Database& db, const std::string& path, std::string& error) {
    const int version = PragmaInt(db, "user_version");
    if (PragmaInt(db, "application_id") != kStoreApplicationId && HasTables(db)) {
        error = path + " is not a progress store";
        return true;
    }
    if (version > kStoreSchemaVersion) {
        error = path + " has schema version " + std::to_string(version) + ", newer than this program's " +
                std::to_string(kStoreSchemaVersion) + ": it needs a newer tpp25frame";
        return true;
    }
    return false;
}

// Makes the tables of a new file inside one transaction, checking again
// there, so that two processes opening a new file at once make them once.
bool PrepareSchema(Database& db, const std::string& path, std::string& error) {
    if (!db.Execute("BEGIN IMMEDIATE", error)) return false;
    bool ok = !Refused(db, path, error);
    if (ok && PragmaInt(db, "user_version") == 0) {
        ok = db.Execute(kSchema, error) &&
             db.Execute("PRAGMA application_id = " + std::to_string(kStoreApplicationId) +
                            "; PRAGMA user_version = " + std::to_string(kStoreSchemaVersion),
                        error);
    }
    std::string ignored;
    if (ok) return db.Execute("COMMIT", error);
    db.Execute("ROLLBACK", ignored);
    return false;
}

bool UseWriteAheadLog(const Database& db, const std::string& path, std::string& error) {
    Statement journal(db, "PRAGMA journal_mode = WAL");
    if (!journal.Step()) {
        error = "cannot open " + path + ": " + db.LastError();
        return false;
    }
    if (journal.Text(0) != "wal") {
        error = "cannot keep " + path + " with a write-ahead log (its file system may not allow one)";
        return false;
    }
    return true;
}

}  // namespace

bool OpenStoreDatabase(const std::string& path, Database& db, std::string& error) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code made;
    if (!folder.empty()) std::filesystem::create_directories(folder, made);
    if (made) {
        error = "cannot make the folder " + folder.string() + ": " + made.message();
        return false;
    }
    if (!db.Open(path, error)) {
        error = "cannot open " + path + ": " + error;
        return false;
    }
    sqlite3_busy_timeout(db.handle(), kBusyTimeoutMillis);
    // Checked before the log is switched on, which would change the file.
    if (Refused(db, path, error) || !UseWriteAheadLog(db, path, error)) return false;
    // In WAL mode NORMAL loses nothing a process crash could: only a power
    // cut may take the last transactions.
    if (!db.Execute("PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON", error) ||
        !PrepareSchema(db, path, error)) {
        if (error.find(path) == std::string::npos) error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace learner

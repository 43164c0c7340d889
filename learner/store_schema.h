// The progress store's file: its tables, their version, and how a
// connection to it is set up.
#pragma once

#include <chrono>
#include <string>

#include "learner/sqlite_db.h"

namespace learner {

// The version this program writes; PRAGMA user_version holds the file's.
constexpr int kStoreSchemaVersion = 3;
// PRAGMA application_id of a progress store ("TPPL").
constexpr int kStoreApplicationId = 0x5450504C;

// Another process holding the write lock is waited for this long.
constexpr int kBusyTimeoutMillis = 5000;

enum class StoreOpening { kReady, kBusy, kFailed };

// Opens or creates the store at path, its folders too: write-ahead log,
// a wait of a few seconds for another writer, the tables made when the file
// is new and brought up to date when it is older. Refuses a file of a newer
// schema, or one that is not a progress store, with error saying so. kBusy:
// the connection is open, but another held the file's lock for longer than
// wait while it had to be made ready (PrepareStoreDatabase tries again).
StoreOpening OpenStoreDatabase(const std::string& path, Database& db, std::string& error,
                               std::chrono::milliseconds wait);
// The same, waiting the busy timeout: true when ready.
bool OpenStoreDatabase(const std::string& path, Database& db, std::string& error);
// Another try at making an open connection's file ready.
bool PrepareStoreDatabase(Database& db, const std::string& path, std::string& error, bool& busy,
                          std::chrono::milliseconds wait);

// Opens an existing store to read it only, changing nothing: a read-only
// file or folder, another user's store. Refuses a missing or empty file,
// and those OpenStoreDatabase refuses.
bool OpenStoreForReading(const std::string& path, Database& db, std::string& error);

}  // namespace learner

// The progress store's file: its tables, their version, and how a
// connection to it is set up.
#pragma once

#include <string>

#include "learner/sqlite_db.h"

namespace learner {

// The version this program writes; PRAGMA user_version holds the file's.
constexpr int kStoreSchemaVersion = 2;
// PRAGMA application_id of a progress store ("TPPL").
constexpr int kStoreApplicationId = 0x5450504C;

// Opens or creates the store at path, its folders too: write-ahead log,
// a wait of a few seconds for another writer, the tables made when the file
// is new and brought up to date when it is older. Refuses a file of a newer
// schema, or one that is not a progress store, with error saying so.
bool OpenStoreDatabase(const std::string& path, Database& db, std::string& error);

}  // namespace learner

// The progress store's file brought up to this program's schema, one
// version at a time, so that a store kept by an older program keeps its
// history.
#pragma once

#include <cstdint>
#include <string>

#include "learner/sqlite_db.h"

namespace learner {

// Takes a file of version from (1 or more, up to kStoreSchemaVersion) to
// kStoreSchemaVersion, inside the transaction the caller holds; false with
// error on a database error.
bool UpgradeSchema(Database& db, int64_t from, std::string& error);

}  // namespace learner

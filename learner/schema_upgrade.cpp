#include "learner/schema_upgrade.h"

#include <iterator>

#include "learner/store_schema.h"

namespace learner {

namespace {

// kSteps[n - 1] takes a file from version n to n + 1.
constexpr const char* kSteps[] = {
    // 2: each entry's last showing, for the order to show the one seen
    // longest ago, taken from the events; and its last passive review, at
    // most one a day, taken to be its last review unless a mark made that.
    R"(
ALTER TABLE entries ADD COLUMN last_shown INTEGER NOT NULL DEFAULT 0;
ALTER TABLE entries ADD COLUMN last_passive INTEGER NOT NULL DEFAULT 0;
UPDATE entries SET last_shown = shown.at
    FROM (SELECT entry, max(at) AS at FROM events WHERE kind = 0 GROUP BY entry) AS shown
    WHERE shown.entry = entries.id;
UPDATE entries SET last_passive = last_review WHERE last_review > 0;
UPDATE entries SET last_passive = 0
    FROM (SELECT entry, at FROM events WHERE kind = 2) AS again
    WHERE again.entry = entries.id AND again.at = entries.last_review;
)",
    // 3: the subtitle line a film's word was last shown for.
    R"(
ALTER TABLE entries ADD COLUMN context TEXT NOT NULL DEFAULT '';
)",
};

static_assert(std::size(kSteps) == kStoreSchemaVersion - 1, "a step for each version after the first");

}  // namespace

bool UpgradeSchema(Database& db, int64_t from, std::string& error) {
    for (int64_t version = from; version < kStoreSchemaVersion; ++version) {
        if (!db.Execute(kSteps[version - 1], error)) return false;
    }
    return from == kStoreSchemaVersion ||
           db.Execute("PRAGMA user_version = " + std::to_string(kStoreSchemaVersion), error);
}

}  // namespace learner

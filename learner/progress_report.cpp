#include "learner/progress_report.h"

#include <algorithm>

#include "learner/entry.h"
#include "learner/entry_table.h"
#include "learner/word_key.h"

namespace learner {

std::optional<std::vector<ListSummary>> SummariseLists(const Database& db, int64_t endOfDayMillis, std::string& error) {
    const std::optional<std::vector<std::string>> known = KnownWordKeys(db, error);
    if (!known) return std::nullopt;
    Statement rows(db, std::string("SELECT lists.name, entries.word, ") + kStateColumns +
                           " FROM lists LEFT JOIN entries ON entries.list = lists.id AND entries.dropped = 0"
                           " ORDER BY lists.name");
    std::vector<ListSummary> summaries;
    while (rows.Step()) {
        const std::string list = rows.Text(0);
        if (summaries.empty() || summaries.back().list != list) summaries.push_back({list});
        if (!rows.OptionalInt(2)) continue;  // a list without entries
        ListSummary& summary = summaries.back();
        EntryState state = Settled(ReadState(rows, 2));
        if (std::binary_search(known->begin(), known->end(), WordKey(rows.Text(1)))) state.phase = Phase::kKnown;
        summary.seen += state.showings > 0;
        summary.known += state.phase == Phase::kKnown;
        summary.dueToday += state.phase == Phase::kReviewing && state.dueMillis <= endOfDayMillis;
        summary.neverSeen += state.showings == 0 && state.phase != Phase::kKnown;
    }
    if (rows.done()) return summaries;
    error = db.LastError();
    return std::nullopt;
}

std::optional<std::vector<CardEntry>> CardEntries(const Database& db, bool everySeen, std::string& error) {
    Statement rows(db,
                   "SELECT lists.name, word, translation FROM entries JOIN lists ON entries.list = lists.id"
                   " WHERE again_marks > 0 OR (? AND showings > 0)"
                   " ORDER BY lists.name, position IS NULL, position, entries.id");
    rows.Bind(1, static_cast<int64_t>(everySeen));
    std::vector<CardEntry> cards;
    while (rows.Step()) cards.push_back({rows.Text(0), rows.Text(1), rows.Text(2)});
    if (rows.done()) return cards;
    error = db.LastError();
    return std::nullopt;
}

bool ResetProgress(Database& db, const std::string& list, std::string& error) {
    Statement remove(db, list.empty() ? "DELETE FROM lists" : "DELETE FROM lists WHERE name = ?");
    if (!list.empty()) remove.Bind(1, list);
    remove.Step();
    if (!remove.done()) {
        error = db.LastError();
        return false;
    }
    if (!list.empty() && db.Changes() == 0) {
        error = "the store holds no list " + list;
        return false;
    }
    return true;
}

}  // namespace learner

// The store's rows for entries: found or added by their text, their
// scheduling state read and written, their events appended. Used inside a
// transaction the caller holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "learner/entry.h"
#include "learner/sqlite_db.h"

namespace learner {

// Stored as their numbers. A showing is an exposure; kReviewed is written
// by the store, beside a showing, when the showing before it counts as a
// passive review (FSRS's Hard, at that showing's time), so that the events
// hold the reviews as FSRS saw them apart from the exposures.
enum class EventKind { kShown = 0, kKnown = 1, kAgain = 2, kReviewed = 3 };

struct Event {
    EntryKey entry;
    EventKind kind;
    int64_t atMillis;
};

// The columns of an entry's scheduling state, in the order ReadState takes them.
inline constexpr const char* kStateColumns =
    "phase, stability, difficulty, last_review, due, showings, again_marks, pending_showing, last_shown, "
    "last_passive";
EntryState ReadState(const Statement& row, int firstColumn);

// The WordKey (learner/word_key.h) of each word known in any list, sorted,
// without repeats; nothing, with error, on a database error.
std::optional<std::vector<std::string>> KnownWordKeys(const Database& db, std::string& error);

class EntryTable {
public:
    explicit EntryTable(const Database& db);

    // The event kept, with the passive review it settles, and the entry's
    // state moved on by it; false on a database error.
    bool Apply(const Event& event);
    // The list's entries as it stands now: each added if new, given its
    // position, those it no longer holds set aside. Their states, in order,
    // an entry whose word is known in any list counted known; nothing on a
    // database error.
    std::optional<std::vector<EntryState>> Register(const std::string& list, const std::vector<EntryText>& entries);

private:
    std::optional<int64_t> ListId(const std::string& list);
    std::optional<int64_t> EntryId(int64_t list, const std::string& word, const std::string& translation);
    std::optional<EntryState> Load(int64_t entry);
    bool Save(int64_t entry, const EntryState& state);
    bool AddEvent(int64_t entry, int64_t atMillis, EventKind kind);

    const Database& db_;
    Statement addList_;
    Statement findList_;
    Statement addEntry_;
    Statement findEntry_;
    Statement load_;
    Statement save_;
    Statement addEvent_;
    Statement dropAll_;
    Statement place_;
    Statement setContext_;
};

}  // namespace learner

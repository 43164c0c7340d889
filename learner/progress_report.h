// What the store holds, as tpp-words shows it: each list's counts, the
// entries worth a card, and forgetting a list's progress or all of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "learner/sqlite_db.h"

namespace learner {

// A list's entries as of its last registration (those it dropped since are
// left out), counted by what the viewer did with them.
struct ListSummary {
    std::string list;
    int64_t seen = 0;       // shown at least once
    int64_t known = 0;      // marked known, here or in another list
    int64_t dueToday = 0;   // in review and due before the day's end
    int64_t neverSeen = 0;  // never shown and not known
};

std::optional<std::vector<ListSummary>> SummariseLists(const Database& db, int64_t endOfDayMillis, std::string& error);

struct CardEntry {
    std::string list;
    std::string word;
    std::string translation;
    std::string sentence = {};  // a film's line that holds the word; empty: none
};

// The entries marked again at least once, or with everySeen also every one
// shown; by list, then in list order.
std::optional<std::vector<CardEntry>> CardEntries(const Database& db, bool everySeen, std::string& error);

// Forgets everything of the list (the lists, entries and events), or of
// every list when list is empty. False, with error, for a list the store
// does not hold or a database error.
bool ResetProgress(Database& db, const std::string& list, std::string& error);

}  // namespace learner

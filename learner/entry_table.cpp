#include "learner/entry_table.h"

#include <algorithm>

#include "learner/word_key.h"

namespace learner {

EntryState ReadState(const Statement& row, int first) {
    EntryState state;
    const int64_t phase = row.Int(first);
    state.phase = phase == 1 ? Phase::kReviewing : phase == 2 ? Phase::kKnown : Phase::kNew;
    state.stability = row.Real(first + 1);
    state.difficulty = row.Real(first + 2);
    state.lastReviewMillis = row.Int(first + 3);
    state.dueMillis = row.Int(first + 4);
    state.showings = static_cast<int32_t>(row.Int(first + 5));
    state.againMarks = static_cast<int32_t>(row.Int(first + 6));
    state.pendingShowingMillis = row.OptionalInt(first + 7);
    state.lastShownMillis = row.Int(first + 8);
    state.lastPassiveMillis = row.Int(first + 9);
    return state;
}

std::optional<std::vector<std::string>> KnownWordKeys(const Database& db, std::string& error) {
    Statement rows(db, "SELECT DISTINCT word FROM entries WHERE phase = 2");
    std::vector<std::string> keys;
    while (rows.Step()) keys.push_back(WordKey(rows.Text(0)));
    if (!rows.done()) {
        error = db.LastError();
        return std::nullopt;
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

EntryTable::EntryTable(const Database& db)
    : db_(db),
      addList_(db, "INSERT INTO lists (name) VALUES (?) ON CONFLICT DO NOTHING"),
      findList_(db, "SELECT id FROM lists WHERE name = ?"),
      addEntry_(db, "INSERT INTO entries (list, word, translation) VALUES (?, ?, ?) ON CONFLICT DO NOTHING"),
      findEntry_(db, "SELECT id FROM entries WHERE list = ? AND word = ? AND translation = ?"),
      load_(db, std::string("SELECT ") + kStateColumns + " FROM entries WHERE id = ?"),
      save_(db,
            "UPDATE entries SET phase = ?, stability = ?, difficulty = ?, last_review = ?, due = ?, showings = ?, "
            "again_marks = ?, pending_showing = ?, last_shown = ?, last_passive = ? WHERE id = ?"),
      addEvent_(db, "INSERT INTO events (entry, at, kind) VALUES (?, ?, ?)"),
      dropAll_(db, "UPDATE entries SET dropped = 1, position = NULL WHERE list = ?"),
      place_(db, "UPDATE entries SET dropped = 0, position = ? WHERE id = ?"),
      setContext_(db, "UPDATE entries SET context = ? WHERE id = ?") {}

namespace {

// Runs a statement that returns no rows, ready for its next run after.
bool Run(Statement& statement) {
    statement.Step();
    const bool done = statement.done();
    statement.Reset();
    return done;
}

EntryState AfterEvent(const EntryState& state, const Event& event) {
    switch (event.kind) {
        case EventKind::kShown: return AfterShowing(state, event.atMillis);
        case EventKind::kKnown: return AfterMark(state, Mark::kKnown, event.atMillis);
        case EventKind::kAgain: return AfterMark(state, Mark::kAgain, event.atMillis);
        case EventKind::kReviewed: break;
    }
    return state;
}

}  // namespace

std::optional<int64_t> EntryTable::ListId(const std::string& list) {
    if (!Run(addList_.Bind(1, list))) return std::nullopt;
    std::optional<int64_t> id;
    if (findList_.Bind(1, list).Step()) id = findList_.Int(0);
    findList_.Reset();
    return id;
}

std::optional<int64_t> EntryTable::EntryId(int64_t list, const std::string& word, const std::string& translation) {
    if (!Run(addEntry_.Bind(1, list).Bind(2, word).Bind(3, translation))) return std::nullopt;
    std::optional<int64_t> id;
    if (findEntry_.Bind(1, list).Bind(2, word).Bind(3, translation).Step()) id = findEntry_.Int(0);
    findEntry_.Reset();
    return id;
}

std::optional<EntryState> EntryTable::Load(int64_t entry) {
    std::optional<EntryState> state;
    if (load_.Bind(1, entry).Step()) state = ReadState(load_, 0);
    load_.Reset();
    return state;
}

bool EntryTable::Save(int64_t entry, const EntryState& state) {
    save_.Bind(1, static_cast<int64_t>(state.phase))
        .Bind(2, state.stability)
        .Bind(3, state.difficulty)
        .Bind(4, state.lastReviewMillis)
        .Bind(5, state.dueMillis)
        .Bind(6, static_cast<int64_t>(state.showings))
        .Bind(7, static_cast<int64_t>(state.againMarks));
    if (state.pendingShowingMillis) {
        save_.Bind(8, *state.pendingShowingMillis);
    } else {
        save_.BindNull(8);
    }
    return Run(save_.Bind(9, state.lastShownMillis).Bind(10, state.lastPassiveMillis).Bind(11, entry));
}

bool EntryTable::Apply(const Event& event) {
    const std::optional<int64_t> list = ListId(event.entry.list);
    const std::optional<int64_t> entry = list ? EntryId(*list, event.entry.word, event.entry.translation) : list;
    const std::optional<EntryState> state = entry ? Load(*entry) : std::nullopt;
    if (!state) return false;
    if (const std::optional<int64_t> review = PassiveReviewAt(*state); review && event.kind == EventKind::kShown) {
        if (!AddEvent(*entry, *review, EventKind::kReviewed)) return false;
    }
    if (!event.entry.context.empty() && !Run(setContext_.Bind(1, event.entry.context).Bind(2, *entry))) return false;
    return Save(*entry, AfterEvent(*state, event)) && AddEvent(*entry, event.atMillis, event.kind);
}

bool EntryTable::AddEvent(int64_t entry, int64_t atMillis, EventKind kind) {
    return Run(addEvent_.Bind(1, entry).Bind(2, atMillis).Bind(3, static_cast<int64_t>(kind)));
}

std::optional<std::vector<EntryState>> EntryTable::Register(const std::string& list,
                                                            const std::vector<EntryText>& entries) {
    const std::optional<int64_t> listId = ListId(list);
    if (!listId || !Run(dropAll_.Bind(1, *listId))) return std::nullopt;
    std::vector<EntryState> states;
    states.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::optional<int64_t> entry = EntryId(*listId, entries[i].word, entries[i].translation);
        if (!entry || !Run(place_.Bind(1, static_cast<int64_t>(i)).Bind(2, *entry))) return std::nullopt;
        std::optional<EntryState> state = Load(*entry);
        if (!state) return std::nullopt;
        states.push_back(*state);
    }
    std::string error;
    const std::optional<std::vector<std::string>> known = KnownWordKeys(db_, error);
    if (!known) return std::nullopt;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (std::binary_search(known->begin(), known->end(), WordKey(entries[i].word))) states[i].phase = Phase::kKnown;
    }
    return states;
}

}  // namespace learner

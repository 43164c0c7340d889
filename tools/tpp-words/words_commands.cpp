#include "tools/tpp-words/words_commands.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "learner/progress_report.h"
#include "learner/progress_store.h"
#include "learner/store_path.h"
#include "learner/store_schema.h"
#include "learner/word_key.h"
#include "platform/file.h"
#include "platform/text_file.h"
#include "tools/tpp-words/anki_export.h"
#include "tools/tpp-words/list_entries.h"

namespace {

constexpr const char* kNoStorePath = "no store: neither XDG_DATA_HOME nor HOME is set (name one with --db)";

int Fail(const std::string& message) {
    std::fprintf(stderr, "tpp-words: %s\n", message.c_str());
    return 1;
}

std::string StorePath(const WordsOptions& options) {
    return options.db.empty() ? learner::DefaultStorePath() : options.db;
}

// The store for a command that reads it: one that is not there is not made.
bool OpenExisting(const WordsOptions& options, learner::Database& db, std::string& error) {
    const std::string path = StorePath(options);
    if (path.empty()) {
        error = kNoStorePath;
        return false;
    }
    if (!std::filesystem::exists(path)) {
        error = "no progress store at " + path;
        return false;
    }
    return learner::OpenStoreDatabase(path, db, error);
}

// A list as the element names it: builtin, or its file's absolute path.
std::string ListName(const std::string& list) {
    return list == learner::kBuiltinList ? list : platform::AbsolutePath(list);
}

int64_t NowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// The last millisecond of today, local time.
int64_t EndOfToday() {
    const std::time_t now = std::time(nullptr);
    std::tm day{};
    localtime_r(&now, &day);
    day.tm_hour = 23;
    day.tm_min = 59;
    day.tm_sec = 59;
    return static_cast<int64_t>(std::mktime(&day)) * 1000 + 999;
}

}  // namespace

int RunStats(const WordsOptions& options) {
    learner::Database db;
    std::string error;
    if (!OpenExisting(options, db, error)) return Fail(error);
    const auto summaries = learner::SummariseLists(db, EndOfToday(), error);
    if (!summaries) return Fail(error);
    std::printf("%8s %8s %10s %11s  %s\n", "seen", "known", "due today", "never seen", "list");
    for (const learner::ListSummary& s : *summaries) {
        std::printf("%8" PRId64 " %8" PRId64 " %10" PRId64 " %11" PRId64 "  %s\n", s.seen, s.known, s.dueToday,
                    s.neverSeen, s.list.c_str());
    }
    return 0;
}

int RunExport(const WordsOptions& options) {
    learner::Database db;
    std::string error;
    if (!OpenExisting(options, db, error)) return Fail(error);
    const auto cards = learner::CardEntries(db, options.all, error);
    if (!cards) return Fail(error);
    ReplacingTextWriter writer;
    platform::FileOutcome outcome = writer.Begin(options.ankiFile);
    if (outcome) {
        writer.Write(AnkiFile(*cards));
        outcome = writer.Commit();
    }
    if (!outcome) return Fail("cannot write " + options.ankiFile + ": " + outcome.why);
    std::printf("%zu card%s written to %s\n", cards->size(), cards->size() == 1 ? "" : "s", options.ankiFile.c_str());
    return 0;
}

int RunKnown(const WordsOptions& options) {
    const std::optional<std::vector<learner::EntryText>> entries = ListEntries(options.list);
    if (!entries) return Fail("cannot read the word list " + options.list);

    std::vector<learner::EntryText> marked;
    for (const learner::EntryText& entry : *entries)
        if (options.word.empty() || learner::WordKey(entry.word) == learner::WordKey(options.word))
            marked.push_back(entry);
    if (!options.word.empty() && marked.empty()) return Fail(options.list + " has no entry " + options.word);

    std::string error;
    const std::string path = StorePath(options);
    if (path.empty()) return Fail(kNoStorePath);
    auto store = learner::ProgressStore::Open(path, error);
    if (!store) return Fail(error);
    const std::string list = ListName(options.list);
    if (!store->RegisterList(list, *entries, error)) return Fail(error);
    const int64_t now = NowMillis();
    for (const learner::EntryText& entry : marked)
        store->RecordMark({list, entry.word, entry.translation}, learner::Mark::kKnown, now);
    if (!store->Flush(&error)) return Fail(error);
    std::printf("%zu entr%s of %s marked known\n", marked.size(), marked.size() == 1 ? "y" : "ies", list.c_str());
    return 0;
}

int RunReset(const WordsOptions& options) {
    learner::Database db;
    std::string error;
    if (!OpenExisting(options, db, error)) return Fail(error);
    const std::string list = options.list.empty() ? std::string() : ListName(options.list);
    if (!learner::ResetProgress(db, list, error)) return Fail(error);
    std::printf("%s\n",
                list.empty() ? "progress of every list forgotten" : ("progress of " + list + " forgotten").c_str());
    return 0;
}

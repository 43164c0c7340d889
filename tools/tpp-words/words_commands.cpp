#include "tools/tpp-words/words_commands.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "learner/entry_table.h"
#include "learner/progress_report.h"
#include "learner/progress_store.h"
#include "learner/store_path.h"
#include "learner/store_schema.h"
#include "learner/word_key.h"
#include "platform/file.h"
#include "platform/text_file.h"
#include "plugin/embedded_dictionary.h"
#include "subtitles/subtitle_reader.h"
#include "tools/tpp-words/anki_export.h"
#include "tools/tpp-words/deck_package.h"
#include "tools/tpp-words/list_entries.h"
#include "tools/tpp-words/word_import.h"
#include "tools/tpp-words/words_film.h"

namespace {

constexpr const char* kNoStorePath = "no store: neither XDG_DATA_HOME nor HOME is set (name one with --db)";

int Fail(const std::string& message) {
    std::fprintf(stderr, "tpp-words: %s\n", message.c_str());
    return 1;
}

// text as path's whole content, "-" being standard output; a file is
// written beside path and renamed into place. Empty, or what went wrong.
std::string WriteWhole(const std::string& path, const std::string& text) {
    if (path == "-") {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
            return "cannot write to standard output";
        return std::string();
    }
    ReplacingTextWriter writer;
    platform::FileOutcome outcome = writer.Begin(path);
    if (outcome) {
        writer.Write(text);
        outcome = writer.Commit();
    }
    return outcome ? std::string() : "cannot write " + path + ": " + outcome.why;
}

std::string StorePath(const WordsOptions& options) {
    return options.db.empty() ? learner::DefaultStorePath() : options.db;
}

// Whether path names an existing empty file, which SQLite would quietly
// make a store of.
bool EmptyFile(const std::string& path) {
    std::error_code failed;
    return std::filesystem::is_regular_file(path, failed) && std::filesystem::file_size(path, failed) == 0 && !failed;
}

// The store for a command that changes it: one that is not there is not made.
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
    if (EmptyFile(path)) {
        error = path + " is empty: not a progress store";
        return false;
    }
    return learner::OpenStoreDatabase(path, db, error);
}

// The store for a command that only reads it: read-only, so that another
// user's store, one on a read-only mount or one another program is
// writing can be reported on.
bool OpenForReading(const WordsOptions& options, learner::Database& db, std::string& error) {
    const std::string path = StorePath(options);
    if (path.empty()) {
        error = kNoStorePath;
        return false;
    }
    return learner::OpenStoreForReading(path, db, error);
}

// A list as the element names it: builtin, or its file's resolved path.
std::string ListName(const std::string& list) {
    return list == learner::kBuiltinList ? list : learner::ListPathName(list);
}

// The first bytes of a file, as many as it has up to count.
std::string FirstBytes(const std::filesystem::path& path, size_t count) {
    std::string bytes(count, '\0');
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::string();
    bytes.resize(std::fread(bytes.data(), 1, count, file));
    std::fclose(file);
    return bytes;
}

// A database file, or SQLite's log beside one.
bool IsSqliteFile(const std::filesystem::path& path) {
    const std::string head = FirstBytes(path, 16);
    return head == std::string_view("SQLite format 3\0", 16) || head.starts_with("\x37\x7f\x06\x82") ||
           head.starts_with("\x37\x7f\x06\x83");
}

// Why a file tpp-words makes may not be written at output, or empty: the store or
// one of its files, or any SQLite file (another store, say), which a
// rename over it would replace, and a running element would go on writing
// into the file replaced.
std::string WhyNotWritten(const std::string& output, const std::string& store) {
    namespace fs = std::filesystem;
    std::error_code failed;
    const fs::path target = fs::weakly_canonical(output, failed);
    const fs::path database = fs::weakly_canonical(store, failed);
    for (const char* suffix : {"", "-wal", "-shm", "-journal", "-queued"}) {
        if (target.string() == database.string() + suffix ||
            (!*suffix && fs::equivalent(output, store, failed) && !failed))
            return *suffix ? std::string("it is the progress store's ") + suffix + " file" : "it is the progress store";
    }
    if (IsSqliteFile(target)) return "it is a SQLite database";
    for (const std::string suffix : {"-wal", "-shm", "-journal"}) {
        const std::string name = target.string();
        if (name.ends_with(suffix) && IsSqliteFile(name.substr(0, name.size() - suffix.size())))
            return "it belongs to the SQLite database beside it";
    }
    return std::string();
}

// A field Anki takes as empty.
bool Blank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

// The notes of the file at path, by what it holds, not by its name.
std::optional<ImportedNotes> ReadNotes(const std::string& path, std::string& error) {
    const std::string head = FirstBytes(path, 16);
    if (KindOfNoteFile(head) == NoteFileKind::kPackage) return ReadDeckPackage(path, error);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        error = "cannot read it";
        return std::nullopt;
    }
    if (KindOfNoteFile(head) == NoteFileKind::kText) {
        std::string extension = std::filesystem::path(path).extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return ReadNoteText(bytes, extension == ".csv", error);
    }
    std::optional<ImportedNotes> notes = ReadCollection(std::move(bytes), error);
    if (notes) notes->source = std::filesystem::path(path).filename().string();
    return notes;
}

// "N notes with WHAT left out: note 3 (word), ..." on standard error, the
// first few named.
void TellLeftOut(const std::vector<NamedNote>& notes, const char* what, const char* place) {
    if (notes.empty()) return;
    constexpr size_t kNamed = 5;
    std::fprintf(stderr, "tpp-words: %zu note%s %s:", notes.size(), notes.size() == 1 ? "" : "s", what);
    for (size_t i = 0; i < notes.size() && i < kNamed; ++i)
        std::fprintf(stderr, "%s %s %d (%s)", i ? "," : "", place, notes[i].place, notes[i].word.c_str());
    if (notes.size() > kNamed) std::fprintf(stderr, " and %zu more", notes.size() - kNamed);
    std::fputc('\n', stderr);
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
    if (!OpenForReading(options, db, error)) return Fail(error);
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
    const bool toOutput = options.ankiFile == "-";
    if (!toOutput) {
        const std::string why = WhyNotWritten(options.ankiFile, StorePath(options));
        if (!why.empty()) return Fail("the Anki file is not written to " + options.ankiFile + ": " + why);
    }
    learner::Database db;
    std::string error;
    if (!OpenForReading(options, db, error)) return Fail(error);
    auto cards = learner::CardEntries(db, options.all, error);
    if (!cards) return Fail(error);
    // Anki refuses a note whose first field is empty.
    const size_t before = cards->size();
    std::erase_if(*cards, [](const learner::CardEntry& card) { return Blank(card.word); });
    const size_t blank = before - cards->size();
    const std::string file = AnkiFile(*cards);
    if (const std::string why = WriteWhole(options.ankiFile, file); !why.empty()) return Fail(why);
    // On standard error when the cards went to standard output.
    std::fprintf(toOutput ? stderr : stdout, "%zu card%s written to %s", cards->size(), cards->size() == 1 ? "" : "s",
                 toOutput ? "standard output" : options.ankiFile.c_str());
    if (blank > 0)
        std::fprintf(toOutput ? stderr : stdout, "; %zu entr%s with an empty word left out", blank,
                     blank == 1 ? "y" : "ies");
    std::fputc('\n', toOutput ? stderr : stdout);
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
    if (EmptyFile(path)) return Fail(path + " is empty: not a progress store");
    auto store = learner::ProgressStore::Open(path, error);
    if (!store) return Fail(error);
    const std::string list = ListName(options.list);
    if (!store->RegisterList(list, *entries, error)) return Fail(error);
    const int64_t now = NowMillis();
    for (const learner::EntryText& entry : marked)
        store->RecordMark({list, entry.word, entry.translation}, learner::Mark::kKnown, now);
    if (!store->Flush(&error)) {
        const std::string kept = store->Close();
        return Fail(error + (kept.empty() ? "" : "\n" + kept));
    }
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

int RunImport(const WordsOptions& options) {
    namespace fs = std::filesystem;
    const bool toOutput = options.output == "-";
    if (options.known && StorePath(options).empty()) return Fail(kNoStorePath);
    if (!toOutput) {
        std::string why = WhyNotWritten(options.output, StorePath(options));
        std::error_code failed;
        if (why.empty() && fs::equivalent(options.output, options.input, failed) && !failed)
            why = "it is the file imported";
        if (!why.empty()) return Fail("the word list is not written to " + options.output + ": " + why);
    }
    if (!fs::is_regular_file(options.input)) return Fail("no file to import at " + options.input);
    std::string error;
    const std::optional<ImportedNotes> notes = ReadNotes(options.input, error);
    if (!notes) return Fail("cannot import " + options.input + ": " + error);
    const ImportedList list = MakeImportedList(*notes);
    // A text's notes are found by their lines, a package's by their order.
    const char* place = notes->reviewState ? "note" : "line";
    TellLeftOut(list.untranslated, "with no translation left out", place);
    TellLeftOut(list.wordless, "with no word left out", place);
    TellLeftOut(list.separatorInWord, "whose word holds a list's separator, where a caption splits it", place);
    if (list.htmlFields > 0)
        std::fprintf(stderr, "tpp-words: HTML reduced to text in %d field%s\n", list.htmlFields,
                     list.htmlFields == 1 ? "" : "s");
    if (list.plainHtmlLike > 0)
        std::fprintf(stderr,
                     "tpp-words: %d field%s kept as written, tags and entities too: #html:false says plain text\n",
                     list.plainHtmlLike, list.plainHtmlLike == 1 ? "" : "s");
    if (list.lines.empty()) return Fail(options.input + " has no note with a word and a translation: nothing written");

    std::string file;
    for (const std::string& line : list.lines) file += line + "\r\n";
    if (const std::string why = WriteWhole(options.output, file); !why.empty()) return Fail(why);
    std::fprintf(toOutput ? stderr : stdout, "%zu entr%s written to %s from %s\n", list.lines.size(),
                 list.lines.size() == 1 ? "y" : "ies", toOutput ? "standard output" : options.output.c_str(),
                 notes->source.empty() ? options.input.c_str() : notes->source.c_str());
    if (!options.known) return 0;
    if (!notes->reviewState) {
        std::fprintf(stderr, "tpp-words: a text file holds no review intervals: nothing marked known\n");
        return 0;
    }

    // The entries as the element reads the list back, so that the marks
    // are on the entries it shows.
    const std::optional<std::vector<learner::EntryText>> entries = ListEntries(options.output);
    if (!entries) return Fail("cannot read the word list " + options.output + " back");
    std::set<std::string> known;
    for (const std::string& word : list.knownWords) known.insert(learner::WordKey(word));
    const std::string path = StorePath(options);
    if (EmptyFile(path)) return Fail(path + " is empty: not a progress store");
    auto store = learner::ProgressStore::Open(path, error);
    if (!store) return Fail(error);
    const std::string name = ListName(options.output);
    if (!store->RegisterList(name, *entries, error)) return Fail(error);
    const int64_t now = NowMillis();
    size_t marked = 0;
    for (const learner::EntryText& entry : *entries) {
        if (!known.count(learner::WordKey(entry.word))) continue;
        store->RecordMark({name, entry.word, entry.translation}, learner::Mark::kKnown, now);
        ++marked;
    }
    if (!store->Flush(&error)) {
        const std::string kept = store->Close();
        return Fail(error + (kept.empty() ? "" : "\n" + kept));
    }
    std::printf("%zu entr%s marked known (a card's interval of %d days or more)\n", marked, marked == 1 ? "y" : "ies",
                static_cast<int>(kKnownInterval));
    return 0;
}

// The store is only read, and a missing one knows no word.
int RunFilm(const WordsOptions& options) {
    std::string error;
    const std::vector<SubtitleLine> lines = ReadSubtitleLines(options.film, error);
    if (lines.empty()) return Fail(options.film + " gives no subtitle lines: " + error);
    std::vector<std::string> known;
    const std::string store = StorePath(options);
    if (!store.empty() && std::filesystem::exists(store)) {
        learner::Database db;
        if (!OpenForReading(options, db, error)) return Fail(error);
        std::optional<std::vector<std::string>> keys = learner::KnownWordKeys(db, error);
        if (!keys) return Fail(error);
        known = std::move(*keys);
    }
    std::vector<std::pair<std::string, std::string>> listed;
    if (!options.dictionary.empty()) {
        const auto entries = ListEntries(options.dictionary);
        if (!entries) return Fail("cannot read the word list " + options.dictionary);
        for (const learner::EntryText& entry : *entries) listed.emplace_back(entry.word, entry.translation);
    }
    const std::shared_ptr<const BuiltinDictionary> builtin = SharedBuiltinDictionary();
    const std::unique_ptr<Translator> translator = FilmTranslator(std::move(listed), builtin.get());
    const FilmWords film = AnalyseFilmWords(lines, *translator, known, kFilmLanguage);
    if (!options.ankiFile.empty()) {
        const std::string why = WhyNotWritten(options.ankiFile, store);
        if (!why.empty()) return Fail("the Anki file is not written to " + options.ankiFile + ": " + why);
        const std::string file = AnkiFile(FilmCards(platform::AbsolutePath(options.film), lines, film));
        if (const std::string why = WriteWhole(options.ankiFile, file); !why.empty()) return Fail(why);
    }
    const std::string report = options.json ? FilmReportJson(options.film, lines, film) : FilmReportText(lines, film);
    // Cards on standard output keep it to themselves.
    std::fputs(report.c_str(), options.ankiFile == "-" ? stderr : stdout);
    return 0;
}

// tpp-words as a user runs it, on a store a run of the element left: the
// Anki file's headers and rows, and where Anki's import puts them; the
// counts of stats, and clear failures; word lists imported from packages
// another program made and from text exports.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "learner/progress_store.h"
#include "learner/word_key.h"
#include "tests/native/temp_folder.h"
#include "tests/native/unprivileged.h"

namespace {

using learner::EntryKey;
using learner::Mark;

struct Outcome {
    int status = -1;
    std::string output;  // standard output and error
};

Outcome RunWords(const std::string& arguments) {
    Outcome outcome;
    // Standard error first, so that an argument may redirect either anew.
    FILE* pipe = popen((std::string(TPP_WORDS) + " 2>&1 " + arguments).c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.output.append(buffer, n);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

// Two days ago: a list of five, three shown, one marked again, one known;
// the built-in list registered and never shown, one of its words the one
// known.
class TppWords : public testing::Test {
protected:
    void SetUp() override {
        using namespace std::chrono;
        const int64_t now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
        const int64_t then = now - 2 * 86'400'000;
        std::string error;
        auto store = learner::ProgressStore::Open(db_, error);
        ASSERT_TRUE(store) << error;
        const std::vector<learner::EntryText> entries = {
            {"cat\tfelis", "кот"}, {"#dog", "\"пёс\""}, {"house", "дом"}, {"tree", "дерево"}, {"sun", "солнце"}};
        ASSERT_TRUE(store->RegisterList(list_, entries, error)) << error;
        ASSERT_TRUE(store->RegisterList("builtin", {{"a", "b"}, {"c", "d"}, {"House", "d"}}, error)) << error;
        for (size_t i = 0; i < 3; ++i)
            store->RecordShowing({list_, entries[i].word, entries[i].translation}, then + static_cast<int64_t>(i));
        store->RecordMark({list_, "#dog", "\"пёс\""}, Mark::kAgain, then + 10);
        store->RecordMark({list_, "house", "дом"}, Mark::kKnown, then + 10);
        ASSERT_TRUE(store->Flush(&error)) << error;
    }

    TempFolder folder_;
    std::string db_ = folder_ / "progress.sqlite";
    std::string list_ = "/lists/my animals.dic";
};

constexpr const char* kHeader =
    "#separator:tab\n#html:false\n#notetype:Basic\n#deck:tpp25frame::my animals\n#columns:Front\tBack\tTags\n"
    "#tags column:3\n#tags:tpp25frame\n";

// Where Anki's text import puts the columns, by its rules
// (rslib/src/import_export/text/csv/metadata.rs): the header lines are the
// first that begin with "#", each "key:value"; #columns names the columns;
// a field of the note type takes the column of its name, but not the tags
// or deck column; the first field takes column 1 when no name matches.
std::string AnkiMapping(const std::string& file) {
    std::map<std::string, std::string> header;
    std::istringstream lines(file);
    for (std::string line; std::getline(lines, line) && line.starts_with('#');)
        if (const size_t colon = line.find(':'); colon != std::string::npos)
            header[line.substr(1, colon - 1)] = line.substr(colon + 1);
    const std::string deck = header.count("deck column") ? "column " + header["deck column"] : header["deck"];
    std::istringstream labels(header["columns"]);
    std::map<std::string, int> columns;
    int column = 0;
    for (std::string label; std::getline(labels, label, '\t');)
        if (++column != std::atoi(header["tags column"].c_str()) && column != std::atoi(header["deck column"].c_str()))
            columns[label] = column;
    return header["notetype"] + " Front=" + std::to_string(columns.count("Front") ? columns["Front"] : 1) +
           " Back=" + std::to_string(columns["Back"]) + " tags=" + header["tags column"] + " deck=" + deck;
}

TEST_F(TppWords, ExportsTheWordsMarkedAgainOrEverySeen) {
    const std::string file = folder_ / "cards.txt";
    const Outcome again = RunWords("export --db " + db_ + " --anki " + file);
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(ReadBytes(file), std::string(kHeader) + "\"#dog\"\t\"\"\"пёс\"\"\"\tmy_animals\n");

    const Outcome all = RunWords("--db " + db_ + " export --all --anki " + file);
    ASSERT_EQ(all.status, 0) << all.output;
    EXPECT_EQ(ReadBytes(file), std::string(kHeader) +
                                   "\"cat\tfelis\"\tкот\tmy_animals\n"
                                   "\"#dog\"\t\"\"\"пёс\"\"\"\tmy_animals\n"
                                   "house\tдом\tmy_animals\n");
    // The word is Front, the translation Back.
    EXPECT_EQ(AnkiMapping(ReadBytes(file)), "Basic Front=1 Back=2 tags=3 deck=tpp25frame::my animals");
}

// Cards of two lists go each to its list's deck, by a deck column.
TEST_F(TppWords, ExportsSeveralListsEachToItsDeck) {
    std::string error;
    learner::ProgressStore::Open(db_, error)->RecordMark({"builtin", "a", "b"}, Mark::kAgain, 1000);
    const std::string file = folder_ / "cards.txt";
    const Outcome again = RunWords("export --db " + db_ + " --anki " + file);
    ASSERT_EQ(again.status, 0) << again.output;
    const std::string cards = ReadBytes(file);
    EXPECT_EQ(AnkiMapping(cards), "Basic Front=1 Back=2 tags=3 deck=column 4");
    EXPECT_NE(cards.find("\n\"#dog\"\t\"\"\"пёс\"\"\"\tmy_animals\ttpp25frame::my animals\n"), std::string::npos)
        << cards;
    EXPECT_NE(cards.find("\na\tb\tbuiltin\ttpp25frame::builtin\n"), std::string::npos) << cards;
}

TEST_F(TppWords, StatsCountEachList) {
    const Outcome stats = RunWords("stats --db " + db_);
    ASSERT_EQ(stats.status, 0) << stats.output;
    // seen, known, due today, never seen: the entry marked again and the
    // one seen without a key are due; house is known, the rest unseen.
    EXPECT_NE(stats.output.find("       3        1          2           2  /lists/my animals.dic\n"), std::string::npos)
        << stats.output;
    // House, known in the other list, is known here too.
    EXPECT_NE(stats.output.find("       0        1          0           2  builtin\n"), std::string::npos)
        << stats.output;
}

TEST_F(TppWords, KnownMarksAListOrAWordFromItsFile) {
    const std::string list = folder_ / "colours.dic";
    WriteBytes(list, "red - красный\nblue - синий\ngreen - зелёный\n");
    const Outcome one = RunWords("known --db " + db_ + " " + list + " BLUE");
    ASSERT_EQ(one.status, 0) << one.output;
    EXPECT_NE(RunWords("stats --db " + db_).output.find("       0        1          0           2  " + list),
              std::string::npos);
    ASSERT_EQ(RunWords("known --db " + db_ + " " + list).status, 0);
    EXPECT_NE(RunWords("stats --db " + db_).output.find("       0        3          0           0  " + list),
              std::string::npos);
}

// A word is the same word whichever separator its line has: known from a
// list of dashes and tabs, it is known in a list of hyphens.
TEST_F(TppWords, AWordIsOneWhicheverSeparatorItsLineHas) {
    const std::string dashes = folder_ / "dashes.dic", hyphens = folder_ / "hyphens.dic";
    WriteBytes(dashes, "blue\tсиний\ngreen \xE2\x80\x94 зелёный\ngrey \xE2\x80\x93 серый\n");
    WriteBytes(hyphens, "blue - синий\ngreen - зелёный\ngrey - серый\nred - красный\n");
    ASSERT_EQ(RunWords("known --db " + db_ + " " + dashes + " GREY").status, 0);
    ASSERT_EQ(RunWords("known --db " + db_ + " " + dashes).status, 0);
    ASSERT_EQ(RunWords("known --db " + db_ + " " + hyphens + " red").status, 0);
    EXPECT_NE(RunWords("stats --db " + db_).output.find("       0        4          0           0  " + hyphens),
              std::string::npos);
}

// The built-in list is the dictionary the program carries, as the element
// shows it.
TEST_F(TppWords, KnownMarksAWordOfTheBuiltInList) {
    const Outcome known = RunWords("known --db " + db_ + " builtin APPLE");
    ASSERT_EQ(known.status, 0) << known.output;
    EXPECT_NE(known.output.find("1 entry of builtin marked known"), std::string::npos) << known.output;
}

TEST_F(TppWords, ResetForgetsAListOrAll) {
    ASSERT_EQ(RunWords("reset --db " + db_ + " builtin").status, 0);
    EXPECT_EQ(RunWords("stats --db " + db_).output.find("builtin"), std::string::npos);
    ASSERT_EQ(RunWords("reset --db " + db_).status, 0);
    EXPECT_EQ(RunWords("stats --db " + db_).output.find("animals"), std::string::npos);
}

TEST_F(TppWords, BadInputFailsClearly) {
    struct Case {
        std::string arguments;
        int status;
        std::string message;
    };
    WriteBytes(folder_ / "one.dic", "one - один\n");
    const std::vector<Case> cases = {
        {"", 2, "no command"},
        {"list", 2, "unknown command list"},
        {"export --db " + db_, 2, "--anki FILE"},
        {"stats --db", 2, "--db needs a file"},
        {"stats extra --db " + db_, 2, "too many arguments"},
        {"known --db " + db_, 2, "needs a word list"},
        {"stats --all --db " + db_, 2, "for export only"},
        {"stats --db " + (folder_ / "missing.sqlite"), 1, "no progress store at"},
        {"known --db " + db_ + " " + (folder_ / "none.dic"), 1, "cannot read the word list"},
        {"known --db " + db_ + " " + (folder_ / "one.dic") + " zebra", 1, "has no entry zebra"},
        {"reset --db " + db_ + " " + (folder_ / "never.dic"), 1, "holds no list"},
        {"export --db " + db_ + " --anki " + (folder_ / "no/such/folder/cards.txt"), 1, "cannot write"},
        {"stats --db " + (folder_ / "empty.sqlite"), 1, "is empty: not a progress store"},
        {"known --db " + (folder_ / "empty.sqlite") + " builtin", 1, "is empty: not a progress store"},
    };
    WriteBytes(folder_ / "empty.sqlite", "");
    for (const Case& c : cases) {
        const Outcome outcome = RunWords(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << c.arguments << ": " << outcome.output;
        EXPECT_NE(outcome.output.find(c.message), std::string::npos) << c.arguments << ": " << outcome.output;
    }
    EXPECT_EQ(RunWords("--help").status, 0);
    EXPECT_EQ(ReadBytes(folder_ / "empty.sqlite"), "");
}

// A mistyped --anki that names the store, one of its files or any SQLite
// file (through a link too) is refused, and the store stays whole.
TEST_F(TppWords, ExportNeverWritesOverTheStoreOrAnySqliteFile) {
    const std::string before = ReadBytes(db_);
    const std::string other = folder_ / "other.sqlite";
    std::string error;
    ASSERT_TRUE(learner::ProgressStore::Open(other, error)) << error;
    std::filesystem::create_symlink(db_, folder_ / "link");
    for (const std::string& target :
         std::vector<std::string>{db_, db_ + "-wal", db_ + "-shm", db_ + "-queued", other, folder_ / "link",
                                  folder_.path() + "/./progress.sqlite"}) {
        const Outcome refused = RunWords("export --db " + db_ + " --anki " + target);
        EXPECT_EQ(refused.status, 1) << target << ": " << refused.output;
        EXPECT_NE(refused.output.find("is not written to"), std::string::npos) << refused.output;
    }
    EXPECT_EQ(ReadBytes(db_), before);
    EXPECT_FALSE(std::filesystem::exists(db_ + "-queued"));
    EXPECT_EQ(RunWords("stats --db " + db_).status, 0);
}

// "-" is standard output (the report goes to standard error); "--" lets a
// word start with "-"; a card with an empty word, which Anki refuses, is
// left out and counted.
TEST_F(TppWords, ExportToStandardOutputAndWordsAfterTheEndOfOptions) {
    const std::string list = folder_ / "signs.dic";
    WriteBytes(list, "-minus - минус\nplus - плюс\n");
    const Outcome known = RunWords("known --db " + db_ + " -- " + list + " -minus");
    ASSERT_EQ(known.status, 0) << known.output;
    EXPECT_NE(known.output.find("1 entry of"), std::string::npos) << known.output;
    {
        std::string error;
        auto store = learner::ProgressStore::Open(db_, error);
        ASSERT_TRUE(store && store->RegisterList(list_, {{"", "пусто"}}, error)) << error;
        store->RecordMark({list_, "", "пусто"}, Mark::kAgain, 1);
        ASSERT_TRUE(store->Flush(&error)) << error;
    }
    const Outcome out = RunWords("export --db " + db_ + " --anki - 2>/dev/null");
    ASSERT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(out.output, std::string(kHeader) + "\"#dog\"\t\"\"\"пёс\"\"\"\tmy_animals\n");
    const Outcome told = RunWords("export --db " + db_ + " --anki - >/dev/null");
    EXPECT_NE(told.output.find("1 card written to standard output; 1 entry with an empty word left out"),
              std::string::npos)
        << told.output;
    EXPECT_FALSE(std::filesystem::exists("-"));
}

// A list reached through a linked folder is the same list.
TEST_F(TppWords, AListThroughALinkedFolderKeepsOneHistory) {
    std::filesystem::create_directory(folder_ / "real");
    WriteBytes(folder_ / "real/colours.dic", "red - красный\nblue - синий\n");
    std::filesystem::create_directory_symlink(folder_ / "real", folder_ / "linked");
    ASSERT_EQ(RunWords("known --db " + db_ + " " + (folder_ / "linked/colours.dic") + " blue").status, 0);
    ASSERT_EQ(RunWords("known --db " + db_ + " " + (folder_ / "real/colours.dic") + " red").status, 0);
    const Outcome stats = RunWords("stats --db " + db_);
    EXPECT_NE(stats.output.find("       0        2          0           0  "), std::string::npos) << stats.output;
    EXPECT_EQ(stats.output.find("linked"), std::string::npos) << stats.output;
}

// Another user's store, in a folder they may read but not write: stats and
// export read it, with no log or shared memory beside it, and while its
// owner has it open.
TEST_F(TppWords, StatsAndExportReadAnotherUsersStore) {
    ASSERT_EQ(::chmod(folder_.path().c_str(), 0755), 0);
    const std::string cards = "/tmp/tpp-words-cards-" + std::to_string(getpid()) + ".txt";
    auto asNobody = [&](const std::string& arguments) {
        Outcome outcome;
        if (geteuid() != 0) return RunWords(arguments);
        const pid_t child = fork();
        if (child == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setresgid(kUnprivilegedId, kUnprivilegedId, kUnprivilegedId) != 0 ||
                ::setresuid(kUnprivilegedId, kUnprivilegedId, kUnprivilegedId) != 0)
                _exit(3);
            const Outcome inner = RunWords(arguments);
            std::fputs(inner.output.c_str(), stdout);
            _exit(inner.status);
        }
        int status = 0;
        waitpid(child, &status, 0);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return outcome;
    };
    for (const bool ownerHasItOpen : {false, true}) {
        std::unique_ptr<learner::ProgressStore> owner;
        if (ownerHasItOpen) {
            std::string error;
            owner = learner::ProgressStore::Open(db_, error);
            owner->RecordShowing({list_, "tree", "дерево"}, 5);
            ASSERT_TRUE(owner->Flush(&error)) << error;
        }
        EXPECT_EQ(std::filesystem::exists(db_ + "-wal"), ownerHasItOpen);
        EXPECT_EQ(asNobody("stats --db " + db_).status, 0) << ownerHasItOpen;
        EXPECT_EQ(asNobody("export --db " + db_ + " --anki " + cards).status, 0) << ownerHasItOpen;
        std::filesystem::remove(cards);
    }
    EXPECT_EQ(RunWords("stats --db " + db_).status, 0);
}

// Word lists from the notes of other programs' files (tests/data/words-import
// says which made them).
class TppWordsImport : public testing::Test {
protected:
    static std::string Data(const std::string& name) { return std::string(TPP_WORDS_IMPORT_DATA "/") + name; }
    Outcome Import(const std::string& file, const std::string& more = "") {
        return RunWords("import --db " + db_ + " " + file + " -o " + list_ + " " + more);
    }
    std::vector<std::string> Known() {
        std::string error;
        auto store = learner::ProgressStore::Open(db_, error);
        return store ? store->KnownWords(error).value_or(std::vector<std::string>{"?"})
                     : std::vector<std::string>{error};
    }

    TempFolder folder_;
    std::string db_ = folder_ / "progress.sqlite";
    std::string list_ = folder_ / "animals.dic";
};

// The same notes in each form of package: the newest collection is read,
// never the one-note stand-in the newer packages carry for older readers.
TEST_F(TppWordsImport, ReadsEachFormOfAPackageWhole) {
    const std::string expected =
        "lighthouse - маяк\r\ncat - кот, кошка\r\nto run out - кончаться иссякать\r\nrock & roll - рок-н-ролл\r\n"
        "tea cup - чашка для чая\r\n<b> - тег \"жирный\" — №1\r\ndie Größe - размер; рост\r\n"
        "say \"cheese\" - скажи «сыр»\r\n";
    for (const char* form : {"animals.apkg", "animals-21.apkg", "animals-21b.apkg"}) {
        const Outcome imported = Import(Data(form));
        ASSERT_EQ(imported.status, 0) << form << ": " << imported.output;
        EXPECT_EQ(ReadBytes(list_), expected) << form;
        EXPECT_NE(imported.output.find("1 note with no translation left out: note 7 (lonely)"), std::string::npos)
            << imported.output;
        EXPECT_NE(imported.output.find("HTML reduced to text in 7 fields"), std::string::npos) << imported.output;
    }
    // The element reads every line back as the note's two fields.
    const Outcome out = RunWords("import " + Data("animals-21b.apkg") + " -o - 2>/dev/null");
    EXPECT_EQ(out.output, expected);
}

// Cards reviewed to an interval of 21 days or more: 30 and 21 are known,
// 20 is not, nor a note left out; known is the word's, in every list.
TEST_F(TppWordsImport, KnownMarksTheNotesLearnt) {
    const Outcome legacy = Import(Data("animals.apkg"), "--known");
    ASSERT_EQ(legacy.status, 0) << legacy.output;
    EXPECT_NE(legacy.output.find("0 entries marked known"), std::string::npos) << legacy.output;
    const Outcome newest = Import(Data("animals-21b.apkg"), "--known");
    ASSERT_EQ(newest.status, 0) << newest.output;
    EXPECT_NE(newest.output.find("2 entries marked known"), std::string::npos) << newest.output;
    EXPECT_EQ(Known(), (std::vector<std::string>{"cat", "lighthouse"}));
    const Outcome text = Import(Data("animals.txt"), "--known");
    EXPECT_EQ(text.status, 0) << text.output;
    EXPECT_NE(text.output.find("nothing marked known"), std::string::npos) << text.output;
}

// A plain-text export: its meta columns left out, quoted fields with
// doubled quotes and a line break, a comment, a note without translation
// named by its line.
TEST_F(TppWordsImport, ReadsATextExportWithItsHeaders) {
    const Outcome imported = Import(Data("animals.txt"));
    ASSERT_EQ(imported.status, 0) << imported.output;
    EXPECT_EQ(ReadBytes(list_),
              "lighthouse - маяк\r\ncat - кот, кошка\r\nsay \"cheese\" - скажи «сыр»\r\n#hashtag - хештег\r\n"
              "a < b - а меньше б\r\n");
    EXPECT_NE(imported.output.find("1 note with no translation left out: line 12 (lonely)"), std::string::npos)
        << imported.output;
    EXPECT_NE(imported.output.find("HTML reduced to text in 2 fields"), std::string::npos) << imported.output;
}

// Plain text stays as written when the header says so; without a header
// the separator is guessed from the first line.
TEST_F(TppWordsImport, ReadsCsvAndTsvAsWritten) {
    struct Case {
        std::string name, text, list;
    };
    const std::vector<Case> cases = {
        {"plain.txt", "#separator:Pipe\n#html:false\nx &amp; y|<b>bold</b>\n", "x &amp; y - <b>bold</b>\r\n"},
        {"words.csv", "word,translation\n\"a, b\",\"c \"\"d\"\"\"\r\n\n", "word - translation\r\na, b - c \"d\"\r\n"},
        {"words.tsv", "\xEF\xBB\xBFone\tодин, раз\ttag\n", "one - один, раз\r\n"},
    };
    for (const Case& c : cases) {
        WriteBytes(folder_ / c.name, c.text);
        const Outcome imported = Import(folder_ / c.name);
        ASSERT_EQ(imported.status, 0) << c.name << ": " << imported.output;
        EXPECT_EQ(ReadBytes(list_), c.list) << c.name;
        EXPECT_EQ(imported.output.find("HTML"), std::string::npos) << imported.output;
        EXPECT_EQ(imported.output.find("2 fields kept as written") != std::string::npos, c.name == "plain.txt")
            << imported.output;
    }
}

// The store, the file imported and a damaged package are refused, and
// nothing is written.
TEST_F(TppWordsImport, RefusesWhatItMustNotWriteOrCannotRead) {
    std::string error;
    ASSERT_TRUE(learner::ProgressStore::Open(db_, error)) << error;
    const std::string store = ReadBytes(db_);
    const std::string package = ReadBytes(Data("animals-21b.apkg"));
    WriteBytes(folder_ / "cut.apkg", package.substr(0, package.size() / 2));
    WriteBytes(folder_ / "copy.apkg", package);
    WriteBytes(folder_ / "empty.apkg", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    WriteBytes(folder_ / "picture.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const std::string copy = folder_ / "copy.apkg";
    struct Case {
        std::string arguments, message;
        int status;
    };
    const std::vector<Case> cases = {
        {"import " + copy + " -o " + db_, "it is the progress store", 1},
        {"import " + copy + " -o " + copy, "it is the file imported", 1},
        {"import " + (folder_ / "cut.apkg") + " -o " + list_, "cannot import", 1},
        {"import " + (folder_ / "empty.apkg") + " -o " + list_, "holds no collection", 1},
        {"import " + (folder_ / "picture.png") + " -o " + list_, "neither a package nor text", 1},
        {"import " + copy + " -o - --known", "--known needs -o LIST", 2},
        {"import " + copy, "import needs a file and a list", 2},
    };
    for (const Case& c : cases) {
        const Outcome outcome = RunWords("--db " + db_ + " " + c.arguments);
        EXPECT_EQ(outcome.status, c.status) << c.arguments << ": " << outcome.output;
        EXPECT_NE(outcome.output.find(c.message), std::string::npos) << c.arguments << ": " << outcome.output;
    }
    EXPECT_EQ(ReadBytes(db_), store);
    EXPECT_EQ(ReadBytes(copy), package);
    EXPECT_FALSE(std::filesystem::exists(list_));
}

}  // namespace

// A film's words against the store: "reef" is known there, the little
// words are common; "lighthouse" is only in mueller7.
TEST_F(TppWords, FilmNamesTheUnknownWordsAndTheShareKnown) {
    {
        std::string error;
        auto store = learner::ProgressStore::Open(db_, error);
        ASSERT_TRUE(store) << error;
        store->RecordMark({list_, "reef", "риф"}, Mark::kKnown, 1);
        ASSERT_TRUE(store->Flush(&error)) << error;
    }
    const Outcome text = RunWords("film --db " + db_ + " " + TPP_FILM_SRT);
    ASSERT_EQ(text.status, 0) << text.output;
    EXPECT_NE(text.output.find("11 lines, 66 words, "), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("lighthouse - маяк"), std::string::npos) << text.output;
    EXPECT_EQ(text.output.find(" reef "), std::string::npos) << text.output;

    const Outcome json = RunWords("film --json --db " + db_ + " " + TPP_FILM_SRT);
    ASSERT_EQ(json.status, 0) << json.output;
    EXPECT_NE(json.output.find("{\"word\": \"lighthouse\", \"count\": 3, \"taught\": true"), std::string::npos)
        << json.output;

    const std::string cards = folder_ / "film.txt";
    ASSERT_EQ(RunWords("film --db " + db_ + " --anki " + cards + " " + TPP_FILM_SRT).status, 0);
    const std::string file = ReadBytes(cards);
    EXPECT_NE(file.find("#columns:Front\tBack\tSentence\tTags\n#tags column:4\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\nlighthouse\t"), std::string::npos) << file;
    EXPECT_NE(file.find("\tThe lighthouse keeper / climbed the stairs & waited.\tharbour\n"), std::string::npos)
        << file;
}

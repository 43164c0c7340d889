// A film's words weighed against what the learner knows, and when the
// chosen ones are taught: before their line, never over it, at most at
// the rate asked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "film/film_words.h"
#include "film/preteach_plan.h"

namespace {

constexpr int64_t kSecond = 1'000'000'000;

SubtitleLine At(int seconds, std::string text) { return {seconds * kSecond, (seconds + 2) * kSecond, std::move(text)}; }

// Only the lists translate, and nothing is common: what is unknown is what
// the test says.
Translator ListTranslator() {
    return Translator(
        {{"lighthouse", "маяк"}, {"keeper", "смотритель"}, {"reef", "риф"}, {"wick", "фитиль"}, {"tar", "смола"}},
        nullptr, {}, nullptr);
}

class FilmWordsTest : public ::testing::Test {
protected:
    std::vector<SubtitleLine> lines = {
        At(2, "The lighthouse keeper"),   // the, lighthouse, keeper
        At(10, "A LIGHTHOUSE, again."),   // a, lighthouse, again
        At(20, "The reef and the wick"),  // reef, wick, and
        At(30, "Tar."),
    };
    const Translator translator = ListTranslator();
    // Known: the little words, and "reef" as the store keeps it.
    const std::vector<std::string> known = {"a", "again", "and", "reef", "the"};
};

TEST_F(FilmWordsTest, CountsTheUnknownWordsAndTheShareKnown) {
    const FilmWords film = AnalyseFilmWords(lines, translator, known, "en");
    EXPECT_EQ(film.running, 12);
    EXPECT_EQ(film.known, 7);
    ASSERT_EQ(film.unknown.size(), 4u);
    EXPECT_EQ(film.unknown[0].word, "lighthouse");  // most frequent first, whatever its case
    EXPECT_EQ(film.unknown[0].count, 2);
    EXPECT_EQ(film.unknown[0].lines, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(film.unknown[0].translation->text, "маяк");
    for (const FilmWord& word : film.unknown) EXPECT_NE(word.word, "reef");
    // Lines 1 (lighthouse), 2 (wick) and 3 (tar) hang on one word each.
    EXPECT_EQ(film.oneUnknownLines, (std::vector<int32_t>{1, 2, 3}));
    // keeper neither recurs nor carries a line.
    for (const FilmWord& word : film.unknown) EXPECT_EQ(word.chosen, word.word != "keeper") << word.word;
}

TEST_F(FilmWordsTest, CuesComeBeforeTheirLinesAtTheRateAsked) {
    const FilmWords film = AnalyseFilmWords(lines, translator, known, "en");
    // Lead 4 s, show 3 s, one every 9 s: lighthouse for line 0 starts at 0 s
    // (2 s ahead), wick at 16 s, tar at 26 s.
    std::vector<FilmCue> cues = PlanCues(film, lines, {4 * kSecond, 3 * kSecond, 9 * kSecond});
    ASSERT_EQ(cues.size(), 3u);
    EXPECT_EQ(film.unknown[cues[0].word].word, "lighthouse");
    EXPECT_EQ(cues[0].start, 0);
    EXPECT_EQ(cues[0].end, 2 * kSecond);  // ends as its line starts
    for (const FilmCue& cue : cues) {
        const int64_t ahead = lines[cue.line].start - cue.start;
        EXPECT_GE(ahead, kSecond);
        EXPECT_LE(ahead, 4 * kSecond);
        EXPECT_LE(cue.end, lines[cue.line].start);
    }
    EXPECT_EQ(film.unknown[cues[1].word].word, "wick");
    EXPECT_EQ(cues[1].start, 16 * kSecond);
    // Once every 20 s, wick (16 s) comes too soon after lighthouse (0 s).
    cues = PlanCues(film, lines, {4 * kSecond, 3 * kSecond, 20 * kSecond});
    ASSERT_EQ(cues.size(), 2u);
    EXPECT_EQ(film.unknown[cues[1].word].word, "tar");
}

TEST_F(FilmWordsTest, ALineAtTheFilmsStartTeachesNothing) {
    lines[0] = {kSecond / 2, 2 * kSecond, "The lighthouse keeper"};
    const FilmWords film = AnalyseFilmWords(lines, translator, known, "en");
    const std::vector<FilmCue> cues = PlanCues(film, lines, {4 * kSecond, 3 * kSecond, 2 * kSecond});
    ASSERT_FALSE(cues.empty());
    // lighthouse waits for its second line.
    EXPECT_EQ(cues[0].line, 1);
    EXPECT_EQ(cues[0].start, 6 * kSecond);
}

}  // namespace

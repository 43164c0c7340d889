// The lines of one .srt, read from every form ffmpeg made of it
// (make_films.sh), and the markup the parsers leave behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "subtitles/subtitle_reader.h"

namespace {

std::string Fixture(const std::string& name) { return std::string(std::getenv("TPP_FILM_FIXTURES")) + "/" + name; }

constexpr int64_t kSecond = 1'000'000'000;

class SubtitleForms : public testing::TestWithParam<const char*> {};

TEST_P(SubtitleForms, GiveTheSameLinesAsTheSrt) {
    std::string error;
    const std::vector<SubtitleLine> lines = ReadSubtitleLines(Fixture(GetParam()), error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0].text, "Good evening.");
    EXPECT_EQ(lines[0].start, 2 * kSecond);
    EXPECT_EQ(lines[0].end, 4 * kSecond + kSecond / 2);
    EXPECT_EQ(lines[1].text, "The lighthouse keeper\nclimbed the stairs & waited.");
    EXPECT_EQ(lines[10].text, "The keeper slept at last.");
    EXPECT_EQ(lines[10].start, 71 * kSecond);
    EXPECT_EQ(lines[10].end, 74 * kSecond);
    for (size_t i = 1; i < lines.size(); ++i) EXPECT_LT(lines[i - 1].end, lines[i].start);
}

INSTANTIATE_TEST_SUITE_P(Files, SubtitleForms,
                         testing::Values("harbour.srt", "harbour.ass", "harbour.ssa", "harbour.vtt", "harbour-ass.mkv",
                                         "harbour-srt.mkv", "harbour.mp4"));

TEST(SubtitleReader, SaysWhyThereAreNoLines) {
    std::string error;
    EXPECT_TRUE(ReadSubtitleLines(Fixture("silent.mkv"), error).empty());
    EXPECT_EQ(error, "it has no text subtitle track");
    EXPECT_TRUE(ReadSubtitleLines(Fixture("absent.srt"), error).empty());
    EXPECT_EQ(error, "it cannot be opened");
}

TEST(SubtitleMarkup, LeavesTheTextAlone) {
    EXPECT_EQ(StripSubtitleMarkup("<i>Hi</i> <font color=\"red\">you</font>", false), "Hi you");
    EXPECT_EQ(StripSubtitleMarkup("{\\an8}{\\i1}Up{\\i0}\\Nthere ", false), "Up\nthere");
    EXPECT_EQ(StripSubtitleMarkup("a < b &amp; c", true), "a < b & c");
    EXPECT_EQ(StripSubtitleMarkup("a &amp; b", false), "a &amp; b");
    EXPECT_EQ(StripSubtitleMarkup("  one \n\n two", false), "one\ntwo");
}

TEST(SubtitlesBeside, FindsTheFilmsNamesake) {
    const std::string film = Fixture("harbour.mp4");
    EXPECT_EQ(SubtitlesBeside(film), Fixture("harbour.srt"));
    EXPECT_EQ(SubtitlesBeside(Fixture("silent.mkv")), "");
    EXPECT_TRUE(IsSubtitleFileName("a/B.SRT"));
    EXPECT_FALSE(IsSubtitleFileName("film.mkv"));
}

}  // namespace

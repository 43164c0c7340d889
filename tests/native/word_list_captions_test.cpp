// Word lists through the Linux plug-in's renderer: the same list in
// Windows-1251 and in UTF-8, or with any of the separators, gives the same
// frames, pixel for pixel.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/cp1251.h"
#include "platform/utf8.h"
#include "plugin/host_callbacks.h"
#include "render/freetype_caption_renderer.h"
#include "tests/native/temp_folder.h"
#include "tests/support/overlay_internals.h"
#include "tests/support/test_instance.h"

namespace {

// The frames of an instance that shows the word list, one caption every
// other frame, in order; the first caption's lines as laid out in
// firstLines.
std::vector<std::vector<uint8_t>> FramesOf(const std::string& wordList, const TempFolder& dir,
                                           std::string* firstLines = nullptr) {
    const std::string words = dir / "words.dic", settings = dir / "settings.ini";
    WriteBytes(words, wordList);
    WriteBytes(settings,
               "[PluginSettings]\r\nDicType=1\r\nRulesType=0\r\nShowFreqFrom=2\r\nShowFreqTo=2\r\n"
               "DicFileName=" +
                   words + "\r\n");
    InstanceParts parts;
    parts.renderer = std::make_unique<FreeTypeCaptionRenderer>();
    parts.settingsPath = settings;
    PluginInstance plugin(std::move(parts));
    plugin.Init();
    const StreamFormat format = {360, 288, 0, 1};
    EXPECT_EQ(host::StreamStart(plugin, &format), 1);
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < 12; ++i) {
        frames.emplace_back(size_t(format.width) * format.height * 3, 0x50);
        FrameRecord record = {frames.back().data()};
        EXPECT_EQ(host::ProcessFrame(plugin, &record), 1);
        if (i == 0 && firstLines) *firstLines = OverlayEngineInternals::CaptionLines(OverlayOf(plugin));
    }
    plugin.StreamStop();
    return frames;
}

TEST(WordListCaptions, Windows1251AndUtf8GiveTheSameFrames) {
    const std::string utf8 = "cat - кошка\r\nhedgehog - ёж\r\nЁлка - fir\r\n№ - number\r\n";
    std::string cp1251;
    ASSERT_TRUE(EncodeCp1251(utf8, cp1251));
    TempFolder dir;
    const auto frames = FramesOf(cp1251, dir);
    EXPECT_EQ(FramesOf(utf8, dir), frames);
    EXPECT_EQ(FramesOf("\xEF\xBB\xBF" + utf8, dir), frames);
    int drawn = 0;
    for (const auto& frame : frames) drawn += frame != std::vector<uint8_t>(frame.size(), 0x50);
    EXPECT_EQ(drawn, 6);
}

// Lists typed with dashes, or exported from flash cards with tabs, show
// word over translation as a " - " list does, pixel for pixel.
TEST(WordListCaptions, EverySeparatorDrawsTheSameTwoLineCaption) {
    const auto list = [](const std::string& separator) {
        return "cat" + separator + "кошка\r\nhedgehog" + separator + "ёж\r\nЁлка" + separator + "fir\r\n";
    };
    TempFolder dir;
    const auto frames = FramesOf(list(" - "), dir);
    EXPECT_EQ(FramesOf(list(" \xE2\x80\x94 "), dir), frames) << "em dash";
    EXPECT_EQ(FramesOf(list(" \xE2\x80\x93 "), dir), frames) << "en dash";
    std::string lines;
    EXPECT_EQ(FramesOf(list("\t"), dir, &lines), frames) << "tab";
    EXPECT_EQ(lines, "hedgehog\nёж");
}

// The first separator in the line parts word from translation, whatever
// the translation holds after it; a " - " further on breaks a line as it
// always did, a dash does not.
TEST(WordListCaptions, TheFirstSeparatorPartsTheLine) {
    TempFolder dir;
    const auto linesOf = [&](const std::string& line) {
        std::string lines;
        FramesOf(line + "\r\n", dir, &lines);
        return lines;
    };
    EXPECT_EQ(linesOf("a \xE2\x80\x94 b - c"), "a\nb\nc");
    EXPECT_EQ(linesOf("a - b \xE2\x80\x94 c"), "a\nb \xE2\x80\x94 c");
    EXPECT_EQ(linesOf("a\tb \xE2\x80\x93 c\td"), "a\nb \xE2\x80\x93 c\td");
    EXPECT_EQ(linesOf("a\u2014b"), "a\u2014b") << "a dash without blanks joins";
}

// A runaway line of millions of characters is cut to what a frame can
// show, at a character's start, and drawn at once, even in the largest font
// on a large frame, where its glyphs' pixels would add up past 32 bits.
TEST(WordListCaptions, LineOfMillionsOfCharactersIsCutAndDrawnAtOnce) {
    TempFolder dir;
    const std::string words = dir / "words.dic", settings = dir / "settings.ini";
    std::string line;
    for (int i = 0; i < 1600000; ++i) line += "ёжик ";  // 8 million characters
    WriteBytes(words, line + "\r\n");
    WriteBytes(settings, "[PluginSettings]\r\nDicType=1\r\nFontSize=-576\r\nDicFileName=" + words + "\r\n");
    InstanceParts parts;
    parts.renderer = std::make_unique<FreeTypeCaptionRenderer>();
    parts.settingsPath = settings;
    PluginInstance plugin(std::move(parts));
    plugin.Init();
    const StreamFormat format = {1920, 1080, 0, 1};
    ASSERT_EQ(host::StreamStart(plugin, &format), 1);
    const std::vector<uint8_t> grey(size_t(format.width) * format.height * 3, 0x50);
    std::vector<uint8_t> frame = grey;
    FrameRecord record = {frame.data()};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(host::ProcessFrame(plugin, &record), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    plugin.StreamStop();

    // Laid out in lines, each break in place of a space.
    const std::string& shown = OverlayEngineInternals::CaptionLines(OverlayOf(plugin));
    EXPECT_TRUE(IsValidUtf8(shown));
    size_t characters = 0;
    for (size_t i = 0; i < shown.size(); ++characters) DecodeUtf8(shown, i);
    EXPECT_EQ(characters, 4096u);
    EXPECT_NE(frame, grey);
}

}  // namespace

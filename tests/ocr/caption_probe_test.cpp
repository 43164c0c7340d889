// The read-back's helper: where it finds a caption in each frame format,
// the crop it hands tesseract, which language pack a line gets, what
// counts as a line read, and the settings a host gets for a property.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_table.h"
#include "tests/ocr/caption_probe.h"

namespace {

constexpr int32_t kWidth = 8, kHeight = 6;

std::vector<uint8_t> Frame(ProbeFormat format, uint8_t value = 100) {
    return std::vector<uint8_t>(FrameBytes(format, kWidth, kHeight), value);
}

Box BoxOf(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, ProbeFormat format) {
    return ChangedBox(a.data(), b.data(), kWidth, kHeight, format);
}

void ExpectBox(const Box& box, int32_t x, int32_t y, int32_t width, int32_t height) {
    EXPECT_EQ(box.x, x);
    EXPECT_EQ(box.y, y);
    EXPECT_EQ(box.width, width);
    EXPECT_EQ(box.height, height);
}

TEST(ChangedBox, Yuy2LumaIsItsPixelsAndChromaThePairs) {
    const std::vector<uint8_t> original = Frame(ProbeFormat::kYuy2);
    std::vector<uint8_t> frame = original;
    EXPECT_TRUE(BoxOf(original, frame, ProbeFormat::kYuy2).empty());
    frame[2 * (2 * kWidth) + 4 + 2] = 0;  // row 2, pair 1, Y1: pixel 3
    ExpectBox(BoxOf(original, frame, ProbeFormat::kYuy2), 3, 2, 1, 1);
    frame = original;
    frame[2 * (2 * kWidth) + 4 + 3] = 0;  // the same pair's V: pixels 2 and 3
    ExpectBox(BoxOf(original, frame, ProbeFormat::kYuy2), 2, 2, 2, 1);
    frame[5 * (2 * kWidth) + 0] = 0;  // and row 5's first Y0: the box spans both
    ExpectBox(BoxOf(original, frame, ProbeFormat::kYuy2), 0, 2, 4, 4);
}

TEST(ChangedBox, Rgb24RowsCountFromTheBottomAndBgrRowsFromTheTop) {
    for (ProbeFormat format : {ProbeFormat::kRgb24, ProbeFormat::kBgr}) {
        const std::vector<uint8_t> original = Frame(format);
        std::vector<uint8_t> frame = original;
        frame[1 * (3 * kWidth) + 3 * 6 + 2] = 0;  // stored row 1, pixel 6, its third byte
        ExpectBox(BoxOf(original, frame, format), 6, format == ProbeFormat::kRgb24 ? kHeight - 2 : 1, 1, 1);
    }
}

TEST(FrameToRgb, StudioRangeYuy2AndBothByteOrders) {
    std::vector<uint8_t> yuy2 = Frame(ProbeFormat::kYuy2, 128);
    yuy2[0] = 235, yuy2[2] = 16;  // white, black
    const RgbImage fromYuy2 = FrameToRgb(yuy2.data(), kWidth, kHeight, ProbeFormat::kYuy2);
    EXPECT_EQ(std::vector<uint8_t>(fromYuy2.rgb.begin(), fromYuy2.rgb.begin() + 6),
              (std::vector<uint8_t>{255, 255, 255, 0, 0, 0}));

    std::vector<uint8_t> bgr = Frame(ProbeFormat::kBgr, 0);
    bgr[0] = 10, bgr[1] = 20, bgr[2] = 30;  // stored first: B, G, R
    const RgbImage top = FrameToRgb(bgr.data(), kWidth, kHeight, ProbeFormat::kBgr);
    EXPECT_EQ(std::vector<uint8_t>(top.rgb.begin(), top.rgb.begin() + 3), (std::vector<uint8_t>{30, 20, 10}));
    const RgbImage bottom = FrameToRgb(bgr.data(), kWidth, kHeight, ProbeFormat::kRgb24);
    const size_t lastRow = static_cast<size_t>(kHeight - 1) * kWidth * 3;
    EXPECT_EQ(std::vector<uint8_t>(bottom.rgb.begin() + lastRow, bottom.rgb.begin() + lastRow + 3),
              (std::vector<uint8_t>{30, 20, 10}));
}

RgbImage GreyImage(int32_t width, int32_t height, const std::vector<uint8_t>& columns) {
    RgbImage image{width, height, {}};
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) image.rgb.insert(image.rgb.end(), 3, columns[x]);
    return image;
}

TEST(CropForReading, MarginStopsAtTheEdgesAndScaleOneKeepsThePixels) {
    const RgbImage image = GreyImage(6, 4, {1, 2, 3, 4, 5, 6});
    const RgbImage crop = CropForReading(image, {4, 1, 1, 1}, 3, 1);
    EXPECT_EQ(crop.width, 5);  // from column 1 to the right edge
    EXPECT_EQ(crop.height, 4);
    EXPECT_EQ(crop.rgb[0], 2);
    EXPECT_EQ(crop.rgb[3 * 4], 6);
    const RgbImage scaled = CropForReading(image, {4, 1, 1, 1}, 3, 3);
    EXPECT_EQ(scaled.width, 15);
    EXPECT_EQ(scaled.height, 12);
}

TEST(CropForReading, ScalesBilinearlyBetweenPixelCentres) {
    const RgbImage image = GreyImage(2, 2, {0, 255});
    const RgbImage crop = CropForReading(image, {0, 0, 2, 2}, 0, 2);
    ASSERT_EQ(crop.width, 4);
    std::vector<uint8_t> row;
    for (int32_t x = 0; x < 4; ++x) row.push_back(crop.rgb[static_cast<size_t>(3 * x)]);
    EXPECT_EQ(row, (std::vector<uint8_t>{0, 64, 191, 255}));
    EXPECT_EQ(ToPpm(crop).substr(0, 11), "P6\n4 4\n255\n");
    EXPECT_EQ(ToPpm(crop).size(), 11u + 4 * 4 * 3);
}

TEST(Scripts, EachCheckedScriptAndItsLanguagePack) {
    const struct {
        const char* line;
        Script script;
        const char* language;
    } cases[] = {
        {"house", Script::kLatin, "eng"}, {"Straße", Script::kLatin, "deu"},      {"Übung", Script::kLatin, "deu"},
        {"café", Script::kLatin, "eng"},  {"кошка", Script::kCyrillic, "rus"},    {"θάλασσα", Script::kGreek, "ell"},
        {"שלום", Script::kHebrew, "heb"}, {"سلام", Script::kArabic, "ara"},       {"नमस्ते", Script::kDevanagari, "hin"},
        {"สวัสดี", Script::kThai, "tha"},   {"TV кошка", Script::kCyrillic, "rus"}, {"2024", Script::kOther, "eng"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScriptOf(c.line), c.script) << c.line;
        EXPECT_EQ(OcrLanguageOf(c.line), c.language) << c.line;
    }
}

TEST(CaptionLines, EverySeparatorBreaksALine) {
    EXPECT_EQ(CaptionLines("cat - кошка"), (std::vector<std::string>{"cat", "кошка"}));
    EXPECT_EQ(CaptionLines("a - b - c"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(CaptionLines("well-known"), (std::vector<std::string>{"well-known"}));
    EXPECT_EQ(CaptionLines("cat\t\xD0\xBA - a \xE2\x80\x94 b"),
              (std::vector<std::string>{"cat", "\xD0\xBA", "a \xE2\x80\x94 b"}));
}

TEST(TextHoldsLine, CaseSpacesAndInvisibleMarksDoNotCountLettersDo) {
    EXPECT_TRUE(TextHoldsLine("APPLE\nЯБЛОКО\n", "apple"));
    EXPECT_TRUE(TextHoldsLine("ΘΆΛΑΣΣΑ", "θάλασσα"));
    EXPECT_TRUE(TextHoldsLine("ส วั ส ดี", "สวัสดี"));  // tesseract spaces Thai out
    // A direction mark, and a joiner inside the word, as OCR of right-to-left text may give them.
    const std::string marked = "\xE2\x80\x8F" + std::string("של") + "\xE2\x80\x8D" + "ום";
    EXPECT_TRUE(TextHoldsLine(marked, "שלום"));
    EXPECT_TRUE(TextHoldsLine("it\xE2\x80\x99s", "it's"));
    EXPECT_TRUE(TextHoldsLine("| apple,", "apple"));  // what the picture adds around it
    EXPECT_FALSE(TextHoldsLine("STRASSE", "Straße"));
    EXPECT_TRUE(TextHoldsLine("РЕБЕНОК", "ребёнок"));
    EXPECT_FALSE(TextHoldsLine("счастливыи", "счастливый"));
    EXPECT_FALSE(TextHoldsLine("appl", "apple"));
    EXPECT_FALSE(TextHoldsLine("anything", ""));
    EXPECT_FALSE(TextHoldsLine("", "apple"));
}

TEST(SettingsLineFor, PropertiesBecomeTheFilesKeysAndNumbers) {
    std::string error;
    EXPECT_EQ(SettingsLineFor("text-color=0xFFA000", error), "TextColor=41215");
    EXPECT_EQ(SettingsLineFor("back-color=255", error), "BackColor=16711680");
    EXPECT_EQ(SettingsLineFor("back-type=whole-frame", error), "BackType=2");
    EXPECT_EQ(SettingsLineFor("back-type=1", error), "BackType=1");
    EXPECT_EQ(SettingsLineFor("rnd-string-pos=false", error), "RndStringPos=0");
    EXPECT_EQ(SettingsLineFor("font-italic=TRUE", error), "FontItalic=1");
    EXPECT_EQ(SettingsLineFor("font-size=-96", error), "FontSize=-96");
    EXPECT_EQ(SettingsLineFor("font-name=DejaVu Sans", error), "FontName=DejaVu Sans");
}

TEST(SettingsLineFor, WhatTheElementRefusesIsRefused) {
    for (const char* assignment :
         {"font-size=1000", "text-color=0x1000000", "back-type=boxes", "rnd-string-pos=maybe",
          "font-size=", "font-size=12px", "text-colour=0", "dictionary=words.dic", "font-size"}) {
        std::string error;
        EXPECT_FALSE(SettingsLineFor(assignment, error)) << assignment;
        EXPECT_FALSE(error.empty()) << assignment;
    }
}

// A row added to the settings table is a property the read-back can hand
// to the hosts, whatever its kind.
TEST(SettingsLineFor, EveryRowTakesItsDefault) {
    for (const SettingDescriptor& row : settingsTable) {
        const std::string stored = row.kind == SettingKind::kText ? row.defaultText : std::to_string(row.defaultValue);
        std::string given = stored;
        if (row.kind == SettingKind::kColour) {
            const int64_t bgr = row.defaultValue;
            given = std::to_string(((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF));
        }
        std::string error;
        EXPECT_EQ(SettingsLineFor(OptionNameOf(row) + "=" + given, error), std::string(row.key) + "=" + stored)
            << error;
    }
}

}  // namespace

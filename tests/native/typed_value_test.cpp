#include "settings/typed_value.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

template <class T>
T Parsed(int32_t code, const std::string& text, T initial = T{}) {
    T field = initial;
    ParseTypedValue(code, text, &field);
    return field;
}

TEST(ParseDecimal, TakesSignAndDigitsAfterBlanks) {
    EXPECT_EQ(ParseDecimal("12abc", false), 12u);
    EXPECT_EQ(ParseDecimal(" \t12", false), 12u);
    EXPECT_EQ(ParseDecimal("+7", false), 7u);
    EXPECT_EQ(ParseDecimal("-40", false), static_cast<uint32_t>(-40));
    EXPECT_EQ(ParseDecimal("0x00A0FF", false), 0u);  // digits stop at the x
}

TEST(ParseDecimal, TextWithoutDigitsIsZero) {
    EXPECT_EQ(ParseDecimal("", false), 0u);
    EXPECT_EQ(ParseDecimal("abc", false), 0u);
    EXPECT_EQ(ParseDecimal("-", false), 0u);
    EXPECT_EQ(ParseDecimal("- 5", false), 0u);  // a blank after the sign ends the number
    EXPECT_EQ(ParseDecimal("+-5", false), 0u);
}

TEST(ParseDecimal, WrapsIn32Or64Bits) {
    EXPECT_EQ(ParseDecimal("4294967296", false), 0u);
    EXPECT_EQ(ParseDecimal("4294967301", false), 5u);
    EXPECT_EQ(ParseDecimal("4294967296", true), 4294967296u);
    EXPECT_EQ(ParseDecimal("18446744073709551615", true), UINT64_MAX);
    EXPECT_EQ(ParseDecimal("18446744073709551616", true), 0u);
    EXPECT_EQ(ParseDecimal("-1", true), UINT64_MAX);
    // Wrap-around applies to every digit, not only at the end.
    EXPECT_EQ(ParseDecimal("99999999999999999999", false), 1661992959u);
}

TEST(ParseTypedValue, NarrowCodesKeepTheLowBits) {
    EXPECT_EQ(Parsed<uint8_t>(kTypeByte, "460"), 204);
    EXPECT_EQ(Parsed<uint8_t>(kTypeByte, "-1"), 255);
    EXPECT_EQ(Parsed<int16_t>(kTypeShort, "-1"), -1);
    EXPECT_EQ(Parsed<int16_t>(kTypeShort, "32768"), INT16_MIN);
    EXPECT_EQ(Parsed<uint16_t>(kTypeWord, "70000"), 70000 - 65536);
    EXPECT_EQ(Parsed<uint16_t>(kTypeWordAlt, "-2"), 65534);
}

TEST(ParseTypedValue, ThirtyTwoAndSixtyFourBitCodes) {
    EXPECT_EQ(Parsed<uint32_t>(kTypeColour, "4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(Parsed<int32_t>(kTypeInt, "2147483648"), INT32_MIN);
    EXPECT_EQ(Parsed<int32_t>(kTypeLong, "-40"), -40);
    EXPECT_EQ(Parsed<uint32_t>(kTypeUint, "-1"), 0xFFFFFFFFu);
    EXPECT_EQ(Parsed<int64_t>(kTypeInt64, "9223372036854775808"), INT64_MIN);
    EXPECT_EQ(Parsed<int64_t>(kTypeInt64, "-9223372036854775807"), -INT64_MAX);
    EXPECT_EQ(Parsed<uint64_t>(kTypeUint64, "18446744073709551615"), UINT64_MAX);
}

// Hand-typed forms; saves write decimal, which reads back as above.
TEST(ParseTypedValue, ColourAsWebColourOrHexadecimalColorref) {
    EXPECT_EQ(Parsed<uint32_t>(kTypeColour, "#FFA000"), 0x00A0FFu) << "red first";
    EXPECT_EQ(Parsed<uint32_t>(kTypeColour, " #ffa000 "), 0x00A0FFu);
    EXPECT_EQ(Parsed<uint32_t>(kTypeColour, "0x00A0FF"), 0x00A0FFu);
    EXPECT_EQ(Parsed<uint32_t>(kTypeColour, "0XffFFffFF"), 0xFFFFFFFFu);
    EXPECT_EQ(Parsed<uint32_t>(kTypeColour, "#FFA00"), 0u) << "not six digits";
    EXPECT_EQ(Parsed<uint32_t>(kTypeUint, "0x10"), 0u) << "only colours take hexadecimal";
}

TEST(ParseTypedValue, TextIsTakenAsItStandsButForEnclosingQuotes) {
    EXPECT_EQ(Parsed<std::string>(kTypeText, " Arial "), " Arial ");
    EXPECT_EQ(Parsed<std::string>(kTypeText, "C:\\dic\\\xEA\xE0\xE4\xF0.dic"), "C:\\dic\\\xEA\xE0\xE4\xF0.dic");
    EXPECT_EQ(Parsed<std::string>(kTypeText, "\"C:\\my words\\a.dic\" "), "C:\\my words\\a.dic");
    EXPECT_EQ(Parsed<std::string>(kTypeText, "\""), "\"");
    EXPECT_EQ(Parsed<std::string>(kTypeText, "a \"b\""), "a \"b\"");
    for (const std::string text : {"C:\\a.dic", "\"quoted\"", " \"x\" ", "\"\""})
        EXPECT_EQ(Parsed<std::string>(kTypeText, FormatTypedValue(kTypeText, &text)), text) << text;
}

TEST(ParseTypedValue, InvalidCodesLeaveTheFieldAlone) {
    EXPECT_EQ(Parsed<uint64_t>(13, "5", 77), 77u);
    EXPECT_EQ(Parsed<uint64_t>(-1, "5", 77), 77u);
    EXPECT_FALSE(IsValidTypeCode(13));
    EXPECT_FALSE(IsValidTypeCode(-1));
    EXPECT_TRUE(IsValidTypeCode(0));
    EXPECT_TRUE(IsValidTypeCode(12));
}

TEST(FormatTypedValue, WritesDecimalBySignedness) {
    const uint8_t byte = 255;
    const int16_t shortValue = -1;
    const uint16_t word = 65535;
    const int32_t fontSize = -40;
    const uint32_t colour = 0x00A0FF;
    const uint32_t white = 0xFFFFFFFF;
    const int64_t wideMin = INT64_MIN;
    const uint64_t wideMax = UINT64_MAX;
    const std::string text = "Arial";
    EXPECT_EQ(FormatTypedValue(kTypeByte, &byte), "255");
    EXPECT_EQ(FormatTypedValue(kTypeShort, &shortValue), "-1");
    EXPECT_EQ(FormatTypedValue(kTypeWord, &word), "65535");
    EXPECT_EQ(FormatTypedValue(kTypeLong, &fontSize), "-40");
    EXPECT_EQ(FormatTypedValue(kTypeColour, &colour), "41215");
    EXPECT_EQ(FormatTypedValue(kTypeDword, &white), "4294967295");
    EXPECT_EQ(FormatTypedValue(kTypeInt64, &wideMin), "-9223372036854775808");
    EXPECT_EQ(FormatTypedValue(kTypeUint64, &wideMax), "18446744073709551615");
    EXPECT_EQ(FormatTypedValue(kTypeText, &text), "Arial");
    EXPECT_EQ(FormatTypedValue(13, &wideMax), "");
}

TEST(FormatTypedValue, EveryCodeReadsBackWhatItWrote) {
    struct Case {
        int32_t code;
        uint64_t bits;
    };
    const Case cases[] = {
        {kTypeByte, 0xFF},       {kTypeShort, 0x8000},      {kTypeWord, 0xFFFF},      {kTypeWordAlt, 1},
        {kTypeUint, 0x80000000}, {kTypeColour, 0xFFFFFFFF}, {kTypeInt, 0x80000000},   {kTypeUintAlt, 0xFFFFFFFF},
        {kTypeLong, 0xFFFFFFD8}, {kTypeDword, 12345},       {kTypeInt64, 1ull << 63}, {kTypeUint64, ~0ull},
    };
    for (const Case& c : cases) {
        uint64_t original = 0, reread = 0;
        StoreTypedNumber(c.code, c.bits, &original);
        ParseTypedValue(c.code, FormatTypedValue(c.code, &original), &reread);
        EXPECT_EQ(reread, original) << "code " << c.code;
    }
}

}  // namespace

// UTF-8, UTF-16 and Windows-1251, each way, and UTF-16 as a file's bytes.
#include <gtest/gtest.h>

#include <string>

#include "platform/cp1251.h"
#include "platform/utf16.h"
#include "platform/utf8.h"

namespace {

std::u32string CodePoints(std::string_view text) {
    std::u32string out;
    for (size_t pos = 0; pos < text.size();) out += DecodeUtf8(text, pos);
    return out;
}

TEST(Utf8, EveryCodePointRoundTrips) {
    for (char32_t c = 0; c <= 0x10FFFF; c += (c < 0x30000 ? 1 : 97)) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::string bytes;
        AppendUtf8(bytes, c);
        ASSERT_TRUE(IsValidUtf8(bytes)) << std::hex << static_cast<uint32_t>(c);
        ASSERT_EQ(CodePoints(bytes), std::u32string(1, c)) << std::hex << static_cast<uint32_t>(c);
        ASSERT_EQ(bytes.size(), c < 0x80 ? 1u : c < 0x800 ? 2u : c < 0x10000 ? 3u : 4u);
    }
}

// Each byte that starts no well-formed sequence is one U+FFFD, and decoding
// goes on with the next byte.
TEST(Utf8, MalformedBytesBecomeOneReplacementEach) {
    const char32_t R = kReplacementCharacter;
    const struct {
        const char* bytes;
        std::u32string decoded;
    } cases[] = {
        {"\x80x", {R, U'x'}},                // a stray continuation byte
        {"\xC3", {R}},                       // cut short at the end
        {"\xC3x", {R, U'x'}},                // cut short by a plain byte
        {"\xC0\xAF", {R, R}},                // overlong '/'
        {"\xE0\x80\xAF", {R, R, R}},         // overlong, three bytes
        {"\xED\xA0\x80", {R, R, R}},         // a surrogate
        {"\xF4\x90\x80\x80", {R, R, R, R}},  // above U+10FFFF
        {"\xFF\xFE", {R, R}},
        {"\xEA\xEE\xF8\xEA\xE0", {R, R, R, R, R}},  // кошка in Windows-1251
        {"\xEF\xBF\xBD", {R}},                      // U+FFFD itself is well-formed
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodePoints(c.bytes), c.decoded) << c.bytes;
        EXPECT_EQ(IsValidUtf8(c.bytes), std::string_view(c.bytes) == "\xEF\xBF\xBD") << c.bytes;
    }
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("Straße - улица, ελπίδα, 😀"));
}

TEST(Utf16, SurrogatePairsAndLoneSurrogates) {
    EXPECT_EQ(Utf8ToUtf16("aß€😀"), u"aß€😀");
    EXPECT_EQ(Utf16ToUtf8(u"aß€😀"), "aß€😀");
    const std::u16string lone = {u'a', 0xD83D, u'b', 0xDE00};
    EXPECT_EQ(Utf16ToUtf8(lone), "a\uFFFDb\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC3x"), u"\uFFFDx");
}

// A file's UTF-16 in either byte order; a pair is high then low.
TEST(Utf16, BytesInEitherOrderAndPairsInOrder) {
    EXPECT_EQ(Utf16FromBytes(std::string_view("\x3D\xD8\x00\xDE!", 5), ByteOrder::kLittleEndian), u"😀")
        << "an odd last byte is no unit";
    EXPECT_EQ(Utf16ToBytes(u"😀", ByteOrder::kBigEndian), std::string("\xD8\x3D\xDE\x00", 4));
    EXPECT_TRUE(IsWellFormedUtf16(u"a😀b"));
    for (const std::u16string& bad :
         {std::u16string{0xDE00, 0xD83D}, std::u16string{0xD83D, u'a'}, std::u16string{u'a', 0xD83D}})
        EXPECT_FALSE(IsWellFormedUtf16(bad));
}

// Every byte has a code point of its own and comes back from it, 0x98
// included, so a Windows-1251 file survives being read as text.
TEST(Cp1251, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = DecodeCp1251(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    std::string back;
    ASSERT_TRUE(EncodeCp1251(utf8, back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(Cp1251ToUnicode(0x98), U'\u0098');
    EXPECT_EQ(DecodeCp1251("\xCA\xEE\xF8\xEA\xE0 \xA8\xEB\xEA\xE0 \xB9"), "Кошка Ёлка №");
}

TEST(Cp1251, CharactersTheCodePageLacksAreRefused) {
    std::string out;
    EXPECT_FALSE(EncodeCp1251("Straße", out));
    EXPECT_FALSE(EncodeCp1251("ελπίδα", out));
    EXPECT_FALSE(EncodeCp1251("\xC3", out)) << "malformed UTF-8 is no character of the code page";
    uint8_t byte = 0;
    EXPECT_FALSE(UnicodeToCp1251(U'\uFFFD', byte));
    EXPECT_TRUE(UnicodeToCp1251(U'€', byte));
    EXPECT_EQ(byte, 0x88);
}

}  // namespace

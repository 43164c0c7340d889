// Word lists in any language: the order and its case folding, the file's
// encodings as read and as written back, and the lines that are left out.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/dictionary_store.h"
#include "dictionary/text_compare.h"
#include "platform/case_folding.h"
#include "platform/cp1251.h"
#include "tests/native/temp_folder.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

// The order Windows-1251 bytes have always had: A-Z, А-Я and Ё folded,
// then by byte, a prefix first.
int OldCp1251Order(std::string_view a, std::string_view b) {
    const auto fold = [](unsigned char c) -> int {
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) return c + 0x20;
        return c == 0xA8 ? 0xB8 : c;
    };
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return fold(a[i]) < fold(b[i]) ? -1 : 1;
    return Sign(static_cast<int>(a.size()) - static_cast<int>(b.size()));
}

TEST(TextCompare, Windows1251TextKeepsItsOrderAndDuplicates) {
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 256; ++y) {
            const std::string a(1, static_cast<char>(x)), b(1, static_cast<char>(y));
            ASSERT_EQ(Sign(CompareNoCase(DecodeCp1251(a), DecodeCp1251(b))), OldCp1251Order(a, b)) << x << " " << y;
        }
    uint32_t seed = 7;
    const auto random = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string a, b;
        for (uint32_t n = random() % 5; n > 0; --n) a += static_cast<char>(random());
        b = a.substr(0, random() % (a.size() + 1));
        for (uint32_t n = random() % 3; n > 0; --n) b += static_cast<char>(random());
        ASSERT_EQ(Sign(CompareNoCase(DecodeCp1251(a), DecodeCp1251(b))), OldCp1251Order(a, b));
    }
}

TEST(TextCompare, OtherLettersFoldByUnicodeAndSortAfterWindows1251) {
    for (const auto& [a, b] : std::vector<std::pair<const char*, const char*>>{
             {"ÉLAN - порыв", "élan - ПОРЫВ"},
             {"STRAẞE", "straße"},
             {"ΕΛΠΊΔΑ", "ελπίδα"},
             {"ΣΟΦΟΣ", "σοφος"},
             {"σοφός", "σοφόσ"},  // final sigma
             {"ÑANDÚ", "ñandú"},
             {"ӁӐ", "ӂӑ"},  // Cyrillic beyond Windows-1251
         })
        EXPECT_EQ(CompareNoCase(a, b), 0) << a << " / " << b;
    EXPECT_NE(CompareNoCase("Ђ", "ђ"), 0) << "Windows-1251's own letters keep today's folding";
    EXPECT_NE(CompareNoCase("e", "é"), 0) << "accents count";
    EXPECT_LT(CompareNoCase("яблоко", "éclair"), 0) << "what Windows-1251 lacks sorts after all of it";
    EXPECT_LT(CompareNoCase("Ärger", "Öl"), 0);
    EXPECT_LT(CompareNoCase("α", "Β"), 0);
    EXPECT_LT(CompareNoCase("Straß", "straße"), 0) << "a prefix first";
}

// The table made at build time says what Unicode's data says, for every
// code point.
TEST(CaseFolding, AgreesWithUnicodeData) {
    std::ifstream data(TPP_CASE_FOLDING);
    ASSERT_TRUE(data) << TPP_CASE_FOLDING;
    std::map<char32_t, char32_t> simple;
    for (std::string line; std::getline(data, line);) {
        std::istringstream fields(line);
        std::string code, status, mapping;
        if (!std::getline(fields, code, ';') || !std::getline(fields, status, ';') ||
            !std::getline(fields, mapping, ';'))
            continue;
        if (status == " C" || status == " S")
            simple[static_cast<char32_t>(std::stoul(code, nullptr, 16))] = static_cast<char32_t>(
                std::stoul(mapping, nullptr, 16));
    }
    ASSERT_GT(simple.size(), 1400u);
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        const auto found = simple.find(c);
        ASSERT_EQ(SimpleCaseFold(c), found == simple.end() ? c : found->second) << std::hex << static_cast<uint32_t>(c);
    }
}

class WordListFile : public ::testing::Test {
protected:
    // Loads bytes as the dictionary file, then saves the list again.
    std::string LoadAndSave(const std::string& bytes) {
        Load(bytes);
        store.SaveAltDictionary(path);
        return ReadBytes(path);
    }
    void Load(const std::string& bytes) {
        WriteBytes(path, bytes);
        store.LoadAltDictionary(path, index);
    }
    std::vector<std::string> Lines() { return store.AltDictionaryLines(); }
    WordListEncoding Encoding() {
        std::lock_guard lock(store.captionLock);
        return store.altDictionary.encoding;
    }
    std::string Message() { return WordListMessage(store.LastAltDictionaryLoad()); }

    TempFolder dir;
    std::string path = dir / "words.dic";
    DictionaryStore store;
    int32_t index = 0;
};

// Windows-1251 lines as the plug-in has always written them: sorted, no two
// alike, each ended by CR LF.
std::string Windows1251File(std::vector<std::string>& lines) {
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return OldCp1251Order(a, b) < 0; });
    lines.erase(std::unique(lines.begin(), lines.end(),
                            [](const std::string& a, const std::string& b) { return OldCp1251Order(a, b) == 0; }),
                lines.end());
    std::string file;
    for (const std::string& line : lines) file += line + "\r\n";
    return file;
}

// Every byte but the line ends, in lines sorted as they always were: what
// loads sorted and unique saves byte for byte, and an edit saves what it
// always did.
TEST_F(WordListFile, Windows1251LoadsSortsEditsAndSavesAsItAlwaysDid) {
    std::vector<std::string> lines;
    for (int b = 1; b < 256; ++b)
        if (b != '\n' && b != '\r')
            lines.push_back(std::string("w") + static_cast<char>(b) + " - \xF1\xEB\xEE\xE2\xEE");
    const std::string file = Windows1251File(lines);
    EXPECT_EQ(LoadAndSave(file), file);
    EXPECT_EQ(Encoding(), WordListEncoding::kWindows1251);
    EXPECT_EQ(Lines()[0], "w\x01 - слово");

    // "Ёж - hedgehog" goes where the old order puts it, in Windows-1251.
    const std::string added = "\xA8\xE6 - hedgehog";
    store.AddAltEntry(DecodeCp1251(added));
    lines.insert(std::upper_bound(lines.begin(), lines.end(), added,
                                  [](const std::string& a, const std::string& b) { return OldCp1251Order(a, b) < 0; }),
                 added);
    std::string edited;
    for (const std::string& line : lines) edited += line + "\r\n";
    store.SaveAltDictionary(path);
    EXPECT_EQ(ReadBytes(path), edited);
}

TEST_F(WordListFile, Utf8WithByteOrderMarkAndCrLfRoundTripsByteForByte) {
    const std::string file =
        "\xEF\xBB\xBF"
        "cat - кошка\r\nStraße - улица\r\nελπίδα - надежда\r\n";
    EXPECT_EQ(LoadAndSave(file), file);
    EXPECT_EQ(Encoding(), WordListEncoding::kUtf8WithBom);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"cat - кошка", "Straße - улица", "ελπίδα - надежда"}));
}

TEST_F(WordListFile, Utf8WithoutTheMarkStaysWithoutIt) {
    EXPECT_EQ(LoadAndSave("кошка - cat\nдом - house\n"), "дом - house\r\nкошка - cat\r\n");
    EXPECT_EQ(Encoding(), WordListEncoding::kUtf8);
}

// Without the mark a file is UTF-8 only when it mostly is: one line of each
// is not (five valid sequences, three bad bytes).
TEST_F(WordListFile, WhatIsNotMostlyUtf8IsWindows1251) {
    Load("кошка - cat\r\n\xE4\xEE\xEC - house\r\n");
    EXPECT_EQ(Encoding(), WordListEncoding::kWindows1251);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"дом - house", "РєРѕС€РєР° - cat"})) << "read as it always was";
    EXPECT_EQ(Message(), "read as Windows-1251");
    Load("cat - dog\r\n");
    EXPECT_EQ(Encoding(), WordListEncoding::kWindows1251) << "plain ASCII";
    EXPECT_EQ(Message(), "") << "plain ASCII reads the same either way";
    // Under the mark, a line that is not UTF-8 is a Windows-1251 one: a line
    // that a Windows-1251 tool added keeps its letters.
    Load(
        "\xEF\xBB\xBF"
        "cat - кошка\r\n\xE4\xEE\xEC - house\r\n");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"cat - кошка", "дом - house"}));
    EXPECT_EQ(Encoding(), WordListEncoding::kUtf8WithBom);
    EXPECT_EQ(Message(), "line 2 is not UTF-8 and was read as Windows-1251");
    Load("\xEF\xBB\xBF");
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(store.LastAltDictionaryLoad().skippedLines, 0) << "the mark alone is no line";
}

// A line that would show as one line is named, with the lines left out.
TEST_F(WordListFile, LinesWithoutASeparatorAreNamed) {
    Load("cat - кошка\r\nhello\r\n\r\ndog\tсобака\r\nsun\xE2\x80\x94солнце\r\nfir \xE2\x80\x93 ель\r\n");
    EXPECT_EQ(Lines().size(), 5u);
    EXPECT_EQ(Message(),
              "1 line of the word list was left out (empty, or only a dash): line 3; 2 lines have no separator "
              "(\" - \", \" \xE2\x80\x93 \", \" \xE2\x80\x94 \" or a tab) and show as one line: lines 2 and 5");
    Load("house \xE2\x80\x94 дом\r\ntree\r\n");
    EXPECT_EQ(
        Message(),
        "line 2 has no separator (\" - \", \" \xE2\x80\x93 \", \" \xE2\x80\x94 \" or a tab) and shows as one line");
}

// Nothing typed turns into "?": a Windows-1251 list that gains a character
// the code page lacks is written as UTF-8 with the mark, and stays so.
TEST_F(WordListFile, ListThatOutgrowsWindows1251IsSavedAsUtf8WithTheMark) {
    Load("\xEA\xEE\xF8\xEA\xE0 - cat\r\n");
    store.AddAltEntry("Straße - улица");
    store.SaveAltDictionary(path);
    EXPECT_EQ(ReadBytes(path),
              "\xEF\xBB\xBF"
              "Straße - улица\r\nкошка - cat\r\n");
    EXPECT_EQ(Encoding(), WordListEncoding::kUtf8WithBom);
    store.DeleteAltEntry(0);
    store.SaveAltDictionary(path);
    EXPECT_EQ(ReadBytes(path),
              "\xEF\xBB\xBF"
              "кошка - cat\r\n")
        << "once UTF-8, it stays UTF-8";

    // A new list whose entries Windows-1251 holds is written as always.
    const std::string fresh = dir / "new.dic";
    store.LoadAltDictionary(fresh, index);
    store.AddAltEntry("кошка - cat");
    store.SaveAltDictionary(fresh);
    EXPECT_EQ(ReadBytes(fresh), "\xEA\xEE\xF8\xEA\xE0 - cat\r\n");
}

// Bytes that Windows-1251 writes may pass for UTF-8 once the lines that
// were not are gone, wholly or mostly; such a list is written as UTF-8, so
// it reads back the same and cleanly.
TEST_F(WordListFile, Windows1251ThatWouldReadBackAsUtf8IsSavedAsUtf8) {
    // "Рё" passes for UTF-8 "и"; "СўСўя" has two such pairs and one stray
    // byte; "кошка" has five stray bytes.
    for (const char* passing : {"\xD0\xB8 - a", "\xD1\xA2\xD1\xA2\xFF - a"}) {
        Load(std::string(passing) + "\r\n\xEA\xEE\xF8\xEA\xE0 - b\r\n");
        EXPECT_EQ(Encoding(), WordListEncoding::kWindows1251);
        store.DeleteAltEntry(0);  // кошка, before the capitals
        store.SaveAltDictionary(path);
        store.LoadAltDictionary(path, index);
        EXPECT_EQ(Lines(), (std::vector<std::string>{DecodeCp1251(passing)}));
        EXPECT_EQ(Message(), "") << passing;
    }
}

// The example lists load whole, as UTF-8, and are as the plug-in writes
// them: a load and a save leave each byte for byte.
TEST_F(WordListFile, ExampleListsLoadWholeAndSaveUnchanged) {
    for (const char* name : {"en-ru.dic", "de-ru.dic", "en-es.dic"}) {
        const std::string original = ReadBytes(std::string(TPP_EXAMPLES_DIR) + "/" + name);
        const auto lines = static_cast<int32_t>(std::count(original.begin(), original.end(), '\n'));
        EXPECT_GE(lines, 50) << name;
        EXPECT_EQ(LoadAndSave(original), original) << name;
        EXPECT_EQ(Encoding(), WordListEncoding::kUtf8) << name;
        EXPECT_EQ(static_cast<int32_t>(Lines().size()), lines) << name << ": no line left out or merged";
        EXPECT_EQ(Message(), "") << name;
        for (const std::string& line : Lines()) EXPECT_NE(line.find(" - "), std::string::npos) << line;
    }
}

std::vector<std::string> FileLines(const std::string& file) {
    std::vector<std::string> lines;
    std::istringstream in(file);
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
    return lines;
}

std::string Cp1251(std::string_view utf8) {
    std::string bytes;
    EXPECT_TRUE(EncodeCp1251(utf8, bytes)) << utf8;
    return bytes;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string file;
    for (const std::string& line : lines) file += line + "\r\n";
    return file;
}

// One Latin-1 line in a UTF-8 list without the mark: the rest stays UTF-8,
// that line is Windows-1251 and named, and a save writes it as UTF-8.
TEST_F(WordListFile, OneStrayByteLeavesTheRestUtf8) {
    const std::string example = ReadBytes(std::string(TPP_EXAMPLES_DIR) + "/en-es.dic");
    std::vector<std::string> lines = FileLines(example);
    lines.insert(lines.begin() + 9, "\xE9t\xE9 - el verano");  // été, é as Latin-1's 0xE9
    Load(JoinCrLf(lines));
    EXPECT_EQ(Encoding(), WordListEncoding::kUtf8);
    EXPECT_EQ(Message(), "line 10 is not UTF-8 and was read as Windows-1251");
    store.SaveAltDictionary(path);
    EXPECT_EQ(ReadBytes(path), example + "йtй - el verano\r\n") << "after every ASCII headword";
}

// A handful of Windows-1251 lines among many UTF-8 ones are read as the
// Russian they are; a save makes the file what it was before they came.
TEST_F(WordListFile, AHandfulOfWindows1251LinesInUtf8AreReadAndNamed) {
    const std::string example = ReadBytes(std::string(TPP_EXAMPLES_DIR) + "/en-ru.dic");
    std::vector<std::string> lines = FileLines(example);
    for (size_t line : {3, 20, 31, 44, 60}) lines[line - 1] = Cp1251(lines[line - 1]);
    lines.insert(lines.begin() + 11, "");
    EXPECT_EQ(LoadAndSave(JoinCrLf(lines)), example);
    EXPECT_EQ(Encoding(), WordListEncoding::kUtf8);
    EXPECT_EQ(Message(),
              "1 line of the word list was left out (empty, or only a dash): line 12; "
              "5 lines are not UTF-8 and were read as Windows-1251: lines 3, 21, 32 and 2 more");
}

// Real Windows-1251 lists stay Windows-1251 byte for byte and say so once:
// the built-in dictionary's text, an example list, and short capitalised
// Ukrainian words whose "Ні", "Ві" pass for UTF-8 (six valid sequences to
// five bad bytes) far more often than any real list's letters do.
TEST_F(WordListFile, Windows1251ListsStayWindows1251) {
    std::vector<std::string> builtin;
    std::istringstream pairs(ReadBytes(TPP_DICTIONARY_PAIRS));
    for (std::string word, translation; std::getline(pairs, word, '\0') && std::getline(pairs, translation, '\0');)
        builtin.push_back(word + " - " + translation);
    std::vector<std::string> example = FileLines(ReadBytes(std::string(TPP_EXAMPLES_DIR) + "/en-ru.dic"));
    std::vector<std::string> shortWords = {"Ні - no",     "Він - he",     "Кіт - cat",
                                           "Дім - house", "Ліс - forest", "Ніс - nose"};
    for (std::vector<std::string>* list : {&example, &shortWords})
        for (std::string& line : *list) line = Cp1251(line);
    ASSERT_GE(builtin.size(), 3000u);
    for (std::vector<std::string>* list : {&builtin, &example, &shortWords}) {
        const std::string file = Windows1251File(*list);
        EXPECT_EQ(LoadAndSave(file), file) << list->front();
        EXPECT_EQ(Encoding(), WordListEncoding::kWindows1251) << list->front();
        EXPECT_EQ(Message(), "read as Windows-1251") << list->front();
    }
    EXPECT_EQ(Lines().front(), "Він - he");
}

// UTF-16 text in either byte order as the file holds it, with the mark.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Lines end at the code units LF and CR LF, not at bytes: U+0D0A is the
// bytes 0A 0D or 0D 0A. A save after an edit writes the same order and mark
// with CR LF, byte for byte.
TEST_F(WordListFile, Utf16ListsAreReadAndWrittenBackInTheirByteOrder) {
    for (const bool bigEndian : {false, true})
        for (const std::u16string_view end : {u"\r\n", u"\n"}) {
            std::u16string text;
            for (const std::u16string_view line : {u"apple - яблоко", u"smile - 😀", u"street - Straße", u"uu - ഊ"})
                text += std::u16string(line) + std::u16string(end);
            Load(Utf16File(text, bigEndian));
            EXPECT_EQ(Encoding(), bigEndian ? WordListEncoding::kUtf16BigEndian : WordListEncoding::kUtf16LittleEndian);
            EXPECT_EQ(Lines(), (std::vector<std::string>{"apple - яблоко", "smile - 😀", "street - Straße", "uu - ഊ"}));
            EXPECT_EQ(Message(), "");
            store.AddAltEntry("dog - собака");
            store.SaveAltDictionary(path);
            EXPECT_EQ(
                ReadBytes(path),
                Utf16File(u"apple - яблоко\r\ndog - собака\r\nsmile - 😀\r\nstreet - Straße\r\nuu - ഊ\r\n", bigEndian))
                << bigEndian << " " << end.size();
        }
}

// Unpaired surrogates and an odd last byte lose nothing else: each such
// unit is U+FFFD, the byte is left out, both are named, and a save writes
// clean UTF-16.
TEST_F(WordListFile, BrokenUtf16IsReadAndNamed) {
    const std::u16string text = {u'a', u'\r', u'\n', u'b', 0xD800, u'\r', u'\n', 0xDC00, u'c', u'\n', u'd'};
    Load(Utf16File(text, false) + "Z");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a", "b\uFFFD", "d", "\uFFFDc"}));
    const std::string unsplit =
        "4 lines have no separator (\" - \", \" \xE2\x80\x93 \", \" \xE2\x80\x94 \" or a tab) and show as one line: "
        "lines 1, 2, 3 and 1 more";
    EXPECT_EQ(Message(), unsplit +
                             "; 2 lines hold half of a UTF-16 surrogate pair, read as U+FFFD: lines 2 and 3; "
                             "its last byte is half of a UTF-16 character and was left out");
    store.SaveAltDictionary(path);
    store.LoadAltDictionary(path, index);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a", "b\uFFFD", "d", "\uFFFDc"}));
    EXPECT_EQ(Message(), unsplit);
}

}  // namespace

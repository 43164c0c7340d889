// The words layer against the real data Debian installs (WordNet's lists,
// mueller7) and against small dictd files made here, compressed by
// dictzip itself.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/embedded_dictionary.h"
#include "tests/native/temp_folder.h"
#include "words/dictd_dictionary.h"
#include "words/english_lemma.h"
#include "words/translator.h"
#include "words/word_break.h"

namespace {

using Words = std::vector<std::string>;

const EnglishLemmas& WordNet() {
    static const EnglishLemmas lemmas;
    return lemmas;
}

TEST(WordBreak, KeepsOnlyWordsWithLetters) {
    EXPECT_EQ(SplitWords("Don't go - it's 5 o'clock, 3.5 km!", "en"), (Words{"Don't", "go", "it's", "o'clock", "km"}));
    EXPECT_EQ(SplitWords("«Маяк» — там, за мысом…", "ru"), (Words{"Маяк", "там", "за", "мысом"}));
    EXPECT_EQ(SplitWords("  ... 42 !", "en"), Words{});
    // The iterator is reused across calls and languages.
    EXPECT_EQ(SplitWords("one two", "en"), (Words{"one", "two"}));
}

TEST(EnglishLemmas, IrregularAndRegularForms) {
    const EnglishLemmas& lemmas = WordNet();
    ASSERT_GT(lemmas.exception_count(), 1000u) << "wordnet-base is not installed";
    EXPECT_EQ(lemmas.Lemmas("went").front(), "go");
    EXPECT_EQ(lemmas.Lemmas("lighthouses"), Words{"lighthouse"});
    EXPECT_EQ(lemmas.Lemmas("cities"), Words{"city"});
    EXPECT_EQ(lemmas.Lemmas("stopped"), Words{"stop"});
    EXPECT_EQ(lemmas.Lemmas("hoping").front(), "hope");
    EXPECT_EQ(lemmas.Lemmas("being"), Words{"be"});  // not "bee": a noun only
    EXPECT_EQ(lemmas.Lemmas("happier"), Words{"happy"});
    EXPECT_EQ(lemmas.Lemmas("don\u2019t"), Words{"do"});
    // WordNet lacks "others" and has "other" as no noun: the rules' results
    // stand unchecked.
    EXPECT_EQ(lemmas.Lemmas("others").front(), "other");
    EXPECT_EQ(lemmas.Lemmas("gonna"), Words{"go"});
    EXPECT_EQ(lemmas.Lemmas("lighthouse"), Words{});
    // Without WordNet the rules alone still find the likely form first.
    const EnglishLemmas rules("");
    EXPECT_EQ(rules.Lemmas("cities").front(), "city");
    EXPECT_EQ(rules.Lemmas("went"), Words{});
}

// Articles long enough to span dictzip's chunks (58,315 bytes of text
// each): one of them straddles the first boundary.
struct MadeDictionary {
    TempFolder folder;
    std::vector<std::pair<std::string, std::string>> articles;
};

std::string IndexNumber(uint64_t value) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    do {
        text.insert(text.begin(), digits[value % 64]);
        value /= 64;
    } while (value);
    return text;
}

void MakeDictionary(MadeDictionary& made) {
    std::string text, index;
    for (int i = 0; i < 120; ++i) {
        const std::string headword = "word" + std::to_string(1000 + i);
        std::string article = headword + "\n   _n. слово номер " + std::to_string(i) + "; ";
        article.append(static_cast<size_t>(700 + 37 * i), static_cast<char>('a' + i % 26));
        article += "\n";
        index += headword + "\t" + IndexNumber(text.size()) + "\t" + IndexNumber(article.size()) + "\n";
        text += article;
        made.articles.emplace_back(headword, article);
    }
    WriteBytes(made.folder / "made.index", index);
    WriteBytes(made.folder / "made.dict", text);
    ASSERT_GT(text.size(), 3 * 58315u);
    const std::string dictzip = "dictzip -k " + (made.folder / "made.dict");
    ASSERT_EQ(std::system(dictzip.c_str()), 0) << "dictzip is not installed";
    const std::string gzip = "gzip -c " + (made.folder / "made.dict") + " > " + (made.folder / "whole.dict.dz");
    ASSERT_EQ(std::system(gzip.c_str()), 0);
}

TEST(DictdDictionary, ChunkedPlainAndWholeAgree) {
    MadeDictionary made;
    ASSERT_NO_FATAL_FAILURE(MakeDictionary(made));
    for (const char* data : {"made.dict", "made.dict.dz", "whole.dict.dz"}) {
        std::string error;
        auto dictionary = DictdDictionary::Open(made.folder / "made.index", made.folder / data, &error);
        ASSERT_TRUE(dictionary) << data << ": " << error;
        EXPECT_EQ(dictionary->name(), "made");
        // Backwards, so that the chunks' cache does not hide a wrong read.
        for (auto it = made.articles.rbegin(); it != made.articles.rend(); ++it)
            ASSERT_EQ(dictionary->Article(it->first), it->second) << data << " " << it->first;
        EXPECT_EQ(dictionary->Article("WORD1005"), made.articles[5].second);
        EXPECT_FALSE(dictionary->Article("word"));
    }
    // A cut-off compressed file fails its reads, not the process.
    std::string bytes = ReadBytes(made.folder / "made.dict.dz");
    WriteBytes(made.folder / "cut.dict.dz", bytes.substr(0, bytes.size() / 2));
    auto cut = DictdDictionary::Open(made.folder / "made.index", made.folder / "cut.dict.dz", nullptr);
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->Article("word1000"));
    EXPECT_FALSE(cut->Article("word1119"));
    std::string error;
    EXPECT_FALSE(DictdDictionary::Open(made.folder / "none.index", made.folder / "made.dict", &error));
    EXPECT_NE(error.find("none.index"), std::string::npos);
    // An index whose lengths run past the data fails those lookups alone.
    WriteBytes(made.folder / "long.index", "word1000\tA\t/////\nword1001\tBBB\tB\n");
    auto long_index = DictdDictionary::Open(made.folder / "long.index", made.folder / "made.dict", nullptr);
    ASSERT_TRUE(long_index);
    EXPECT_FALSE(long_index->Article("word1000"));
    EXPECT_EQ(long_index->Article("word1001"), ReadBytes(made.folder / "made.dict").substr(64 * 64 + 64 + 1, 1));
    // FreeDict's names say their pair.
    std::filesystem::rename(made.folder / "made.index", made.folder / "eng-rus.index");
    std::filesystem::rename(made.folder / "made.dict", made.folder / "eng-rus.dict");
    const auto pair = OpenDictdForPair("en", "ru", made.folder.path());
    ASSERT_EQ(pair.size(), 1u);
    EXPECT_EQ(pair[0]->name(), "eng-rus");
}

TEST(DictdGloss, FirstMeaningCaptionSized) {
    EXPECT_EQ(GlossOf("lighthouse\n   [↗laɪthaʊs] _n. маяк\n", "lighthouse"), "маяк");
    const std::string go = "go\n   [gɜʊ]\n   1. _v. (went - gone)\n      1) идти, ходить; быть в движении\n";
    EXPECT_EQ(GlossOf(go, "go"), "идти, ходить");
    // Too long: whole synonyms while they fit, else whole words and "…".
    const std::string three = "x\n _n. первое значение, второе значение, третье\n";
    EXPECT_EQ(GlossOf(three, "x", 35), "первое значение, второе значение");
    EXPECT_EQ(GlossOf(three, "x"), "первое значение");
    EXPECT_EQ(GlossOf("x\n очень длинное описание без запятых вовсе\n", "x", 20), "очень длинное…");
    EXPECT_EQ(GlossOf("x\n сверхдлинноесловобезпробелов\n", "x", 10), "сверхдлин…");
    // Labels without "_", a part of speech alone, a pointer after the sense.
    EXPECT_EQ(GlossOf("we\n   [wi:] _pron. pers (_obj. us) мы\n", "we"), "мы");
    EXPECT_EQ(GlossOf("all\n   _pron.\n   1. как прил.\n      1) весь, вся; all day\n", "all"), "весь, вся");
    EXPECT_EQ(GlossOf("an\n   _I  [æn] _грам.\n    неопределённый артикль см. a II\n", "an"), "неопределённый артикль");
    // An article that only points elsewhere has no gloss of its own.
    const std::pair<const char*, const char*> pointers[] = {
        {"went\n   [wɛnt] _p. от go 1\n", "go"},
        {"had\n   [hæd] (полная форма) _p. и _p-p.\nот have 1\n", "have"},
        {"is\n   [ɪz] 3-е л. ед. ч.\nнастоящего времени гл. to be\n", "be"},
        {"mail-coach\n   [↗mɛɪl] = mail-cart 1\n", "mail-cart"},
        {"d\n   [di:] _сокр. _разг. см. damn\n", "damn"},
        {"tire\n   _I  [↗taɪɜ] = tyre I\n   _II [↗taɪɜ] _уст.\n      1. _n. головной убор\n", "tyre"},
    };
    EXPECT_EQ(GlossOf("sealed\n   1. _p-p. от seal II, 2\n   2. _a.\n      1) запечатанный\n", "sealed", 30, true),
              "запечатанный");
    for (const auto& [article, pointed] : pointers) {
        const std::string headword = std::string(article).substr(0, std::string(article).find('\n'));
        EXPECT_EQ(GlossOf(article, headword), "") << headword;
        EXPECT_EQ(ReferencedHeadword(article, headword), pointed);
    }
}

TEST(Mueller7, ArticlesAndTheTranslatorsOrder) {
    auto dictd = OpenDictdForPair("en", "ru");
    ASSERT_FALSE(dictd.empty()) << "mueller7-dict is not installed";
    ASSERT_EQ(dictd.front()->name(), "mueller7");
    EXPECT_EQ(GlossOf(dictd.front()->Article("Lighthouse").value_or(""), "lighthouse"), "маяк");
    EXPECT_TRUE(OpenDictdForPair("en", "xx").empty());

    const auto builtin = SharedBuiltinDictionary();
    const Translator translator({{"Street", "улица (мой)"}}, builtin.get(), std::move(dictd), &WordNet());
    const auto lighthouses = translator.Translate("Lighthouses");
    ASSERT_TRUE(lighthouses);
    EXPECT_EQ(lighthouses->headword, "lighthouse");
    EXPECT_EQ(lighthouses->text, "маяк");
    EXPECT_EQ(lighthouses->source, "mueller7");
    // The list before the built-in dictionary, the word before its lemma.
    EXPECT_EQ(translator.Translate("streets")->text, "улица (мой)");
    EXPECT_EQ(translator.Translate("went")->headword, "go");
    EXPECT_EQ(translator.Translate("went")->source, "built-in");
    EXPECT_FALSE(translator.Translate("zzxq"));
    // The letter's article comes before the pronoun's; an American spelling
    // finds the British one; pointers are followed.
    const Translator mueller_only({}, nullptr, OpenDictdForPair("en", "ru"), &WordNet());
    EXPECT_EQ(mueller_only.Translate("I")->text, "я");
    EXPECT_EQ(mueller_only.Translate("neighbors")->headword, "neighbour");
    EXPECT_EQ(mueller_only.Translate("travelers")->headword, "traveller");
    EXPECT_EQ(mueller_only.Translate("cooperation")->headword, "co-operation");
    EXPECT_EQ(mueller_only.Translate("them")->text, "они");
    EXPECT_EQ(mueller_only.Translate("were")->text, "быть, существовать");
    EXPECT_EQ(mueller_only.Translate("sealed")->text, "запечатанный");
    EXPECT_TRUE(translator.IsCommon("went"));
    EXPECT_TRUE(translator.IsCommon("Zoos"));
    EXPECT_FALSE(translator.IsCommon("lighthouse"));
}

}  // namespace

// Which words "known" takes to be one: case and blanks aside, in any script.
#include <gtest/gtest.h>

#include "learner/word_key.h"

namespace {

using learner::WordKey;

TEST(WordKey, CaseAndBlanksAsideTheSameWord) {
    EXPECT_EQ(WordKey("  Das \t Fenster "), "das fenster");
    EXPECT_EQ(WordKey("das\xC2\xA0"
                      "Fenster"),
              "das fenster");  // a no-break space
    EXPECT_EQ(WordKey("ДОМ"), WordKey("дом"));
    EXPECT_EQ(WordKey("Ёлка"), WordKey("ёлка"));
    EXPECT_EQ(WordKey("ÄRGER"), "ärger");
    EXPECT_EQ(WordKey("ΣΟΦΊΑ"), WordKey("σοφία"));
    EXPECT_NE(WordKey("Fenster"), WordKey("das Fenster"));
    EXPECT_NE(WordKey("Ärger"), WordKey("Arger"));
    EXPECT_EQ(WordKey(" \t"), "");
}

// Bytes that are not UTF-8 are kept, not made one replacement character,
// so that two such words stay apart.
TEST(WordKey, BytesThatAreNotUtf8StayApart) {
    EXPECT_EQ(WordKey("A\xC4"), "a\xC4");
    EXPECT_NE(WordKey("\xC4\xCE"), WordKey("\xC4\xCF"));
    EXPECT_EQ(WordKey("\xED\xA0\x80"
                      "B"),
              "\xED\xA0\x80"
              "b");  // a surrogate's bytes
}

}  // namespace

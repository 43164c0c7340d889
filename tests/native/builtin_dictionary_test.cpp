// The loader turns the resource into entries, and any failure leaves the
// dictionary empty; the real packed dictionary decodes to its source pairs.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dictionary/builtin_dictionary.h"
#include "dictionary/dictionary_store.h"
#include "platform/cp1251.h"
#include "tools/dicpack/resource_encoder.h"

namespace {

std::vector<uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BuiltinDictionaryLoad : public ::testing::Test {
protected:
    void LoadFrom(const std::string& text) {
        stored_ = EncodeResource({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
        LoadStored();
    }
    // Decoded and taken by a store, as an instance's Init takes it.
    void LoadStored() {
        index_ = store_.LoadBuiltinDictionary(
            std::make_shared<const BuiltinDictionary>(DecodeBuiltinDictionary(stored_)), index_);
    }
    const BuiltinDictionary& Loaded() const { return *store_.builtinDictionary; }
    const DictEntry& GetBuiltinEntry(int32_t index) const { return ::GetBuiltinEntry(Loaded(), index); }

    std::vector<uint8_t> stored_;
    DictionaryStore store_;
    int32_t index_ = 0;
};

// The resource's Windows-1251 comes out as UTF-8, like all text inside.
TEST_F(BuiltinDictionaryLoad, SplitsStringsIntoWordAndTranslation) {
    LoadFrom(std::string("cat\0\xEA\xEE\xF8\xEA\xE0\0dog\0\0", 15));  // кошка in Windows-1251
    ASSERT_EQ(Loaded().count, 2);
    EXPECT_STREQ(GetBuiltinEntry(0).word, "cat");
    EXPECT_STREQ(GetBuiltinEntry(0).translation, "кошка");
    EXPECT_STREQ(GetBuiltinEntry(1).word, "dog");
    EXPECT_STREQ(GetBuiltinEntry(1).translation, "");
}

TEST_F(BuiltinDictionaryLoad, UnpairedStringAndTrailingBytesMakeNoEntry) {
    LoadFrom(std::string("a\0b\0c\0tail", 10));
    ASSERT_EQ(Loaded().count, 1);
    EXPECT_STREQ(GetBuiltinEntry(0).word, "a");
    EXPECT_STREQ(GetBuiltinEntry(0).translation, "b");
    EXPECT_STREQ(GetBuiltinEntry(1).word, "");
    EXPECT_STREQ(GetBuiltinEntry(-1).translation, "");
}

TEST_F(BuiltinDictionaryLoad, FailuresLeaveItEmpty) {
    LoadFrom(std::string("a\0b\0", 4));
    ASSERT_EQ(Loaded().count, 1);

    stored_.clear();  // no resource
    LoadStored();
    EXPECT_EQ(Loaded().count, 0);
    EXPECT_EQ(Loaded().text, nullptr);

    stored_ = {0xFF, 0xFF, 0xFF, 0x7F, 0, 0};  // far above any dictionary
    LoadStored();
    EXPECT_EQ(Loaded().count, 0);

    stored_ = EncodeResource(std::vector<uint8_t>(100, 'q'));
    stored_[4] = stored_[5] = 0;  // the first symbol becomes a match into nothing
    LoadStored();
    EXPECT_EQ(Loaded().count, 0);
    EXPECT_EQ(Loaded().entries, nullptr);
}

TEST_F(BuiltinDictionaryLoad, ShippedDictionaryDecodesToItsSourcePairs) {
    stored_ = ReadFile(TPP_DICTIONARY_PACKED);
    ASSERT_FALSE(stored_.empty());
    LoadStored();
    const std::vector<uint8_t> pairs = ReadFile(TPP_DICTIONARY_PAIRS);
    std::string rebuilt;
    for (int32_t i = 0; i < Loaded().count; ++i) {
        rebuilt.append(GetBuiltinEntry(i).word).push_back('\0');
        rebuilt.append(GetBuiltinEntry(i).translation).push_back('\0');
    }
    EXPECT_GE(Loaded().count, 3000);
    EXPECT_EQ(rebuilt, DecodeCp1251(std::string(pairs.begin(), pairs.end())));
}

}  // namespace

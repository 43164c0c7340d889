// The DLL carries the packed dictionary as BINARY 5008 in Russian, and the
// loader, looking in the module it is given, decodes it to exactly the
// pairs the build made from the word list.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "dictionary/builtin_dictionary.h"
#include "dictionary/dictionary_store.h"
#include "platform/cp1251.h"
#include "platform/win32/module_resource.h"
#include "tests/win32/host_side.h"

namespace {

class BuiltinDictionaryResource : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA(PluginPath().c_str());
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }

    // The built-in dictionary as the DLL takes it from its module: decoded,
    // then taken by an instance's store, which keeps the index inside it.
    int32_t LoadBuiltinDictionary(HMODULE module) {
        const std::span<const uint8_t> stored = FindModuleResource(module, kBuiltinDictionaryType,
                                                                   kBuiltinDictionaryId);
        return store_.LoadBuiltinDictionary(std::make_shared<const BuiltinDictionary>(DecodeBuiltinDictionary(stored)),
                                            index_);
    }
    const BuiltinDictionary& Loaded() const { return *store_.builtinDictionary; }
    const DictEntry& GetBuiltinEntry(int32_t index) const { return ::GetBuiltinEntry(Loaded(), index); }

    HMODULE module_ = nullptr;
    DictionaryStore store_;
    int32_t index_ = 0;
};

TEST_F(BuiltinDictionaryResource, StoredInRussian) {
    EXPECT_NE(FindResourceExA(module_, "BINARY", MAKEINTRESOURCEA(5008), MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT)),
              nullptr);
}

TEST_F(BuiltinDictionaryResource, DecodesToTheSourcePairs) {
    EXPECT_EQ(LoadBuiltinDictionary(module_), 0) << "the index stays on the first entry";
    ASSERT_GE(Loaded().count, 3000);

    std::ifstream in(TPP_DICTIONARY_PAIRS, std::ios::binary);
    ASSERT_TRUE(in) << TPP_DICTIONARY_PAIRS;
    const std::string pairs((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string rebuilt;
    for (int32_t i = 0; i < Loaded().count; ++i) {
        rebuilt.append(GetBuiltinEntry(i).word).push_back('\0');
        rebuilt.append(GetBuiltinEntry(i).translation).push_back('\0');
    }
    EXPECT_EQ(rebuilt, DecodeCp1251(pairs)) << "the resource's Windows-1251 becomes UTF-8";
    EXPECT_STREQ(GetBuiltinEntry(0).word, "a");
}

TEST_F(BuiltinDictionaryResource, ModuleWithoutItLeavesTheDictionaryEmpty) {
    EXPECT_EQ(LoadBuiltinDictionary(GetModuleHandleA(nullptr)), -1) << "no entry to stand on";
    EXPECT_EQ(Loaded().count, 0);
    EXPECT_STREQ(GetBuiltinEntry(0).word, "");
}

}  // namespace

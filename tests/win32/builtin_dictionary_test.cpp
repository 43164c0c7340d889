// The DLL carries the packed dictionary as BINARY 5008 in Russian, and the
// loader, looking in the module it is given, decodes it to exactly the
// pairs the build made from the word list.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "dictionary/builtin_dictionary.h"
#include "platform/win32/plugin_module.h"
#include "tests/win32/plugin_path.h"

namespace {

class BuiltinDictionaryResource : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA(PluginPath().c_str());
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        pluginModule = nullptr;
        builtinDictionary = BuiltinDictionary{};
        if (module_ != nullptr) FreeLibrary(module_);
    }

    HMODULE module_ = nullptr;
};

TEST_F(BuiltinDictionaryResource, StoredInRussian) {
    EXPECT_NE(FindResourceExA(module_, "BINARY", MAKEINTRESOURCEA(5008),
                              MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT)),
              nullptr);
}

TEST_F(BuiltinDictionaryResource, DecodesToTheSourcePairs) {
    pluginModule = module_;
    EXPECT_EQ(LoadBuiltinDictionary(), 1);
    ASSERT_GE(builtinDictionary.count, 3000);

    std::ifstream in(TPP_DICTIONARY_PAIRS, std::ios::binary);
    ASSERT_TRUE(in) << TPP_DICTIONARY_PAIRS;
    const std::string pairs((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string rebuilt;
    for (int32_t i = 0; i < builtinDictionary.count; ++i) {
        rebuilt.append(GetBuiltinEntry(i).word).push_back('\0');
        rebuilt.append(GetBuiltinEntry(i).translation).push_back('\0');
    }
    EXPECT_EQ(rebuilt, pairs);
    EXPECT_STREQ(GetBuiltinEntry(0).word, "a");
}

TEST_F(BuiltinDictionaryResource, ModuleWithoutItLeavesTheDictionaryEmpty) {
    pluginModule = GetModuleHandleA(nullptr);
    EXPECT_EQ(LoadBuiltinDictionary(), 1);
    EXPECT_EQ(builtinDictionary.count, 0);
    EXPECT_STREQ(GetBuiltinEntry(0).word, "");
}

}  // namespace

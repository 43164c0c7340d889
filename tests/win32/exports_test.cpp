// The plug-in as a host sees it: loaded by path, found through its two
// exports, its record, texts and version block compared byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/host_interface.h"
#include "tests/win32/host_side.h"

namespace {

std::wstring FromCp1251(const char* text) {
    const int n = MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, text, -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
    return wide;
}

class PluginExports : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA(PluginPath().c_str());
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
        version_ = reinterpret_cast<PluginVersionExport>(
            reinterpret_cast<void*>(GetProcAddress(module_, "Telvoria_Plugin_Version")));
        record_ = reinterpret_cast<PluginRecordExport>(
            reinterpret_cast<void*>(GetProcAddress(module_, "Telvoria_Plugin_PR")));
        ASSERT_NE(version_, nullptr);
        ASSERT_NE(record_, nullptr);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    HMODULE module_ = nullptr;
    PluginVersionExport version_ = nullptr;
    PluginRecordExport record_ = nullptr;
};

TEST_F(PluginExports, VersionIsThreeAndTheRecordNeverMoves) {
    EXPECT_EQ(version_(), 3);
    const PluginRecord* first = record_();
    EXPECT_EQ(record_(), first);
    EXPECT_EQ(version_(), 3);
    EXPECT_EQ(record_(), first);
}

TEST_F(PluginExports, NameAndDescriptionAreWindows1251) {
    const PluginRecord* record = record_();
    EXPECT_EQ(FromCp1251(record->name), L"25-й кадр");
    EXPECT_EQ(FromCp1251(record->description), L"Изучение иностранного языка методом 25-го кадра.");
    EXPECT_STREQ(record->name, "25-\xE9 \xEA\xE0\xE4\xF0");
}

TEST_F(PluginExports, RecordHoldsSixCallbacksInsideTheLibrary) {
    const PluginRecord* record = record_();
    const void* callbacks[] = {
        reinterpret_cast<void*>(record->Init),         reinterpret_cast<void*>(record->StreamStart),
        reinterpret_cast<void*>(record->ProcessFrame), reinterpret_cast<void*>(record->StreamStop),
        reinterpret_cast<void*>(record->ShowSettings), reinterpret_cast<void*>(record->Exit),
    };
    for (const void* callback : callbacks) {
        HMODULE owner = nullptr;
        ASSERT_TRUE(
            GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               static_cast<const char*>(callback), &owner));
        EXPECT_EQ(owner, module_);
    }
}

// With default settings (no settings file) the caption shows on one frame
// in twelve: frames 1, 13, 25, ... in both pixel formats.
TEST_F(PluginExports, DefaultsChangeEveryTwelfthFrame) {
    const std::string folder = PluginPath().substr(0, PluginPath().rfind('\\') + 1);
    DeleteFileA((folder + "Plugins\\TPP_25Frame.ini").c_str());
    const PluginRecord* record = record_();
    record->Init();
    for (int32_t pixelFormat : {0, 1}) {
        StreamFormat format = {320, 240, 0, pixelFormat};
        ASSERT_EQ(record->StreamStart(&format), 1);
        FrameRecord noFrame = {nullptr};
        EXPECT_EQ(record->ProcessFrame(&noFrame), 0);  // does not count as a frame
        const std::vector<uint8_t> grey(320 * 240 * (pixelFormat == 0 ? 2 : 3), 0x60);
        std::vector<int> changed;
        for (int i = 1; i <= 26; ++i) {
            std::vector<uint8_t> pixels = grey;
            FrameRecord frame = {pixels.data()};
            EXPECT_EQ(record->ProcessFrame(&frame), 1);
            if (pixels != grey) changed.push_back(i);
        }
        // The second stream goes on with the schedule where the first left it.
        EXPECT_EQ(changed, pixelFormat == 0 ? (std::vector<int>{1, 13, 25}) : (std::vector<int>{11, 23}));
        record->StreamStop();
    }
    record->Exit();
}

std::string VersionString(const std::vector<char>& block, const char* key) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + key;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "?";
    return std::string(value);
}

TEST(PluginVersionBlock, HoldsTheReleaseValues) {
    const std::string path = PluginPath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000004u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000004u);

    EXPECT_EQ(VersionString(block, "FileVersion"), "0, 1, 0, 4");
    EXPECT_EQ(VersionString(block, "ProductVersion"), "1.04");
    EXPECT_EQ(VersionString(block, "FileDescription"), "TPP_25Frame DLL");
    EXPECT_EQ(VersionString(block, "InternalName"), "TPP_25Frame");
    EXPECT_EQ(VersionString(block, "OriginalFilename"), "TPP_25Frame.DLL");
    EXPECT_EQ(VersionString(block, "ProductName"), "TPP_25Frame Dynamic Link Library");
}

}  // namespace

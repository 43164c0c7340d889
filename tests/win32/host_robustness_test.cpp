// The real library driven by a careless host: callbacks out of order, odd
// and huge frames, a settings file full of garbage, settings shown without
// a record or an owner. Nothing may crash, every frame must stay inside its
// buffer, and no window may outlive Exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "plugin/host_interface.h"
#include "tests/win32/host_side.h"

namespace {

BOOL CALLBACK CountVisibleWindow(HWND window, LPARAM counter) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window)) ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// Visible top-level windows of this process.
int VisibleWindows() {
    int count = 0;
    EnumWindows(CountVisibleWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

class HostRobustness : public ::testing::Test {
protected:
    void SetUp() override {
        iniPath_ = ProgramFolder() + "Plugins\\TPP_25Frame.ini";
        DeleteFileA(iniPath_.c_str());
        module_ = LoadLibraryA(PluginPath().c_str());
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
        const auto recordExport = reinterpret_cast<PluginRecordExport>(
            reinterpret_cast<void*>(GetProcAddress(module_, "Telvoria_Plugin_PR")));
        ASSERT_NE(recordExport, nullptr);
        plugin_ = recordExport();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        DeleteFileA(iniPath_.c_str());
    }

    void WriteSettings(const std::string& lines) {
        CreateDirectoryA((ProgramFolder() + "Plugins").c_str(), nullptr);
        std::ofstream(iniPath_, std::ios::binary) << "[PluginSettings]\r\nShowFreqFrom=2\r\nShowFreqTo=2\r\n" << lines;
    }

    // Frames of a grey picture; how many the plug-in changed. Each frame
    // buffer is allocated to its exact size, so the heap's own checks and a
    // guard page catch a write past its end.
    int ChangedFrames(int32_t width, int32_t height, int32_t pixelFormat, int frames, int32_t result = 1) {
        const StreamFormat format = {width, height, 0, pixelFormat};
        EXPECT_EQ(plugin_->StreamStart(&format), 1) << width << "x" << height;
        const size_t size = size_t(width) * height * (pixelFormat == 0 ? 2 : 3);
        const std::vector<uint8_t> grey(size, 0x40);
        int changed = 0;
        for (int i = 0; i < frames; ++i) {
            std::vector<uint8_t> pixels = grey;
            FrameRecord frame = {pixels.data()};
            EXPECT_EQ(plugin_->ProcessFrame(&frame), result);
            changed += pixels != grey;
        }
        plugin_->StreamStop();
        return changed;
    }

    std::string iniPath_;
    HMODULE module_ = nullptr;
    const PluginRecord* plugin_ = nullptr;
};

TEST_F(HostRobustness, CallbacksOutOfOrderAndFramesOfAnySize) {
    plugin_->Exit();  // without Init
    plugin_->StreamStop();

    WriteSettings("");
    plugin_->Init();
    std::vector<uint8_t> pixels(64 * 48 * 2, 0x40);
    FrameRecord frame = {pixels.data()}, none = {nullptr};
    EXPECT_EQ(plugin_->ProcessFrame(&frame), 0) << "before StreamStart";
    EXPECT_EQ(plugin_->ProcessFrame(nullptr), 0);
    const StreamFormat zero = {0, 0, 0, 0}, yuy2 = {64, 48, 0, 0};
    EXPECT_EQ(plugin_->StreamStart(&zero), 0);
    EXPECT_EQ(plugin_->StreamStart(nullptr), 0);
    EXPECT_EQ(plugin_->StreamStart(&yuy2), 1);
    EXPECT_EQ(plugin_->StreamStart(&yuy2), 1) << "twice";
    EXPECT_EQ(plugin_->ProcessFrame(&none), 0);
    EXPECT_EQ(plugin_->ProcessFrame(&frame), 1);
    plugin_->StreamStop();
    plugin_->StreamStop();
    EXPECT_EQ(plugin_->ProcessFrame(&frame), 0) << "after StreamStop";

    for (const auto& [width, height] :
         std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {2, 2}, {3, 2}, {5, 3}, {719, 576}}) {
        ChangedFrames(width, height, 0, 3);
        ChangedFrames(width, height, 1, 3);
    }
    EXPECT_GT(ChangedFrames(720, 576, 0, 2), 0);
    EXPECT_GT(ChangedFrames(8192, 8192, 0, 2), 0);
    plugin_->Exit();
    EXPECT_EQ(VisibleWindows(), 0);
}

// The values of a hand-edited file at their extremes, through the GDI
// renderer: each frame succeeds (but for an empty dictionary) and Exit
// writes the file back.
TEST_F(HostRobustness, GarbageSettingsThroughTheGdiRenderer) {
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {"FontSize=-2147483648", 1},
        {"FontSize=2147483647\r\nBackType=1", 1},
        {"FontName=" + std::string(300, 'N') + "\r\nFontWeight=-7\r\nFontCharSet=999", 1},
        {"TextColor=4294967295\r\nBackColor=16777216\r\nTransparency=1000\r\nBackType=7", 1},
        {"Transparency=-5\r\nBackType=2", 1},
        {"RulesType=-1\r\nCurIntEntry=-7", 1},
        {"RulesType=2\r\nCurIntEntry=2147483647", 1},
        {"DicType=1\r\nDicFileName=Z:\\no such folder\\words.dic\r\nCurExtEntry=2147483647", 0},
        {"DicType=2", 1},
        {"StringPosX=-2147483648\r\nStringPosY=2147483647\r\nRndStringPos=0", 1},
        {"ShowTimeFrom=2147483647\r\nShowTimeTo=-5", 1},
    };
    for (const auto& [lines, result] : cases) {
        SCOPED_TRACE(lines);
        WriteSettings(lines + "\r\n");
        plugin_->Init();
        ChangedFrames(64, 48, 0, 4, result);
        ChangedFrames(33, 17, 1, 4, result);
        plugin_->Exit();
        std::ifstream in(iniPath_, std::ios::binary);
        const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(saved.rfind("[PluginSettings]\r\n", 0), 0u);
    }
}

// Without a record nothing opens; without an owner a dialog may open, but
// Exit closes whatever did.
TEST_F(HostRobustness, ShowSettingsWithoutRecordOrOwner) {
    WriteSettings("");
    plugin_->Init();
    const int before = VisibleWindows();
    plugin_->ShowSettings(nullptr);
    PumpMessages();
    EXPECT_EQ(VisibleWindows(), before);

    const HostWindowRecord noOwner = {nullptr};
    plugin_->ShowSettings(&noOwner);
    PumpMessages();
    StreamFormat format = {64, 48, 0, 1};
    EXPECT_EQ(plugin_->StreamStart(&format), 1);
    std::vector<uint8_t> pixels(64 * 48 * 3, 0x40);
    FrameRecord frame = {pixels.data()};
    EXPECT_EQ(plugin_->ProcessFrame(&frame), 1);
    plugin_->StreamStop();
    plugin_->Exit();
    PumpMessages();
    EXPECT_EQ(VisibleWindows(), before);
}

}  // namespace

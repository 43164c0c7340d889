// The plug-in driven through its six callbacks as a careless host and a
// hand-edited settings file would drive it. The settings file lies beside
// this program (Plugins/lifecycle_test.ini), as it would beside a host.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "plugin/host_callbacks.h"
#include "tests/native/temp_folder.h"
#include "tests/support/test_instance.h"
#include "tools/dicpack/resource_encoder.h"

namespace {

class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        iniPath_ = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Plugins/lifecycle_test.ini";
        std::filesystem::create_directories(iniPath_.parent_path());
        std::filesystem::remove(iniPath_);
        static const char pairs[] = "cat\0\xEA\xEE\xF8\xEA\xE0\0dog\0\xF1\xEE\xE1\xE0\xEA\xE0";  // кошка, собака
        packed_ = EncodeResource({reinterpret_cast<const uint8_t*>(pairs), sizeof pairs});
        resource_ = packed_;
        WriteBytes(dir_ / "words.dic", "sun - solntse\r\nsky - nebo\r\n");
        ResetOverlay();
    }
    void TearDown() override {
        PluginStreamStop();
        std::filesystem::remove(iniPath_);
    }

    // A fresh instance, as the library has after loading, whose built-in
    // dictionary is resource_ decoded.
    void ResetOverlay() {
        InstanceParts parts;
        parts.builtinDictionary = [this] {
            return std::make_shared<const BuiltinDictionary>(DecodeBuiltinDictionary(resource_));
        };
        parts.settingsBaseName = "lifecycle_test";
        plugin_ = MakeTestInstance(std::move(parts));
    }

    // Init with these lines under [PluginSettings], the named dictionary and
    // a caption every other frame.
    void InitWith(const std::string& lines) {
        WriteBytes(iniPath_, "[PluginSettings]\r\nDicFileName=" + dir_ / "words.dic" +
                                 "\r\nShowFreqFrom=2\r\nShowFreqTo=2\r\n" + lines);
        PluginInit();
    }

    // The six callbacks, on the instance.
    void PluginInit() { plugin_->Init(); }
    int32_t PluginStreamStart(const StreamFormat* format) { return host::StreamStart(*plugin_, format); }
    int32_t PluginProcessFrame(FrameRecord* frame) { return host::ProcessFrame(*plugin_, frame); }
    void PluginStreamStop() { plugin_->StreamStop(); }
    void PluginExit() { plugin_->Exit(); }

    // Streams frames of a grey picture; returns how many the plug-in
    // changed, and fails unless every frame reported success.
    int ChangedFrames(int32_t width, int32_t height, int32_t pixelFormat, int frames) {
        const StreamFormat format = {width, height, 0, pixelFormat};
        EXPECT_EQ(PluginStreamStart(&format), 1);
        const std::vector<uint8_t> grey(size_t(width) * height * (pixelFormat == 0 ? 2 : 3), 0x40);
        int changed = 0;
        for (int i = 0; i < frames; ++i) {
            std::vector<uint8_t> pixels = grey;
            FrameRecord frame = {pixels.data()};
            EXPECT_EQ(PluginProcessFrame(&frame), 1);
            changed += pixels != grey;
        }
        PluginStreamStop();
        return changed;
    }

    TempFolder dir_;
    std::filesystem::path iniPath_;
    std::vector<uint8_t> packed_;
    std::vector<uint8_t> resource_;  // what the library carries as its built-in dictionary
    std::unique_ptr<PluginInstance> plugin_;
};

// Each value alone in an otherwise sound file: the frames stay inside their
// buffers (ASan), every frame succeeds, captions still show unless the
// value itself hides them, and Exit writes the file back.
TEST_F(Lifecycle, GarbageValuesGiveASensiblePicture) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"FontSize=-2147483648", true},
        {"FontSize=2147483647", true},
        {"FontSize=0", true},
        {"FontName=" + std::string(300, 'N'), true},
        {"TextColor=4294967295\r\nBackColor=0", true},
        {"BackColor=16777216", true},
        {"Transparency=-5", false},
        {"Transparency=1000", true},
        {"BackType=7", true},
        {"BackType=-1", true},
        {"RulesType=-1", true},
        {"DicType=1\r\nRulesType=7", true},
        {"CurIntEntry=-7", true},
        {"CurIntEntry=2147483647", true},
        {"DicType=1\r\nCurExtEntry=-7", true},
        {"DicType=1\r\nCurExtEntry=2147483647", true},
        {"ShowFreqFrom=2147483647\r\nShowFreqTo=-2147483648", true},
        {"ShowTimeFrom=1000\r\nShowTimeTo=-1000", true},
        {"StringPosX=-2147483648\r\nStringPosY=2147483647\r\nRndStringPos=0", true},
        {"StringPosX=2147483647\r\nStringPosY=-2147483648\r\nRndStringPos=0", true},
        {"FontWeight=-1\r\nFontCharSet=999\r\nFontItalic=-3", true},
        {"DicType=2", false},  // no dictionary: the empty caption stays
        {"FontSize=12abc\r\nTransparency= +50%", true},
    };
    for (const auto& [line, shows] : cases) {
        SCOPED_TRACE(line);
        ResetOverlay();
        InitWith(line + "\r\n");
        EXPECT_EQ(ChangedFrames(64, 48, 0, 6) > 0, shows);
        EXPECT_EQ(ChangedFrames(64, 48, 1, 6) > 0, shows);
        ChangedFrames(7, 5, 0, 6);  // glyphs smaller than a pixel: only bounds matter
        ChangedFrames(7, 5, 1, 6);
        PluginExit();
        EXPECT_EQ(ReadBytes(iniPath_).rfind("[PluginSettings]\r\n", 0), 0u);
    }
}

TEST_F(Lifecycle, MisbehavingHost) {
    PluginExit();  // without Init: nothing is located, nothing written
    EXPECT_FALSE(std::filesystem::exists(iniPath_));

    InitWith("");
    std::vector<uint8_t> pixels(64 * 48 * 2, 0x40);
    FrameRecord frame = {pixels.data()}, none = {nullptr};
    EXPECT_EQ(PluginProcessFrame(&frame), 0) << "before StreamStart";
    EXPECT_EQ(PluginProcessFrame(nullptr), 0);
    const StreamFormat zero = {0, 0, 0, 0}, yuy2 = {64, 48, 0, 0};
    EXPECT_EQ(PluginStreamStart(&zero), 0);
    EXPECT_EQ(PluginStreamStart(nullptr), 0);
    EXPECT_EQ(PluginStreamStart(&yuy2), 1);
    EXPECT_EQ(PluginStreamStart(&yuy2), 1) << "twice";
    EXPECT_EQ(PluginProcessFrame(&none), 0);
    EXPECT_EQ(PluginProcessFrame(&frame), 1);
    PluginStreamStop();
    PluginStreamStop();
    EXPECT_EQ(PluginProcessFrame(&frame), 0) << "after StreamStop";

    // Tiny, odd and very large frames, in both formats (ASan checks the edges).
    for (const auto& [width, height] :
         std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {2, 2}, {3, 2}, {5, 3}, {719, 576}}) {
        ChangedFrames(width, height, 0, 3);
        ChangedFrames(width, height, 1, 3);
    }
    EXPECT_GT(ChangedFrames(8192, 8192, 0, 2), 0);
    PluginExit();
    PluginExit();  // twice: the second writes the same file again
    EXPECT_EQ(ReadBytes(iniPath_).rfind("[PluginSettings]\r\n", 0), 0u);
}

// A word list cut short in the library leaves the built-in dictionary
// empty; damaged bits cannot all be told from data, but whatever they decode
// to, the alternative dictionary goes on working.
TEST_F(Lifecycle, CorruptBuiltinResourceLeavesTheAlternativeWorking) {
    for (const size_t keep : {size_t{0}, size_t{3}, packed_.size() / 2}) {
        SCOPED_TRACE(keep);
        resource_.assign(packed_.begin(), packed_.begin() + keep);
        InitWith("DicType=1\r\n");
        EXPECT_EQ(DictionariesOf(*plugin_).builtinDictionary->count, 0);
        EXPECT_GT(ChangedFrames(64, 48, 0, 4), 0);
        PluginExit();
    }
    std::vector<uint8_t> flipped = packed_;
    flipped[4] ^= 0xFF;
    flipped[flipped.size() - 1] ^= 0x55;
    resource_ = flipped;
    InitWith("DicType=1\r\n");
    EXPECT_GT(ChangedFrames(64, 48, 1, 4), 0);
    PluginExit();
}

}  // namespace

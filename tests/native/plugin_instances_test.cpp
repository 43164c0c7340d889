// Instances side by side in one process, as a media framework holds them:
// each keeps its own settings, dictionaries, walk, random source, stream
// and canvas, so two instances driven in turn, or on two threads, give
// exactly the frames and the settings file each gives alone. Run under
// ThreadSanitizer too.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "plugin/host_callbacks.h"
#include "render/freetype_caption_renderer.h"
#include "tests/native/temp_folder.h"
#include "tests/support/test_instance.h"

namespace {

using RendererFactory = std::function<std::unique_ptr<CaptionRenderer>()>;

// One instance's world: its settings file, its word list, the stream.
struct InstanceSetup {
    std::string name;
    std::string settings;  // lines under [PluginSettings]
    std::string words;     // the alternative dictionary's file
    StreamFormat format;
};

// What an instance leaves behind: every frame and, after Exit, the file.
struct Recording {
    std::vector<std::vector<uint8_t>> frames;
    std::string settingsFile;
};

void ExpectSame(const Recording& got, const Recording& alone) {
    EXPECT_EQ(got.settingsFile, alone.settingsFile);
    ASSERT_EQ(got.frames.size(), alone.frames.size());
    for (size_t i = 0; i < got.frames.size(); ++i)
        if (got.frames[i] != alone.frames[i]) return ADD_FAILURE() << "frame " << i + 1 << " differs";
}

// Init, a stream of grey frames one at a time, Exit.
class Session {
public:
    Session(const InstanceSetup& setup, const TempFolder& dir, const RendererFactory& renderer,
            std::shared_ptr<const BuiltinDictionary> builtin)
        : settingsPath_(dir / (setup.name + ".ini")), format_(setup.format) {
        const std::string wordsPath = dir / (setup.name + ".dic");
        WriteBytes(wordsPath, setup.words);
        WriteBytes(settingsPath_, "[PluginSettings]\r\nDicFileName=" + wordsPath + "\r\n" + setup.settings);
        InstanceParts parts;
        parts.renderer = renderer();
        parts.builtinDictionary = [builtin] { return builtin; };
        parts.settingsPath = settingsPath_;
        plugin_ = std::make_unique<PluginInstance>(std::move(parts));
        plugin_->Init();
        EXPECT_EQ(host::StreamStart(*plugin_, &format_), 1);
        const int32_t bytesPerPixel = format_.pixelFormat == 0 ? 2 : 3;
        grey_.assign(size_t(format_.width) * format_.height * bytesPerPixel, 0x60);
    }

    void Frame() {
        std::vector<uint8_t> pixels = grey_;
        FrameRecord record = {pixels.data()};
        EXPECT_EQ(host::ProcessFrame(*plugin_, &record), 1);
        recording_.frames.push_back(std::move(pixels));
    }

    Recording Finish() {
        plugin_->StreamStop();
        plugin_->Exit();
        recording_.settingsFile = ReadBytes(settingsPath_);
        return recording_;
    }

    // Frames that carry a caption; the comparisons mean nothing without some.
    int Drawn() const {
        int drawn = 0;
        for (const std::vector<uint8_t>& frame : recording_.frames) drawn += frame != grey_;
        return drawn;
    }

private:
    std::string settingsPath_;
    StreamFormat format_;
    std::vector<uint8_t> grey_;
    std::unique_ptr<PluginInstance> plugin_;
    Recording recording_;
};

constexpr int kFrames = 60;

// Two instances unlike in everything a setting decides: dictionary, order,
// position, timing, background, opacity, font, frame format and size.
const InstanceSetup kFirst = {"first",
                              "DicType=0\r\nRulesType=2\r\nShowFreqFrom=3\r\nShowFreqTo=3\r\nShowTimeFrom=2\r\n"
                              "ShowTimeTo=2\r\nBackType=1\r\nTransparency=60\r\nFontSize=-30\r\n",
                              "",
                              {160, 120, 0, 0}};
const InstanceSetup kSecond = {"second",
                               "DicType=1\r\nRulesType=1\r\nRndStringPos=0\r\nStringPosX=200\r\nStringPosY=100\r\n"
                               "ShowFreqFrom=2\r\nShowFreqTo=5\r\nShowTimeFrom=1\r\nShowTimeTo=3\r\nBackType=2\r\n"
                               "BackColor=255\r\nTextColor=65280\r\nFontSize=-50\r\nFontWeight=700\r\n",
                               "sun - solntse\r\nsky - nebo\r\nsea - more\r\n",
                               {200, 150, 0, 1}};

std::shared_ptr<const BuiltinDictionary> SharedBuiltin() {
    return BuiltinOf({{"cat", "koshka"}, {"dog", "sobaka"}, {"owl", "sova"}, {"fox", "lisa"}});
}

Recording Alone(const InstanceSetup& setup, const TempFolder& dir, const RendererFactory& renderer) {
    Session session(setup, dir, renderer, SharedBuiltin());
    for (int i = 0; i < kFrames; ++i) session.Frame();
    EXPECT_GT(session.Drawn(), 10) << setup.name;
    return session.Finish();
}

class Instances : public ::testing::TestWithParam<const char*> {
protected:
    RendererFactory Renderer() const {
        if (std::string(GetParam()) == "freetype") return [] { return std::make_unique<FreeTypeCaptionRenderer>(); };
        return [] { return std::make_unique<BoxCaptionRenderer>(); };
    }

    TempFolder dir_;
};

TEST_P(Instances, InterleavedFramesAreEachAsAlone) {
    const Recording first = Alone(kFirst, dir_, Renderer());
    const Recording second = Alone(kSecond, dir_, Renderer());
    // Both share the one decoded built-in dictionary, as a process's do.
    const std::shared_ptr<const BuiltinDictionary> builtin = SharedBuiltin();
    Session a(kFirst, dir_, Renderer(), builtin), b(kSecond, dir_, Renderer(), builtin);
    for (int i = 0; i < kFrames; ++i) {
        a.Frame();
        b.Frame();
    }
    ExpectSame(a.Finish(), first);
    ExpectSame(b.Finish(), second);
}

INSTANTIATE_TEST_SUITE_P(Renderers, Instances, ::testing::Values("box", "freetype"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST(InstanceThreads, EachThreadGivesWhatItsInstanceGivesAlone) {
    TempFolder dir;
    const RendererFactory box = [] { return std::make_unique<BoxCaptionRenderer>(); };
    const Recording first = Alone(kFirst, dir, box);
    const Recording second = Alone(kSecond, dir, box);
    const std::shared_ptr<const BuiltinDictionary> builtin = SharedBuiltin();
    Recording firstThread, secondThread;
    const auto run = [&](const InstanceSetup& setup, Recording& into) {
        Session session(setup, dir, box, builtin);
        for (int i = 0; i < kFrames; ++i) session.Frame();
        into = session.Finish();
    };
    std::thread other(run, std::cref(kSecond), std::ref(secondThread));
    run(kFirst, firstThread);
    other.join();
    ExpectSame(firstThread, first);
    ExpectSame(secondThread, second);
}

}  // namespace

// The dialog rebuilds the caption font and changes settings on its thread
// while the host streams frames on another. The dialog thread calls the
// same edits as the dialog's handlers and takes no lock of its own. Run
// under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "plugin/host_callbacks.h"
#include "tests/support/test_instance.h"
#include "ui/settings_edits.h"

namespace {

// One round of what a user can do in the dialog, each control in turn. The
// font, which takes the render lock in any case, changes in a few rounds
// only, so that most edits meet frames with no lock taken in between.
void EditLikeTheDialog(PluginInstance& plugin, SettingsEdits& edits, int round) {
    if (round % 16 == 0) {
        CaptionFont font = {};
        std::strcpy(font.faceName, round % 32 ? "Arial" : "Courier New");
        font.height = -8 - round % 40;
        font.weight = round % 32 ? 700 : 400;
        edits.StoreFontSettings(font);
        OverlayOf(plugin).CreateCaptionFont();
    }
    if (round % 64 == 0) edits.ReplaceWorkingSettings(edits.CopyWorkingSettings());  // Cancel, Default
    edits.SetTransparency(round % 101);
    edits.SetBackType(static_cast<Background>(round % 3));
    edits.SetCaptionBackColor(0x10101u * (round % 256));
    edits.SetCaptionTextColor(0x20202u * (round % 128));
    edits.SetRandomPosition(round % 5 == 0);
    edits.MoveCaptionBy(round % 7 - 3, 3 - round % 5);
    edits.MoveCaptionToPreset(static_cast<CaptionPreset>(round % 5));
    edits.SetFrameRangeBound(FrameRange::ShowFreq, round % 2 ? RangeBound::From : RangeBound::To, 1 + round % 3);
    edits.SetFrameRangeBound(FrameRange::ShowTime, round % 2 ? RangeBound::To : RangeBound::From, 1 + round % 2);
    edits.SetRulesType(static_cast<WordOrder>(round % 3));
    edits.SetDicType(kBuiltinWords);
    edits.SetDictionaryFile(round % 2 ? "words.dic" : "");
    edits.SetCurrentAltEntry(round % 4 - 1);
}

TEST(OverlayThreads, DialogEditsAgainstFrames) {
    const std::unique_ptr<PluginInstance> plugin = MakeTestInstance();
    BoxCaptionRenderer& renderer = BoxRendererOf(*plugin);
    // The dialog's edits, as its handlers make them.
    SettingsEdits edits(SettingsOf(*plugin).workingSettings);
    SetBuiltinEntries(*plugin, {{"cat", "koshka"}, {"dog", "sobaka"}, {"sun", "solntse"}});
    SetWorking(*plugin, [](SettingsRecord& s) {
        s.ShowFreqFrom = s.ShowFreqTo = 2;
        s.ShowTimeFrom = s.ShowTimeTo = 1;
    });
    const StreamFormat format = {96, 64, 0, 0};
    ASSERT_EQ(host::StreamStart(*plugin, &format), 1);

    std::atomic<bool> streaming{false}, done{false};
    std::thread dialog([&] {
        while (!streaming) std::this_thread::yield();
        for (int round = 0; round < 10000; ++round) EditLikeTheDialog(*plugin, edits, round);
        done = true;
    });

    std::vector<uint8_t> pixels(96 * 64 * 2, 0x40);
    FrameRecord frame = {pixels.data()};
    int frames = 0, drawn = 0;
    streaming = true;
    while (!done || frames < 1000) {
        drawn += host::ProcessFrame(*plugin, &frame);
        ++frames;
    }
    dialog.join();
    plugin->StreamStop();
    EXPECT_EQ(drawn, frames) << "a frame with entries to show always reports 1";
    EXPECT_GE(renderer.font().height, -47);
    EXPECT_LE(renderer.font().height, -8);
}

}  // namespace

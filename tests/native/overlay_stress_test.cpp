// The dialog rebuilds the caption font and changes settings on its thread
// while the host streams frames on another. The dialog thread calls the
// same edits as the dialog's handlers and takes no lock of its own. Run
// under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "overlay/overlay_engine.h"
#include "settings/settings_state.h"
#include "tests/support/overlay_fixture.h"
#include "ui/settings_edits.h"

namespace {

// One round of what a user can do in the dialog, each control in turn. The
// font, which takes the render lock in any case, changes in a few rounds
// only, so that most edits meet frames with no lock taken in between.
void EditLikeTheDialog(int round) {
    if (round % 16 == 0) {
        CaptionFont font = {};
        std::strcpy(font.faceName, round % 32 ? "Arial" : "Courier New");
        font.height = -8 - round % 40;
        font.weight = round % 32 ? 700 : 400;
        StoreFontSettings(font);
        CreateCaptionFont();
    }
    if (round % 64 == 0) ReplaceWorkingSettings(CopyWorkingSettings());  // Cancel, Default
    SetTransparency(round % 101);
    SetBackType(round % 3);
    SetCaptionBackColor(0x10101u * (round % 256));
    SetCaptionTextColor(0x20202u * (round % 128));
    SetRandomPosition(round % 5 == 0);
    MoveCaptionBy(round % 7 - 3, 3 - round % 5);
    MoveCaptionToPreset(static_cast<CaptionPreset>(round % 5));
    SetFrameRangeBound(FrameRange::ShowFreq, round % 2 ? RangeBound::From : RangeBound::To, 1 + round % 3);
    SetFrameRangeBound(FrameRange::ShowTime, round % 2 ? RangeBound::To : RangeBound::From, 1 + round % 2);
    SetRulesType(round % 3);
    SetDicType(0);
    SetDictionaryFile(round % 2 ? "words.dic" : "");
    SetCurrentAltEntry(round % 4 - 1);
}

TEST(OverlayThreads, DialogEditsAgainstFrames) {
    BoxCaptionRenderer renderer;
    ResetOverlay(renderer);
    SetBuiltinEntries({{"cat", "koshka"}, {"dog", "sobaka"}, {"sun", "solntse"}});
    workingSettings.ShowFreqFrom = workingSettings.ShowFreqTo = 2;
    workingSettings.ShowTimeFrom = workingSettings.ShowTimeTo = 1;
    const StreamFormat format = {96, 64, 0, 0};
    ASSERT_EQ(overlay::StreamStart(&format), 1);

    std::atomic<bool> streaming{false}, done{false};
    std::thread dialog([&] {
        while (!streaming) std::this_thread::yield();
        for (int round = 0; round < 10000; ++round) EditLikeTheDialog(round);
        done = true;
    });

    std::vector<uint8_t> pixels(96 * 64 * 2, 0x40);
    FrameRecord frame = {pixels.data()};
    int frames = 0, drawn = 0;
    streaming = true;
    while (!done || frames < 1000) {
        drawn += overlay::ProcessFrame(&frame);
        ++frames;
    }
    dialog.join();
    overlay::StreamStop();
    EXPECT_EQ(drawn, frames) << "a frame with entries to show always reports 1";
    EXPECT_GE(renderer.font().height, -47);
    EXPECT_LE(renderer.font().height, -8);
}

}  // namespace

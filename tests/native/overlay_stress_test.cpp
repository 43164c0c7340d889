// The dialog rebuilds the caption font and changes settings on its thread
// while the host streams frames on another. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "overlay/overlay_engine.h"
#include "overlay/overlay_state.h"
#include "settings/settings_state.h"
#include "tests/support/overlay_fixture.h"

namespace {

TEST(OverlayThreads, FontAndSettingsChangesAgainstFrames) {
    BoxCaptionRenderer renderer;
    ResetOverlay(renderer);
    SetBuiltinEntries({{"cat", "koshka"}, {"dog", "sobaka"}, {"sun", "solntse"}});
    workingSettings.ShowFreqFrom = workingSettings.ShowFreqTo = 2;
    workingSettings.ShowTimeFrom = workingSettings.ShowTimeTo = 1;
    const StreamFormat format = {96, 64, 0, 0};
    ASSERT_EQ(overlay::StreamStart(&format), 1);

    std::atomic<bool> done{false};
    std::thread dialog([&] {
        for (int round = 0; round < 2000; ++round) {
            {
                const std::lock_guard<std::mutex> lock(renderLock);
                workingSettings.FontSize = -8 - round % 40;
                workingSettings.FontName = round % 2 ? "Arial" : "Courier New";
                workingSettings.Transparency = round % 101;
                workingSettings.BackType = round % 3;
                workingSettings.BackColor = 0x10101u * (round % 256);
                workingSettings.RndStringPos = round % 2;
                workingSettings.StringPosX = round % 800;
            }
            CreateCaptionFont();
        }
        done = true;
    });

    std::vector<uint8_t> pixels(96 * 64 * 2, 0x40);
    FrameRecord frame = {pixels.data()};
    int frames = 0, drawn = 0;
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

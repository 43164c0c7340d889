// The dialog's edits of the working settings, without the dialog.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ui/settings_edits.h"

namespace {

// An instance's working settings and its two locks, as the dialog edits them.
class SettingsEdits : public ::testing::Test {
protected:
    SettingsRecord workingSettings;
    std::mutex renderLock, captionLock;
    ::SettingsEdits edits{workingSettings, renderLock, captionLock};
};

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// A hand-edited file may hold any position; a step past a limit stays at
// that limit instead of wrapping round to the opposite edge.
TEST_F(SettingsEdits, PadStepsStopAtTheLimitsOf32Bits) {
    const struct {
        int32_t x, y, dx, dy, movedX, movedY;
    } steps[] = {
        {300, 200, 5, -7, 305, 193},
        {kMax - 1, kMin + 1, 5, -5, kMax, kMin},
        {kMin, kMax, -1, 1, kMin, kMax},
        {kMax, kMin, -kMax, kMax, 0, -1},
        {kMin, kMin, kMin, kMax, kMin, -1},
    };
    for (const auto& step : steps) {
        workingSettings.StringPosX = step.x;
        workingSettings.StringPosY = step.y;
        edits.MoveCaptionBy(step.dx, step.dy);
        EXPECT_EQ(workingSettings.StringPosX, step.movedX) << step.x << " + " << step.dx;
        EXPECT_EQ(workingSettings.StringPosY, step.movedY) << step.y << " + " << step.dy;
    }
}

TEST_F(SettingsEdits, RangeBoundTakesTheOtherAlongOnlyWhenTheyWouldCross) {
    workingSettings = SettingsRecord{};
    workingSettings.ShowFreqFrom = workingSettings.ShowFreqTo = 12;
    workingSettings.ShowTimeFrom = workingSettings.ShowTimeTo = 1;
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowFreq, RangeBound::From, 13), (StoredRange{13, 13, true}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowFreq, RangeBound::To, 200), (StoredRange{13, 200, false}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowFreq, RangeBound::From, 200), (StoredRange{200, 200, false}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowFreq, RangeBound::To, 100), (StoredRange{100, 100, true}));
    EXPECT_EQ(workingSettings.ShowTimeFrom, 1);
    EXPECT_EQ(workingSettings.ShowTimeTo, 1);

    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowTime, RangeBound::To, 9), (StoredRange{1, 9, false}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowTime, RangeBound::From, 6), (StoredRange{6, 9, false}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowTime, RangeBound::To, 4), (StoredRange{4, 4, true}));
    EXPECT_EQ(workingSettings.ShowFreqFrom, 100);
}

}  // namespace

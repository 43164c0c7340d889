// The dialog's edits of the working settings, without the dialog.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ui/settings_edits.h"

namespace {

// An instance's working settings, as the dialog edits them.
class SettingsEdits : public ::testing::Test {
protected:
    SettingsRecord Working() const { return workingSettings.Get(); }
    template <class Change>
    void Set(Change change) {
        workingSettings.Change(change);
    }

    WorkingSettings workingSettings;
    ::SettingsEdits edits{workingSettings};
};

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// A hand-edited file may hold any position; a step past a limit stays at
// that limit instead of wrapping round to the opposite edge.
TEST_F(SettingsEdits, PadStepsStopAtTheLimitsOf32Bits) {
    const struct {
        int32_t x, y, dx, dy, movedX, movedY;
    } steps[] = {
        {300, 200, 5, -7, 305, 193},      {kMax - 1, kMin + 1, 5, -5, kMax, kMin}, {kMin, kMax, -1, 1, kMin, kMax},
        {kMax, kMin, -kMax, kMax, 0, -1}, {kMin, kMin, kMin, kMax, kMin, -1},
    };
    for (const auto& step : steps) {
        Set([&](SettingsRecord& s) {
            s.StringPosX = step.x;
            s.StringPosY = step.y;
        });
        edits.MoveCaptionBy(step.dx, step.dy);
        EXPECT_EQ(Working().StringPosX, step.movedX) << step.x << " + " << step.dx;
        EXPECT_EQ(Working().StringPosY, step.movedY) << step.y << " + " << step.dy;
    }
}

TEST_F(SettingsEdits, RangeBoundTakesTheOtherAlongOnlyWhenTheyWouldCross) {
    Set([&](SettingsRecord& s) {
        s = SettingsRecord{};
        s.ShowFreqFrom = s.ShowFreqTo = 12;
        s.ShowTimeFrom = s.ShowTimeTo = 1;
    });
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowFreq, RangeBound::From, 13), (StoredRange{13, 13, true}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowFreq, RangeBound::To, 200), (StoredRange{13, 200, false}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowFreq, RangeBound::From, 200), (StoredRange{200, 200, false}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowFreq, RangeBound::To, 100), (StoredRange{100, 100, true}));
    EXPECT_EQ(Working().ShowTimeFrom, 1);
    EXPECT_EQ(Working().ShowTimeTo, 1);

    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowTime, RangeBound::To, 9), (StoredRange{1, 9, false}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowTime, RangeBound::From, 6), (StoredRange{6, 9, false}));
    EXPECT_EQ(edits.SetFrameRangeBound(FrameRange::ShowTime, RangeBound::To, 4), (StoredRange{4, 4, true}));
    EXPECT_EQ(Working().ShowFreqFrom, 100);
}

}  // namespace

namespace {

// The letters' look keeps to its rows' ranges, as the file's values do.
TEST_F(SettingsEdits, LegibilityNumbersStayInTheirRanges) {
    edits.SetOutlineWidth(40);
    edits.SetShadowOffset(-3);
    edits.SetBoxPadding(12);
    EXPECT_EQ(Working().OutlineWidth, 16);
    EXPECT_EQ(Working().ShadowOffset, 0);
    EXPECT_EQ(Working().BoxPadding, 12);
}

// White letters on the default white background, a black outline on a
// black box: each told; an outline or shadow that is not drawn hides
// nothing.
TEST(HiddenParts, ColoursThatMatchTheBackgroundHideWhatTheyPaint) {
    SettingsRecord s;
    s.TextColor = 0xFFFFFF;
    s.BackColor = 0xFFFFFF;
    EXPECT_EQ(HiddenParts(s), kHiddenLetters);
    s.TextColor = 0xFF000000 | 0x00A0FF;  // the high byte is no colour
    s.BackColor = 0x000000;
    s.OutlineColor = 0x000000;
    s.ShadowColor = 0x000000;
    EXPECT_EQ(HiddenParts(s), 0u);
    s.OutlineWidth = 2;
    s.ShadowOffset = 1;
    EXPECT_EQ(HiddenParts(s), static_cast<uint32_t>(kHiddenOutline | kHiddenShadow));
    s.BackColor = 0x202020;
    EXPECT_EQ(HiddenParts(s), 0u);
}

}  // namespace

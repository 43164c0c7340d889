// Known answers from an independent implementation, on every kernel path
// this processor has: they catch faults that a SIMD kernel would share with
// the reference (a coefficient, a rounding, the key test).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "blend/blend.h"
#include "tests/native/kernel_paths.h"

namespace {

// One line of the file: a canvas rectangle placed on a host frame.
struct BlendCase {
    int line = 0;
    bool yuy2 = false;
    PixelRect source = {};
    int32_t canvasWidth = 0, canvasHeight = 0;
    int32_t destLeft = 0, destTop = 0, frameWidth = 0, frameHeight = 0;
    uint32_t opacity = 0, backColor = 0, keyFlag = 0;
    std::vector<uint8_t> canvas, frame, expected;

    // The whole canvas read; the key is bit 0 of the file's flag.
    BlendJob JobOn(std::vector<uint8_t>& bits) const {
        const FrameView view = yuy2 ? HostYuy2Frame(bits.data(), frameWidth, frameHeight)
                                    : HostRgb24Frame(bits.data(), frameWidth, frameHeight);
        const CanvasView canvasView = {canvas.data(), ptrdiff_t(canvasWidth) * 4, canvasWidth, canvasHeight};
        return {.frame = view,
                .canvas = canvasView,
                .source = source,
                .destLeft = destLeft,
                .destTop = destTop,
                .caption = {0, 0, canvasWidth, canvasHeight},
                .runs = nullptr,
                .opacity = opacity,
                .backColor = backColor,
                .keyBackground = (keyFlag & 1) != 0};
    }
};

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<BlendCase> LoadCases() {
    std::ifstream file(TPP_BLEND_CASES);
    std::vector<BlendCase> cases;
    std::string text;
    for (int line = 1; std::getline(file, text); ++line) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream in(text);
        BlendCase c;
        c.line = line;
        std::string format, canvas, frame, expected;
        in >> format >> c.source.left >> c.source.top >> c.source.right >> c.source.bottom >> c.canvasWidth >>
            c.canvasHeight >> c.destLeft >> c.destTop >> c.frameWidth >> c.frameHeight >> c.opacity >> c.backColor >>
            c.keyFlag >> canvas >> frame >> expected;
        EXPECT_TRUE(in && (format == "yuy2" || format == "rgb24")) << "unreadable case at line " << line;
        c.yuy2 = format == "yuy2";
        c.canvas = FromHex(canvas), c.frame = FromHex(frame), c.expected = FromHex(expected);
        const size_t frameBytes = size_t(c.frameWidth) * c.frameHeight * (c.yuy2 ? 2 : 3);
        EXPECT_EQ(c.canvas.size(), size_t(c.canvasWidth) * c.canvasHeight * 4) << "line " << line;
        EXPECT_EQ(c.frame.size(), frameBytes) << "line " << line;
        EXPECT_EQ(c.expected.size(), frameBytes) << "line " << line;
        cases.push_back(std::move(c));
    }
    return cases;
}

class BlendCases : public ::testing::TestWithParam<KernelPath> {};

TEST_P(BlendCases, MatchTheKnownAnswers) {
    const std::vector<BlendCase> cases = LoadCases();
    ASSERT_EQ(cases.size(), 240u);
    for (const BlendCase& c : cases) {
        std::vector<uint8_t> frame = c.frame;
        BlendOn(GetParam(), c.JobOn(frame));
        EXPECT_EQ(frame, c.expected) << "case at line " << c.line;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, BlendCases, ::testing::ValuesIn(AvailablePaths()), PathTestName);

}  // namespace

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

struct BlendCase {
    int line = 0;
    bool yuy2 = false;
    BlendArgs args = {};
    std::vector<uint8_t> canvas, frame, expected;
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
        BlendArgs& a = c.args;
        in >> format >> a.sourceLeft >> a.sourceTop >> a.sourceRight >> a.sourceBottom >> a.sourceWidth >>
            a.sourceHeight >> a.destLeft >> a.destTop >> a.destWidth >> a.destHeight >> a.transparency >>
            a.backColor >> a.keyFlag >> canvas >> frame >> expected;
        EXPECT_TRUE(in && (format == "yuy2" || format == "rgb24")) << "unreadable case at line " << line;
        c.yuy2 = format == "yuy2";
        c.canvas = FromHex(canvas), c.frame = FromHex(frame), c.expected = FromHex(expected);
        const size_t frameBytes = size_t(a.destWidth) * a.destHeight * (c.yuy2 ? 2 : 3);
        EXPECT_EQ(c.canvas.size(), size_t(a.sourceWidth) * a.sourceHeight * 4) << "line " << line;
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
        BlendArgs args = c.args;
        args.sourceBits = c.canvas.data();
        args.destBits = frame.data();
        (c.yuy2 ? BlendYUY2On : BlendRGB24On)(GetParam(), args);
        EXPECT_EQ(frame, c.expected) << "case at line " << c.line;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, BlendCases, ::testing::ValuesIn(AvailablePaths()), PathTestName);

}  // namespace

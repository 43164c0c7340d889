// The boxes a renderer names after DrawCentred hold every pixel it changed:
// the blend reads the canvas nowhere else. Fonts whose glyphs reach past
// their advance (italic, bold), rules (underline, strike-out, '&'), lines
// cut by the rectangle and by the canvas's edges, shaped glyphs moved off
// their pen position (marks, joined letters).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "render/box_caption_renderer.h"
#include "render/freetype_caption_renderer.h"

namespace {

constexpr uint32_t kBackground = 0x202020;
constexpr uint32_t kText = 0x00A0FF;

CaptionFont Font(int32_t height, int32_t weight, bool italic, bool underline, bool strikeOut) {
    CaptionFont font = {};
    std::strcpy(font.faceName, "Arial");
    font.height = height;
    font.weight = weight;
    font.italic = italic, font.underline = underline, font.strikeOut = strikeOut;
    return font;
}

// Pixels that DrawCentred changed outside every box it named.
int64_t ChangedOutsideBoxes(CaptionRenderer& renderer, int32_t width, int32_t height, const std::string& text,
                            const CanvasRect& rect) {
    uint8_t* bits = renderer.StartCanvas(width, height);
    renderer.Fill({0, 0, kCanvasWidth, kCanvasHeight}, kBackground);
    const std::vector<uint8_t> before(bits, bits + size_t(width) * height * 4);
    renderer.DrawCentred(text, rect, kText);
    const std::vector<PixelRect>* boxes = renderer.DrawnBoxes();
    EXPECT_NE(boxes, nullptr);
    if (!boxes) return -1;
    int64_t outside = 0, changed = 0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const size_t at = (size_t(y) * width + x) * 4;
            if (std::memcmp(&before[at], bits + at, 4) == 0) continue;
            ++changed;
            bool inside = false;
            for (const PixelRect& box : *boxes)
                inside = inside || (x >= box.left && x < box.right && y >= box.top && y < box.bottom);
            outside += !inside;
        }
    EXPECT_GT(changed, 0) << text;
    return outside;
}

void CheckRenderer(CaptionRenderer& renderer) {
    ASSERT_TRUE(renderer.CreateContext());
    const CanvasRect middle = {150, 100, 620, 400}, cut = {300, 200, 360, 240}, corner = {700, 530, 768, 576};
    int round = 0;
    for (const CaptionFont& font : {Font(-40, 400, false, false, false), Font(-60, 700, true, false, false),
                                    Font(-50, 400, true, true, true), Font(30, 900, false, false, true)})
        for (const CanvasRect& rect : {middle, cut, corner}) {
            renderer.SetFont(font);
            const int32_t width = round % 2 ? 1920 : 720, height = round % 2 ? 1080 : 576;
            ++round;
            SCOPED_TRACE(testing::Message() << "round " << round);
            EXPECT_EQ(
                ChangedOutsideBoxes(renderer, width, height, "fjord W&ave\n\xEF\xEB\xE5 &&x\n&كتاب किताब น้ำ", rect), 0);
        }
}

TEST(DrawnBoxes, FreeTypeNamesEveryPixelItDraws) {
    FreeTypeCaptionRenderer renderer;
    CheckRenderer(renderer);
}

TEST(DrawnBoxes, BoxRendererNamesEveryPixelItDraws) {
    BoxCaptionRenderer renderer;
    CheckRenderer(renderer);
}

}  // namespace

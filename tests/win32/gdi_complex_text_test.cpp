// Captions in complex scripts on real GDI and Uniscribe, in the test prefix
// whose fonts stand in for Windows' own (scripts/wine-run.sh): each script
// is drawn, not as missing-glyph boxes, each line centred where the overlay
// placed it; plain lines are drawn as DrawText draws them; letters may keep
// their shape on any frame.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "plugin/host_callbacks.h"
#include "render/gdi_caption_renderer.h"
#include "tests/support/overlay_internals.h"
#include "tests/support/test_instance.h"
#include "tests/win32/png_file.h"

namespace {

struct Script {
    const char* name;
    const char* word;
};
const Script kScripts[] = {{"Hebrew", "ספר"}, {"Arabic", "كتاب"}, {"Devanagari", "किताब"}, {"Thai", "หนังสือ"}};

struct Size {
    int32_t width, height;
};

// The columns and count of the pixels of one colour in a band of rows of
// a top-down 32-bit canvas.
struct Ink {
    int32_t left = INT32_MAX, right = INT32_MIN;
    int64_t count = 0;
    int32_t width() const { return count ? right - left + 1 : 0; }
    double centre() const { return (left + right + 1) / 2.0; }
};
Ink InkIn(const uint8_t* canvas, int32_t width, int32_t top, int32_t bottom, uint32_t colorref) {
    Ink ink;
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = canvas + (size_t(y) * width + x) * 4;
            if (RGB(p[2], p[1], p[0]) != colorref) continue;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ++ink.count;
        }
    return ink;
}

std::vector<uint8_t> RgbOf(const uint8_t* canvas, int32_t width, int32_t height) {
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    for (size_t i = 0; i < size_t(width) * height; ++i)
        for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = canvas[i * 4 + 2 - c];
    return rgb;
}

std::string Folder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('\\') + 1);
}

// One instance per caption: the first frame of a stream draws its first entry.
class ComplexText : public ::testing::Test {
protected:
    void Start(const WordPairs& entries, Size frame, const std::function<void(SettingsRecord&)>& settings = {}) {
        InstanceParts parts;
        parts.renderer = std::make_unique<GdiCaptionRenderer>();
        plugin = MakeTestInstance(std::move(parts));
        renderer = dynamic_cast<GdiCaptionRenderer*>(OverlayOf(*plugin).renderer());
        ASSERT_TRUE(renderer->CreateContext());
        SetBuiltinEntries(*plugin, entries);
        if (settings) SetWorking(*plugin, settings);
        const StreamFormat format = {frame.width, frame.height, 0, 1};
        ASSERT_EQ(host::StreamStart(*plugin, &format), 1);
        std::vector<uint8_t> pixels(size_t(frame.width) * frame.height * 3, 0x40);
        FrameRecord record = {pixels.data()};
        ASSERT_EQ(host::ProcessFrame(*plugin, &record), 1);
    }
    void TearDown() override {
        if (plugin) plugin->StreamStop();
    }
    CanvasRect captionRect() { return OverlayEngineInternals::CaptionRect(OverlayOf(*plugin)); }
    const uint8_t* canvas() { return OverlayEngineInternals::Canvas(OverlayOf(*plugin)).bits; }
    uint32_t textColor() { return plugin->Settings().TextColor & 0xFFFFFF; }

    std::unique_ptr<PluginInstance> plugin;
    GdiCaptionRenderer* renderer = nullptr;
};

// Word above translation, placed by the overlay: the ink of each line is
// centred on the caption within 2 % of the frame's width and lies inside
// its measured width; every pixel of the caption is the text colour or the
// background (fallback fonts are not smoothed either), and no script comes
// out as the caption font's missing-glyph boxes.
TEST_F(ComplexText, EachScriptIsDrawnCentredWhereTheCaptionIsPlaced) {
    std::vector<uint8_t> sheet;  // the 720 x 576 captions, one band each, for a person to look at
    for (const Size frame : {Size{720, 576}, Size{1280, 720}}) {
        for (const Script& script : kScripts) {
            SCOPED_TRACE(std::string(script.name) + " at " + std::to_string(frame.width));
            Start({{"book", script.word}}, frame);
            const CanvasRect caption = captionRect();
            const int32_t centre = renderer->ToFrame({(caption.left + caption.right) / 2, 0}).x;
            int32_t top = caption.top;
            for (const std::string& line : {std::string("book"), std::string(script.word)}) {
                const TextExtent measured = renderer->MeasureLine(line.data(), line.size());
                const CanvasPoint from = renderer->ToFrame({caption.left, top});
                const CanvasPoint to = renderer->ToFrame({caption.left + measured.width, top + measured.height});
                const Ink ink = InkIn(canvas(), frame.width, from.y, to.y, textColor());
                ASSERT_GT(ink.count, 20) << line;
                EXPECT_LE(std::abs(ink.centre() - centre), 0.02 * frame.width)
                    << line << ": ink " << ink.left << ".." << ink.right << ", placed at " << centre;
                EXPECT_LE(ink.width(), to.x - from.x + 2) << line;
                EXPECT_GE(ink.width(), (to.x - from.x) * 3 / 4) << line << " is measured wider than it is drawn";
                top += measured.height;
            }
            const CanvasPoint a = renderer->ToFrame({caption.left, caption.top});
            const CanvasPoint b = renderer->ToFrame({caption.right, caption.bottom});
            const uint32_t background = plugin->Settings().BackColor & 0xFFFFFF;
            int64_t stray = 0;
            for (int32_t y = a.y; y < b.y; ++y)
                for (int32_t x = a.x; x < b.x; ++x) {
                    const uint8_t* p = canvas() + (size_t(y) * frame.width + x) * 4;
                    const COLORREF c = RGB(p[2], p[1], p[0]);
                    stray += c != textColor() && c != background;
                }
            EXPECT_EQ(stray, 0);

            // The caption font's boxes for as many characters as the word has.
            const std::wstring wide = WideFromUtf8(script.word);
            std::string boxes;
            for (size_t i = 0; i < wide.size(); ++i) boxes += "\u0378";
            const CanvasRect whole = {0, 0, kCanvasWidth, kCanvasHeight};
            auto inkOf = [&](const std::string& text) {
                renderer->Fill(whole, 0xFFFFFF);
                renderer->DrawCentred(text, whole, 0x000000);
                std::vector<uint8_t> ink(size_t(frame.width) * frame.height);
                for (size_t i = 0; i < ink.size(); ++i) ink[i] = canvas()[i * 4] == 0;
                return ink;
            };
            const std::vector<uint8_t> word = inkOf(script.word);
            EXPECT_NE(word, inkOf(boxes)) << "drawn as missing-glyph boxes";

            if (frame.width == 720) {  // black on white, a 96-row band per script
                renderer->Fill(whole, 0xFFFFFF);
                renderer->DrawCentred(std::string("book\n") + script.word, {0, 8, kCanvasWidth, 120}, 0x000000);
                const std::vector<uint8_t> band = RgbOf(canvas(), frame.width, 96);
                sheet.insert(sheet.end(), band.begin(), band.end());
            }
            plugin->StreamStop();
        }
    }
    EXPECT_TRUE(WritePng(Folder() + "..\\complex_captions.png", 720, int(sheet.size() / (720 * 3)), sheet));
}

// DrawText's prefixes hold on shaped lines too: a lone '&' is not drawn but
// underlines the letter after it, below the line's glyphs and within the
// line; "&&" draws one '&'.
TEST_F(ComplexText, PrefixesUnderlineOnShapedLinesToo) {
    Start({{"book", "ספר"}}, {768, 576});
    const CanvasRect whole = {0, 0, kCanvasWidth, kCanvasHeight};
    auto inkOf = [&](const std::string& text, int32_t top, int32_t bottom) {
        renderer->Fill(whole, 0xFFFFFF);
        renderer->DrawCentred(text, whole, 0x000000);
        return InkIn(canvas(), kCanvasWidth, top, bottom, 0x000000);
    };
    const Ink plain = inkOf("ספר", 0, kCanvasHeight);
    int32_t glyphsEnd = 0;
    for (int32_t y = 0; y < kCanvasHeight; ++y)
        if (inkOf("ספר", y, y + 1).count) glyphsEnd = y + 1;
    const Ink marked = inkOf("ס&פר", 0, glyphsEnd), underline = inkOf("ס&פר", glyphsEnd, kCanvasHeight);
    EXPECT_EQ(marked.count, plain.count);
    EXPECT_GT(underline.count, 0);
    EXPECT_GT(underline.left, plain.left);
    EXPECT_LT(underline.right, plain.right);
    EXPECT_LT(underline.width(), plain.width() / 2);
    EXPECT_GT(inkOf("ספר&&", 0, kCanvasHeight).count, plain.count);
    EXPECT_EQ(inkOf("ספר&&", glyphsEnd, kCanvasHeight).count, 0);
}

// Lines that need no shaping or fallback are drawn and measured exactly as
// DrawText and GetTextExtentPoint32 do, so their captions keep their bytes.
TEST_F(ComplexText, PlainLinesAreDrawnAsDrawTextDrawsThem) {
    Start({{"dog", "собака"}}, {720, 576});
    HDC reference = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 720;
    info.bmiHeader.biHeight = -576;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(reference, bitmap);
    SetMapMode(reference, MM_ANISOTROPIC);
    SetWindowExtEx(reference, kCanvasWidth, kCanvasHeight, nullptr);
    SetViewportExtEx(reference, 720, 576, nullptr);
    SetBkMode(reference, TRANSPARENT);
    const LOGFONTA logFont = LogFontFrom(CaptionFontFrom(plugin->Settings()));
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ oldFont = SelectObject(reference, font);

    const CanvasRect rect = {100, 200, 700, 400};
    for (const std::string text : {"Straße & Äpfel - œuvre", "собака\nКОШКА Ёж", "R&D\n&&", "façade élève 1984!"}) {
        SCOPED_TRACE(text);
        const std::wstring wide = WideFromUtf8(text);
        const std::string first = text.substr(0, text.find('\n'));
        const std::wstring wideFirst = WideFromUtf8(first);
        SIZE expected = {};
        GetTextExtentPoint32W(reference, wideFirst.data(), int(wideFirst.size()), &expected);
        const TextExtent measured = renderer->MeasureLine(first.data(), first.size());
        EXPECT_EQ(measured.width, expected.cx);
        EXPECT_EQ(measured.height, expected.cy);

        renderer->Fill({0, 0, kCanvasWidth, kCanvasHeight}, 0x203040);
        renderer->DrawCentred(text, rect, 0x00A0FF);
        RECT area = {rect.left, rect.top, rect.right, rect.bottom};
        const RECT all = {0, 0, kCanvasWidth, kCanvasHeight};
        SetBkColor(reference, 0x203040);
        ExtTextOutA(reference, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
        SetTextColor(reference, 0x00A0FF);
        DrawTextW(reference, wide.data(), int(wide.size()), &area, DT_CENTER);
        GdiFlush();
        EXPECT_EQ(std::memcmp(canvas(), bits, size_t(720) * 576 * 4), 0);
    }
    SelectObject(reference, oldFont);
    DeleteObject(font);
    SelectObject(reference, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(reference);
}

// Letters that keep their proportions, asked for by the settings row as a
// host's file asks: the caption the engine draws keeps its width/height
// within 5 % on frames of any shape. Wine keeps the shape of a mapped font
// by itself, so here the width the row's font is given must not undo it.
TEST_F(ComplexText, KeptProportionsHoldOnAnyFrame) {
    std::vector<double> ratios;
    for (const Size frame : {Size{768, 576}, Size{1280, 720}, Size{720, 1280}}) {
        Start({{"собака", "dog"}}, frame, [](SettingsRecord& s) { s.KeepProportions = 1; });
        const Ink ink = InkIn(canvas(), frame.width, 0, frame.height, textColor());
        int32_t top = INT32_MAX, bottom = INT32_MIN;
        for (int32_t y = 0; y < frame.height; ++y)
            if (InkIn(canvas(), frame.width, y, y + 1, textColor()).count) top = std::min(top, y), bottom = y;
        ASSERT_GT(ink.count, 0) << frame.width << "x" << frame.height;
        ratios.push_back(double(ink.width()) / (bottom - top + 1));
        plugin->StreamStop();
    }
    const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
    EXPECT_LT(*high / *low, 1.05) << ratios[0] << " " << ratios[1] << " " << ratios[2];
}

}  // namespace

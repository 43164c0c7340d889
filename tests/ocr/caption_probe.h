// What the OCR read-back needs besides the plug-in and tesseract: where a
// caption lies in a frame (the pixels it changed), its crop as OCR likes
// it, which script and language pack a caption line wants, whether the
// text read holds a line, and the settings file's line for a property.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The frames the front ends take: YUY2, RGB24 as the host has it (B, G, R,
// rows bottom-up) and BGR as GStreamer has it (rows top-down).
enum class ProbeFormat { kYuy2, kRgb24, kBgr };

std::optional<ProbeFormat> ProbeFormatNamed(std::string_view name);
size_t FrameBytes(ProbeFormat format, int32_t width, int32_t height);

struct Box {
    int32_t x = 0, y = 0, width = 0, height = 0;  // pixels, y from the top
    bool empty() const { return width <= 0 || height <= 0; }
};

// The smallest box around every pixel that differs between the two frames;
// empty when none does. A YUY2 pixel pair that shares a changed chroma
// counts as two changed pixels.
Box ChangedBox(const uint8_t* original, const uint8_t* processed, int32_t width, int32_t height, ProbeFormat format);

struct RgbImage {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;  // R, G, B, rows top-down
};

// YUY2 as BT.601 studio range, as the decoders make it.
RgbImage FrameToRgb(const uint8_t* frame, int32_t width, int32_t height, ProbeFormat format);

// The box grown by margin on every side (within the image) and scaled up
// by scale, bilinearly: OCR reads letters of some 30 pixels best, and a
// little of the picture around them is what a viewer sees too.
RgbImage CropForReading(const RgbImage& image, const Box& box, int32_t margin, int32_t scale);

// Binary PPM (P6), which tesseract reads.
std::string ToPpm(const RgbImage& image);

// The scripts the checks know, and "other".
enum class Script { kLatin, kCyrillic, kGreek, kHebrew, kArabic, kDevanagari, kThai, kOther };

const char* ScriptName(Script script);
// The script most of the line's letters are in.
Script ScriptOf(std::string_view line);
// The tesseract language pack for the line: German for Latin with letters
// of German beyond ASCII (ß, umlauts), English for other Latin.
std::string OcrLanguageOf(std::string_view line);

// A caption's lines, as the plug-in draws them: the entry's first
// separator breaks a line, and every " - " after it.
std::vector<std::string> CaptionLines(std::string_view entry);

// Text as compared: case folded (Unicode simple folding), without white
// space and the invisible marks of direction and joining, typographic
// apostrophes as the plain one, ё as е.
std::string FoldForMatch(std::string_view text);
// Whether the text read holds the line, folded, anywhere.
bool TextHoldsLine(std::string_view read, std::string_view line);

// "Key=value" for the settings file from an element property assignment
// ("text-color=0xFFFFFF" gives "TextColor=16777215"): the property is the
// settings row's, colours turn from 0xRRGGBB to 0x00BBGGRR, a choice's
// name to its number, a flag to 0 or 1. Nothing, and why in error, for an
// assignment that is no row's or whose value the element would refuse.
std::optional<std::string> SettingsLineFor(std::string_view assignment, std::string& error);

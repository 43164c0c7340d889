// caption-probe: the OCR read-back's helper (tests/ocr/readback.sh).
#include <stdio.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/alt_dictionary.h"
#include "tests/ocr/caption_probe.h"

namespace {

constexpr const char* kUsage =
    "Usage: caption-probe entries WORDS\n"
    "         the word list's entries in the plug-in's order, one a line: the tesseract language of\n"
    "         each caption line, their scripts, then the lines; lists by commas, fields by tabs\n"
    "       caption-probe grey WxH FORMAT LEVEL\n"
    "         one frame of that grey (0-255) on standard output\n"
    "       caption-probe crop WxH FORMAT ORIGINALS FRAMES_EACH DIR [MARGIN SCALE]\n"
    "         reads frames from standard input, each against frame N / FRAMES_EACH of ORIGINALS; for\n"
    "         each that differs, prints \"N X Y WIDTH HEIGHT\" (N from 1) and writes DIR/N.ppm, the\n"
    "         changed box grown by MARGIN (default 12) and scaled by SCALE (default 2)\n"
    "       caption-probe match READ LINE...\n"
    "         whether the text in file READ holds each LINE: prints a 1 or 0 for each, a tab and the\n"
    "         text read on one line; exit status 0 when it holds all\n"
    "       caption-probe settings PROPERTY=VALUE...\n"
    "         the settings file's lines for those element properties\n"
    "FORMAT: yuy2, rgb24 (bottom-up) or bgr (top-down).\n";

int Usage() {
    std::cerr << kUsage;
    return 2;
}

bool ParseSize(const std::string& text, int32_t& width, int32_t& height) {
    return sscanf(text.c_str(), "%dx%d", &width, &height) == 2 && width > 1 && height > 0 && width <= 8192 &&
           height <= 8192;
}

bool ReadFrame(FILE* file, std::vector<uint8_t>& frame, bool& partial) {
    const size_t got = fread(frame.data(), 1, frame.size(), file);
    partial = got != 0 && got != frame.size();
    return got == frame.size();
}

int Entries(const std::string& path) {
    // The plug-in's own reading and order, on a copy: it may write the file.
    const std::filesystem::path copy = std::filesystem::temp_directory_path() /
                                       ("caption-probe-" + std::to_string(getpid()) + ".dic");
    std::error_code failed;
    std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing, failed);
    AltDictionary dictionary;
    const bool read = !failed && ReadAltDictionaryFile(copy.string(), dictionary);
    std::filesystem::remove(copy, failed);
    if (!read || dictionary.lines.empty()) {
        std::cerr << "caption-probe: no entries in " << path << "\n";
        return 1;
    }
    for (const std::string& entry : dictionary.lines) {
        std::string languages, scripts, text;
        for (const std::string& line : CaptionLines(entry)) {
            languages += (languages.empty() ? "" : ",") + OcrLanguageOf(line);
            scripts += (scripts.empty() ? "" : ",") + std::string(ScriptName(ScriptOf(line)));
            text += "\t" + line;
        }
        std::cout << languages << "\t" << scripts << text << "\n";
    }
    return 0;
}

int Grey(const std::string& size, const std::string& formatName, const std::string& level) {
    int32_t width = 0, height = 0;
    const std::optional<ProbeFormat> format = ProbeFormatNamed(formatName);
    const int grey = std::atoi(level.c_str());
    if (!ParseSize(size, width, height) || !format || grey < 0 || grey > 255) return Usage();
    std::vector<uint8_t> frame(FrameBytes(*format, width, height), static_cast<uint8_t>(grey));
    // YUY2 grey: luma as given, chroma neutral.
    if (*format == ProbeFormat::kYuy2)
        for (size_t i = 1; i < frame.size(); i += 2) frame[i] = 128;
    return fwrite(frame.data(), 1, frame.size(), stdout) == frame.size() ? 0 : 1;
}

int Crop(const std::vector<std::string>& args) {
    int32_t width = 0, height = 0;
    const std::optional<ProbeFormat> format = ProbeFormatNamed(args[1]);
    const long each = std::atol(args[3].c_str());
    const int32_t margin = args.size() > 5 ? std::atoi(args[5].c_str()) : 12;
    const int32_t scale = args.size() > 6 ? std::atoi(args[6].c_str()) : 2;
    if (!ParseSize(args[0], width, height) || !format || each < 1 || margin < 0 || scale < 1 || scale > 8)
        return Usage();
    FILE* originals = fopen(args[2].c_str(), "rb");
    if (!originals) {
        std::cerr << "caption-probe: cannot read " << args[2] << "\n";
        return 1;
    }
    const size_t bytes = FrameBytes(*format, width, height);
    std::vector<uint8_t> original(bytes), frame(bytes);
    bool partial = false;
    long n = 0;
    for (; ReadFrame(stdin, frame, partial); ++n) {
        if (n % each == 0 && !ReadFrame(originals, original, partial)) {
            std::cerr << "caption-probe: frame " << n + 1 << " has no original in " << args[2] << "\n";
            return 1;
        }
        const Box box = ChangedBox(original.data(), frame.data(), width, height, *format);
        if (box.empty()) continue;
        const RgbImage crop = CropForReading(FrameToRgb(frame.data(), width, height, *format), box, margin, scale);
        const std::string path = args[4] + "/" + std::to_string(n + 1) + ".ppm";
        std::ofstream(path, std::ios::binary) << ToPpm(crop);
        std::cout << n + 1 << " " << box.x << " " << box.y << " " << box.width << " " << box.height << std::endl;
    }
    fclose(originals);
    if (partial) {
        std::cerr << "caption-probe: the frames end inside frame " << n + 1 << "\n";
        return 1;
    }
    return 0;
}

int Match(const std::vector<std::string>& args) {
    std::ifstream file(args[0], std::ios::binary);
    if (!file) {
        std::cerr << "caption-probe: cannot read " << args[0] << "\n";
        return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    const std::string read = text.str();
    bool all = true;
    for (size_t i = 1; i < args.size(); ++i) {
        const bool held = TextHoldsLine(read, args[i]);
        all = all && held;
        std::cout << (held ? '1' : '0');
    }
    // The lines read, blank ones left out, joined by " / ".
    std::string shown, line;
    for (std::istringstream lines(read); std::getline(lines, line);) {
        line.erase(0, line.find_first_not_of(" \t\r\f"));
        line.erase(line.find_last_not_of(" \t\r\f") + 1);
        if (!line.empty()) shown += (shown.empty() ? "" : " / ") + line;
    }
    std::cout << "\t" << shown << "\n";
    return all ? 0 : 1;
}

int Settings(const std::vector<std::string>& args) {
    std::string lines;
    for (const std::string& assignment : args) {
        std::string error;
        const std::optional<std::string> line = SettingsLineFor(assignment, error);
        if (!line) {
            std::cerr << "caption-probe: " << error << "\n";
            return 2;
        }
        lines += *line + "\n";
    }
    std::cout << lines;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "entries" && args.size() == 1) return Entries(args[0]);
    if (command == "grey" && args.size() == 3) return Grey(args[0], args[1], args[2]);
    if (command == "crop" && (args.size() == 5 || args.size() == 7)) return Crop(args);
    if (command == "match" && args.size() >= 2) return Match(args);
    if (command == "settings") return Settings(args);
    return Usage();
}

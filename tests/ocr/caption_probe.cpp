#include "tests/ocr/caption_probe.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "dictionary/entry_separator.h"
#include "platform/case_folding.h"
#include "platform/utf8.h"
#include "settings/settings_table.h"
#include "tools/tpp-host/display_pixels.h"

std::optional<ProbeFormat> ProbeFormatNamed(std::string_view name) {
    if (name == "yuy2") return ProbeFormat::kYuy2;
    if (name == "rgb24") return ProbeFormat::kRgb24;
    if (name == "bgr") return ProbeFormat::kBgr;
    return std::nullopt;
}

size_t FrameBytes(ProbeFormat format, int32_t width, int32_t height) {
    return static_cast<size_t>(width) * static_cast<size_t>(height) * (format == ProbeFormat::kYuy2 ? 2 : 3);
}

Box ChangedBox(const uint8_t* original, const uint8_t* processed, int32_t width, int32_t height, ProbeFormat format) {
    int32_t left = width, right = -1, top = height, bottom = -1;
    const auto mark = [&](int32_t x, int32_t y) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    };
    const size_t rowBytes = FrameBytes(format, width, 1);
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* a = original + static_cast<size_t>(row) * rowBytes;
        const uint8_t* b = processed + static_cast<size_t>(row) * rowBytes;
        if (std::memcmp(a, b, rowBytes) == 0) continue;
        const int32_t y = format == ProbeFormat::kRgb24 ? height - 1 - row : row;
        if (format == ProbeFormat::kYuy2) {
            // Y0 U Y1 V: each luma is its own pixel's, the chroma both's.
            for (int32_t x = 0; x + 1 < width; x += 2, a += 4, b += 4) {
                const bool chroma = a[1] != b[1] || a[3] != b[3];
                if (chroma || a[0] != b[0]) mark(x, y);
                if (chroma || a[2] != b[2]) mark(x + 1, y);
            }
        } else {
            for (int32_t x = 0; x < width; ++x, a += 3, b += 3)
                if (std::memcmp(a, b, 3) != 0) mark(x, y);
        }
    }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

RgbImage FrameToRgb(const uint8_t* frame, int32_t width, int32_t height, ProbeFormat format) {
    RgbImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * static_cast<size_t>(height) * 3)};
    uint8_t* out = image.rgb.data();
    if (format == ProbeFormat::kBgr) {
        for (size_t i = 0; i < image.rgb.size(); i += 3) {
            out[i] = frame[i + 2];
            out[i + 1] = frame[i + 1];
            out[i + 2] = frame[i];
        }
        return image;
    }
    // The host's own conversion: what its window shows.
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    FrameToDisplayPixels(frame, width, height, format == ProbeFormat::kYuy2 ? 0 : 1, pixels.data());
    for (uint32_t pixel : pixels) {
        *out++ = static_cast<uint8_t>(pixel >> 16);
        *out++ = static_cast<uint8_t>(pixel >> 8);
        *out++ = static_cast<uint8_t>(pixel);
    }
    return image;
}

RgbImage CropForReading(const RgbImage& image, const Box& box, int32_t margin, int32_t scale) {
    const int32_t left = std::max(box.x - margin, 0), top = std::max(box.y - margin, 0);
    const int32_t right = std::min(box.x + box.width + margin, image.width);
    const int32_t bottom = std::min(box.y + box.height + margin, image.height);
    scale = std::max(scale, 1);
    RgbImage crop;
    if (right <= left || bottom <= top) return crop;
    crop.width = (right - left) * scale;
    crop.height = (bottom - top) * scale;
    crop.rgb.resize(static_cast<size_t>(crop.width) * static_cast<size_t>(crop.height) * 3);
    const auto at = [&](int32_t x, int32_t y, int c) {
        x = std::clamp(x, left, right - 1), y = std::clamp(y, top, bottom - 1);
        return int32_t{image.rgb[(static_cast<size_t>(y) * static_cast<size_t>(image.width) + x) * 3 + c]};
    };
    uint8_t* out = crop.rgb.data();
    for (int32_t y = 0; y < crop.height; ++y) {
        // Sample centres in source pixels, in units of 1/(2 * scale).
        const int32_t sy = (2 * y + 1) - scale, y0 = top + (sy < 0 ? -1 : sy / (2 * scale));
        const int32_t fy = sy - (y0 - top) * 2 * scale;
        for (int32_t x = 0; x < crop.width; ++x) {
            const int32_t sx = (2 * x + 1) - scale, x0 = left + (sx < 0 ? -1 : sx / (2 * scale));
            const int32_t fx = sx - (x0 - left) * 2 * scale;
            for (int c = 0; c < 3; ++c) {
                const int32_t upper = at(x0, y0, c) * (2 * scale - fx) + at(x0 + 1, y0, c) * fx;
                const int32_t lower = at(x0, y0 + 1, c) * (2 * scale - fx) + at(x0 + 1, y0 + 1, c) * fx;
                const int32_t whole = 4 * scale * scale;
                *out++ = static_cast<uint8_t>((upper * (2 * scale - fy) + lower * fy + whole / 2) / whole);
            }
        }
    }
    return crop;
}

std::string ToPpm(const RgbImage& image) {
    std::string ppm = "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    ppm.append(reinterpret_cast<const char*>(image.rgb.data()), image.rgb.size());
    return ppm;
}

namespace {

struct ScriptRange {
    char32_t first, last;
    Script script;
};

// The letters of the scripts the checks use; marks and signs inside a
// script's block count for it.
constexpr ScriptRange kScriptRanges[] = {
    {U'A', U'Z', Script::kLatin},        {U'a', U'z', Script::kLatin},          {0x00C0, 0x024F, Script::kLatin},
    {0x1E00, 0x1EFF, Script::kLatin},    {0x0370, 0x03FF, Script::kGreek},      {0x1F00, 0x1FFF, Script::kGreek},
    {0x0400, 0x052F, Script::kCyrillic}, {0x0590, 0x05FF, Script::kHebrew},     {0xFB1D, 0xFB4F, Script::kHebrew},
    {0x0600, 0x06FF, Script::kArabic},   {0x0750, 0x077F, Script::kArabic},     {0xFB50, 0xFDFF, Script::kArabic},
    {0xFE70, 0xFEFF, Script::kArabic},   {0x0900, 0x097F, Script::kDevanagari}, {0xA8E0, 0xA8FF, Script::kDevanagari},
    {0x0E00, 0x0E7F, Script::kThai},
};

Script ScriptOfCodePoint(char32_t c) {
    // U+00D7 and U+00F7 (× and ÷) sit among the Latin letters.
    if (c == 0xD7 || c == 0xF7) return Script::kOther;
    for (const ScriptRange& range : kScriptRanges)
        if (c >= range.first && c <= range.last) return range.script;
    return Script::kOther;
}

bool IsSpace(char32_t c) {
    return c == U' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// Zero-width space and joiners, direction marks, embeddings and isolates,
// the soft hyphen and the byte-order mark: nothing a reader sees.
bool IsInvisible(char32_t c) {
    return c == 0xAD || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           c == 0xFEFF;
}

bool ParseNumber(std::string_view text, int64_t& value) {
    const std::string copy(text);
    if (copy.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(copy.c_str(), &end, 0);
    return errno == 0 && *end == '\0';
}

bool Lowered(std::string_view text, std::initializer_list<std::string_view> words) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return std::find(words.begin(), words.end(), lower) != words.end();
}

}  // namespace

const char* ScriptName(Script script) {
    switch (script) {
        case Script::kLatin: return "Latin";
        case Script::kCyrillic: return "Cyrillic";
        case Script::kGreek: return "Greek";
        case Script::kHebrew: return "Hebrew";
        case Script::kArabic: return "Arabic";
        case Script::kDevanagari: return "Devanagari";
        case Script::kThai: return "Thai";
        case Script::kOther: break;
    }
    return "other";
}

Script ScriptOf(std::string_view line) {
    std::array<int, static_cast<size_t>(Script::kOther)> counts{};
    for (size_t pos = 0; pos < line.size();) {
        const Script script = ScriptOfCodePoint(DecodeUtf8(line, pos));
        if (script != Script::kOther) ++counts[static_cast<size_t>(script)];
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most == 0 ? Script::kOther : static_cast<Script>(most - counts.begin());
}

std::string OcrLanguageOf(std::string_view line) {
    switch (ScriptOf(line)) {
        case Script::kLatin:
            for (size_t pos = 0; pos < line.size();) {
                const char32_t c = DecodeUtf8(line, pos);
                if (c == U'ß' || c == U'ẞ' || SimpleCaseFold(c) == U'ä' || SimpleCaseFold(c) == U'ö' ||
                    SimpleCaseFold(c) == U'ü')
                    return "deu";
            }
            return "eng";
        case Script::kCyrillic: return "rus";
        case Script::kGreek: return "ell";
        case Script::kHebrew: return "heb";
        case Script::kArabic: return "ara";
        case Script::kDevanagari: return "hin";
        case Script::kThai: return "tha";
        case Script::kOther: break;
    }
    return "eng";
}

std::vector<std::string> CaptionLines(std::string_view entry) {
    std::vector<std::string> lines;
    if (const std::optional<EntrySeparator> separator = FindEntrySeparator(entry)) {
        lines.emplace_back(entry.substr(0, separator->at));
        entry.remove_prefix(separator->at + separator->length);
    }
    for (size_t split; (split = entry.find(" - ")) != std::string_view::npos; entry.remove_prefix(split + 3))
        lines.emplace_back(entry.substr(0, split));
    lines.emplace_back(entry);
    return lines;
}

std::string FoldForMatch(std::string_view text) {
    std::string folded;
    for (size_t pos = 0; pos < text.size();) {
        char32_t c = DecodeUtf8(text, pos);
        if (IsSpace(c) || IsInvisible(c)) continue;
        if (c == 0x2018 || c == 0x2019 || c == 0x02BC) c = U'\'';
        c = SimpleCaseFold(c);
        // Russian print commonly writes ё as е, and a Russian reader takes
        // either for the same word; ß and ss, or й and и, are other letters.
        if (c == U'ё') c = U'е';
        AppendUtf8(folded, c);
    }
    return folded;
}

bool TextHoldsLine(std::string_view read, std::string_view line) {
    const std::string wanted = FoldForMatch(line);
    return !wanted.empty() && FoldForMatch(read).find(wanted) != std::string::npos;
}

std::optional<std::string> SettingsLineFor(std::string_view assignment, std::string& error) {
    const size_t equals = assignment.find('=');
    if (equals == std::string_view::npos) {
        error = "not a property=value: " + std::string(assignment);
        return std::nullopt;
    }
    const std::string_view name = assignment.substr(0, equals), text = assignment.substr(equals + 1);
    const SettingDescriptor* row = nullptr;
    for (const SettingDescriptor& candidate : settingsTable)
        if (OptionNameOf(candidate) == name) row = &candidate;
    if (!row) {
        error = "no setting has the property " + std::string(name);
        return std::nullopt;
    }
    const std::string key = std::string(row->key) + "=";
    if (row->kind == SettingKind::kText) return key + std::string(text);
    int64_t value = 0;
    bool known = false;
    switch (row->kind) {
        case SettingKind::kFlag:
            // The words GStreamer takes for a boolean.
            known = Lowered(text, {"true", "yes", "t", "1"}) || Lowered(text, {"false", "no", "f", "0"});
            value = Lowered(text, {"true", "yes", "t", "1"}) ? 1 : 0;
            break;
        case SettingKind::kChoice:
            for (const NamedValue& choice : row->choices)
                if (text == choice.nick) value = choice.value, known = true;
            known = known || ParseNumber(text, value);
            break;
        default: known = ParseNumber(text, value); break;
    }
    if (!known || value < row->range.minimum || value > row->range.maximum) {
        error = "the element refuses " + std::string(assignment) + " (" + std::to_string(row->range.minimum) + " to " +
                std::to_string(row->range.maximum) + ")";
        return std::nullopt;
    }
    if (row->kind == SettingKind::kColour) value = ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
    return key + std::to_string(value);
}

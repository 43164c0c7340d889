#include "dictionary/alt_dictionary.h"

#include <algorithm>

#include "dictionary/text_compare.h"
#include "platform/text_file.h"

bool CanBeCaption(std::string_view line) {
    constexpr std::string_view kBlanks = " \t\r\v\f";
    const size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return false;
    const size_t last = line.find_last_not_of(kBlanks);
    return !(first == last && line[first] == '-');
}

std::string SkippedLinesMessage(const WordListReport& report) {
    if (report.skippedLines == 0) return {};
    const std::string line = std::to_string(report.firstSkippedLine);
    if (report.skippedLines == 1) return "1 line of the word list was left out (empty, or only \" - \"): line " + line;
    return std::to_string(report.skippedLines) +
           " lines of the word list were left out (empty, or only \" - \"), the first is line " + line;
}

int32_t InsertAltEntry(AltDictionary& dictionary, const std::string& text) {
    auto& lines = dictionary.lines;
    if (lines.empty()) {
        lines.push_back(text);
        return 0;
    }
    int32_t lo = 0, hi = dictionary.count(), mid = hi / 2;
    for (;;) {
        const int order = CompareNoCase(lines[static_cast<size_t>(mid)], text);
        if (order == 0) return mid;
        if (order < 0) {
            if (lo == mid) {
                lines.insert(lines.begin() + mid + 1, text);
                return mid + 1;
            }
            lo = mid;
        } else {
            if (hi == mid) {
                lines.insert(lines.begin() + mid, text);
                return mid;
            }
            hi = mid;
        }
        mid = (lo + hi) / 2;
    }
}

void RemoveAltEntry(AltDictionary& dictionary, int32_t index) {
    if (index < 0 || index >= dictionary.count()) return;
    dictionary.lines.erase(dictionary.lines.begin() + index);
}

std::optional<WordListReport> ReadAltDictionaryFile(const std::string& path, AltDictionary& dictionary) {
    dictionary = {};
    TextFileReader file;
    if (!file.Open(path)) return std::nullopt;
    std::vector<std::string> lines;
    for (std::string line; file.ReadLine(line);) lines.push_back(std::move(line));
    dictionary.encoding = DecodeWordList(lines);

    WordListReport report;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!CanBeCaption(lines[i]) && report.skippedLines++ == 0)
            report.firstSkippedLine = static_cast<int32_t>(i + 1);
    }
    std::erase_if(lines, [](const std::string& line) { return !CanBeCaption(line); });
    // The same list as inserting line by line, in n log n rather than n^2:
    // a stable sort keeps the first of equal lines in front, unique keeps it.
    const auto before = [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; };
    const auto same = [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) == 0; };
    std::stable_sort(lines.begin(), lines.end(), before);
    lines.erase(std::unique(lines.begin(), lines.end(), same), lines.end());
    dictionary.lines = std::move(lines);
    return report;
}

platform::FileOutcome WriteAltDictionaryFile(const std::string& path, AltDictionary& dictionary) {
    WordListEncoding encoding = dictionary.encoding;
    const std::vector<std::string> bytes = EncodeWordList(dictionary.lines, encoding);
    ReplacingTextWriter file;
    if (platform::FileOutcome begun = file.Begin(path); !begun) return begun;
    if (encoding == WordListEncoding::kUtf8WithBom) file.Write(kUtf8ByteOrderMark);
    for (const std::string& line : bytes) file.WriteLine(line);
    platform::FileOutcome committed = file.Commit();
    if (committed) dictionary.encoding = encoding;
    return committed;
}

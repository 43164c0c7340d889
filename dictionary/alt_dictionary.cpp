#include "dictionary/alt_dictionary.h"

#include <algorithm>
#include <numeric>

#include "dictionary/entry_separator.h"
#include "dictionary/text_compare.h"
#include "platform/file.h"
#include "platform/text_file.h"

namespace {

// The whole file; a read error ends it there. False when it cannot be
// opened for reading (nothing is created). A UTF-16 file's lines can only
// be told apart once its encoding is known.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::kRead)) return false;
    char chunk[4096];
    for (int64_t got; (got = file.Read(chunk, sizeof chunk)) > 0;) bytes.append(chunk, static_cast<size_t>(got));
    return true;
}

// "line 4 <one>", or "5 lines <many>: lines 4, 9, 17 and 2 more": the
// first few by number, and how many.
std::string AboutLines(const LineNumbers& lines, const std::string& one, const std::string& many) {
    if (lines.count == 1) return "line " + std::to_string(lines.first[0]) + " " + one;
    std::string named;
    const size_t last = lines.first.size() - 1;
    for (size_t i = 0; i <= last; ++i) {
        if (i > 0) named += i == last && lines.count == static_cast<int32_t>(lines.first.size()) ? " and " : ", ";
        named += std::to_string(lines.first[i]);
    }
    if (lines.count > static_cast<int32_t>(lines.first.size()))
        named += " and " + std::to_string(lines.count - static_cast<int32_t>(lines.first.size())) + " more";
    return std::to_string(lines.count) + " lines " + many + ": lines " + named;
}

// The separators as a message names them.
constexpr char kSeparators[] = "\" - \", \" \xE2\x80\x93 \", \" \xE2\x80\x94 \" or a tab";

}  // namespace

bool CanBeCaption(std::string_view line) {
    constexpr std::string_view kBlanks = " \t\r\v\f";
    const size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return false;
    const std::string_view kept = line.substr(first, line.find_last_not_of(kBlanks) + 1 - first);
    return kept != "-" && kept != "\xE2\x80\x93" && kept != "\xE2\x80\x94";
}

std::string SkippedLinesMessage(const WordListReport& report) {
    if (report.skippedLines == 0) return {};
    const std::string line = std::to_string(report.firstSkippedLine);
    if (report.skippedLines == 1) return "1 line of the word list was left out (empty, or only a dash): line " + line;
    return std::to_string(report.skippedLines) +
           " lines of the word list were left out (empty, or only a dash), the first is line " + line;
}

std::string WordListMessage(const WordListReport& report) {
    const WordListDecoding& read = report.decoding;
    std::vector<std::string> clauses;
    if (report.skippedLines > 0) clauses.push_back(SkippedLinesMessage(report));
    if (report.unsplitLines.count > 0)
        clauses.push_back(AboutLines(report.unsplitLines,
                                     std::string("has no separator (") + kSeparators + ") and shows as one line",
                                     std::string("have no separator (") + kSeparators + ") and show as one line"));
    if (read.readAsWindows1251) clauses.push_back("read as Windows-1251");
    if (read.windows1251Lines.count > 0)
        clauses.push_back(AboutLines(read.windows1251Lines, "is not UTF-8 and was read as Windows-1251",
                                     "are not UTF-8 and were read as Windows-1251"));
    if (read.unpairedSurrogateLines.count > 0)
        clauses.push_back(AboutLines(read.unpairedSurrogateLines,
                                     "holds half of a UTF-16 surrogate pair, read as U+FFFD",
                                     "hold half of a UTF-16 surrogate pair, read as U+FFFD"));
    if (read.oddLastByte) clauses.push_back("its last byte is half of a UTF-16 character and was left out");
    std::string message;
    for (const std::string& clause : clauses) message += (message.empty() ? "" : "; ") + clause;
    return message;
}

int32_t InsertAltEntry(AltDictionary& dictionary, const std::string& text) {
    auto& lines = dictionary.lines;
    const auto insert = [&](int32_t at) {
        auto& ranks = dictionary.fileRanks;
        if (ranks.size() == lines.size()) {
            const int32_t next = ranks.empty() ? int32_t{0} : *std::max_element(ranks.begin(), ranks.end()) + 1;
            ranks.insert(ranks.begin() + at, next);
        }
        lines.insert(lines.begin() + at, text);
        return at;
    };
    if (lines.empty()) return insert(0);
    int32_t lo = 0, hi = dictionary.count(), mid = hi / 2;
    for (;;) {
        const int order = CompareNoCase(lines[static_cast<size_t>(mid)], text);
        if (order == 0) return mid;
        if (order < 0) {
            if (lo == mid) return insert(mid + 1);
            lo = mid;
        } else {
            if (hi == mid) return insert(mid);
            hi = mid;
        }
        mid = (lo + hi) / 2;
    }
}

void RemoveAltEntry(AltDictionary& dictionary, int32_t index) {
    if (index < 0 || index >= dictionary.count()) return;
    if (dictionary.fileRanks.size() == dictionary.lines.size())
        dictionary.fileRanks.erase(dictionary.fileRanks.begin() + index);
    dictionary.lines.erase(dictionary.lines.begin() + index);
}

std::optional<WordListReport> ReadAltDictionaryFile(const std::string& path, AltDictionary& dictionary) {
    dictionary = {};
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return std::nullopt;
    WordListReport report;
    std::vector<std::string> lines = DecodeWordList(bytes, report.decoding);
    dictionary.encoding = report.decoding.encoding;

    for (size_t i = 0; i < lines.size(); ++i) {
        const auto number = static_cast<int32_t>(i + 1);
        if (!CanBeCaption(lines[i])) {
            if (report.skippedLines++ == 0) report.firstSkippedLine = number;
        } else if (!FindEntrySeparator(lines[i])) {
            report.unsplitLines.Add(number);
        }
    }
    std::erase_if(lines, [](const std::string& line) { return !CanBeCaption(line); });
    // The same list as inserting line by line, in n log n rather than n^2:
    // a stable sort keeps the first of equal lines in front, unique keeps it.
    std::vector<int32_t> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    const auto before = [&](int32_t a, int32_t b) { return CompareNoCase(lines[size_t(a)], lines[size_t(b)]) < 0; };
    const auto same = [&](int32_t a, int32_t b) { return CompareNoCase(lines[size_t(a)], lines[size_t(b)]) == 0; };
    std::stable_sort(order.begin(), order.end(), before);
    order.erase(std::unique(order.begin(), order.end(), same), order.end());
    for (const int32_t at : order) dictionary.lines.push_back(std::move(lines[size_t(at)]));
    dictionary.fileRanks = std::move(order);
    return report;
}

platform::FileOutcome WriteAltDictionaryFile(const std::string& path, AltDictionary& dictionary) {
    WordListEncoding encoding = dictionary.encoding;
    const std::string bytes = EncodeWordList(dictionary.lines, encoding);
    ReplacingTextWriter file;
    if (platform::FileOutcome begun = file.Begin(path); !begun) return begun;
    file.Write(bytes);
    platform::FileOutcome committed = file.Commit();
    if (committed) dictionary.encoding = encoding;
    return committed;
}

#include "dictionary/alt_dictionary.h"

#include <algorithm>

#include "dictionary/cp1251_compare.h"
#include "platform/text_file.h"

int32_t InsertAltEntry(AltDictionary& dictionary, const std::string& text) {
    auto& lines = dictionary.lines;
    if (lines.empty()) {
        lines.push_back(text);
        return 0;
    }
    int32_t lo = 0, hi = dictionary.count(), mid = hi / 2;
    for (;;) {
        const int order = CompareNoCase1251(lines[static_cast<size_t>(mid)], text);
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

bool ReadAltDictionaryFile(const std::string& path, AltDictionary& dictionary) {
    dictionary.lines.clear();
    TextFileReader file;
    if (!file.Open(path)) return false;
    std::string line;
    while (file.ReadLine(line)) dictionary.lines.push_back(line);
    // The same list as inserting line by line, in n log n rather than n^2:
    // a stable sort keeps the first of equal lines in front, unique keeps it.
    const auto before = [](const std::string& a, const std::string& b) { return CompareNoCase1251(a, b) < 0; };
    const auto same = [](const std::string& a, const std::string& b) { return CompareNoCase1251(a, b) == 0; };
    std::stable_sort(dictionary.lines.begin(), dictionary.lines.end(), before);
    dictionary.lines.erase(std::unique(dictionary.lines.begin(), dictionary.lines.end(), same),
                           dictionary.lines.end());
    return true;
}

bool WriteAltDictionaryFile(const std::string& path, const std::vector<std::string>& lines) {
    ReplacingTextWriter file;
    if (!file.Begin(path)) return false;
    for (const std::string& line : lines) file.WriteLine(line);
    return file.Commit();
}

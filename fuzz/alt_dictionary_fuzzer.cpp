// Any bytes as an alternative dictionary file, in any encoding (UTF-16 in
// either byte order, UTF-8 with or without the mark, Windows-1251, a mix),
// then the dialog's edits and the overlay's walks in any mix: every line
// read must be UTF-8, the list must stay sorted without regard to case with
// no two alike, the walk must stay inside it, and a save, in whatever
// encoding it chooses, must read back cleanly (no line in another encoding,
// nothing broken) as the same list less the lines that cannot be captions.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "dictionary/dictionary_store.h"
#include "dictionary/text_compare.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/scratch_folder.h"
#include "platform/utf8.h"

namespace {

void CheckSortedAndDistinct(const std::vector<std::string>& lines) {
    for (size_t i = 1; i < lines.size(); ++i)
        if (CompareNoCase(lines[i - 1], lines[i]) >= 0) std::abort();
}

// Whatever is out of the ordinary in a read.
bool Unclean(const WordListDecoding& read) {
    return read.windows1251Lines.count != 0 || read.unpairedSurrogateLines.count != 0 || read.oddLastByte;
}

// An edit box gives one line of Unicode text.
std::string OneLine(const std::string& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size();) {
        const char32_t c = DecodeUtf8(bytes, i);
        AppendUtf8(text, c == '\r' || c == '\n' ? U' ' : c);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder folder;
    static const std::string path = folder.File("words.dic");
    FuzzInput in(data, size);
    const size_t fileSize = std::min<size_t>(in.Take<uint16_t>(), in.size());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(in.data()), static_cast<std::streamsize>(fileSize));
    in = FuzzInput(in.data() + fileSize, in.size() - fileSize);

    // What the settings hold for the alternative dictionary.
    int32_t rulesType = 0, altIndex = in.Take<int32_t>();
    std::string caption;
    DictionaryStore store;
    altIndex = store.LoadAltDictionary(path, altIndex);
    CheckSortedAndDistinct(store.AltDictionaryLines());
    for (const std::string& line : store.AltDictionaryLines())
        if (!IsValidUtf8(line)) std::abort();
    // Each finding is told.
    const WordListReport read = store.LastAltDictionaryLoad();
    const bool found = read.skippedLines != 0 || read.unsplitLines.count != 0 || read.decoding.readAsWindows1251 ||
                       Unclean(read.decoding);
    if (WordListMessage(read).empty() == found) std::abort();

    for (int step = 0; step < 64 && in.size() > 0; ++step) {
        const int32_t count = static_cast<int32_t>(store.AltDictionaryLines().size());
        switch (in.Take<uint8_t>() % 5) {
            case 0: store.AddAltEntry(OneLine(in.Text(40))); break;
            case 1: store.ChangeAltEntry(in.InRange(-2, count + 1), OneLine(in.Text(40))); break;
            case 2: store.DeleteAltEntry(in.InRange(-2, count + 1)); break;
            case 3:
                rulesType = in.InRange(-1, 3);
                altIndex = in.Take<int32_t>();
                break;
            default: {
                const std::optional<int32_t> next = store.NextCaption(kWordList, static_cast<WordOrder>(rulesType),
                                                                      altIndex, caption);
                if (next.has_value() != (count > 0)) std::abort();
                if (next && (*next < 0 || *next >= count)) std::abort();
                if (next) altIndex = *next;
            }
        }
    }
    std::vector<std::string> lines = store.AltDictionaryLines();
    CheckSortedAndDistinct(lines);
    store.SaveAltDictionary(path);
    store.LoadAltDictionary(path, 0);
    if (Unclean(store.LastAltDictionaryLoad().decoding)) std::abort();
    std::erase_if(lines, [](const std::string& line) { return !CanBeCaption(line); });
    if (store.AltDictionaryLines() != lines) std::abort();
    return 0;
}

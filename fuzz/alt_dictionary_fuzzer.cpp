// Any bytes as an alternative dictionary file, then the dialog's edits and
// the overlay's walks in any mix: the list must stay sorted without regard
// to case with no two alike, the walk must stay inside it, and a save must
// read back as the same list.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "dictionary/cp1251_compare.h"
#include "dictionary/dictionary_store.h"
#include "dictionary/next_caption.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/scratch_folder.h"
#include "settings/settings_state.h"

namespace {

void CheckSortedAndDistinct(const std::vector<std::string>& lines) {
    for (size_t i = 1; i < lines.size(); ++i)
        if (CompareNoCase1251(lines[i - 1], lines[i]) >= 0) std::abort();
}

// An edit box gives one line.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
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

    workingSettings = SettingsRecord{};
    workingSettings.DicType = 1;
    workingSettings.DicFileName = path;
    workingSettings.CurExtEntry = in.Take<int32_t>();
    LoadAltDictionary();
    CheckSortedAndDistinct(AltDictionaryLines());

    for (int step = 0; step < 64 && in.size() > 0; ++step) {
        const int32_t count = static_cast<int32_t>(AltDictionaryLines().size());
        switch (in.Take<uint8_t>() % 5) {
            case 0: AddAltEntry(OneLine(in.Text(40))); break;
            case 1: ChangeAltEntry(in.InRange(-2, count + 1), OneLine(in.Text(40))); break;
            case 2: DeleteAltEntry(in.InRange(-2, count + 1)); break;
            case 3:
                workingSettings.RulesType = in.InRange(-1, 3);
                workingSettings.CurExtEntry = in.Take<int32_t>();
                break;
            default: {
                const int32_t result = NextCaption();
                if ((result == 1) != (count > 0)) std::abort();
                if (workingSettings.CurExtEntry >= count && count > 0) std::abort();
            }
        }
    }
    const std::vector<std::string> lines = AltDictionaryLines();
    CheckSortedAndDistinct(lines);
    SaveAltDictionary();
    LoadAltDictionary();
    if (AltDictionaryLines() != lines) std::abort();
    return 0;
}

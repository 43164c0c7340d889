#include "dictionary/next_caption.h"

#include "dictionary/builtin_dictionary.h"
#include "settings/settings_state.h"

std::string captionText;

int32_t NextCaption() {
    const int32_t count = builtinDictionary.count;
    if (workingSettings.DicType != 0 || count == 0) {
        captionText.clear();
        return 0;
    }
    int32_t& index = workingSettings.CurIntEntry;
    if (workingSettings.RulesType == 1)
        index = index - 1 < 0 ? count - 1 : index - 1;
    else
        index = index + 1 >= count ? 0 : index + 1;
    const DictEntry& entry = GetBuiltinEntry(index);
    captionText = std::string(entry.word) + " - " + entry.translation;
    return 1;
}

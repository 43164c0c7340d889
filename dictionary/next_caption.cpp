#include "dictionary/next_caption.h"

#include "dictionary/builtin_dictionary.h"

std::string captionText;

int32_t NextCaption() {
    captionText.clear();
    return 0;
}

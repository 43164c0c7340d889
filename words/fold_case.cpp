#include "words/fold_case.h"

#include "platform/case_folding.h"
#include "platform/utf8.h"

std::string FoldCase(std::string_view utf8) {
    std::string folded;
    folded.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const unsigned char byte = static_cast<unsigned char>(utf8[pos]);
        if (byte < 0x80) {
            folded += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
            ++pos;
            continue;
        }
        AppendUtf8(folded, SimpleCaseFold(DecodeUtf8(utf8, pos)));
    }
    return folded;
}

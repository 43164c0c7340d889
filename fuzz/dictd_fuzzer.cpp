// Any bytes as a dictd dictionary: an index, then its data, plain or
// compressed (dictzip's chunked gzip or a whole one), damaged anyhow. Every
// headword the index names is looked up: nothing may read past what is
// there, and a gloss of a well-formed article stays well-formed UTF-8 and
// caption-sized.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz/fuzz_input.h"
#include "fuzz/scratch_folder.h"
#include "platform/utf8.h"
#include "words/dictd_dictionary.h"

namespace {

size_t CodePoints(const std::string& text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); ++count) DecodeUtf8(text, pos);
    return count;
}

void Write(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder folder;
    static const std::string index_path = folder.File("fuzz.index"), data_path = folder.File("fuzz.dict.dz");
    FuzzInput in(data, size);
    const size_t index_size = std::min<size_t>(in.Take<uint16_t>(), in.size());
    const std::string index(reinterpret_cast<const char*>(in.data()), index_size);
    Write(index_path, in.data(), index_size);
    Write(data_path, in.data() + index_size, in.size() - index_size);

    std::string error;
    const auto dictionary = DictdDictionary::Open(index_path, data_path, &error);
    if (!dictionary) {
        if (error.empty()) std::abort();
        return 0;
    }
    for (size_t start = 0; start < index.size();) {
        size_t end = index.find('\n', start);
        if (end == std::string::npos) end = index.size();
        const std::string headword = index.substr(start, std::min(end, index.find('\t', start)) - start);
        start = end + 1;
        for (const std::string& article : dictionary->Articles(headword)) {
            ReferencedHeadword(article, headword);
            for (bool past_pointers : {false, true}) {
                const std::string gloss = GlossOf(article, headword, 12, past_pointers);
                if (IsValidUtf8(article) && (!IsValidUtf8(gloss) || CodePoints(gloss) > 13)) std::abort();
            }
        }
    }
    return 0;
}

#include "words/dictd_dictionary.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <mutex>

#include "platform/case_folding.h"

// Where the articles' text is read from: a plain file, or a compressed one
// inflated a chunk at a time (or as a whole when it has no chunk table).
class DictdData {
public:
    virtual ~DictdData() = default;
    // The bytes [offset, offset + length); false when they are not all there.
    virtual bool Read(uint64_t offset, uint32_t length, std::string& out) const = 0;
};

namespace {

// An index's numbers are base 64 in dictd's alphabet, most significant
// digit first; nullopt for anything else or a number past 48 bits.
std::optional<uint64_t> DecodeIndexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        int digit;
        if (c >= 'A' && c <= 'Z')
            digit = c - 'A';
        else if (c >= 'a' && c <= 'z')
            digit = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            digit = c - '0' + 52;
        else if (c == '+')
            digit = 62;
        else if (c == '/')
            digit = 63;
        else
            return std::nullopt;
        value = value * 64 + static_cast<uint64_t>(digit);
    }
    return value;
}

class FileHandle {
public:
    explicit FileHandle(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~FileHandle() {
        if (fd_ >= 0) close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsOpen() const { return fd_ >= 0; }
    // pread keeps no position, so readers on several threads need no lock.
    bool ReadAt(uint64_t offset, size_t length, char* out) const { return ReadSome(offset, length, out) == length; }
    // Up to length bytes; fewer at the end of the file or on an error.
    size_t ReadSome(uint64_t offset, size_t length, char* out) const {
        size_t done = 0;
        while (done < length) {
            const ssize_t got = pread(fd_, out + done, length - done, static_cast<off_t>(offset + done));
            if (got <= 0) break;
            done += static_cast<size_t>(got);
        }
        return done;
    }

private:
    int fd_;
};

class PlainData : public DictdData {
public:
    PlainData(std::unique_ptr<FileHandle> file, uint64_t size) : file_(std::move(file)), size_(size) {}
    bool Read(uint64_t offset, uint32_t length, std::string& out) const override {
        // A damaged index may give any length: nothing past the file is
        // asked for.
        if (offset > size_ || length > size_ - offset) return false;
        out.resize(length);
        return file_->ReadAt(offset, length, out.data());
    }

private:
    std::unique_ptr<FileHandle> file_;
    uint64_t size_;
};

// A gzip file with no chunk table, inflated once as a whole.
class WholeData : public DictdData {
public:
    explicit WholeData(std::string text) : text_(std::move(text)) {}
    bool Read(uint64_t offset, uint32_t length, std::string& out) const override {
        if (offset > text_.size() || length > text_.size() - offset) return false;
        out.assign(text_, offset, length);
        return true;
    }

private:
    std::string text_;
};

// The dictzip form: gzip whose deflate stream is flushed fully every
// chunk_length bytes of text, the compressed size of each chunk listed in
// the header's extra field "RA". A chunk then inflates on its own.
class ChunkedData : public DictdData {
public:
    ChunkedData(std::unique_ptr<FileHandle> file, uint32_t chunk_length, std::vector<uint64_t> chunk_starts)
        : file_(std::move(file)), chunk_length_(chunk_length), chunk_starts_(std::move(chunk_starts)) {}

    bool Read(uint64_t offset, uint32_t length, std::string& out) const override {
        out.clear();
        if (length == 0) return true;
        const uint64_t first = offset / chunk_length_, last = (offset + length - 1) / chunk_length_;
        if (last + 1 >= chunk_starts_.size()) return false;
        std::lock_guard<std::mutex> hold(lock_);
        for (uint64_t chunk = first; chunk <= last; ++chunk) {
            const std::string* text = Chunk(static_cast<size_t>(chunk));
            if (!text) return false;
            const uint64_t chunk_start = chunk * chunk_length_;
            const uint64_t from = std::max(offset, chunk_start) - chunk_start;
            const uint64_t to = std::min<uint64_t>(offset + length, chunk_start + text->size()) - chunk_start;
            if (from >= to) return false;
            out.append(*text, from, to - from);
        }
        return out.size() == length;
    }

private:
    // A film's words come in no order, and inflating a chunk (dictzip's
    // are 58 KB) is most of a lookup's cost: 16 MiB of chunks are kept,
    // the whole of mueller7 (160 chunks, 9 MB).
    static constexpr size_t kCachedBytes = 16 << 20;

    const std::string* Chunk(size_t chunk) const {
        for (auto kept = cache_.begin(); kept != cache_.end(); ++kept) {
            if (kept->first != chunk) continue;
            cache_.splice(cache_.begin(), cache_, kept);
            return &cache_.front().second;
        }
        std::string compressed(chunk_starts_[chunk + 1] - chunk_starts_[chunk], '\0');
        if (!file_->ReadAt(chunk_starts_[chunk], compressed.size(), compressed.data())) return nullptr;
        std::string text(chunk_length_, '\0');
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return nullptr;
        stream.next_in = reinterpret_cast<Bytef*>(compressed.data());
        stream.avail_in = static_cast<uInt>(compressed.size());
        stream.next_out = reinterpret_cast<Bytef*>(text.data());
        stream.avail_out = static_cast<uInt>(text.size());
        const int status = inflate(&stream, Z_SYNC_FLUSH);
        text.resize(text.size() - stream.avail_out);
        inflateEnd(&stream);
        if (status != Z_OK && status != Z_STREAM_END) return nullptr;
        if (cache_.size() >= std::max<size_t>(1, kCachedBytes / chunk_length_)) cache_.pop_back();
        cache_.emplace_front(chunk, std::move(text));
        return &cache_.front().second;
    }

    std::unique_ptr<FileHandle> file_;
    uint32_t chunk_length_;
    std::vector<uint64_t> chunk_starts_;  // the chunks' file offsets, and the end of the last
    mutable std::mutex lock_;
    mutable std::list<std::pair<size_t, std::string>> cache_;  // most recently used first
};

uint32_t Little16(const unsigned char* bytes) { return bytes[0] | (bytes[1] << 8); }

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::unique_ptr<DictdData> InflateWhole(const std::string& path, std::string* error) {
    const std::string compressed = ReadWholeFile(path);
    std::string text;
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        *error = "zlib cannot start";
        return nullptr;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    int status = Z_OK;
    char buffer[1 << 16];
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        text.append(buffer, sizeof buffer - stream.avail_out);
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        *error = path + ": the compressed text is damaged or cut short";
        return nullptr;
    }
    return std::make_unique<WholeData>(std::move(text));
}

// The gzip header (RFC 1952) and, in dictzip's files, its chunk table.
std::unique_ptr<DictdData> OpenCompressed(const std::string& path, std::unique_ptr<FileHandle> file,
                                          std::string* error) {
    // The header with a full chunk table fits well within this (a table of
    // 65,535 chunks would need 128 KiB, ours have a few hundred).
    std::string head(1 << 18, '\0');
    const size_t have = file->ReadSome(0, head.size(), head.data());
    head.resize(have);
    const auto* bytes = reinterpret_cast<const unsigned char*>(head.data());
    const auto damaged = [&] {
        *error = path + ": not a gzip header dictd can read";
        return nullptr;
    };
    if (have < 10 || bytes[2] != 8) return damaged();
    const unsigned flags = bytes[3];
    size_t at = 10;
    uint32_t chunk_length = 0;
    std::vector<uint32_t> sizes;
    if (flags & 4) {  // FEXTRA: subfields of id, length and data
        if (at + 2 > have) return damaged();
        const size_t extra_end = at + 2 + Little16(bytes + at);
        if (extra_end > have) return damaged();
        for (at += 2; at + 4 <= extra_end;) {
            const size_t length = Little16(bytes + at + 2);
            const size_t data = at + 4;
            if (data + length > extra_end) return damaged();
            if (bytes[at] == 'R' && bytes[at + 1] == 'A' && length >= 6) {
                chunk_length = Little16(bytes + data + 2);
                const size_t count = Little16(bytes + data + 4);
                if (length < 6 + 2 * count) return damaged();
                for (size_t i = 0; i < count; ++i) sizes.push_back(Little16(bytes + data + 6 + 2 * i));
            }
            at = data + length;
        }
        at = extra_end;
    }
    for (unsigned text_flag : {8u, 16u}) {  // FNAME, FCOMMENT: NUL-terminated
        if (!(flags & text_flag)) continue;
        const size_t nul = head.find('\0', at);
        if (nul == std::string::npos) return damaged();
        at = nul + 1;
    }
    if (flags & 2) at += 2;  // FHCRC
    if (chunk_length == 0 || sizes.empty()) return InflateWhole(path, error);
    std::vector<uint64_t> starts{at};
    for (uint32_t size : sizes) starts.push_back(starts.back() + size);
    return std::make_unique<ChunkedData>(std::move(file), chunk_length, std::move(starts));
}

}  // namespace

DictdDictionary::~DictdDictionary() = default;

std::unique_ptr<DictdDictionary> DictdDictionary::Open(const std::string& index_path, const std::string& data_path,
                                                       std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    std::ifstream index_file(index_path, std::ios::binary);
    if (!index_file) {
        *error = index_path + ": cannot be read";
        return nullptr;
    }
    auto file = std::make_unique<FileHandle>(data_path);
    if (!file->IsOpen()) {
        *error = data_path + ": cannot be read";
        return nullptr;
    }
    std::unique_ptr<DictdDictionary> dictionary(new DictdDictionary);
    char magic[2] = {};
    if (file->ReadAt(0, 2, magic) && static_cast<unsigned char>(magic[0]) == 0x1f &&
        static_cast<unsigned char>(magic[1]) == 0x8b) {
        dictionary->data_ = OpenCompressed(data_path, std::move(file), error);
        if (!dictionary->data_) return nullptr;
    } else {
        std::error_code failed;
        const uint64_t size = std::filesystem::file_size(data_path, failed);
        if (failed) {
            *error = data_path + ": cannot be read";
            return nullptr;
        }
        dictionary->data_ = std::make_unique<PlainData>(std::move(file), size);
    }
    const std::string index((std::istreambuf_iterator<char>(index_file)), std::istreambuf_iterator<char>());
    for (size_t start = 0; start < index.size();) {
        size_t end = index.find('\n', start);
        if (end == std::string::npos) end = index.size();
        const std::string_view line = std::string_view(index).substr(start, end - start);
        start = end + 1;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos || tab1 == 0) continue;
        size_t tab3 = line.find('\t', tab2 + 1);
        if (tab3 == std::string_view::npos) tab3 = line.size();
        const auto offset = DecodeIndexNumber(line.substr(tab1 + 1, tab2 - tab1 - 1));
        const auto length = DecodeIndexNumber(line.substr(tab2 + 1, tab3 - tab2 - 1));
        if (!offset || !length || *length > UINT32_MAX) continue;
        const std::string_view headword = line.substr(0, tab1);
        dictionary->index_[FoldCase(headword)].push_back(
            {*offset, static_cast<uint32_t>(*length), std::string(headword)});
    }
    if (dictionary->index_.empty()) {
        *error = index_path + ": no headwords";
        return nullptr;
    }
    std::string name = std::filesystem::path(index_path).filename().string();
    if (name.size() > 6 && name.ends_with(".index")) name.resize(name.size() - 6);
    dictionary->name_ = std::move(name);
    return dictionary;
}

std::vector<std::string> DictdDictionary::Articles(std::string_view headword) const {
    std::vector<std::string> articles;
    const auto found = index_.find(FoldCase(headword));
    if (found == index_.end()) return articles;
    std::vector<const Place*> places;
    for (const Place& place : found->second) places.push_back(&place);
    std::stable_partition(places.begin(), places.end(),
                          [&](const Place* place) { return place->headword == headword; });
    std::string text;
    for (const Place* place : places)
        if (data_->Read(place->offset, place->length, text)) articles.push_back(std::move(text));
    return articles;
}

std::optional<std::string> DictdDictionary::Article(std::string_view headword) const {
    std::string article;
    for (const std::string& text : Articles(headword)) {
        if (!article.empty()) article += '\n';
        article += text;
    }
    if (article.empty()) return std::nullopt;
    return article;
}

namespace {

// ISO 639-1 codes and the three-letter ones FreeDict names its pairs by.
constexpr std::pair<std::string_view, std::string_view> kThreeLetterCodes[] = {
    {"ar", "ara"}, {"cs", "ces"}, {"da", "dan"}, {"de", "deu"}, {"el", "ell"}, {"en", "eng"}, {"es", "spa"},
    {"fi", "fin"}, {"fr", "fra"}, {"he", "heb"}, {"hi", "hin"}, {"hu", "hun"}, {"it", "ita"}, {"ja", "jpn"},
    {"ko", "kor"}, {"nl", "nld"}, {"no", "nor"}, {"pl", "pol"}, {"pt", "por"}, {"ro", "ron"}, {"ru", "rus"},
    {"sv", "swe"}, {"th", "tha"}, {"tr", "tur"}, {"uk", "ukr"}, {"zh", "zho"},
};

// Dictionaries whose names do not say their pair, best first.
constexpr std::pair<std::string_view, std::string_view> kNamedPairs[] = {
    {"en-ru", "mueller7"},
    {"en-ru", "mueller7accent"},
    {"en-ru", "mueller24"},
};

std::string ThreeLetters(const std::string& code) {
    for (const auto& [two, three] : kThreeLetterCodes)
        if (code == two) return std::string(three);
    return code;
}

}  // namespace

std::vector<std::unique_ptr<DictdDictionary>> OpenDictdForPair(const std::string& from, const std::string& to,
                                                               const std::string& folder) {
    std::vector<std::string> names;
    const std::string pair = from + "-" + to;
    for (const auto& [named_pair, name] : kNamedPairs)
        if (named_pair == pair) names.emplace_back(name);
    names.push_back(ThreeLetters(from) + "-" + ThreeLetters(to));
    if (names.back() != pair) names.push_back(pair);
    std::vector<std::unique_ptr<DictdDictionary>> opened;
    for (const std::string& name : names) {
        const std::string index = folder + "/" + name + ".index";
        std::error_code ignored;
        if (!std::filesystem::exists(index, ignored)) continue;
        for (const char* data : {".dict.dz", ".dict"}) {
            if (!std::filesystem::exists(folder + "/" + name + data, ignored)) continue;
            std::string error;
            if (auto dictionary = DictdDictionary::Open(index, folder + "/" + name + data, &error)) {
                opened.push_back(std::move(dictionary));
                break;
            }
        }
    }
    return opened;
}

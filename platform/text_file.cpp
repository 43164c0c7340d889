#include "platform/text_file.h"

namespace {
constexpr size_t kChunk = 4096;
}

bool TextFileReader::Open(const std::string& path) {
    Close();
    return file_.Open(path, platform::OpenMode::kOpenOrCreate);
}

void TextFileReader::Close() {
    file_.Close();
    buffer_.clear();
    bufferOffset_ = 0;
    bufferPos_ = 0;
}

bool TextFileReader::Seek(uint64_t offset) {
    buffer_.clear();
    bufferPos_ = 0;
    bufferOffset_ = offset;
    return file_.Seek(offset);
}

bool TextFileReader::Refill() {
    bufferOffset_ += buffer_.size();
    buffer_.resize(kChunk);
    bufferPos_ = 0;
    const int64_t got = file_.Read(buffer_.data(), kChunk);
    buffer_.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return got > 0;
}

bool TextFileReader::ReadLine(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
        if (bufferPos_ == buffer_.size() && !Refill()) break;
        any = true;
        const size_t end = buffer_.find('\n', bufferPos_);
        if (end == std::string::npos) {
            line.append(buffer_, bufferPos_, std::string::npos);
            bufferPos_ = buffer_.size();
            continue;
        }
        line.append(buffer_, bufferPos_, end - bufferPos_);
        bufferPos_ = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    return any;
}

bool ReplacingTextWriter::Begin(const std::string& target) {
    Abandon();
    platform::File probe;
    if (target.empty() || !probe.Open(target, platform::OpenMode::kOpenOrCreate)) return false;
    probe.Close();
    target_ = target;
    tempPath_ = target + ".tmp";
    failed_ = false;
    pending_.clear();
    return temp_.Open(tempPath_, platform::OpenMode::kCreateOrTruncate);
}

void ReplacingTextWriter::Write(std::string_view bytes) {
    if (!IsOpen()) return;
    pending_.append(bytes);
    if (pending_.size() >= kChunk) Flush();
}

void ReplacingTextWriter::WriteLine(std::string_view line) {
    Write(line);
    Write("\r\n");
}

bool ReplacingTextWriter::Flush() {
    if (!failed_ && !pending_.empty()) failed_ = !temp_.Write(pending_.data(), pending_.size());
    pending_.clear();
    return !failed_;
}

bool ReplacingTextWriter::Commit() {
    if (!IsOpen()) return false;
    const bool written = Flush() && temp_.Sync();
    temp_.Close();
    if (written && platform::MoveFileOver(tempPath_, target_)) return true;
    platform::RemoveFileQuietly(tempPath_);
    return false;
}

void ReplacingTextWriter::Abandon() {
    if (!IsOpen()) return;
    temp_.Close();
    platform::RemoveFileQuietly(tempPath_);
    pending_.clear();
}

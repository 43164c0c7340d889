#include "platform/text_file.h"

namespace {
constexpr size_t kChunk = 4096;
}

platform::FileOutcome TextFileReader::Open(const std::string& path) {
    Close();
    if (file_.Open(path, platform::OpenMode::kRead)) return {};
    return platform::FileOutcome::Failed(file_.error());
}

void TextFileReader::Close() {
    file_.Close();
    length_.reset();
    buffer_.clear();
    bufferOffset_ = 0;
    bufferPos_ = 0;
}

uint64_t TextFileReader::Length() {
    if (!length_) length_ = file_.Length();
    return *length_;
}

bool TextFileReader::Seek(uint64_t offset) {
    // Back into what was read (the profile reads seek to a section for
    // every key): no reading again.
    if (offset >= bufferOffset_ && offset <= bufferOffset_ + buffer_.size() && !buffer_.empty()) {
        bufferPos_ = static_cast<size_t>(offset - bufferOffset_);
        return true;
    }
    buffer_.clear();
    bufferPos_ = 0;
    bufferOffset_ = offset;
    return file_.Seek(offset);
}

bool TextFileReader::Refill() {
    // At the length taken at the open there is nothing more to read.
    if (length_ && bufferOffset_ + buffer_.size() >= *length_) return false;
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
        break;
    }
    // A last line without its LF may still have the CR of its line end.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

platform::FileOutcome ReplacingTextWriter::Begin(const std::string& target) {
    Abandon();
    failed_ = false;
    pending_.clear();
    if (target.empty()) return platform::FileOutcome::Failed("no file is named");
    target_ = platform::FollowLinks(target);
    if (platform::FileOutcome can = platform::CanReplace(target_); !can) return can;
    if (platform::FileOutcome locked = lock_.Lock(target_); !locked) return locked;
    // Each save has a name of its own, so that two at once never write one
    // file; should one be taken (a crash's leftover), another is drawn.
    for (int attempt = 0; attempt < 8 && !temp_.IsOpen(); ++attempt) {
        tempPath_ = platform::TemporaryNameBeside(target_);
        temp_.Open(tempPath_, platform::OpenMode::kCreateNew);
    }
    if (!temp_.IsOpen()) {
        lock_.Unlock();
        return platform::FileOutcome::Failed("no new file can be made beside it: " + temp_.error());
    }
    temp_.TakeAccessOf(target_);
    return {};
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

platform::FileOutcome ReplacingTextWriter::Commit() {
    if (!IsOpen()) return platform::FileOutcome::Failed("no save was started");
    platform::FileOutcome outcome;
    if (!Flush() || !temp_.Sync()) outcome = platform::FileOutcome::Failed(temp_.error());
    temp_.Close();
    if (outcome) outcome = platform::MoveFileOver(tempPath_, target_);
    if (!outcome) platform::RemoveFileQuietly(tempPath_);
    lock_.Unlock();
    return outcome;
}

void ReplacingTextWriter::Abandon() {
    if (!IsOpen()) return;
    temp_.Close();
    platform::RemoveFileQuietly(tempPath_);
    lock_.Unlock();
    pending_.clear();
}

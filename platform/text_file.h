// Line-oriented text files over platform::File. A line ends at LF, with or
// without a CR before it; written lines end in CR LF. Reading goes through a
// small buffer, so a file is never held in memory as a whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"

// Reads lines from an existing file, opened for reading only: a file the
// user may read but not write is read all the same, and nothing is created.
class TextFileReader {
public:
    platform::FileOutcome Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_.IsOpen(); }

    // Taken once per open: files are replaced, never rewritten in place.
    uint64_t Length();
    bool Seek(uint64_t offset);
    // Offset of the first byte not yet returned by ReadLine.
    uint64_t Tell() const { return bufferOffset_ + bufferPos_; }
    // The next line without its line end; false at the end of the file or
    // on a read error.
    bool ReadLine(std::string& line);

private:
    bool Refill();

    platform::File file_;
    std::string buffer_;
    uint64_t bufferOffset_ = 0;  // file offset of buffer_[0]
    size_t bufferPos_ = 0;
    std::optional<uint64_t> length_;
};

// Writes a whole new file beside the target and puts it in place only when
// every line reached the disk, so a failed save never loses the old file.
// From Begin to Commit or Abandon the target is locked against other
// saves (platform::FileLock), so a save may read what the file holds now
// and write it back changed without losing another's change.
class ReplacingTextWriter {
public:
    ~ReplacingTextWriter() { Abandon(); }

    // Follows the target's symbolic links to the file they end at, locks
    // it and starts the new file beside it, under a name of its own. Fails,
    // as a direct rewrite would, when the target cannot be written
    // (read-only, a folder, a bad path); a missing one is created empty.
    platform::FileOutcome Begin(const std::string& target);
    bool IsOpen() const { return temp_.IsOpen(); }
    // The file a Commit replaces: the target at the end of its links.
    const std::string& target() const { return target_; }
    // Bytes as they are, without a line end.
    void Write(std::string_view bytes);
    void WriteLine(std::string_view line);
    // Puts the new file in place, with the old one's permissions and owner;
    // fails (and the target stays untouched) when any write, the flush or
    // the replacement failed.
    platform::FileOutcome Commit();
    // Drops the new file; the target stays as it was.
    void Abandon();

private:
    bool Flush();

    platform::FileLock lock_;
    platform::File temp_;
    std::string target_;
    std::string tempPath_;
    std::string pending_;
    bool failed_ = false;
};

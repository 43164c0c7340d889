// The file services the core needs from the platform: plain binary files,
// opened for reading or made new for writing, and what a save needs to put
// a new file in place of an old one without losing it or racing another
// save. Paths are UTF-8 (on Windows they reach the system as UTF-16).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace platform {

// Whether an operation on a file did what it was asked; if not, why, in
// words a user can be shown ("it is a folder", "Permission denied").
struct FileOutcome {
    bool done = true;
    std::string why;

    explicit operator bool() const { return done; }
    static FileOutcome Failed(std::string why) { return {false, std::move(why)}; }
};

enum class OpenMode {
    kRead,       // an existing file, for reading only: nothing is created, a folder is refused
    kCreateNew,  // a new file for writing; fails when the name is taken
};

class File {
public:
    File() = default;
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool Open(const std::string& path, OpenMode mode);
    void Close();
    bool IsOpen() const { return handle_ != kNoHandle; }
    // Why the last Open, Write or Sync failed.
    const std::string& error() const { return error_; }

    // Bytes read, 0 at the end of the file, -1 on error.
    int64_t Read(void* buffer, size_t size);
    // True only when every byte was written.
    bool Write(const void* data, size_t size);
    bool Seek(uint64_t offset);
    uint64_t Length();
    // Pushes the written bytes through to the disk.
    bool Sync();
    // Gives this file the permissions and owner of the file at path, as far
    // as the process may (POSIX; Windows files keep their folder's).
    void TakeAccessOf(const std::string& path);

private:
    static constexpr intptr_t kNoHandle = -1;
    intptr_t handle_ = kNoHandle;
    std::string error_;
};

enum class PathKind { kNothing, kFile, kFolder, kOther };
PathKind KindOf(const std::string& path);

// Creates an empty file where there is none; an existing one is left alone.
FileOutcome CreateEmptyFile(const std::string& path);
// Whether the file can be opened for reading, and why not.
FileOutcome CanRead(const std::string& path);
// Whether a save may put a new file in place of this one: not when it is
// a folder or read-only. Nothing there may be saved.
FileOutcome CanReplace(const std::string& path);

// The file that path names once its symbolic links are followed, so that a
// save writes the link's target rather than putting a file in the link's
// place. A path without links, or one that cannot be followed (a loop),
// comes back as it is. Windows: as it is.
std::string FollowLinks(const std::string& path);

// The path from the root (the drive's, on Windows) of a path that may be
// relative to the current folder, without "." and "..": one name for one
// file, wherever the process was started.
std::string AbsolutePath(const std::string& path);

// A name beside path that no file has yet, for a new file that will take
// its place: PATH.PROCESS.RANDOM.tmp. Not reserved: a File opened with
// kCreateNew makes sure.
std::string TemporaryNameBeside(const std::string& path);

// Holds saves of one file one after another, across threads and
// processes: a save takes the lock, reads what the file holds now, writes
// it anew and puts it in place before the next save may start. Readers
// take no lock: a file is only ever replaced whole.
class FileLock {
public:
    FileLock() = default;
    ~FileLock() { Unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits for the lock of the file at path (created empty if missing,
    // POSIX). Fails only when the lock cannot be had at all.
    FileOutcome Lock(const std::string& path);
    void Unlock();
    bool IsLocked() const { return handle_ != kNoHandle; }

private:
    static constexpr intptr_t kNoHandle = -1;
    intptr_t handle_ = kNoHandle;
};

// Puts source in place of target in one step, replacing target if it exists.
FileOutcome MoveFileOver(const std::string& source, const std::string& target);
void RemoveFileQuietly(const std::string& path);

}  // namespace platform

// A plain binary file, opened for reading and writing: the one file service
// the core needs from the platform. Paths are Windows-1251 (ANSI) bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class OpenMode {
    kOpenOrCreate,      // an existing file keeps its content
    kCreateOrTruncate,  // an existing file is cut to length 0
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

    // Bytes read, 0 at the end of the file, -1 on error.
    int64_t Read(void* buffer, size_t size);
    // True only when every byte was written.
    bool Write(const void* data, size_t size);
    bool Seek(uint64_t offset);
    uint64_t Length();
    // Pushes the written bytes through to the disk.
    bool Sync();

private:
    static constexpr intptr_t kNoHandle = -1;
    intptr_t handle_ = kNoHandle;
};

// Puts source in place of target in one step, replacing target if it exists.
bool MoveFileOver(const std::string& source, const std::string& target);
void RemoveFileQuietly(const std::string& path);

}  // namespace platform

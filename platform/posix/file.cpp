#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

bool File::Open(const std::string& path, OpenMode mode) {
    Close();
    int flags = O_RDWR | O_CREAT | O_CLOEXEC;
    if (mode == OpenMode::kCreateOrTruncate) flags |= O_TRUNC;
    handle_ = ::open(path.c_str(), flags, 0644);
    if (handle_ < 0) handle_ = kNoHandle;
    return IsOpen();
}

void File::Close() {
    if (!IsOpen()) return;
    ::close(static_cast<int>(handle_));
    handle_ = kNoHandle;
}

int64_t File::Read(void* buffer, size_t size) {
    if (!IsOpen()) return -1;
    ssize_t got;
    do got = ::read(static_cast<int>(handle_), buffer, size);
    while (got < 0 && errno == EINTR);
    return got;
}

bool File::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(static_cast<int>(handle_), bytes, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        bytes += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

bool File::Seek(uint64_t offset) {
    return IsOpen() && ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

uint64_t File::Length() {
    struct stat info;
    if (!IsOpen() || ::fstat(static_cast<int>(handle_), &info) != 0) return 0;
    return static_cast<uint64_t>(info.st_size);
}

bool File::Sync() { return IsOpen() && ::fsync(static_cast<int>(handle_)) == 0; }

bool MoveFileOver(const std::string& source, const std::string& target) {
    return std::rename(source.c_str(), target.c_str()) == 0;
}

void RemoveFileQuietly(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace platform

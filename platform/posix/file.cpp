#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace platform {

namespace {

constexpr char kFolder[] = "it is a folder";
constexpr char kNotAFile[] = "it is not a plain file";

std::string Why(int error) { return error == EISDIR ? kFolder : std::strerror(error); }

int Descriptor(intptr_t handle) { return static_cast<int>(handle); }

// An open that cannot block on a FIFO; plain files and folders only.
int OpenRegular(const std::string& path, int flags, std::string& why) {
    const int descriptor = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (descriptor < 0) {
        why = Why(errno);
        return -1;
    }
    struct stat info;
    if (::fstat(descriptor, &info) == 0 && !S_ISREG(info.st_mode)) {
        why = S_ISDIR(info.st_mode) ? kFolder : kNotAFile;
        ::close(descriptor);
        return -1;
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
}

}  // namespace

bool File::Open(const std::string& path, OpenMode mode) {
    Close();
    const int flags = mode == OpenMode::kRead ? O_RDONLY : O_WRONLY | O_CREAT | O_EXCL;
    const int descriptor = OpenRegular(path, flags, error_);
    if (descriptor < 0) return false;
    handle_ = descriptor;
    error_.clear();
    return true;
}

void File::Close() {
    if (!IsOpen()) return;
    ::close(Descriptor(handle_));
    handle_ = kNoHandle;
}

int64_t File::Read(void* buffer, size_t size) {
    if (!IsOpen()) return -1;
    ssize_t got;
    do got = ::read(Descriptor(handle_), buffer, size);
    while (got < 0 && errno == EINTR);
    if (got < 0) error_ = Why(errno);
    return got;
}

bool File::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(Descriptor(handle_), bytes, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            error_ = put < 0 ? Why(errno) : "nothing could be written";
            return false;
        }
        bytes += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

bool File::Seek(uint64_t offset) {
    return IsOpen() && ::lseek(Descriptor(handle_), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

uint64_t File::Length() {
    struct stat info;
    if (!IsOpen() || ::fstat(Descriptor(handle_), &info) != 0) return 0;
    return static_cast<uint64_t>(info.st_size);
}

bool File::Sync() {
    if (!IsOpen()) return false;
    if (::fsync(Descriptor(handle_)) == 0) return true;
    error_ = Why(errno);
    return false;
}

void File::TakeAccessOf(const std::string& path) {
    struct stat info;
    if (!IsOpen() || ::stat(path.c_str(), &info) != 0) return;
    // The owner first: a change of owner may clear the set-id bits. Only
    // root may give the file away; anyone may keep its group if a member.
    if (::fchown(Descriptor(handle_), info.st_uid, info.st_gid) != 0)
        (void)!::fchown(Descriptor(handle_), static_cast<uid_t>(-1), info.st_gid);
    ::fchmod(Descriptor(handle_), info.st_mode & 07777);
}

PathKind KindOf(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::kNothing : PathKind::kOther;
    if (S_ISDIR(info.st_mode)) return PathKind::kFolder;
    return S_ISREG(info.st_mode) ? PathKind::kFile : PathKind::kOther;
}

FileOutcome CreateEmptyFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NONBLOCK, 0666);
    if (descriptor < 0) return errno == EEXIST ? FileOutcome{} : FileOutcome::Failed(Why(errno));
    ::close(descriptor);
    return {};
}

FileOutcome CanRead(const std::string& path) {
    File file;
    return file.Open(path, OpenMode::kRead) ? FileOutcome{} : FileOutcome::Failed(file.error());
}

FileOutcome CanReplace(const std::string& path) {
    switch (KindOf(path)) {
        case PathKind::kNothing: return {};
        case PathKind::kFolder: return FileOutcome::Failed(kFolder);
        case PathKind::kOther: return FileOutcome::Failed(kNotAFile);
        case PathKind::kFile: break;
    }
    // As a direct rewrite would: a file the process may not write is kept.
    std::string why;
    const int descriptor = OpenRegular(path, O_WRONLY, why);
    if (descriptor < 0) return FileOutcome::Failed(why == std::strerror(EACCES) ? "it is read-only" : why);
    ::close(descriptor);
    return {};
}

std::string FollowLinks(const std::string& path) {
    std::string now = path;
    for (int step = 0; step < 40; ++step) {
        struct stat info;
        if (::lstat(now.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return now;
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(now.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<size_t>(length) >= target.size()) return path;
        target.resize(static_cast<size_t>(length));
        const size_t slash = now.rfind('/');
        now = target.front() == '/' || slash == std::string::npos ? target : now.substr(0, slash + 1) + target;
    }
    return path;  // a loop: nothing to follow to
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::string whole = path;
    if (path.front() != '/') {
        std::vector<char> folder(4096);
        if (!::getcwd(folder.data(), folder.size())) return path;
        whole = std::string(folder.data()) + "/" + path;
    }
    std::vector<std::string> names;
    for (size_t start = 0; start <= whole.size();) {
        size_t end = whole.find('/', start);
        if (end == std::string::npos) end = whole.size();
        const std::string name = whole.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::string absolute;
    for (const std::string& name : names) absolute += "/" + name;
    return absolute.empty() ? "/" : absolute;
}

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<uint64_t> counter{0};
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    // splitmix64 of the time, the count and the process: distinct between
    // threads and processes, and unlike the last name a crash left behind.
    uint64_t mix = static_cast<uint64_t>(now.tv_nsec) ^ (static_cast<uint64_t>(now.tv_sec) << 30) ^
                   (counter.fetch_add(1) << 48) ^ static_cast<uint64_t>(::getpid());
    mix += 0x9E3779B97F4A7C15ull;
    mix = (mix ^ (mix >> 30)) * 0xBF58476D1CE4E5B9ull;
    mix = (mix ^ (mix >> 27)) * 0x94D049BB133111EBull;
    mix ^= mix >> 31;
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%08x.tmp", static_cast<long>(::getpid()), static_cast<unsigned>(mix));
    return path + suffix;
}

FileOutcome FileLock::Lock(const std::string& path) {
    Unlock();
    // The lock is the file's own: a save that replaces the file leaves its
    // lock on the old one, so a waiter checks that it holds the file that
    // the path names now, and takes that one's lock if not.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string why;
        const int descriptor = OpenRegular(path, O_RDONLY | O_CREAT, why);
        if (descriptor < 0) return FileOutcome::Failed(why);
        int locked;
        do locked = ::flock(descriptor, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const int error = errno;
            ::close(descriptor);
            return FileOutcome::Failed(Why(error));
        }
        struct stat held, named;
        if (::fstat(descriptor, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            handle_ = descriptor;
            return {};
        }
        ::close(descriptor);
    }
    return FileOutcome::Failed("it keeps being replaced by others");
}

void FileLock::Unlock() {
    if (handle_ == kNoHandle) return;
    ::close(Descriptor(handle_));
    handle_ = kNoHandle;
}

FileOutcome MoveFileOver(const std::string& source, const std::string& target) {
    if (std::rename(source.c_str(), target.c_str()) == 0) return {};
    return FileOutcome::Failed(Why(errno));
}

void RemoveFileQuietly(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace platform

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "platform/file.h"
#include "platform/win32/wide_text.h"

namespace platform {

namespace {

constexpr char kFolder[] = "it is a folder";

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Paths are UTF-8 and reach the system as UTF-16, so that a name in any
// script opens whatever the system's code page.
std::wstring Wide(const std::string& path) { return WideFromUtf8(path); }

// The system's words for an error, without the closing full stop.
std::string Why(DWORD error) {
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 &&
           (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.' || text[length - 1] == ' '))
        --length;
    return length > 0 ? std::string(text, length) : "error " + std::to_string(error);
}

// Readers share the file every way, so that a save may replace it while
// they read.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

bool File::Open(const std::string& path, OpenMode mode) {
    Close();
    HANDLE file;
    if (mode == OpenMode::kRead) {
        const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            error_ = kFolder;
            return false;
        }
        file = CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    } else {
        file = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        error_ = Why(GetLastError());
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
    error_.clear();
    return true;
}

void File::Close() {
    if (!IsOpen()) return;
    CloseHandle(AsHandle(handle_));
    handle_ = kNoHandle;
}

int64_t File::Read(void* buffer, size_t size) {
    DWORD got = 0;
    if (!IsOpen()) return -1;
    if (!ReadFile(AsHandle(handle_), buffer, static_cast<DWORD>(size), &got, nullptr)) {
        error_ = Why(GetLastError());
        return -1;
    }
    return got;
}

bool File::Write(const void* data, size_t size) {
    DWORD put = 0;
    if (!IsOpen()) return false;
    if (!WriteFile(AsHandle(handle_), data, static_cast<DWORD>(size), &put, nullptr))
        error_ = Why(GetLastError());
    else if (put != size)
        error_ = Why(ERROR_DISK_FULL);
    else
        return true;
    return false;
}

bool File::Seek(uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return IsOpen() && SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN);
}

uint64_t File::Length() {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &size)) return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

bool File::Sync() {
    if (!IsOpen()) return false;
    if (FlushFileBuffers(AsHandle(handle_))) return true;
    error_ = Why(GetLastError());
    return false;
}

void File::TakeAccessOf(const std::string&) {}

PathKind KindOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::kNothing : PathKind::kOther;
    }
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::kFolder : PathKind::kFile;
}

FileOutcome CreateEmptyFile(const std::string& path) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS ? FileOutcome{} : FileOutcome::Failed(Why(error));
    }
    CloseHandle(file);
    return {};
}

FileOutcome CanRead(const std::string& path) {
    File file;
    return file.Open(path, OpenMode::kRead) ? FileOutcome{} : FileOutcome::Failed(file.error());
}

FileOutcome CanReplace(const std::string& path) {
    // Windows refuses to write a read-only file; Wine running as root does
    // not, so the attribute is asked and decides on both.
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileOutcome::Failed(kFolder);
    if (attributes & FILE_ATTRIBUTE_READONLY) return FileOutcome::Failed("it is read-only");
    return {};
}

std::string FollowLinks(const std::string& path) { return path; }

std::string AbsolutePath(const std::string& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = path.empty() ? 0 : GetFullPathNameW(Wide(path).c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? Utf8FromWide(std::wstring_view(full, length)) : path;
}

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<uint32_t> counter{0};
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    uint32_t mix = static_cast<uint32_t>(now.QuadPart) ^ (counter.fetch_add(1) * 0x9E3779B9u);
    mix ^= mix >> 16;
    mix *= 0x85EBCA6Bu;
    mix ^= mix >> 13;
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%lu.%08x.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned>(mix));
    return path + suffix;
}

FileOutcome FileLock::Lock(const std::string& path) {
    Unlock();
    // A file beside it that only one may open at a time, gone when closed
    // (a crashed holder's too). Another holder's shows as a sharing
    // violation; one just closed, as denied access for a moment.
    const std::string lockPath = path + ".lock";
    const DWORD start = GetTickCount();
    for (;;) {
        HANDLE file = CreateFileW(Wide(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<intptr_t>(file);
            return {};
        }
        const DWORD error = GetLastError();
        const DWORD waited = GetTickCount() - start;
        const bool held = error == ERROR_SHARING_VIOLATION && waited < 30000;
        const bool closing = error == ERROR_ACCESS_DENIED && waited < 1000;
        if (!held && !closing) return FileOutcome::Failed(Why(error));
        Sleep(2);
    }
}

void FileLock::Unlock() {
    if (handle_ == kNoHandle) return;
    CloseHandle(AsHandle(handle_));
    handle_ = kNoHandle;
}

FileOutcome MoveFileOver(const std::string& source, const std::string& target) {
    // A reader that has the old file open may hold up its replacement for
    // a moment.
    const DWORD start = GetTickCount();
    for (;;) {
        if (MoveFileExW(Wide(source).c_str(), Wide(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        const DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || GetTickCount() - start > 2000)
            return FileOutcome::Failed(Why(error));
        Sleep(2);
    }
}

void RemoveFileQuietly(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

}  // namespace platform

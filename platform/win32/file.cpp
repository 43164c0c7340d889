#include <windows.h>

#include "platform/file.h"

namespace platform {

namespace {
HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

bool File::Open(const std::string& path, OpenMode mode) {
    Close();
    // Windows refuses write access to a read-only file; Wine running as root
    // does not, so the attribute is asked first and decides on both.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    const DWORD disposition = mode == OpenMode::kCreateOrTruncate ? CREATE_ALWAYS : OPEN_ALWAYS;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<intptr_t>(file);
    return IsOpen();
}

void File::Close() {
    if (!IsOpen()) return;
    CloseHandle(AsHandle(handle_));
    handle_ = kNoHandle;
}

int64_t File::Read(void* buffer, size_t size) {
    DWORD got = 0;
    if (!IsOpen() || !ReadFile(AsHandle(handle_), buffer, static_cast<DWORD>(size), &got, nullptr)) return -1;
    return got;
}

bool File::Write(const void* data, size_t size) {
    DWORD put = 0;
    return IsOpen() && WriteFile(AsHandle(handle_), data, static_cast<DWORD>(size), &put, nullptr) && put == size;
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

bool File::Sync() { return IsOpen() && FlushFileBuffers(AsHandle(handle_)); }

bool MoveFileOver(const std::string& source, const std::string& target) {
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

void RemoveFileQuietly(const std::string& path) { DeleteFileA(path.c_str()); }

}  // namespace platform

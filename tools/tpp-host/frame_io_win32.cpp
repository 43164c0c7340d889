#include "tools/tpp-host/frame_io.h"

#include "tools/tpp-host/console_text.h"
#include "tools/tpp-host/interrupt.h"
#include "tools/tpp-host/read_thread_win32.h"

namespace {

// One ReadFile or WriteFile call moves at most this much; pipes deliver
// less anyway.
constexpr DWORD kMaxTransfer = 1u << 20;

// A console, not just any character device: /dev/null and /dev/zero under
// Wine are character devices too, and fine to read or write.
bool IsTerminal(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    if (GetFileType(a) != FILE_TYPE_DISK || GetFileType(b) != FILE_TYPE_DISK) return false;
    if (!GetFileInformationByHandle(a, &infoA) || !GetFileInformationByHandle(b, &infoB)) return false;
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber && infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

void CloseOwned(HANDLE& handle, bool owned) {
    if (owned && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

}  // namespace

FrameReader::FrameReader() = default;

FrameReader::~FrameReader() {
    // A read left behind by an interrupt still uses the handle.
    if (readThread_ && readThread_->leftBehind()) owned_ = false;
    readThread_.reset();
    CloseOwned(handle_, owned_);
}

bool FrameReader::Open(const std::string& path, std::string& error) {
    if (path == "-") {
        name_ = "standard input";
        handle_ = GetStdHandle(STD_INPUT_HANDLE);
        if (handle_ == INVALID_HANDLE_VALUE || handle_ == nullptr) {
            error = "there is no standard input";
            return false;
        }
        if (IsTerminal(handle_)) {
            error = "standard input is a terminal: give --input FILE or pipe raw frames in";
            return false;
        }
        StartReadThread();
        return true;
    }
    name_ = path;
    handle_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        error = "cannot open " + path + ": " + SystemErrorText(GetLastError());
        return false;
    }
    owned_ = true;
    StartReadThread();
    return true;
}

void FrameReader::StartReadThread() {
    // A disk file never keeps a read waiting.
    if (GetFileType(handle_) != FILE_TYPE_DISK) readThread_ = ReadThread::Start(handle_, kMaxTransfer);
}

FrameReader::Result FrameReader::Read(uint8_t* frame, size_t bytes, size_t& got, std::string& error) {
    got = 0;
    while (got < bytes) {
        const size_t left = bytes - got;
        const DWORD chunk = left < kMaxTransfer ? static_cast<DWORD>(left) : kMaxTransfer;
        DWORD read = 0, code = 0;
        if (readThread_) {
            if (!readThread_->Read(frame + got, chunk, read, code)) return Result::Interrupted;
        } else if (Interrupted()) {
            return Result::Interrupted;
        } else if (!ReadFile(handle_, frame + got, chunk, &read, nullptr)) {
            code = GetLastError();
        }
        if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) break;  // the writer closed its end
        if (code != 0) {
            error = "cannot read " + name_ + ": " + SystemErrorText(code);
            return Result::Failed;
        }
        if (read == 0) break;
        got += read;
    }
    if (got == bytes) return Result::Frame;
    return got == 0 ? Result::End : Result::Truncated;
}

FrameWriter::~FrameWriter() { CloseOwned(handle_, owned_); }

bool FrameWriter::Open(const std::string& path, const FrameReader& input, std::string& error) {
    if (path == "-") {
        name_ = "standard output";
        handle_ = GetStdHandle(STD_OUTPUT_HANDLE);
        if (handle_ == INVALID_HANDLE_VALUE || handle_ == nullptr) {
            error = "there is no standard output";
            return false;
        }
        if (IsTerminal(handle_)) {
            error = "standard output is a terminal: give --output FILE or pipe the frames on";
            return false;
        }
        return true;
    }
    name_ = path;
    // Opened without truncating first, so that the input is never emptied
    // by being named as the output too.
    handle_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        error = "cannot open " + path + " for writing: " + SystemErrorText(GetLastError());
        return false;
    }
    owned_ = true;
    if (SameFile(handle_, input.handle())) {
        error = "the output " + path + " is the input file; give another one";
        return false;
    }
    if (!SetEndOfFile(handle_)) {
        error = "cannot empty " + path + ": " + SystemErrorText(GetLastError());
        return false;
    }
    return true;
}

bool FrameWriter::Write(const uint8_t* frame, size_t bytes, std::string& error) {
    size_t done = 0;
    while (done < bytes) {
        const size_t left = bytes - done;
        DWORD written = 0;
        if (!WriteFile(handle_, frame + done, left < kMaxTransfer ? static_cast<DWORD>(left) : kMaxTransfer, &written,
                       nullptr) ||
            written == 0) {
            error = "cannot write " + name_ + ": " + SystemErrorText(GetLastError());
            return false;
        }
        done += written;
    }
    return true;
}

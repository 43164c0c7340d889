#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "tools/tpp-host/console_text.h"
#include "tools/tpp-host/frame_io.h"
#include "tools/tpp-host/interrupt.h"

namespace {

constexpr size_t kMaxTransfer = 1u << 20;

std::string ErrorText() { return std::strerror(errno); }

bool SameFile(int a, int b) {
    struct stat infoA, infoB;
    if (::fstat(a, &infoA) != 0 || ::fstat(b, &infoB) != 0) return false;
    return S_ISREG(infoA.st_mode) && infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

// Waits until the input has data or its end; false when an interrupt
// comes first. An input that cannot be polled goes on to read(), which
// then says what is wrong.
bool AwaitInput(int fd) {
    pollfd waits[2] = {{fd, POLLIN, 0}, {InterruptDescriptor(), POLLIN, 0}};
    while (!Interrupted()) {
        if (::poll(waits, 2, -1) < 0 && errno != EINTR) return true;
        if (waits[0].revents != 0 && !Interrupted()) return true;
    }
    return false;
}

void CloseOwned(int& fd, bool owned) {
    if (owned && fd >= 0) ::close(fd);
    fd = kNoStream;
}

}  // namespace

FrameReader::FrameReader() = default;

FrameReader::~FrameReader() { CloseOwned(handle_, owned_); }

bool FrameReader::Open(const std::string& path, std::string& error) {
    if (path == "-") {
        name_ = "standard input";
        handle_ = STDIN_FILENO;
        if (IsTerminal(stdin)) {
            error = "standard input is a terminal: give --input FILE or pipe raw frames in";
            return false;
        }
        return true;
    }
    name_ = path;
    handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle_ < 0) {
        handle_ = kNoStream;
        error = "cannot open " + path + ": " + ErrorText();
        return false;
    }
    owned_ = true;
    return true;
}

FrameReader::Result FrameReader::Read(uint8_t* frame, size_t bytes, size_t& got, std::string& error) {
    got = 0;
    while (got < bytes) {
        if (!AwaitInput(handle_)) return Result::Interrupted;
        const size_t left = bytes - got;
        const ssize_t read = ::read(handle_, frame + got, left < kMaxTransfer ? left : kMaxTransfer);
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) {
            error = "cannot read " + name_ + ": " + ErrorText();
            return Result::Failed;
        }
        if (read == 0) break;
        got += static_cast<size_t>(read);
    }
    if (got == bytes) return Result::Frame;
    return got == 0 ? Result::End : Result::Truncated;
}

FrameWriter::~FrameWriter() { CloseOwned(handle_, owned_); }

bool FrameWriter::Open(const std::string& path, const FrameReader& input, std::string& error) {
    // A reader that goes away is a write error like any other, so that the
    // plug-in still gets StreamStop and Exit (and saves its settings).
    std::signal(SIGPIPE, SIG_IGN);
    if (path == "-") {
        name_ = "standard output";
        handle_ = STDOUT_FILENO;
        if (IsTerminal(stdout)) {
            error = "standard output is a terminal: give --output FILE or pipe the frames on";
            return false;
        }
        return true;
    }
    name_ = path;
    // Opened without truncating first, so that the input is never emptied
    // by being named as the output too.
    handle_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (handle_ < 0) {
        handle_ = kNoStream;
        error = "cannot open " + path + " for writing: " + ErrorText();
        return false;
    }
    owned_ = true;
    if (SameFile(handle_, input.handle())) {
        error = "the output " + path + " is the input file; give another one";
        return false;
    }
    struct stat info;
    if (::fstat(handle_, &info) == 0 && S_ISREG(info.st_mode) && ::ftruncate(handle_, 0) != 0) {
        error = "cannot empty " + path + ": " + ErrorText();
        return false;
    }
    return true;
}

bool FrameWriter::Write(const uint8_t* frame, size_t bytes, std::string& error) {
    size_t done = 0;
    while (done < bytes) {
        const size_t left = bytes - done;
        const ssize_t written = ::write(handle_, frame + done, left < kMaxTransfer ? left : kMaxTransfer);
        if (written < 0 && errno == EINTR) continue;  // the frame in hand is written in full
        if (written <= 0) {
            error = "cannot write " + name_ + ": " + ErrorText();
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

// Reads that an interrupt can leave behind. Wine cannot cancel a ReadFile
// that waits on a pipe (CancelSynchronousIo finds nothing to cancel), so
// each read runs on a thread of its own while the caller waits for it or
// for an interrupt. The thread reads into a buffer that it shares: a read
// left behind may still complete into it after its caller has gone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

class ReadThread {
public:
    // Null when no thread can be made; the caller then reads itself.
    static std::unique_ptr<ReadThread> Start(HANDLE source, DWORD maxBytes);

    ReadThread(const ReadThread&) = delete;
    ReadThread& operator=(const ReadThread&) = delete;
    // Tells the thread to end once it is idle; it does not wait for it.
    ~ReadThread();

    // One ReadFile of at most maxBytes: true with the bytes in out, their
    // count in got and the error code in error (0 for success); false when
    // an interrupt came first, and for every read after that.
    bool Read(uint8_t* out, DWORD bytes, DWORD& got, DWORD& error);

    // A read was left behind: the thread may still be using the source.
    bool leftBehind() const { return leftBehind_; }

private:
    struct Shared;
    explicit ReadThread(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    static DWORD WINAPI Loop(void* shared);

    std::shared_ptr<Shared> shared_;
    bool leftBehind_ = false;
};

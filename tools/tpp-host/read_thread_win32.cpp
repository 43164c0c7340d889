#include "tools/tpp-host/read_thread_win32.h"

#include <atomic>
#include <cstring>
#include <vector>

#include "tools/tpp-host/interrupt.h"

// What the caller and the thread share; the last of the two to let go
// frees it. The events order every access to the other fields.
struct ReadThread::Shared {
    HANDLE source = nullptr;
    HANDLE requested = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::vector<uint8_t> buffer;
    DWORD bytes = 0, got = 0, error = 0;
    std::atomic<bool> stop{false};

    ~Shared() {
        if (requested) CloseHandle(requested);
        if (done) CloseHandle(done);
    }
};

DWORD WINAPI ReadThread::Loop(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
    Shared& shared = **owned;
    for (;;) {
        WaitForSingleObject(shared.requested, INFINITE);
        if (shared.stop) return 0;
        shared.got = 0;
        shared.error = ReadFile(shared.source, shared.buffer.data(), shared.bytes, &shared.got, nullptr)
                           ? 0
                           : GetLastError();
        SetEvent(shared.done);
    }
}

std::unique_ptr<ReadThread> ReadThread::Start(HANDLE source, DWORD maxBytes) {
    auto shared = std::make_shared<Shared>();
    if (!shared->requested || !shared->done) return nullptr;
    shared->source = source;
    shared->buffer.resize(maxBytes);
    auto* threadsCopy = new std::shared_ptr<Shared>(shared);
    HANDLE thread = CreateThread(nullptr, 0, Loop, threadsCopy, 0, nullptr);
    if (!thread) {
        delete threadsCopy;
        return nullptr;
    }
    CloseHandle(thread);
    return std::unique_ptr<ReadThread>(new ReadThread(std::move(shared)));
}

ReadThread::~ReadThread() {
    shared_->stop = true;
    SetEvent(shared_->requested);
}

bool ReadThread::Read(uint8_t* out, DWORD bytes, DWORD& got, DWORD& error) {
    if (leftBehind_) return false;
    Shared& shared = *shared_;
    shared.bytes = bytes < shared.buffer.size() ? bytes : static_cast<DWORD>(shared.buffer.size());
    SetEvent(shared.requested);
    // Without an interrupt event (none could be made) only the read ends the wait.
    const HANDLE waits[2] = {shared.done, InterruptEvent()};
    if (WaitForMultipleObjects(waits[1] ? 2 : 1, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        leftBehind_ = true;
        return false;
    }
    got = shared.got;
    error = shared.error;
    std::memcpy(out, shared.buffer.data(), got);
    return true;
}

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "tools/tpp-host/interrupt.h"

namespace {

volatile sig_atomic_t caughtSignal = 0;
int wakePipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM};
constexpr size_t kSignalCount = sizeof kSignals / sizeof kSignals[0];
volatile sig_atomic_t handled[kSignalCount] = {};  // which of kSignals have our handler

void OnSignal(int signal) {
    const int savedErrno = errno;
    if (caughtSignal == 0) caughtSignal = signal;
    // The pipe wakes a poll that started just before the flag was set;
    // should the write fail, the flag still tells.
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    // The next interrupt takes the default way out.
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    for (size_t i = 0; i < kSignalCount; ++i)
        if (handled[i]) ::sigaction(kSignals[i], &fallback, nullptr);
    errno = savedErrno;
}

}  // namespace

void CatchInterrupts() {
    if (wakePipe[0] < 0 && ::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe[0] = wakePipe[1] = -1;
    for (size_t i = 0; i < kSignalCount; ++i) {
        struct sigaction current = {};
        if (::sigaction(kSignals[i], nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        // Without SA_RESTART a blocking call returns EINTR instead of
        // going on waiting.
        struct sigaction action = {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
        handled[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

bool Interrupted() { return caughtSignal != 0; }

std::string InterruptName() {
    switch (caughtSignal) {
        case SIGINT: return "SIGINT";
        case SIGTERM: return "SIGTERM";
        default: return "no signal";
    }
}

int InterruptExitStatus() { return 128 + caughtSignal; }

void EndAsInterrupted() {
    const int signal = caughtSignal;
    if (signal == 0) return;
    // What stdio still holds would die with the process.
    std::fflush(nullptr);
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
}

int InterruptDescriptor() { return wakePipe[0]; }

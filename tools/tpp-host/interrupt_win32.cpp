#include <atomic>

#include "tools/tpp-host/interrupt.h"

namespace {

constexpr LONG kNone = -1;
volatile LONG caughtEvent = kNone;
std::atomic<HWND> windowToClose{nullptr};

bool AsksToEnd(DWORD event) {
    return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

// Runs on a thread of its own that the system starts for each event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && !AsksToEnd(event)) return FALSE;
    // A second interrupt goes on to the system's handler, which ends the
    // process at once.
    if (InterlockedCompareExchange(&caughtEvent, static_cast<LONG>(event), kNone) != kNone) return FALSE;
    SetEvent(InterruptEvent());
    if (HWND window = windowToClose.load()) PostMessageW(window, WM_CLOSE, 0, 0);
    // After these the system ends the process as soon as the handler
    // returns: it waits here until the host has finished and exits.
    if (AsksToEnd(event)) Sleep(INFINITE);
    return TRUE;
}

}  // namespace

void CatchInterrupts() {
    InterruptEvent();
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool Interrupted() { return caughtEvent != kNone; }

std::string InterruptName() {
    switch (caughtEvent) {
        case CTRL_C_EVENT: return "Ctrl-C";
        case CTRL_BREAK_EVENT: return "Ctrl-Break";
        case CTRL_CLOSE_EVENT: return "the console's close event";
        case CTRL_LOGOFF_EVENT: return "logoff";
        case CTRL_SHUTDOWN_EVENT: return "shutdown";
        default: return "no event";
    }
}

// As a shell reports the signals that stand for them.
int InterruptExitStatus() { return AsksToEnd(static_cast<DWORD>(caughtEvent)) ? 143 : 130; }

// The console's events end no process by themselves: the host exits with
// the status that InterruptExitStatus gives.
void EndAsInterrupted() {}

HANDLE InterruptEvent() {
    static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

void CloseOnInterrupt(HWND window) {
    windowToClose.store(window);
    if (window && Interrupted()) PostMessageW(window, WM_CLOSE, 0, 0);
}

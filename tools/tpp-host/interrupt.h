// Ctrl-C and requests to end the host (SIGINT and SIGTERM; on Windows the
// console's Ctrl-C, Ctrl-Break, close, logoff and shutdown events) turned
// into a flag that the host's loops check, so that an interrupted run still
// ends the plug-in in order (StreamStop, then Exit, which saves its
// settings) and prints its summary.
#pragma once

#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

// Installs the handlers. A signal that the host was started with ignored
// (a background job of a shell without job control) stays ignored. A second
// interrupt ends the process at once, should the first one be stuck
// waiting for a reader that takes no more frames.
void CatchInterrupts();

bool Interrupted();

// What came, for messages ("SIGINT", "Ctrl-C"), and the exit status that
// it asks for: 130 for an interrupt, 143 for a request to end.
std::string InterruptName();
int InterruptExitStatus();

// Called once the host has let go of everything (the plug-in unloaded,
// files closed): natively the process then dies of the signal that came,
// by its default action, so that a caller tells it from an exit status (a
// shell loop around the host stops, as it does for any well-behaved
// tool). Returns only where there is no such death: under Windows, whose
// host exits with InterruptExitStatus().
void EndAsInterrupted();

#if defined(_WIN32)
// A manual-reset event that an interrupt sets, for waits that it must end.
HANDLE InterruptEvent();
// The window that an interrupt closes (window mode), or null.
void CloseOnInterrupt(HWND window);
#else
// A descriptor that becomes readable at an interrupt, for polls that it
// must end; -1 before CatchInterrupts.
int InterruptDescriptor();
#endif

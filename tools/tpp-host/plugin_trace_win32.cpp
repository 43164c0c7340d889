#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "tools/tpp-host/plugin_trace.h"

// The system's protocol for debug output without a debugger: a writer
// waits for "buffer ready", puts its process id and text into the shared
// buffer and signals "data ready"; the monitor shows the text and signals
// "buffer ready" again. Only this process's lines are shown: another
// monitor of the session may already hold the names, and then the host
// shows nothing rather than take them over.
struct PluginTrace::Monitor {
    static constexpr DWORD kBufferBytes = 4096;

    explicit Monitor(Show show) : show(std::move(show)) {}

    Show show;
    HANDLE mapping = nullptr, bufferReady = nullptr, dataReady = nullptr, stop = nullptr, thread = nullptr;
    const char* view = nullptr;

    bool Start() {
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferBytes, "DBWIN_BUFFER");
        if (!mapping || GetLastError() == ERROR_ALREADY_EXISTS) return false;
        view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
        bufferReady = CreateEventA(nullptr, FALSE, TRUE, "DBWIN_BUFFER_READY");
        dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
        stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!view || !bufferReady || !dataReady || !stop) return false;
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        return thread != nullptr;
    }

    // Shows one line, if it is this process's.
    void ShowLine() const {
        DWORD pid;
        std::memcpy(&pid, view, sizeof pid);
        if (pid != GetCurrentProcessId()) return;
        std::string text(view + sizeof pid, strnlen(view + sizeof pid, kBufferBytes - sizeof pid));
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        show(text);
    }

    static DWORD WINAPI Run(void* self) {
        Monitor& monitor = *static_cast<Monitor*>(self);
        const HANDLE waits[2] = {monitor.stop, monitor.dataReady};
        while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            monitor.ShowLine();
            SetEvent(monitor.bufferReady);
        }
        return 0;
    }

    ~Monitor() {
        if (thread) {
            SetEvent(stop);
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
            if (WaitForSingleObject(dataReady, 0) == WAIT_OBJECT_0) ShowLine();  // a line written as it stopped
        }
        for (HANDLE handle : {stop, dataReady, bufferReady}) {
            if (handle) CloseHandle(handle);
        }
        if (view) UnmapViewOfFile(view);
        if (mapping) CloseHandle(mapping);
    }
};

PluginTrace::PluginTrace(Show show) {
    // The plug-in reads the variable through the C runtime the host shares.
    if (!std::getenv("TPP_TRACE")) _putenv("TPP_TRACE=1");
    auto monitor = std::make_unique<Monitor>([this, show = std::move(show)](const std::string& line) {
        Keep(line);
        show(line);
    });
    if (monitor->Start()) monitor_ = std::move(monitor);
}

// A writer returns once its line is in the buffer: stopping the monitor
// shows the one line that may still wait there.
std::vector<std::string> PluginTrace::Finish() {
    monitor_.reset();
    const std::lock_guard<std::mutex> lock(keptLock_);
    return kept_;
}

PluginTrace::~PluginTrace() { Finish(); }

// A loaded plug-in driven through its lifecycle in host order: Init and
// StreamStart, frames, then StreamStop and Exit exactly once, however the
// host leaves.
#pragma once

#include <cstdint>

#include "plugin/host_interface.h"

class PluginSession {
public:
    explicit PluginSession(const PluginRecord& record) : record_(record) {}
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;
    ~PluginSession() { Finish(); }

    // Init, then StreamStart with the stream's format; returns what
    // StreamStart returned.
    int32_t Start(int32_t width, int32_t height, int32_t pixelFormat);
    int32_t ProcessFrame(uint8_t* pixels);
    void ShowSettings(void* ownerWindow);
    // StreamStop and Exit; later calls do nothing.
    void Finish();

    bool running() const { return running_; }

private:
    const PluginRecord& record_;
    bool running_ = false;
};

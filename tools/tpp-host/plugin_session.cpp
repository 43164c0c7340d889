#include "tools/tpp-host/plugin_session.h"

int32_t PluginSession::Start(int32_t width, int32_t height, int32_t pixelFormat) {
    record_.Init();
    running_ = true;
    const StreamFormat format = {width, height, 0, pixelFormat};
    return record_.StreamStart(&format);
}

int32_t PluginSession::ProcessFrame(uint8_t* pixels) {
    FrameRecord frame = {pixels};
    return record_.ProcessFrame(&frame);
}

void PluginSession::ShowSettings(void* ownerWindow) {
    const HostWindowRecord host = {ownerWindow};
    record_.ShowSettings(&host);
}

void PluginSession::Finish() {
    if (!running_) return;
    running_ = false;
    record_.StreamStop();
    record_.Exit();
}

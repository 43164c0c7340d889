// The reference host: loads a plug-in as a TV application does and drives
// its whole lifecycle on frames it makes itself.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "tools/tpp-host/console_text.h"
#include "tools/tpp-host/host_options.h"
#include "tools/tpp-host/plugin_library.h"

namespace {

// A horizontal luma ramp in YUY2, or a colour ramp in RGB24.
std::vector<uint8_t> MakeFrame(const HostOptions& options) {
    const size_t w = static_cast<size_t>(options.width), h = static_cast<size_t>(options.height);
    std::vector<uint8_t> frame;
    if (options.pixelFormat == 0) {
        frame.resize(w * h * 2);
        for (size_t y = 0; y < h; ++y)
            for (size_t x = 0; x < w; ++x) {
                frame[(y * w + x) * 2] = static_cast<uint8_t>(16 + x * 219 / w);
                frame[(y * w + x) * 2 + 1] = 128;
            }
    } else {
        frame.resize(w * h * 3);
        for (size_t y = 0; y < h; ++y)
            for (size_t x = 0; x < w; ++x) {
                uint8_t* p = &frame[(y * w + x) * 3];
                p[0] = static_cast<uint8_t>(x * 255 / w);
                p[1] = static_cast<uint8_t>(y * 255 / h);
                p[2] = 96;
            }
    }
    return frame;
}

}  // namespace

int main(int argc, char** argv) {
    SetConsoleOutputCP(CP_UTF8);
    HostOptions options;
    std::string error;
    if (!ParseHostOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tpp-host: %s\n%s", error.c_str(), kHostUsage);
        return 2;
    }
    PluginLibrary plugin;
    if (!plugin.Load(options.pluginPath, error)) {
        std::fprintf(stderr, "tpp-host: %s\n", error.c_str());
        return 1;
    }
    const PluginRecord& record = *plugin.record();
    std::printf("version: %d\n", plugin.version());
    std::printf("name: %s\n", Cp1251ToUtf8(record.name).c_str());
    std::printf("description: %s\n", Cp1251ToUtf8(record.description).c_str());

    record.Init();
    std::printf("Init: done\n");
    StreamFormat format = {options.width, options.height, 0, options.pixelFormat};
    std::printf("StreamStart: %d\n", record.StreamStart(&format));

    std::vector<uint8_t> pixels = MakeFrame(options);
    FrameRecord frame = {pixels.data()};
    int64_t ones = 0;
    for (int64_t i = 0; i < options.frames; ++i) ones += record.ProcessFrame(&frame) == 1;
    std::printf("ProcessFrame: %lld frames, %lld returned 1, %lld returned 0\n",
                static_cast<long long>(options.frames), static_cast<long long>(ones),
                static_cast<long long>(options.frames - ones));

    record.StreamStop();
    std::printf("StreamStop: done\n");
    record.Exit();
    std::printf("Exit: done\n");
    return 0;
}

// The timing host: ProcessFrame of a real plug-in library (the DLL under
// Wine, the .so natively) through its record, as a host calls it, on one
// frame buffer handed over again and again. Which frames these are, a
// caption's first, a held one or a gap frame, the settings file beside this
// program decides: bench/frame_timing.sh writes it for each.
//
//   tpp-frame-timing --plugin PATH [--size WxH] [--format yuy2|rgb24] [--seconds S]
//
// After a first frame (the first caption) it times frames for S seconds
// (default 2) and prints one line: the frames, the CPU and wall nanoseconds
// per frame, and the CPU nanoseconds of a warm memcpy of the frame's bytes
// and of a memcmp of the frame with an equal copy.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/frame_timing/thread_clock.h"
#include "tools/tpp-host/plugin_library.h"
#include "tools/tpp-host/plugin_session.h"

namespace {

constexpr char kUsage[] = "usage: tpp-frame-timing --plugin PATH [--size WxH] [--format yuy2|rgb24] [--seconds S]\n";

struct Options {
    std::string plugin;
    int32_t width = 1920, height = 1080;
    int32_t pixelFormat = 0;
    double seconds = 2;
};

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (flag == "--plugin") {
            options.plugin = value;
        } else if (flag == "--size") {
            if (std::sscanf(value, "%dx%d", &options.width, &options.height) != 2) return false;
        } else if (flag == "--format" && (std::strcmp(value, "yuy2") == 0 || std::strcmp(value, "rgb24") == 0)) {
            options.pixelFormat = std::strcmp(value, "rgb24") == 0;
        } else if (flag == "--seconds") {
            options.seconds = std::atof(value);
        } else {
            return false;
        }
    }
    return !options.plugin.empty() && options.width > 0 && options.height > 0 && options.seconds > 0 &&
           (options.pixelFormat == 1 || options.width % 2 == 0);
}

// Tells the compiler that memory was read and written here, or that a value
// is used, so that a copy or a comparison nobody reads is still made.
inline void TouchMemory(void* p) { asm volatile("" : : "r"(p) : "memory"); }
inline void Use(int value) { asm volatile("" : : "r"(value)); }

// Calls body() in doubling batches until seconds of wall time have passed;
// returns the calls and the CPU and wall nanoseconds they took.
template <class Body>
void TimeFor(double seconds, Body body, double& calls, double& cpu, double& wall) {
    const double cpuStart = ThreadCpuNanoseconds(), wallStart = WallNanoseconds();
    calls = 0;
    for (uint64_t batch = 1; WallNanoseconds() - wallStart < seconds * 1e9; batch *= 2) {
        for (uint64_t i = 0; i < batch; ++i) body();
        calls += double(batch);
    }
    cpu = ThreadCpuNanoseconds() - cpuStart;
    wall = WallNanoseconds() - wallStart;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    PluginLibrary library;
    std::string error;
    if (!library.Load(options.plugin, error)) {
        std::fprintf(stderr, "tpp-frame-timing: %s\n", error.c_str());
        return 1;
    }
    const PluginRecord& record = *library.record();
    PluginSession session(record);
    session.Start(options.width, options.height, options.pixelFormat);
    std::vector<uint8_t> pixels(size_t(options.width) * options.height * (options.pixelFormat == 0 ? 2 : 3), 0x50);
    FrameRecord frame = {pixels.data()};
    record.ProcessFrame(&frame);  // the first caption

    double frames = 0, cpu = 0, wall = 0;
    TimeFor(
        options.seconds, [&] { record.ProcessFrame(&frame); }, frames, cpu, wall);
    session.Finish();

    std::vector<uint8_t> copy(pixels.size());
    double copies = 0, copyCpu = 0, copyWall = 0;
    const auto copyFrame = [&] {
        std::memcpy(copy.data(), pixels.data(), pixels.size());
        TouchMemory(copy.data());
    };
    TimeFor(options.seconds / 4, copyFrame, copies, copyCpu, copyWall);
    // What a host that compares each frame with its copy spends on one the
    // plug-in left alone.
    double compares = 0, compareCpu = 0, compareWall = 0;
    const auto compareFrame = [&] {
        Use(std::memcmp(copy.data(), pixels.data(), pixels.size()));
        TouchMemory(copy.data());
    };
    TimeFor(options.seconds / 4, compareFrame, compares, compareCpu, compareWall);

    std::printf("frames=%.0f cpu_ns=%.1f wall_ns=%.1f memcpy_cpu_ns=%.1f memcmp_cpu_ns=%.1f\n", frames, cpu / frames,
                wall / frames, copyCpu / copies, compareCpu / compares);
    return 0;
}

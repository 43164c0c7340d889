#include "tools/tpp-host/host_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

// The Linux build has no window to play frames in, and its plug-in is a
// shared library.
const char kHostUsage[] =
    "usage: tpp-host --plugin PATH [options]\n"
#if defined(_WIN32)
    "  --plugin PATH          the plug-in DLL to load\n"
#else
    "  --plugin PATH          the plug-in to load (a shared library, such as TPP_25Frame.so)\n"
#endif
    "  --info                 print the plug-in's version, name and description\n"
    "  --size WxH             frame size (default 720x576)\n"
    "  --format yuy2|rgb24    pixel format (default yuy2; rgb24 is B,G,R, rows bottom-up)\n"
    "  --frames N             stop after N frames (default: the whole input)\n"
    "  --input FILE|-         raw frames to read (default -: standard input)\n"
    "  --output FILE|-        where the processed frames go (default -: standard output)\n"
    "  --changed-frames FILE  list the numbers (from 1) of the frames the plug-in changed\n"
#if defined(_WIN32)
    "  --window               play the frames in a window with the plug-in's settings\n"
    "  --rate FPS             frames per second in the window (default 25)\n"
#endif
    "  --help                 this text\n";

namespace {

// A 32-bit process holds the frame twice and the plug-in a 32-bit canvas
// of it; past this size that no longer fits its address space.
constexpr uint64_t kMaxFrameBytes = uint64_t{128} << 20;

bool ParseCount(const char* text, int64_t max, int64_t& value) {
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < 0 || parsed > max) return false;
    value = parsed;
    return true;
}

using OptionHandler = bool (*)(HostOptions& options, const char* value, std::string& error);

struct OptionRow {
    const char* name;
    bool takesValue;
    OptionHandler handle;
};

bool SetPlugin(HostOptions& o, const char* value, std::string&) {
    o.pluginPath = value;
    return true;
}

bool SetInfo(HostOptions& o, const char*, std::string&) {
    o.mode = HostMode::Info;
    return true;
}

bool SetWindow(HostOptions& o, const char*, std::string&) {
    o.mode = HostMode::Window;
    return true;
}

bool SetHelp(HostOptions& o, const char*, std::string&) {
    o.mode = HostMode::Help;
    return true;
}

bool SetSize(HostOptions& o, const char* value, std::string& error) {
    const char* x = std::strchr(value, 'x');
    int64_t w = 0, h = 0;
    if (!x || !ParseCount(std::string(value, x).c_str(), 1 << 16, w) || !ParseCount(x + 1, 1 << 16, h) || w == 0 ||
        h == 0) {
        error = std::string("bad size (want WxH, 1..65536 each): ") + value;
        return false;
    }
    o.width = static_cast<int32_t>(w);
    o.height = static_cast<int32_t>(h);
    return true;
}

bool SetFormat(HostOptions& o, const char* value, std::string& error) {
    if (std::strcmp(value, "yuy2") == 0) {
        o.pixelFormat = 0;
    } else if (std::strcmp(value, "rgb24") == 0) {
        o.pixelFormat = 1;
    } else {
        error = std::string("unknown pixel format: ") + value + " (yuy2 or rgb24)";
        return false;
    }
    return true;
}

bool SetFrames(HostOptions& o, const char* value, std::string& error) {
    if (!ParseCount(value, INT64_MAX, o.frames)) {
        error = std::string("bad frame count: ") + value;
        return false;
    }
    return true;
}

bool SetRate(HostOptions& o, const char* value, std::string& error) {
    int64_t rate = 0;
    if (!ParseCount(value, 1000, rate) || rate == 0) {
        error = std::string("bad rate (want 1..1000 frames per second): ") + value;
        return false;
    }
    o.rate = static_cast<int32_t>(rate);
    return true;
}

bool SetInput(HostOptions& o, const char* value, std::string&) {
    o.input = value;
    return true;
}

bool SetOutput(HostOptions& o, const char* value, std::string&) {
    o.output = value;
    return true;
}

bool SetChangedFrames(HostOptions& o, const char* value, std::string&) {
    o.changedFramesPath = value;
    return true;
}

const OptionRow kOptions[] = {
    {"--plugin", true, SetPlugin},  {"--info", false, SetInfo},
    {"--size", true, SetSize},      {"--format", true, SetFormat},
    {"--frames", true, SetFrames},  {"--input", true, SetInput},
    {"--output", true, SetOutput},  {"--changed-frames", true, SetChangedFrames},
    {"--window", false, SetWindow}, {"--rate", true, SetRate},
    {"--help", false, SetHelp},
};

bool CheckCombination(const HostOptions& o, std::string& error) {
    if (o.pluginPath.empty()) {
        error = "no plug-in given (--plugin PATH)";
    } else if (o.pixelFormat == 0 && o.width % 2 != 0) {
        error = "YUY2 needs an even frame width, not " + std::to_string(o.width);
    } else if (FrameBytes(o) > kMaxFrameBytes) {
        error = "frame too large: " + std::to_string(o.width) + "x" + std::to_string(o.height);
    } else if (o.mode == HostMode::Window && o.output != "-") {
        error = "--output is for batch mode; the window shows the frames";
    } else {
        return true;
    }
    return false;
}

}  // namespace

uint64_t FrameBytes(const HostOptions& options) {
    const uint64_t bytesPerPixel = options.pixelFormat == 0 ? 2 : 3;
    return static_cast<uint64_t>(options.width) * static_cast<uint64_t>(options.height) * bytesPerPixel;
}

bool ParseHostOptions(int argc, char** argv, HostOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const OptionRow* row = nullptr;
        for (const OptionRow& candidate : kOptions)
            if (std::strcmp(argv[i], candidate.name) == 0) row = &candidate;
        if (!row) {
            error = std::string("unknown option: ") + argv[i];
            return false;
        }
        const char* value = nullptr;
        if (row->takesValue) {
            if (i + 1 >= argc) {
                error = std::string("missing value after ") + row->name;
                return false;
            }
            value = argv[++i];
        }
        if (!row->handle(options, value, error)) return false;
    }
    return options.mode == HostMode::Help || CheckCombination(options, error);
}

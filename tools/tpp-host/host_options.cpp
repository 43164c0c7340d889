#include "tools/tpp-host/host_options.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

const char kHostUsage[] =
    "usage: tpp-host --plugin PATH [--size WxH] [--format yuy2|rgb24] [--frames N]\n";

namespace {

bool ParseCount(const char* text, int64_t max, int64_t& value) {
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < 0 || parsed > max) return false;
    value = parsed;
    return true;
}

bool ParseSize(const char* text, int32_t& width, int32_t& height) {
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    const std::string w(text, x);
    int64_t wv = 0, hv = 0;
    if (!ParseCount(w.c_str(), 1 << 16, wv) || !ParseCount(x + 1, 1 << 16, hv)) return false;
    if (wv == 0 || hv == 0) return false;
    width = static_cast<int32_t>(wv);
    height = static_cast<int32_t>(hv);
    return true;
}

}  // namespace

bool ParseHostOptions(int argc, char** argv, HostOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--plugin" && hasValue) {
            options.pluginPath = argv[++i];
        } else if (arg == "--frames" && hasValue) {
            if (!ParseCount(argv[++i], INT64_MAX, options.frames)) {
                error = std::string("bad frame count: ") + argv[i];
                return false;
            }
        } else if (arg == "--size" && hasValue) {
            if (!ParseSize(argv[++i], options.width, options.height)) {
                error = std::string("bad size (want WxH, 1..65536 each): ") + argv[i];
                return false;
            }
        } else if (arg == "--format" && hasValue) {
            const std::string format = argv[++i];
            if (format == "yuy2") {
                options.pixelFormat = 0;
            } else if (format == "rgb24") {
                options.pixelFormat = 1;
            } else {
                error = "unknown pixel format: " + format + " (yuy2 or rgb24)";
                return false;
            }
        } else if (arg == "--plugin" || arg == "--frames" || arg == "--size" || arg == "--format") {
            error = "missing value after " + arg;
            return false;
        } else {
            error = "unknown option: " + arg;
            return false;
        }
    }
    if (options.pluginPath.empty()) {
        error = "no plug-in given (--plugin PATH)";
        return false;
    }
    if (options.pixelFormat == 0 && options.width % 2 != 0) {
        error = "YUY2 needs an even frame width";
        return false;
    }
    return true;
}

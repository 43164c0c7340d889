// Command line of the reference host.
#pragma once

#include <cstdint>
#include <string>

struct HostOptions {
    std::string pluginPath;
    int32_t width = 720;
    int32_t height = 576;
    int32_t pixelFormat = 0;  // 0 YUY2, 1 RGB24
    int64_t frames = 25;
};

// Fills options from argv; on a bad command line returns false and puts a
// message for the user into error.
bool ParseHostOptions(int argc, char** argv, HostOptions& options, std::string& error);

extern const char kHostUsage[];

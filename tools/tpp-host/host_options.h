// Command line of the reference host.
#pragma once

#include <cstdint>
#include <string>

enum class HostMode { Batch, Window, Info, Help };

struct HostOptions {
    HostMode mode = HostMode::Batch;
    std::string pluginPath;
    int32_t width = 720;
    int32_t height = 576;
    int32_t pixelFormat = 0;  // 0 YUY2, 1 RGB24 bottom-up
    int64_t frames = -1;      // -1: until the input ends
    std::string input = "-";  // "-" is standard input
    std::string output = "-";
    std::string changedFramesPath;  // empty: not written
    int32_t rate = 25;              // frames per second in the window
};

// Fills options from argv; on a bad command line returns false and puts a
// message for the user into error.
bool ParseHostOptions(int argc, char** argv, HostOptions& options, std::string& error);

// Bytes of one frame of the options' size and format (64-bit: the size
// limits are checked against it).
uint64_t FrameBytes(const HostOptions& options);

extern const char kHostUsage[];

// Driving the element in tests: pictures in each format, runs through a
// harness that record which buffers came out changed, pipelines with their
// bus messages, and settings files.
#pragma once

#include <gst/check/gstharness.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/native/temp_folder.h"

using Bytes = std::vector<uint8_t>;

// GStreamer started once per process, from the environment CTest gives.
void StartGStreamer();

// A picture of the format at its default strides: the same luma in every
// YUV format (a ramp that differs from pixel to pixel), grey chroma; in
// RGB, a ramp of its own in each component, the same in every byte order
// (a padding byte grey).
Bytes MakePicture(const char* format, int width, int height);

// videotestsrc's black in YUY2.
Bytes BlackYuy2(int width, int height);

// The caps of raw video in that format and size at 25 frames a second.
std::string RawCaps(const char* format, int width, int height);

struct HarnessRun {
    std::vector<Bytes> out;    // each buffer as it came out
    std::vector<int> changed;  // numbers (from 1) of the buffers that differ from their input
};

// Pushes count copies of picture through the element described (a
// gst-launch line such as "tpp25frame show-freq-from=3"), then tears the
// harness down, which stops the element.
HarnessRun RunHarness(const std::string& element, const std::string& caps, const Bytes& picture, int count);

// A rectangle of pixels.
struct PixelBox {
    int x, y, width, height;
};

// The box of a picture laid out as info says, as a picture of its own at
// default strides. Its left and top begin a chroma sample.
Bytes CutOut(const GstVideoInfo& info, const Bytes& picture, PixelBox box);

// The bytes that differ between two pictures laid out as info says: in
// samples that cover a pixel of box (a chroma sample covers two or four),
// in the other samples, and in the padding between rows and planes.
struct Changes {
    int inside = 0, outside = 0, padding = 0;
};
Changes ChangesAround(const GstVideoInfo& info, const Bytes& before, const Bytes& after, PixelBox box);

// The Y plane of a picture, row by row without padding; from YUY2's
// interleaved bytes too.
Bytes LumaOf(const char* format, int width, int height, const Bytes& picture);

// Each component's samples (Y, U, V or R, G, B and alpha), row by row,
// whatever the order of planes and bytes.
std::vector<Bytes> ComponentsOf(const char* format, int width, int height, const Bytes& picture);

// The byte beside red, green and blue of each pixel of a 4-byte RGB format
// (alpha or padding); none for other formats.
Bytes FourthBytesOf(const char* format, int width, int height, const Bytes& picture);

// A gst-launch line run to its end; the bus's warnings and infos are
// collected (those posted as the elements stop too), and the buffers that
// reach each fakesink named in sinks (which must have signal-handoffs=true).
struct PipelineRun {
    bool reachedEos = false;
    std::vector<std::string> warnings;  // each warning's message and debug text
    std::vector<std::string> infos;     // each info's message
    std::string error;
    std::map<std::string, std::vector<Bytes>> sinks;
};
PipelineRun RunPipeline(const std::string& description, const std::vector<std::string>& sinks = {});

// The numbers (from 1) of the buffers that differ from picture.
std::vector<int> ChangedBuffers(const std::vector<Bytes>& buffers, const Bytes& picture);

// The value of a key in the settings file; empty when missing.
std::string SettingInFile(const std::string& path, const std::string& key);

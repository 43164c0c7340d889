// Random rectangles, frame sizes, weights and pixels: the SSE2 kernels must
// give the reference's bytes and neither may touch memory outside its
// surfaces (ASan sees each surface as its own allocation).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "overlay/blend.h"
#include "overlay/cpu_features.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const bool yuy2 = in.Take<uint8_t>() & 1;
    const int32_t sourceWidth = in.InRange(0, 96), sourceHeight = in.InRange(0, 24);
    const int32_t destWidth = in.InRange(0, 96), destHeight = in.InRange(0, 24);
    BlendArgs args = {};
    args.sourceWidth = sourceWidth;
    args.sourceHeight = sourceHeight;
    args.destWidth = destWidth;
    args.destHeight = destHeight;
    // Rectangles anywhere, reversed too: mostly near the surfaces, and now
    // and then anywhere in 32 bits.
    const auto coordinate = [&in](int32_t span) {
        const int32_t value = in.Take<int32_t>();
        return (value & 1) ? value : (value >> 1) % span;
    };
    args.sourceLeft = coordinate(200);
    args.sourceTop = coordinate(60);
    args.sourceRight = coordinate(200);
    args.sourceBottom = coordinate(60);
    args.destLeft = coordinate(200);
    args.destTop = coordinate(60);
    args.transparency = in.Take<uint32_t>();
    args.backColor = in.Take<uint32_t>();
    args.keyFlag = in.Take<uint32_t>();

    // Pixels repeat the rest of the input; the background colour is common
    // in real canvases, so every other pixel takes it when asked.
    const bool keyedPattern = in.Take<uint8_t>() & 1;
    std::vector<uint8_t> canvas(size_t(sourceWidth) * sourceHeight * 4);
    std::vector<uint8_t> frame(size_t(destWidth) * destHeight * (yuy2 ? 2 : 3));
    for (size_t i = 0; i < canvas.size(); ++i)
        canvas[i] = in.size() ? in.data()[i % in.size()] : uint8_t(i * 37);
    if (keyedPattern)
        for (size_t p = 0; p < canvas.size() / 4; p += 2) {
            canvas[p * 4 + 0] = uint8_t(args.backColor >> 16);
            canvas[p * 4 + 1] = uint8_t(args.backColor >> 8);
            canvas[p * 4 + 2] = uint8_t(args.backColor);
        }
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = in.size() ? in.data()[(i * 7) % in.size()] : uint8_t(i);

    std::vector<uint8_t> expected = frame;
    args.sourceBits = canvas.data();
    args.destBits = expected.data();
    if (yuy2)
        BlendYUY2Reference(args);
    else
        BlendRGB24Reference(args);
    if (!(DetectedCpuFeatures() & kCpuSse2)) return 0;
    args.destBits = frame.data();
    if (yuy2)
        BlendYUY2Sse2(args);
    else
        BlendRGB24Sse2(args);
    if (frame != expected) std::abort();
    return 0;
}

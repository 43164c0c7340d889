// Random blends of every frame format, with a caption rectangle and runs
// (now and then garbage ones): every SIMD path must give the reference's
// bytes, the reference skipping the canvas outside caption and sound runs
// must give what reading all of it gives (the canvas holds the background
// there), and nothing may touch memory outside its surface (ASan sees each
// plane and the canvas as allocations of their own).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "blend/blend.h"
#include "fuzz/fuzz_input.h"
#include "tests/native/blend_surfaces.h"

namespace {

constexpr KernelPath kSimdPaths[] = {KernelPath::kSse2, KernelPath::kAvx2};

// Rectangles anywhere, reversed too: mostly near the surfaces, now and then
// anywhere in 32 bits.
int32_t Coordinate(FuzzInput& in, int32_t span) {
    const int32_t value = in.Take<int32_t>();
    return (value & 1) ? value : (value >> 1) % span;
}

// Pixels repeat the rest of the input.
uint8_t Byte(const FuzzInput& in, size_t i) { return in.size() ? in.data()[i % in.size()] : uint8_t(i * 37); }

void Require(bool condition) {
    if (!condition) std::abort();
}

void FuzzJob(FuzzInput& in, FrameFormat format) {
    const uint8_t shape = in.Take<uint8_t>();
    TestFrame frame(format, in.InRange(0, 96), in.InRange(0, 24), shape & 7, shape & 8);
    TestCanvas canvas(in.InRange(0, 96), in.InRange(0, 24), (shape & 16) ? 8 : 0);
    const PixelRect source = {Coordinate(in, 200), Coordinate(in, 60), Coordinate(in, 200), Coordinate(in, 60)};
    const int32_t destLeft = Coordinate(in, 200), destTop = Coordinate(in, 60);
    const PixelRect caption = {Coordinate(in, 100), Coordinate(in, 30), Coordinate(in, 100), Coordinate(in, 30)};
    const uint32_t opacity = in.Take<uint8_t>(), backColor = in.Take<uint32_t>();
    const bool keyBackground = in.Take<uint8_t>() & 1;
    const bool withRuns = shape & 32;

    // Background everywhere but in the runs (or the whole caption), where
    // the input paints, the background colour among other things.
    for (int32_t y = 0; y < canvas.height; ++y)
        for (int32_t x = 0; x < canvas.width; ++x) canvas.Paint(x, y, backColor);
    const int32_t top = std::max(caption.top, 0), bottom = std::min(caption.bottom, canvas.height);
    const int32_t left = std::clamp(caption.left, 0, canvas.width), right = std::min(caption.right, canvas.width);
    CanvasRunList runs(top);
    size_t next = 0;
    for (int32_t y = top; y < bottom; ++y) {
        runs.NextRow();
        for (int32_t x = left + Byte(in, next++) % 8; x < right; x += 1 + Byte(in, next++) % 8) {
            const int32_t end = std::min(x + 1 + Byte(in, next++) % 16, right);
            if (withRuns) runs.Add(x, end);
            for (; x < end; ++x) canvas.Paint(x, y, Byte(in, next) & 1 ? backColor : Byte(in, next + 1) * 0x10101u ^ y);
            next += 2;
        }
        if (!withRuns)
            for (int32_t x = left; x < right; ++x)
                if (Byte(in, next++) & 1) canvas.Paint(x, y, Byte(in, next++) * 0x30507u);
    }
    for (int p = 0; p < frame.PlaneCount(); ++p)
        for (size_t i = 0; i < frame.planes[p].size(); ++i) frame.planes[p][i] = Byte(in, i * 7 + p);
    CanvasRuns view = runs.view();
    // Now and then runs as a careless renderer might give them: out of
    // order, overlapping, anywhere. Only the paths' agreement and the
    // bounds are checked then.
    const bool garbageRuns = withRuns && (shape & 64);
    std::vector<CanvasRun> garbage;
    std::vector<uint32_t> garbageStarts = {0};
    if (garbageRuns) {
        for (int32_t row = 0; row < 8; ++row) {
            for (int n = Byte(in, next++) % 4; n > 0; --n)
                garbage.push_back({int32_t(Byte(in, next++)) - 40, int32_t(Byte(in, next++)) - 40});
            garbageStarts.push_back(uint32_t(garbage.size()));
        }
        view = {int32_t(Byte(in, next++) % 40) - 10, 8, garbageStarts.data(), garbage.data()};
    }

    // held: through a held caption's targets, made first on the same path.
    const auto run = [&](KernelPath path, bool readAll, bool held) {
        TestFrame out = frame;
        BlendJob job = {.frame = out.View(),
                        .canvas = canvas.View(),
                        .source = source,
                        .destLeft = destLeft,
                        .destTop = destTop,
                        .caption = caption,
                        .runs = withRuns ? &view : nullptr,
                        .opacity = opacity,
                        .backColor = backColor,
                        .keyBackground = keyBackground};
        if (readAll) job.caption = {0, 0, canvas.width, canvas.height}, job.runs = nullptr;
        std::vector<uint8_t> storage;
        const FrameView targets = FrameIn(storage, frame.format, frame.width, frame.height);
        if (held) PrepareTargetsOn(path, job, targets);
        BlendOn(path, job, held ? &targets : nullptr);
        return out;
    };
    const TestFrame expected = run(KernelPath::kReference, false, false);
    if (!garbageRuns) Require(expected == run(KernelPath::kReference, true, false));
    for (KernelPath path : kSimdPaths)
        if (PathAvailable(path)) Require(run(path, false, false) == expected);
    // Targets read the whole caption, so with runs that leave out some of
    // what the canvas holds there they may differ; they never reach out.
    for (KernelPath path : {KernelPath::kReference, KernelPath::kSse2, KernelPath::kAvx2})
        if (PathAvailable(path)) {
            const TestFrame held = run(path, false, true);
            if (!garbageRuns) Require(held == expected);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    constexpr int kFormatCount = static_cast<int>(FrameFormat::kI420p10) + 1;  // the last of them
    FuzzJob(in, static_cast<FrameFormat>(in.Take<uint8_t>() % kFormatCount));
    return 0;
}

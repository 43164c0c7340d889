// A part that throws inside a callback: the callback survives, does not
// report success, and the fault is kept for the front end and traced.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "plugin/host_callbacks.h"
#include "tests/support/test_instance.h"

namespace {

class ThrowingRenderer : public BoxCaptionRenderer {
public:
    uint8_t* StartCanvas(int32_t width, int32_t height) override {
        if (throwOnStart) throw std::runtime_error("no canvas today");
        return BoxCaptionRenderer::StartCanvas(width, height);
    }
    void DrawCentred(const std::string&, const CanvasRect&, uint32_t) override { throw std::bad_alloc(); }

    bool throwOnStart = true;
};

TEST(CallbackFaults, AreKeptOnceReportedAsFailureAndTraced) {
    setenv("TPP_TRACE", "1", 1);
    auto owned = std::make_unique<ThrowingRenderer>();
    ThrowingRenderer& renderer = *owned;
    InstanceParts parts;
    parts.renderer = std::move(owned);
    const std::unique_ptr<PluginInstance> plugin = MakeTestInstance(std::move(parts));
    SetBuiltinEntries(*plugin, {{"cat", "koshka"}});

    const StreamFormat yuy2 = {64, 48, 0, 0};
    testing::internal::CaptureStderr();
    EXPECT_EQ(host::StreamStart(*plugin, &yuy2), 0);
    EXPECT_EQ(plugin->LastError(), "StreamStart: no canvas today");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "TPP_25Frame: StreamStart: no canvas today\n");
    EXPECT_EQ(plugin->TakeLastError(), "StreamStart: no canvas today");
    EXPECT_EQ(plugin->TakeLastError(), "") << "each fault is told once";

    renderer.throwOnStart = false;
    ASSERT_EQ(host::StreamStart(*plugin, &yuy2), 1);
    std::vector<uint8_t> pixels(64 * 48 * 2, 0x40);
    FrameRecord frame = {pixels.data()};
    testing::internal::CaptureStderr();
    EXPECT_EQ(host::ProcessFrame(*plugin, &frame), 0);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(plugin->TakeLastError(), "ProcessFrame: std::bad_alloc");
    plugin->StreamStop();
    EXPECT_EQ(plugin->LastError(), "");
}

}  // namespace

// Under Windows a fault the plug-in caught goes to the debugger's output,
// and the reference host's monitor of that output shows it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "plugin/host_callbacks.h"
#include "tests/support/test_instance.h"
#include "tools/tpp-host/plugin_trace.h"

namespace {

class ThrowingRenderer : public BoxCaptionRenderer {
public:
    uint8_t* StartCanvas(int32_t, int32_t) override { throw std::runtime_error("no canvas today"); }
};

TEST(FaultTrace, ReachesTheDebuggerOutputAndTheHostsMonitor) {
    std::vector<std::string> lines;
    {
        PluginTrace trace([&](const std::string& line) { lines.push_back(line); });
        InstanceParts parts;
        parts.renderer = std::make_unique<ThrowingRenderer>();
        const std::unique_ptr<PluginInstance> plugin = MakeTestInstance(std::move(parts));
        const StreamFormat format = {64, 48, 0, 1};
        EXPECT_EQ(host::StreamStart(*plugin, &format), 0);
        EXPECT_EQ(plugin->LastError(), "StreamStart: no canvas today");
    }
    EXPECT_EQ(lines, std::vector<std::string>{"TPP_25Frame: StreamStart: no canvas today"});
}

}  // namespace

// The main of the benches that run the element through GStreamer: this
// tree's element and no installed one, in a registry of the bench's own.
#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("GST_PLUGIN_PATH", TPP_GST_PLUGIN_DIR, 1);
    setenv("GST_PLUGIN_SYSTEM_PATH_1_0", "", 1);
    setenv("GST_REGISTRY_1_0", TPP_GST_PLUGIN_DIR "/../" TPP_BENCH_NAME ".registry", 1);
    gst_init(&argc, &argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Random values for every setting and random frame sizes and formats, then
// frames on the box renderer, with the font rebuilt and settings changed
// between them as the dialog would, and last an entry of up to 512 bytes:
// no frame may be touched outside its buffer and nothing may overflow.
// Built with TPP_FUZZ_LONG_ENTRY (long_entry_fuzzer), the entry runs to
// millions of characters: a slow target of its own, since a run of those
// costs a hundred of the rest.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "plugin/host_callbacks.h"
#include "settings/settings_table.h"
#include "tests/support/overlay_internals.h"
#include "tests/support/test_instance.h"

namespace {

void RandomSettings(FuzzInput& in, SettingsRecord& settings) {
    for (const SettingDescriptor& row : settingsTable) {
        if (row.typeCode == kTypeText)
            *static_cast<std::string*>(row.storage(settings)) = in.Text(64);
        else
            StoreTypedNumber(row.typeCode, in.Take<uint32_t>(), row.storage(settings));
    }
    settings.DicType = in.InRange(-1, 2);  // the walk itself has its own fuzzer
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const std::unique_ptr<PluginInstance> plugin = MakeTestInstance();
    SetBuiltinEntries(*plugin, {{"cat", "\xEA\xEE\xF8\xEA\xE0"}, {"a - b & c", "&&&"}, {"", ""}});
    SetWorking(*plugin, [&](SettingsRecord& settings) { RandomSettings(in, settings); });

    const int32_t width = in.InRange(-2, 300), height = in.InRange(-2, 200);
    const int32_t pixelFormat = in.InRange(-1, 2);
    const StreamFormat format = {width, height, 0, pixelFormat};
    const bool started = host::StreamStart(*plugin, &format) == 1;
    std::vector<uint8_t> pixels(started ? size_t(width) * height * (pixelFormat == 0 ? 2 : 3) : 1, 0x40);
    FrameRecord frame = {pixels.data()};

    const int frames = in.InRange(1, 16);
    for (int i = 0; i < frames; ++i) {
        switch (in.Take<uint8_t>() % 8) {
            case 0: SetWorking(*plugin, [&](SettingsRecord& settings) { RandomSettings(in, settings); }); break;
            case 1: OverlayOf(*plugin).CreateCaptionFont(); break;
            default: break;
        }
        host::ProcessFrame(*plugin, &frame);
    }
    // Then, while input is left, an entry falls due.
    const std::string piece = in.Text(8);
#ifdef TPP_FUZZ_LONG_ENTRY
    const int32_t repeats = in.InRange(1, 1 << 20);
#else
    const int32_t repeats = in.InRange(1, 64);
#endif
    if (!piece.empty()) {
        std::string runaway;
        runaway.reserve(piece.size() * size_t(repeats));
        for (int32_t i = 0; i < repeats; ++i) runaway += piece;
        SetBuiltinEntries(*plugin, {{runaway, piece}});
        SetWorking(*plugin, [](SettingsRecord& settings) { settings.DicType = 0; });
        OverlayEngineInternals::MakeNextFrameDue(OverlayOf(*plugin));
        host::ProcessFrame(*plugin, &frame);
    }
    plugin->StreamStop();
    return 0;
}

// Any bytes as the settings file, then what Init and Exit do with it: read
// both sections, open the named dictionary, stream a few frames, save the
// dictionary and the settings. What was saved must read back as the same
// settings, and every step must stay inside its buffers.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/scratch_folder.h"
#include "plugin/host_callbacks.h"
#include "settings/settings_persistence.h"
#include "settings/settings_table.h"
#include "settings/typed_value.h"
#include "tests/support/test_instance.h"

namespace {

// One instance for every run, its settings file in a folder of its own, as
// a host keeps one plug-in loaded.
struct Scratch {
    Scratch() : plugin(MakeTestInstance()) {
        platform::LocationFacts facts;
        facts.family = platform::SystemFamily::kNt;
        facts.hostExecutablePath = folder.File("host.exe");
        facts.commandLine = "host.exe";
        facts.separator = '/';
        SettingsOf(*plugin).settingsFile.Locate("TPP_25Frame", facts);
        SetBuiltinEntries(*plugin, {{"cat", "\xEA\xEE\xF8\xEA\xE0"}, {"dog & co", "\xF1\xEE\xE1\xE0\xEA\xE0"}});
    }

    ScratchFolder folder;
    std::unique_ptr<PluginInstance> plugin;
};

// A digest of what the plug-in holds: every setting as its file writes it,
// and the dialog's position.
uint64_t Digest(const SettingsState& settings) {
    SettingsRecord record = settings.workingSettings.Get();
    std::string text = std::to_string(settings.DlgWndPosX) + ',' + std::to_string(settings.DlgWndPosY);
    for (const SettingDescriptor& row : settingsTable)
        text += '\n' + FormatTypedValue(row.typeCode, row.storage(record));
    return std::hash<std::string>()(text);
}

// Whether the saved file reads back as what was saved. A read depends on
// the file's bytes alone, and most inputs save a text that was read
// before (every default, or one value changed), while a read costs half a
// run: what each text gave is kept as digests in a table of fixed size,
// which allocates nothing (memory kept from run to run would send
// libFuzzer's leak check over the whole heap after each new text).
bool ReadsBackTheSame(SettingsState& settings) {
    struct Slot {
        uint64_t text = 0, held = 0;
    };
    static std::array<Slot, 1 << 16> known;
    const uint64_t saved = Digest(settings);
    std::ifstream in(settings.settingsFile.path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const uint64_t key = std::hash<std::string>()(text) | 1;  // 0 marks an empty slot
    Slot& slot = known[key % known.size()];
    if (slot.text != key) {
        LoadSettings(settings);
        slot = {key, Digest(settings)};
    }
    return slot.held == saved;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    PluginInstance& plugin = *scratch.plugin;
    SettingsState& settings = SettingsOf(plugin);
    std::ofstream(settings.settingsFile.path(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    // As Init reads it: a file that was read is saved at Exit.
    plugin.ReadSettingsFile();
    // The file may name any path; the fuzzer keeps its dictionary at home.
    const bool named = !plugin.Settings().DicFileName.empty();
    const std::string list = named ? scratch.folder.File("words.dic") : std::string();
    const int32_t kept = DictionariesOf(plugin).LoadAltDictionary(list, plugin.Settings().CurExtEntry);
    SetWorking(plugin, [&](SettingsRecord& working) {
        working.DicFileName = list;
        working.CurExtEntry = kept;
    });
    DictionariesOf(plugin).AddAltEntry("fuzz - \xF4\xE0\xE7\xE7");

    const StreamFormat format = {33, 17, 0, static_cast<int32_t>(size % 2)};
    std::vector<uint8_t> pixels(33 * 17 * 3, 0x40);
    FrameRecord frame = {pixels.data()};
    if (host::StreamStart(plugin, &format) == 1)
        for (int i = 0; i < 3; ++i) host::ProcessFrame(plugin, &frame);
    plugin.StreamStop();

    plugin.Exit();
    if (!ReadsBackTheSame(settings)) std::abort();
    return 0;
}

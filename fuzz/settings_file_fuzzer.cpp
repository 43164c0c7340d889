// Any bytes as the settings file, then what Init and Exit do with it: read
// both sections, open the named dictionary, stream a few frames, save the
// dictionary and the settings. What was saved must read back as the same
// settings, and every step must stay inside its buffers.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

#include "fuzz/scratch_folder.h"
#include "plugin/host_callbacks.h"
#include "settings/settings_persistence.h"
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

// The settings and the dialog position, as the plug-in holds them.
struct Held {
    SettingsRecord settings;
    int32_t x, y;
    bool operator==(const Held&) const = default;
};

Held Current(const SettingsState& settings) {
    return {settings.workingSettings.Get(), settings.DlgWndPosX, settings.DlgWndPosY};
}

// What reading the saved file gives. A read depends on the file's bytes
// alone, and most inputs save a text that was read before (every default,
// or one value changed), while a read costs half a run: each text is read
// once and what it gave is kept, in memory bounded by starting over.
Held ReadSaved(SettingsState& settings) {
    static std::unordered_map<std::string, Held> known;
    std::ifstream in(settings.settingsFile.path(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (const auto found = known.find(text); found != known.end()) return found->second;
    LoadSettings(settings);
    if (known.size() >= 16384) known.clear();
    return known.emplace(std::move(text), Current(settings)).first->second;
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
    const Held saved = Current(settings);
    if (!(ReadSaved(settings) == saved)) std::abort();
    return 0;
}

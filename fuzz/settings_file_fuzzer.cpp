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

#include "dictionary/dictionary_store.h"
#include "fuzz/scratch_folder.h"
#include "overlay/overlay_engine.h"
#include "settings/settings_persistence.h"
#include "settings/settings_state.h"
#include "tests/support/box_caption_renderer.h"
#include "tests/support/overlay_fixture.h"

namespace {

struct Scratch {
    Scratch() {
        platform::LocationFacts facts;
        facts.family = platform::SystemFamily::kNt;
        facts.hostExecutablePath = folder.File("host.exe");
        facts.commandLine = "host.exe";
        facts.separator = '/';
        file.Locate("TPP_25Frame", facts);
        SetBuiltinEntries({{"cat", "\xEA\xEE\xF8\xEA\xE0"}, {"dog & co", "\xF1\xEE\xE1\xE0\xEA\xE0"}});
    }

    ScratchFolder folder;
    CSettingsFile file;
    BoxCaptionRenderer renderer;
};

// The settings and the dialog position, as the plug-in holds them.
struct Held {
    SettingsRecord settings;
    int32_t x, y;
    bool operator==(const Held&) const = default;
};

Held Current() { return {workingSettings, DlgWndPosX, DlgWndPosY}; }

// What reading the saved file gives. A read depends on the file's bytes
// alone, and most inputs save a text that was read before (every default,
// or one value changed), while a read costs half a run: each text is read
// once and what it gave is kept, in memory bounded by starting over.
Held ReadSaved(CSettingsFile& file) {
    static std::unordered_map<std::string, Held> known;
    std::ifstream in(file.path(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (const auto found = known.find(text); found != known.end()) return found->second;
    LoadSettings(file);
    if (known.size() >= 16384) known.clear();
    return known.emplace(std::move(text), Current()).first->second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    std::ofstream(scratch.file.path(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    LoadSettings(scratch.file);
    // The file may name any path; the fuzzer keeps its dictionary at home.
    const bool named = !workingSettings.DicFileName.empty();
    workingSettings.DicFileName = named ? scratch.folder.File("words.dic") : std::string();
    LoadAltDictionary();
    AddAltEntry("fuzz - \xF4\xE0\xE7\xE7");

    overlay::StreamStop();
    overlay::SetRenderer(&scratch.renderer);
    const StreamFormat format = {33, 17, 0, static_cast<int32_t>(size % 2)};
    std::vector<uint8_t> pixels(33 * 17 * 3, 0x40);
    FrameRecord frame = {pixels.data()};
    if (overlay::StreamStart(&format) == 1)
        for (int i = 0; i < 3; ++i) overlay::ProcessFrame(&frame);
    overlay::StreamStop();

    if (AltDictionaryChanged()) SaveAltDictionary();
    SaveSettings(scratch.file);
    const Held saved = Current();
    if (!(ReadSaved(scratch.file) == saved)) std::abort();
    return 0;
}

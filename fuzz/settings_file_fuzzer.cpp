// Any bytes as the settings file, then what Init and Exit do with it: read
// both sections, open the named dictionary, stream a few frames, save the
// dictionary and the settings. What was saved must read back as the same
// settings, and every step must stay inside its buffers.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_set>
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

// What a read gives depends on the file's bytes alone, and most inputs save
// a file that was read back before (every default, or one value changed),
// while a read costs half a run: each saved text is read back once. The
// memory is bounded by starting over when it is full.
bool AlreadyReadBack(const std::string& path) {
    static std::unordered_set<std::string> readBack;
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (readBack.size() >= 16384) readBack.clear();
    return !readBack.insert(std::move(text)).second;
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
    if (!AlreadyReadBack(scratch.file.path())) {
        const SettingsRecord saved = workingSettings;
        const int32_t x = DlgWndPosX, y = DlgWndPosY;
        LoadSettings(scratch.file);
        if (!(workingSettings == saved) || DlgWndPosX != x || DlgWndPosY != y) std::abort();
    }
    return 0;
}

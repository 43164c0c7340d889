// TEMPORARY: over the library's globals, one element at a time, until the
// per-instance core lands.
#include "gst/caption_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>
#include <vector>

#include "dictionary/builtin_dictionary.h"
#include "dictionary/dictionary_store.h"
#include "overlay/overlay_engine.h"
#include "overlay/overlay_state.h"
#include "platform/posix/freetype_caption_renderer.h"
#include "platform/posix/plugin_resource_table.h"
#include "settings/settings_location.h"
#include "settings/settings_persistence.h"
#include "settings/settings_state.h"
#include "settings/typed_value.h"
#include "gst/builtin_dictionary_bytes.h"

namespace {

constexpr char kBaseName[] = "TPP_25Frame";

bool IsFontRow(const SettingDescriptor& row) { return std::strncmp(row.key, "Font", 4) == 0; }

// Creates the folders above a file, as mkdir -p does.
void CreateFoldersAbove(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0755);
}

bool Readable(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

}  // namespace

std::string DefaultSettingsFile() {
    platform::LocationFacts facts = platform::GatherLocationFacts();
    facts.storeInUsersFolder = true;
    const std::string folder = SettingsFolder(facts, std::string());
    return folder.empty() ? std::string() : folder + kBaseName + ".ini";
}

void* SettingField(const SettingDescriptor& row, SettingsRecord& record) {
    const ptrdiff_t offset = static_cast<const char*>(row.storage) - reinterpret_cast<const char*>(&storedSettings);
    return reinterpret_cast<char*>(&record) + offset;
}

const void* SettingField(const SettingDescriptor& row, const SettingsRecord& record) {
    return SettingField(row, const_cast<SettingsRecord&>(record));
}

struct CaptionEngine::Instance {
    FreeTypeCaptionRenderer renderer;
    SettingsRecord fromFile;  // what the file held: saved again but for the walk
    bool listIsTheFiles = false;
};

namespace {

// The word list the run uses: missing or unreadable, the built-in
// dictionary instead, and the file is not created.
void ChooseDictionary(const RunSettings& run, std::vector<std::string>& warnings) {
    SettingsRecord& s = workingSettings;
    if (!run.dictionary.empty()) {
        s.DicFileName = run.dictionary;
        s.DicType = 1;
    }
    if (s.DicType != 1 || s.DicFileName.empty()) return;
    if (!Readable(s.DicFileName)) {
        warnings.push_back("Word list \"" + s.DicFileName + "\" cannot be read (" + std::strerror(errno) +
                           "): the built-in dictionary is used instead.");
        s.DicType = 0;
        s.DicFileName.clear();
    }
}

void PutOver(const RunSettings& run) {
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingDescriptor& row = settingsTable[i];
        if (run.set[i])
            ParseTypedValue(row.typeCode, FormatTypedValue(row.typeCode, SettingField(row, run.values)),
                            SettingField(row, workingSettings));
    }
}

}  // namespace

CaptionEngine::CaptionEngine(const RunSettings& run, std::vector<std::string>& warnings)
    : instance_(std::make_unique<Instance>()) {
    static std::once_flag attached;
    std::call_once(attached, [] {
        RegisterPluginResource(kBuiltinDictionaryType, kBuiltinDictionaryId, BuiltinDictionaryBytes());
    });
    overlay::SetRenderer(&instance_->renderer);
    if (run.settingsFile == DefaultSettingsFile()) CreateFoldersAbove(run.settingsFile);
    settingsFile.UsePath(run.settingsFile);
    LoadSettings(settingsFile);
    if (!run.settingsFile.empty() && !Readable(run.settingsFile))
        warnings.push_back("Settings file \"" + run.settingsFile +
                           "\" cannot be opened: every setting not given as a property is at its default, "
                           "and nothing is saved.");
    instance_->fromFile = workingSettings;
    PutOver(run);
    ChooseDictionary(run, warnings);
    instance_->listIsTheFiles = workingSettings.DicFileName == instance_->fromFile.DicFileName;
    overlay::CreateRenderContext();
    LoadBuiltinDictionary();
    LoadAltDictionary();
}

CaptionEngine::~CaptionEngine() { overlay::SetRenderer(nullptr); }

void CaptionEngine::Apply(const RunSettings& run, std::vector<std::string>& warnings) {
    const SettingsRecord before = workingSettings;
    {
        const std::lock_guard<std::mutex> lock(renderLock);
        PutOver(run);
        ChooseDictionary(run, warnings);
    }
    bool font = false;
    for (int i = 0; i < kSettingCount; ++i) font = font || (run.set[i] && IsFontRow(settingsTable[i]));
    if (font) CreateCaptionFont();
    if (before.DicFileName != workingSettings.DicFileName || before.DicType != workingSettings.DicType) {
        instance_->listIsTheFiles = workingSettings.DicFileName == instance_->fromFile.DicFileName;
        LoadAltDictionary();
    }
}

bool CaptionEngine::StartStream(int32_t width, int32_t height) {
    const StreamFormat format = {width, height, 0, 0};
    return overlay::StreamStart(&format) == 1;
}

bool CaptionEngine::NextFrameMayDraw() const {
    return overlayState.gapCounter <= 1 || overlayState.showCounter > 0;
}

void CaptionEngine::PassFrame() { --overlayState.gapCounter; }

void CaptionEngine::ProcessFrame(const FrameView& frame) {
    if (frame.format == FrameFormat::kYuy2 && frame.planes[0].stride == frame.width * 2) {
        overlayState.pixelFormat = 0;
        FrameRecord record = {frame.planes[0].top};
        overlay::ProcessFrame(&record);
    } else if (frame.format == FrameFormat::kBgr && frame.planes[0].stride == frame.width * 3) {
        const size_t row = frame.width * 3;
        std::vector<uint8_t> flipped(row * frame.height);
        for (int y = 0; y < frame.height; ++y)
            std::memcpy(&flipped[(frame.height - 1 - y) * row], frame.planes[0].top + y * row, row);
        overlayState.pixelFormat = 1;
        FrameRecord record = {flipped.data()};
        overlay::ProcessFrame(&record);
        for (int y = 0; y < frame.height; ++y)
            std::memcpy(frame.planes[0].top + y * row, &flipped[(frame.height - 1 - y) * row], row);
    } else {
        overlayState.pixelFormat = 7;
        std::vector<uint8_t> none(4);
        FrameRecord record = {none.data()};
        overlay::ProcessFrame(&record);
    }
}

void CaptionEngine::Stop() {
    overlay::StreamStop();
    SettingsRecord saved = instance_->fromFile;
    saved.CurIntEntry = workingSettings.CurIntEntry;
    if (instance_->listIsTheFiles) saved.CurExtEntry = workingSettings.CurExtEntry;
    workingSettings = saved;
    SaveSettings(settingsFile);
}

#include "plugin/plugin_instance.h"

#include "settings/settings_persistence.h"

namespace {

// Runs one callback body; an exception ends the callback with the fallback
// result instead of unwinding into the host.
template <class Body, class Result>
Result Guarded(Body body, Result fallback) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

template <class Body>
void Guarded(Body body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace

PluginInstance::PluginInstance(InstanceParts parts)
    : overlay(settings.workingSettings, dictionaries, std::move(parts.renderer)),
      ui(MakeSettingsUi({settings, dictionaries, overlay, parts.resourceModule})),
      builtinSource_(std::move(parts.builtinDictionary)),
      settingsPath_(std::move(parts.settingsPath)),
      settingsBaseName_(std::move(parts.settingsBaseName)) {}

void PluginInstance::Init() noexcept {
    ReadSettingsFile();
    StartParts();
}

void PluginInstance::ReadSettingsFile() noexcept {
    Guarded([this] {
        CSettingsFile& file = settings.settingsFile;
        if (!settingsPath_.empty())
            file.UsePath(settingsPath_);
        else if (!settingsBaseName_.empty())
            file.Locate(settingsBaseName_);
        LoadSettings(settings);
    });
}

void PluginInstance::StartParts() noexcept {
    Guarded([this] {
        overlay.CreateRenderContext();
        SettingsRecord& working = settings.workingSettings;
        dictionaries.LoadBuiltinDictionary(builtinSource_ ? builtinSource_() : nullptr, working.CurIntEntry);
        dictionaries.LoadAltDictionary(working.DicFileName, working.CurExtEntry);
    });
}

int32_t PluginInstance::StreamStart(const VideoFormat& format) noexcept {
    return Guarded([&] { return overlay.StreamStart(format); }, int32_t{1});
}

int32_t PluginInstance::ProcessFrame(const FrameView& frame) noexcept {
    return Guarded([&] { return overlay.ProcessFrame(frame); }, int32_t{0});
}

void PluginInstance::StreamStop() noexcept {
    Guarded([this] { overlay.StreamStop(); });
}

void PluginInstance::ShowSettings(void* hostWindow) noexcept {
    Guarded([&] {
        if (ui) ui->Show(hostWindow);
    });
}

void PluginInstance::Exit() noexcept {
    Guarded([this] {
        // The dialog goes first: it stores its position while it is destroyed.
        if (ui) ui->Close();
        // A changed dictionary is written before the settings that name it.
        if (dictionaries.AltDictionaryChanged()) dictionaries.SaveAltDictionary(settings.workingSettings.DicFileName);
        SaveSettings(settings);
    });
}

// A front end's one door into the caption engine: each GStreamer element
// and each VLC filter runs a plug-in instance of its own through this
// class, from start to stop.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "blend/frame_view.h"
#include "settings/settings_record.h"
#include "settings/settings_table.h"

// What a front end's properties or options ask of a run.
struct RunSettings {
    std::string settingsFile;  // empty: no file, every setting at its default, nothing saved
    std::string dictionary;    // a word list that is used instead of the file's choice; empty: none
    // The settings set as properties, by their rows in the settings table,
    // and which of them (and whether the dictionary) were set since the
    // run last took them: only those are put over the working settings, so
    // that a later change does not put back a walk's index, say.
    std::array<std::optional<SettingValue>, kSettingCount> values;
    std::bitset<kSettingCount> pending;
    bool dictionaryPending = false;
};

// The per-user settings file of the Linux build.
std::string DefaultSettingsFile();

class CaptionEngine {
public:
    // Reads the settings file, puts the properties over it and loads the
    // dictionaries. What the run goes on through despite it (a word list
    // that cannot be read, a settings file that cannot be opened) is added
    // to warnings, one sentence each.
    CaptionEngine(const RunSettings& run, std::vector<std::string>& warnings);
    ~CaptionEngine();
    CaptionEngine(const CaptionEngine&) = delete;
    CaptionEngine& operator=(const CaptionEngine&) = delete;

    // Properties changed while the element runs (those pending): they show
    // from the next frame.
    void Apply(const RunSettings& run, std::vector<std::string>& warnings);

    // Starts the canvas for frames of this size, or starts it anew.
    bool StartStream(FrameFormat format, int32_t width, int32_t height);
    // Whether the next frame may carry a caption; when it cannot, the frame
    // is counted with PassFrame and needs no pixels.
    bool NextFrameMayDraw() const;
    void PassFrame();
    // A frame of the stream, changed in place; one of another format or
    // size is left as it is.
    void ProcessFrame(const FrameView& frame);

    // Ends the stream and saves where the walk through the dictionary
    // stands, leaving the file's other values as they were (an index of a
    // word list only when the list is the file's).
    void Stop();

    // The last fault the plug-in instance caught, once; empty when none.
    std::string TakeFault();
    // What the instance noticed would hide its captions, each once.
    std::vector<std::string> TakeNotices();

private:
    struct Instance;
    std::unique_ptr<Instance> instance_;
};

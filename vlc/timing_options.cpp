#include "vlc/timing_options.h"

#include <vlc_variables.h>

#include <cstdlib>
#include <string>

namespace {

const char* const kModes[] = {"study", "flash"};
const char* const kModeTexts[] = {"Study: captions to read and mark, timed in seconds",
                                  "Flash: the settings' frame timing"};

}  // namespace

const char* const kTimingOptions[6] = {"mode", "study-show", "study-every", "keep-clear", "subtitles", "lead"};

void DeclareTimingOptions(vlc_set_cb vlc_set, void* opaque) {
    module_config_t* config = nullptr;
    const CaptionTiming timing;
    add_string("tpp25frame-mode", timing.study ? "study" : "flash", "Mode",
               "study: a caption stays study-show seconds, one every study-every seconds of the film, to read and "
               "mark; flash: the settings' frame timing (show-freq-*, show-time-*).",
               false);
    vlc_config_set(VLC_CONFIG_LIST, size_t{2}, kModes, kModeTexts);
    add_float_with_range("tpp25frame-study-show", timing.showSeconds, kStudyShowMin, kStudyShowMax,
                         "Study caption time (s)", "In study mode, the seconds a caption stays on screen.", false);
    add_float_with_range("tpp25frame-study-every", timing.everySeconds, kStudyEveryMin, kStudyEveryMax,
                         "Study caption interval (s)",
                         "In study mode, the seconds from one caption's start to the next.", false);
    add_float_with_range("tpp25frame-keep-clear", 0, 0, kKeepClearMax, "Keep clear",
                         "The share of the picture's height at the bottom that captions keep out of, so that the "
                         "film's subtitles stay readable.",
                         false);
    const RunSettings run;
    add_string("tpp25frame-subtitles", nullptr, "Subtitles",
               "A subtitle file (.srt, .ass, .ssa, .vtt), or a film whose first text track is read: every caption "
               "is then one of the film's coming words the learner does not know, shown tpp25frame-lead seconds "
               "before the line that holds it.",
               false);
    add_float_with_range("tpp25frame-lead", run.leadSeconds, kLeadMin, kLeadMax, "Lead (s)",
                         "With subtitles, the seconds a word's caption starts before its line.", false);
}

void ReadTimingOptions(filter_t* filter, RunSettings& run, std::vector<std::string>& warnings) {
    char* text = var_InheritString(filter, "tpp25frame-mode");
    const std::string mode = text ? text : "";
    free(text);
    run.timing.study = mode != "flash";
    if (mode != "flash" && mode != "study")
        warnings.push_back("tpp25frame-mode=" + mode + " is neither study nor flash: study is used.");
    run.timing.showSeconds = var_InheritFloat(filter, "tpp25frame-study-show");
    run.timing.everySeconds = var_InheritFloat(filter, "tpp25frame-study-every");
    run.keepClear = var_InheritFloat(filter, "tpp25frame-keep-clear");
    text = var_InheritString(filter, "tpp25frame-subtitles");
    run.subtitles = text ? text : "";
    free(text);
    run.leadSeconds = var_InheritFloat(filter, "tpp25frame-lead");
}

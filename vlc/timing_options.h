// The filter's options for how captions are timed: tpp25frame-mode (study
// or flash), tpp25frame-study-show, tpp25frame-study-every and
// tpp25frame-keep-clear, tpp25frame-subtitles and tpp25frame-lead, as the
// GStreamer element's properties of the same names.
#pragma once

#include <vlc_common.h>
#include <vlc_filter.h>
#include <vlc_plugin.h>

#include <string>
#include <vector>

#include "frontend/caption_engine.h"

void DeclareTimingOptions(vlc_set_cb vlc_set, void* opaque);
// Into run; a mode it does not know is study, with a warning. The names
// after tpp25frame-, for config_ChainParse.
void ReadTimingOptions(filter_t* filter, RunSettings& run, std::vector<std::string>& warnings);
extern const char* const kTimingOptions[6];

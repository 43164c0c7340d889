// The filter's options: one for each row of the settings table, named
// tpp25frame- and the row's option name (tpp25frame-show-freq-from), with
// the row's description, default, range and named values; then
// tpp25frame-settings-file, tpp25frame-dictionary, tpp25frame-progress-db
// and tpp25frame-keys.
#pragma once

#include <vlc_common.h>
#include <vlc_filter.h>
#include <vlc_plugin.h>

#include <string>
#include <vector>

#include "frontend/caption_engine.h"
#include "frontend/key_map.h"

// Declares them in the module's descriptor, whose arguments these are.
void DeclareFilterOptions(vlc_set_cb vlc_set, void* opaque);

struct FilterOptions {
    RunSettings run;
    KeyMap keys;
};

// What the options ask of a run. Only those the user set (in the filter's
// own {...}, on the command line, as an input's option or in the
// preferences) go over the settings file. A number outside its range (as
// typed: VLC does not know the ranges) is taken to the nearest end of it,
// and keys that cannot be read leave the
// filter's own default keys (ones VLC's hotkeys leave free), each with a
// warning.
FilterOptions ReadFilterOptions(filter_t* filter, std::vector<std::string>& warnings);

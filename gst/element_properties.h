// The element's properties: one for each row of the settings table, named
// after its key in GStreamer's way (ShowFreqFrom: show-freq-from), with
// the row's type, description, named values, default and range; then
// settings-file, dictionary, keys, progress-db, player-keys, and the
// timing of a run: mode (study or flash), study-show, study-every and
// keep-clear; subtitles and lead, a film's words taught before its lines. rules-type has a fourth value of the
// element's own, spaced, which it reads as while a progress store is set and no other is given.
#pragma once

#include <glib-object.h>

#include "frontend/caption_engine.h"

enum ElementPropertyId : guint {
    kPropertySettingsFile = 1,
    kPropertyDictionary,
    kPropertyKeys,  // the element's own (frontend/key_map.h)
    kPropertyProgressDb,
    kPropertyPlayerKeys,  // the viewer's keys (frontend/viewer_keys.h)
    kPropertyMode,
    kPropertyStudyShow,
    kPropertyStudyEvery,
    kPropertyKeepClear,
    kPropertySubtitles,
    kPropertyLead,
    kPropertyFirstSetting,  // the settings rows follow in table order
};

void InstallElementProperties(GObjectClass* klass);

// Stores a property's value into run (a settings row is then marked set
// and pending); false when id is not one of these properties.
bool SetElementProperty(RunSettings& run, guint id, const GValue* value);
// A settings row not set reads as its default.
bool GetElementProperty(const RunSettings& run, GParamSpec* spec, guint id, GValue* value);

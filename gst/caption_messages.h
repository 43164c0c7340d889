// The element messages that applications follow: tpp25frame-caption when a
// caption starts, tpp25frame-mark when the viewer marks one; both with
// index, word, translation and list (the word list's path, or builtin),
// the mark with mark (known or again) too; a film's word's caption with
// context, the subtitle line that holds it, and film-time, the film's
// place (nanoseconds) where the caption started. tpp25frame-key tells each key
// the element took: action (known, again, next, repeat, captions, help),
// marked (whether a known or again key marked a caption) and captions-off
// (after the key).
#pragma once

#include <gst/gst.h>

#include "frontend/caption_engine.h"
#include "frontend/key_map.h"

GstMessage* CaptionMessage(GstObject* source, const CaptionShown& caption);
GstMessage* MarkMessage(GstObject* source, const CaptionShown& caption, learner::Mark mark);
GstMessage* KeyMessage(GstObject* source, KeyAction action, bool marked, bool captionsOff);

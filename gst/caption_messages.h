// The element messages that applications follow: tpp25frame-caption when a
// caption starts, tpp25frame-mark when the viewer marks one; both with
// index, word, translation and list (the word list's path, or builtin),
// the mark with mark (known or again) too.
#pragma once

#include <gst/gst.h>

#include "frontend/caption_engine.h"

GstMessage* CaptionMessage(GstObject* source, const CaptionShown& caption);
GstMessage* MarkMessage(GstObject* source, const CaptionShown& caption, learner::Mark mark);

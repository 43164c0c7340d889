// Puts the overlay engine into a known state for native tests: the box
// renderer, default settings, a fresh random source and a small built-in
// dictionary walked in order.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/support/box_caption_renderer.h"

// Fills the built-in dictionary with these word/translation pairs.
void SetBuiltinEntries(const std::vector<std::pair<std::string, std::string>>& entries);

// Default settings in the working copy, the random source as at load, the
// engine idle with the box renderer attached.
void ResetOverlay(BoxCaptionRenderer& renderer);

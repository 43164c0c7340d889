// Choosing the next entry for the overlay.
#pragma once

#include <cstdint>
#include <string>

// The one caption string: filled by NextCaption, drawn by the overlay.
// Guarded by captionLock (dictionary_store.h).
extern std::string captionText;

// Advances the selected dictionary by one entry in the chosen order and puts
// that entry into captionText. Returns 0 when the selected dictionary is
// empty (captionText is then empty), else 1.
int32_t NextCaption();

// The virtual canvas that captions are laid out on, whatever the frame's
// size: positions and font heights are in its units.
#pragma once

#include <cstdint>

constexpr int32_t kCanvasWidth = 768;
constexpr int32_t kCanvasHeight = 576;

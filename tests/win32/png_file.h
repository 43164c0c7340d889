// Writes a picture as an uncompressed PNG, so that a person can look at what
// a test saw without any image library on the build machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb: height rows of width pixels, 3 bytes each, top row first.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

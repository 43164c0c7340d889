// The packed built-in dictionary, carried inside the element's library.
#pragma once

#include <cstdint>
#include <span>

std::span<const uint8_t> BuiltinDictionaryBytes();

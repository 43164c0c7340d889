// The packed built-in dictionary that a Linux library carries inside
// itself (the .so and the GStreamer element), decoded once per process.
#pragma once

#include <memory>

#include "dictionary/builtin_dictionary.h"

// The same read-only copy for every instance; decoded at the first call.
std::shared_ptr<const BuiltinDictionary> SharedBuiltinDictionary();

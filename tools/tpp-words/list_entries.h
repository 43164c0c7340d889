// A word list's entries as the element sees them, in its order: a file read
// through the dictionary layer (sorted, repeats dropped), or the built-in
// dictionary this program carries.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "learner/entry.h"

// Nothing when the file cannot be read.
std::optional<std::vector<learner::EntryText>> ListEntries(const std::string& list);

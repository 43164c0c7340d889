// The key words are looked up by in every source: their text in Unicode's
// simple case folding, so that "Lighthouse", "LIGHTHOUSE" and "lighthouse"
// (or "Маяк" and "маяк") find the same entry.
#pragma once

#include <string>
#include <string_view>

std::string FoldCase(std::string_view utf8);

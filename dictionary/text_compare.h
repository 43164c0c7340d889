// The order of the alternative dictionary: UTF-8 text compared without
// regard to case, the same on every build and in every locale.
//
// Each character has a key, and texts compare key by key, a prefix first:
// - a character that Windows-1251 holds keys as its byte there, with A-Z,
//   А-Я and Ё taken as their small letters (so Ђ and ђ, which the code page
//   also holds, stay apart). Any Windows-1251 text therefore sorts, and
//   finds its duplicates, exactly as its bytes always have;
// - any other character keys above them all, as 256 plus its Unicode simple
//   case folding: É and é, Σ, σ and ς, ẞ and ß are alike, and such letters
//   sort after the whole of Windows-1251, by their folded code points.
#pragma once

#include <string_view>

// <0, 0 or >0.
int CompareNoCase(std::string_view a, std::string_view b);

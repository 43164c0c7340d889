// The order of the alternative dictionary: Windows-1251 text compared
// without regard to case, the same on every build and in every locale.
#pragma once

#include <string_view>

// Folds A-Z, А-Я (0xC0-0xDF) and Ё (0xA8) to their small letters, then
// compares unsigned bytes; a prefix sorts first. <0, 0 or >0.
int CompareNoCase1251(std::string_view a, std::string_view b);

// A word as "known" means it: the same word in any list, whatever its case
// and the blanks around it.
#pragma once

#include <string>
#include <string_view>

namespace learner {

// The word with the blanks at either end dropped, each run of blanks inside
// made one space, and its letters case-folded by Unicode's simple folding:
// " Das  Fenster" and "das fenster" are one word, "Fenster" another. Bytes
// that are not UTF-8 stay as they are.
std::string WordKey(std::string_view word);

}  // namespace learner

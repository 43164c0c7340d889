// Where the progress store lies unless the user names another file.
#pragma once

#include <string>

namespace learner {

// $XDG_DATA_HOME/tpp25frame/progress.sqlite, by default under
// ~/.local/share; empty when neither XDG_DATA_HOME (absolute) nor HOME is set.
std::string DefaultStorePath();

// A word list's name in the store: its file's path with every symbolic
// link resolved, so that a list reached through a linked folder keeps one
// history; where it cannot be resolved (the file gone), its absolute path.
std::string ListPathName(const std::string& file);

}  // namespace learner

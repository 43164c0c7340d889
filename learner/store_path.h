// Where the progress store lies unless the user names another file.
#pragma once

#include <string>

namespace learner {

// $XDG_DATA_HOME/tpp25frame/progress.sqlite, by default under
// ~/.local/share; empty when neither XDG_DATA_HOME (absolute) nor HOME is set.
std::string DefaultStorePath();

}  // namespace learner

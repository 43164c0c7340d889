#include "learner/store_path.h"

#include <cstdlib>
#include <filesystem>

namespace learner {

// A relative XDG_DATA_HOME is invalid by its own convention and ignored.
std::string DefaultStorePath() {
    std::string folder;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        folder = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        folder = std::string(home) + "/.local/share";
    } else {
        return std::string();
    }
    return folder + "/tpp25frame/progress.sqlite";
}

std::string ListPathName(const std::string& file) {
    if (file.empty()) return file;
    std::error_code failed;
    const std::filesystem::path resolved = std::filesystem::canonical(file, failed);
    if (!failed) return resolved.string();
    return std::filesystem::absolute(file, failed).lexically_normal().string();
}

}  // namespace learner

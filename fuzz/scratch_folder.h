// A private folder for a file fuzzer's files, made once per process and
// removed at its end. It lies in memory (/dev/shm) where the machine has
// such a folder: every run writes, syncs and replaces files, which on a
// disk costs many times what the code under test does.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (Base() / "tpp-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const char* name) const { return path_ + "/" + name; }

private:
    static std::filesystem::path Base() {
        std::error_code error;
        if (std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }

    std::string path_;
};

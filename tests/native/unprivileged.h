// Running part of a test as an ordinary user: root reads and writes every
// file whatever its mode, which hides what a user meets with files they
// may read but not write. CI runs as root, so the test drops the rights
// itself.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// The user and group a test takes when run as root ("nobody", "nogroup").
inline constexpr uid_t kUnprivilegedId = 65534;

// Runs body in a child process that is no longer root: the folder and all in
// it are given to user and group 65534 first, and the child takes them.
// Run by an ordinary user, the child stays that user. True when the body
// ran to its end without a failed expectation (the child prints those).
template <class Body>
bool RunUnprivileged(const std::string& folder, Body body) {
    const bool root = geteuid() == 0;
    if (root) {
        std::error_code ignored;
        ::lchown(folder.c_str(), kUnprivilegedId, kUnprivilegedId);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
            ::lchown(entry.path().c_str(), kUnprivilegedId, kUnprivilegedId);
    }
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        if (root &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(kUnprivilegedId, kUnprivilegedId, kUnprivilegedId) != 0 ||
             ::setresuid(kUnprivilegedId, kUnprivilegedId, kUnprivilegedId) != 0))
            _exit(3);
        body();
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

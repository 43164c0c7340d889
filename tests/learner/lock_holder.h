// A second process that holds a store's write lock, as another program's
// long transaction would.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "learner/sqlite_db.h"

// Another process holding the store's write lock (BEGIN IMMEDIATE) until
// it is let go or killed.
class LockHolder {
public:
    explicit LockHolder(const std::string& path) {
        int ready[2];
        if (pipe(ready) != 0) return;
        child_ = fork();
        if (child_ == 0) {
            learner::Database db;
            std::string error;
            if (!db.Open(path, error) || !db.Execute("BEGIN IMMEDIATE", error)) _exit(1);
            const char held = 'h';
            if (write(ready[1], &held, 1) != 1) _exit(1);
            for (;;) pause();
        }
        close(ready[1]);
        char held = 0;
        held_ = read(ready[0], &held, 1) == 1;
        close(ready[0]);
    }
    ~LockHolder() { Release(); }
    bool held() const { return held_; }
    void Release() {
        if (child_ <= 0) return;
        kill(child_, SIGKILL);
        waitpid(child_, nullptr, 0);
        child_ = -1;
    }

private:
    pid_t child_ = -1;
    bool held_ = false;
};

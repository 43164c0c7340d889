// Where showings and marks wait when the store cannot take them at stop (a
// lock another program holds, a full disk): a small text file beside the
// store, one event a line, written back into the store and removed at its
// next open. Several processes may add to it and take it at once: each
// holds the file's lock (flock) meanwhile, and one that finds the file
// removed under it opens the new one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "learner/entry_table.h"

namespace learner {

// STORE-queued, beside the store.
std::string SideFilePath(const std::string& store);

// Adds the events at the file's end, creating it; false, with error, when
// they could not all be written (a full disk: the file keeps what it had).
bool AppendSideFile(const std::string& path, const std::vector<Event>& events, std::string& error);

struct SideFileTaken {
    enum Outcome {
        kNone,       // no such file
        kTaken,      // read, handed over, and removed
        kLocked,     // another process holds it: tried again later
        kKept,       // take refused the events: the file stays
        kForeign,    // not a file of this program's: left as it is
        kUnreadable  // cannot be opened or read: left as it is
    } outcome = kNone;
    size_t events = 0;
    size_t damaged = 0;  // lines left out: cut short by a kill, or changed
    std::string error;
};

// Reads the file and hands its events to take, which writes them (true)
// or not; once they are written the file is removed.
SideFileTaken TakeSideFile(const std::string& path, const std::function<bool(const std::vector<Event>&)>& take);

}  // namespace learner

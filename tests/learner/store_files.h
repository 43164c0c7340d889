// A store file as the learner's tests open and query it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "learner/progress_store.h"
#include "learner/sqlite_db.h"

// The store at path, opened; the test fails, saying why, when it is not.
inline std::unique_ptr<learner::ProgressStore> OpenStore(const std::string& path) {
    std::string error;
    auto store = learner::ProgressStore::Open(path, error);
    EXPECT_TRUE(store) << error;
    return store;
}

// The number the query gives, through a connection of its own beside the
// store's; -1 when the file does not open or no row comes.
inline int64_t Count(const std::string& path, const std::string& query) {
    learner::Database db;
    std::string error;
    if (!db.Open(path, error)) return -1;
    learner::Statement count(db, query);
    return count.Step() ? count.Int(0) : -1;
}

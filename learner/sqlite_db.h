// A thin owner of SQLite's connection and statements: closed and finalised
// when they go, errors as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace learner {

class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens or creates the file; false with error when it cannot.
    bool Open(const std::string& path, std::string& error);
    // Opens an existing file to read only; immutable: as a file that no
    // one changes while it is open, which needs no log nor shared memory.
    bool OpenReadOnly(const std::string& path, bool immutable, std::string& error);
    // Runs statements that return no rows; false with error.
    bool Execute(std::string_view sql, std::string& error);
    std::string LastError() const;
    // Whether the last call failed because another connection held a lock.
    bool Busy() const;
    // Rows the last statement inserted, changed or deleted.
    int64_t Changes() const;
    sqlite3* handle() const { return db_; }

private:
    // Opens name (a path, or a URI with SQLITE_OPEN_URI) with SQLite's
    // flags in place of the connection held; false with error.
    bool Connect(const std::string& name, int flags, std::string& error);

    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement(const Database& db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return statement_ != nullptr; }
    // Binds from 1, in order.
    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, double value);
    Statement& Bind(int index, std::string_view text);
    Statement& BindNull(int index);
    // True while there is a row; false at the end and on error (see done).
    bool Step();
    // Whether the last Step ran to the statement's end without error.
    bool done() const { return done_; }
    // Clears the bindings and makes the statement ready to run again.
    void Reset();

    int64_t Int(int column) const;
    double Real(int column) const;
    std::string Text(int column) const;
    std::optional<int64_t> OptionalInt(int column) const;

private:
    sqlite3_stmt* statement_ = nullptr;
    bool done_ = false;
};

}  // namespace learner

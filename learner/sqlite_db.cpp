#include "learner/sqlite_db.h"

#include <sqlite3.h>

namespace learner {

Database::~Database() { sqlite3_close_v2(db_); }

bool Database::Connect(const std::string& name, int flags, std::string& error) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
    if (sqlite3_open_v2(name.c_str(), &db_, flags, nullptr) == SQLITE_OK) return true;
    // SQLite makes a connection even when it fails, but for want of memory.
    error = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close_v2(db_);
    db_ = nullptr;
    return false;
}

bool Database::Open(const std::string& path, std::string& error) {
    return Connect(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, error);
}

bool Database::OpenReadOnly(const std::string& path, bool immutable, std::string& error) {
    std::string uri = "file:";
    for (const char c : path) {
        // The characters a URI's path may not hold as they are.
        if (c == '%' || c == '?' || c == '#') {
            static const char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[static_cast<unsigned char>(c) >> 4];
            uri += kHex[c & 15];
        } else {
            uri += c;
        }
    }
    if (immutable) uri += "?immutable=1";
    return Connect(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, error);
}

bool Database::Execute(std::string_view sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message ? message : LastError();
    sqlite3_free(message);
    return false;
}

std::string Database::LastError() const { return db_ ? sqlite3_errmsg(db_) : "the database is not open"; }

bool Database::Busy() const {
    const int code = sqlite3_errcode(db_) & 0xff;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

int64_t Database::Changes() const { return sqlite3_changes64(db_); }

Statement::Statement(const Database& db, std::string_view sql) {
    if (sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) != SQLITE_OK)
        statement_ = nullptr;
}

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement& Statement::Bind(int index, int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

Statement& Statement::Bind(int index, double value) {
    sqlite3_bind_double(statement_, index, value);
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::BindNull(int index) {
    sqlite3_bind_null(statement_, index);
    return *this;
}

bool Statement::Step() {
    const int result = statement_ ? sqlite3_step(statement_) : SQLITE_MISUSE;
    done_ = result == SQLITE_DONE;
    return result == SQLITE_ROW;
}

void Statement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    done_ = false;
}

int64_t Statement::Int(int column) const { return sqlite3_column_int64(statement_, column); }
double Statement::Real(int column) const { return sqlite3_column_double(statement_, column); }

std::string Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
}

std::optional<int64_t> Statement::OptionalInt(int column) const {
    if (sqlite3_column_type(statement_, column) == SQLITE_NULL) return std::nullopt;
    return Int(column);
}

}  // namespace learner

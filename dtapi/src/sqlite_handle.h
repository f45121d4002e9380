// Owning wrappers around SQLite connections and statements that turn errors
// into Failures carrying the database's own message.
#ifndef ZEVDTAPI_SQLITE_HANDLE_H
#define ZEVDTAPI_SQLITE_HANDLE_H

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <utility>

#include "busy_wait.h"
#include "errors.h"
#include "quote_identifier.h"

namespace zevdtapi {

class Statement {
  public:
    Statement() = default;
    Statement(sqlite3* db, const std::string& sql, uint32_t failNumber = kQuery) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &stmt_, nullptr) != SQLITE_OK) {
            std::string message = DatabaseMessage(db);
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
            Fail(failNumber, "The database refused a query: " + message);
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& o) noexcept : db_(o.db_), stmt_(std::exchange(o.stmt_, nullptr)) {}
    Statement& operator=(Statement&& o) noexcept {
        if (this != &o) {
            sqlite3_finalize(stmt_);
            db_ = o.db_;
            stmt_ = std::exchange(o.stmt_, nullptr);
        }
        return *this;
    }
    ~Statement() { sqlite3_finalize(stmt_); }

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

    void BindText(int index, const std::string& text) {
        Check(sqlite3_bind_text(stmt_, index, text.data(), int(text.size()), SQLITE_TRANSIENT));
    }
    void BindBlob(int index, const void* data, size_t size) {
        Check(sqlite3_bind_blob(stmt_, index, data, int(size), SQLITE_TRANSIENT));
    }
    void BindInt(int index, int64_t value) { Check(sqlite3_bind_int64(stmt_, index, value)); }

    // True for a row, false when done; a failure throws with the database's text.
    bool Step(uint32_t failNumber = kQuery) {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        Fail(failNumber, "The database failed: " + DatabaseMessage(db_));
    }

    std::string Text(int column) const {
        const unsigned char* t = sqlite3_column_text(stmt_, column);
        return t ? std::string(reinterpret_cast<const char*>(t), size_t(sqlite3_column_bytes(stmt_, column)))
                 : std::string();
    }
    int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
    bool IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

  private:
    void Check(int rc) {
        if (rc != SQLITE_OK)
            Fail(kQuery, std::string("The database refused a value: ") + sqlite3_errmsg(db_));
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

class Connection {
  public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { Close(); }

    void Open(const std::string& path, int flags) {
        Close();
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
        if (rc != SQLITE_OK) {
            std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
            sqlite3_close_v2(db);
            Fail(kDatabaseOpen, "The database \"" + path + "\" cannot be opened: " + message);
        }
        db_ = db;
    }
    void Close() {
        if (db_)
            sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    sqlite3* get() const { return db_; }
    explicit operator bool() const { return db_ != nullptr; }

    void Execute(const std::string& sql, uint32_t failNumber = kQuery) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            std::string text = DatabaseMessage(db_);
            sqlite3_free(message);
            Fail(failNumber, "The database failed: " + text);
        }
    }

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace zevdtapi

#endif

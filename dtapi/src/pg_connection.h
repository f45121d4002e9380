// Owning wrappers around libpq connections and results that turn errors into
// Failures carrying the server's own message.
#ifndef ZEVDTAPI_PG_CONNECTION_H
#define ZEVDTAPI_PG_CONNECTION_H

#include <libpq-fe.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bound_value.h"
#include "errors.h"

namespace zevdtapi {

class PgResult {
  public:
    PgResult() = default;
    explicit PgResult(PGresult* r) : r_(r) {}
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;
    PgResult(PgResult&& o) noexcept : r_(std::exchange(o.r_, nullptr)) {}
    PgResult& operator=(PgResult&& o) noexcept {
        if (this != &o) {
            PQclear(r_);
            r_ = std::exchange(o.r_, nullptr);
        }
        return *this;
    }
    ~PgResult() { PQclear(r_); }

    PGresult* get() const { return r_; }
    explicit operator bool() const { return r_ != nullptr; }
    int rows() const { return PQntuples(r_); }
    int columns() const { return PQnfields(r_); }
    bool IsNull(int row, int column) const { return PQgetisnull(r_, row, column) != 0; }
    std::string Text(int row, int column) const {
        return std::string(PQgetvalue(r_, row, column), size_t(PQgetlength(r_, row, column)));
    }
    // The five-character SQLSTATE, or "" when the result carries none.
    std::string State() const;
    // The server's message without the "ERROR:" prefix and the newline.
    std::string Message() const;

  private:
    PGresult* r_ = nullptr;
};

class PgConnection {
  public:
    PgConnection() = default;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    ~PgConnection() { Close(); }

    // Connects to the URI; a failure is kDatabaseOpen with libpq's reason
    // (its password masked), or with "did not answer" after the connect timeout.
    void Open(const std::string& uri);
    void Close();
    PGconn* get() const { return conn_; }
    // Runs after every connection: the first, and one made again by the next
    // statement after the server stopped answering or the connection broke.
    void OnConnect(std::function<void(PgConnection&)> prepare) { onConnect_ = std::move(prepare); }
    // How long a statement may go without a word from the server before the
    // connection is given up (until then: the connect timeout).
    void SetAnswerDeadline(long long ms) { answerMs_ = ms; }

    // Runs one statement with its values bound (text, or unknown-typed for
    // numbers so that the server types them by their use). binary asks for
    // results in binary form; binaryParams marks values sent as raw bytes.
    // A failed statement throws failNumber with prefix + the server's message.
    PgResult Run(const std::string& sql, const std::vector<BoundValue>& params, uint32_t failNumber,
                 const std::string& prefix, bool binary = false, const std::vector<bool>& binaryParams = {});
    // The same for a statement without values.
    PgResult Run(const std::string& sql, uint32_t failNumber, const std::string& prefix) {
        return Run(sql, {}, failNumber, prefix);
    }
    // Runs a statement whose failure does not matter (ROLLBACK on a way out).
    void RunQuietly(const std::string& sql) noexcept;

    std::string ConnectionMessage() const;

  private:
    void Connect();
    // Waits for the statement just sent, never longer than the answer
    // deadline without a word from the server; keeps the last result.
    PgResult Await(uint32_t failNumber, const std::string& prefix);

    PGconn* conn_ = nullptr;
    std::string uri_;
    std::vector<std::string> secrets_;
    int connectTimeoutS_ = 0;
    long long answerMs_ = 0;
    // A connection lost inside a transaction is not silently replaced: the
    // statements after it would run outside the transaction.
    bool inTransaction_ = false;
    std::function<void(PgConnection&)> onConnect_;
};

// A name quoted for PostgreSQL exactly as given.
std::string PgQuoteIdentifier(const std::string& name);

// "?" placeholders of the catalog's fixed statements as "$1", "$2", ...
std::string PgPlaceholders(const std::string& sql);

}  // namespace zevdtapi

#endif

#include "pg_connection.h"

#include "busy_wait.h"
#include "quote_identifier.h"

namespace zevdtapi {
namespace {

std::string TrimEnd(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '\r')) s.pop_back();
    return s;
}

// Keeps the server's notices (a truncated name, an implicit index) off the
// host program's standard error.
void IgnoreNotice(void*, const char*) {}

}  // namespace

std::string PgResult::State() const {
    const char* s = r_ ? PQresultErrorField(r_, PG_DIAG_SQLSTATE) : nullptr;
    return s ? s : "";
}

std::string PgResult::Message() const {
    const char* primary = r_ ? PQresultErrorField(r_, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (primary)
        return primary;
    return TrimEnd(r_ ? PQresultErrorMessage(r_) : "");
}

void PgConnection::Open(const std::string& uri) {
    Close();
    conn_ = PQconnectdb(uri.c_str());
    if (!conn_)
        Fail(kOutOfMemory, "The database ran out of memory.");
    if (PQstatus(conn_) != CONNECTION_OK) {
        std::string why = ConnectionMessage();
        Close();
        Fail(kDatabaseOpen, "The database cannot be opened: " + why);
    }
    PQsetNoticeProcessor(conn_, IgnoreNotice, nullptr);
}

void PgConnection::Close() {
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
}

std::string PgConnection::ConnectionMessage() const {
    return TrimEnd(conn_ ? PQerrorMessage(conn_) : "out of memory");
}

PgResult PgConnection::Run(const std::string& sql, const std::vector<BoundValue>& params, uint32_t failNumber,
                           const std::string& prefix, bool binary, const std::vector<bool>& binaryParams) {
    std::vector<Oid> types;
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (size_t i = 0; i < params.size(); ++i) {
        bool raw = i < binaryParams.size() && binaryParams[i];
        types.push_back(raw ? Oid(17) : params[i].kind == BoundValue::Number ? Oid(0) : Oid(25));
        values.push_back(params[i].text.c_str());
        lengths.push_back(int(params[i].text.size()));
        formats.push_back(raw ? 1 : 0);
    }
    // Without values the simple protocol runs it, which takes several statements at once.
    PgResult r(params.empty() && !binary
                   ? PQexec(conn_, sql.c_str())
                   : PQexecParams(conn_, sql.c_str(), int(params.size()), types.data(), values.data(),
                                  lengths.data(), formats.data(), binary ? 1 : 0));
    if (!r) {
        // libpq refused to send it (too many values, a lost connection) or had no memory.
        std::string why = ConnectionMessage();
        if (why.empty() || why.find("out of memory") != std::string::npos)
            Fail(kOutOfMemory, "The database ran out of memory.");
        Fail(failNumber, prefix + why);
    }
    ExecStatusType st = PQresultStatus(r.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        if (r.State() == "53200")
            Fail(kOutOfMemory, "The database ran out of memory.");
        // lock_not_available: the lock_timeout every connection sets ran out.
        if (r.State() == "55P03")
            Fail(failNumber, prefix + LockedMessage());
        std::string message = r.Message();
        if (message.empty())
            message = ConnectionMessage();
        Fail(failNumber, prefix + message);
    }
    return r;
}

void PgConnection::RunQuietly(const std::string& sql) noexcept {
    if (conn_)
        PQclear(PQexec(conn_, sql.c_str()));
}

std::string PgQuoteIdentifier(const std::string& name) {
    return QuoteIdentifier(name);
}

std::string PgPlaceholders(const std::string& sql) {
    std::string out;
    int n = 0;
    for (char c : sql) {
        if (c == '?')
            out += "$" + std::to_string(++n);
        else
            out += c;
    }
    return out;
}

}  // namespace zevdtapi

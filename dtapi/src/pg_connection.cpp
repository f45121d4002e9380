#include "pg_connection.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "busy_wait.h"
#include "pg_conninfo.h"
#include "pg_roles.h"
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

std::string Seconds(long long ms) {
    char text[32];
    std::snprintf(text, sizeof(text), ms % 1000 ? "%.1f s" : "%.0f s", double(ms) / 1000.0);
    return text;
}

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

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
    PgConnectParams p = PgConnectParamsFor(uri);
    uri_ = uri;
    secrets_ = p.secrets;
    connectTimeoutS_ = p.connectTimeoutS;
    // Until the caller knows the statement timeout, the session's first
    // statements are waited for as long as the connection was.
    answerMs_ =
        connectTimeoutS_ > 0 ? connectTimeoutS_ * 1000LL : kDefaultStatementTimeoutMs + kAnswerMarginMs;
    std::vector<const char*> keywords, values;
    for (size_t i = 0; i + 1 < p.settings.size(); i += 2) {
        keywords.push_back(p.settings[i].c_str());
        values.push_back(p.settings[i + 1].c_str());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    conn_ = PQconnectdbParams(keywords.data(), values.data(), 1);
    if (!conn_)
        Fail(kOutOfMemory, "The database ran out of memory.");
    if (PQstatus(conn_) != CONNECTION_OK) {
        std::string why = ConnectionMessage();
        // libpq counts its connect timeout in whole seconds, so its own "timeout
        // expired" may come up to a second early: that is the same frozen server.
        if (connectTimeoutS_ > 0 && (MsSince(start) >= connectTimeoutS_ * 1000LL - 100 ||
                                     why.find("timeout expired") != std::string::npos))
            why = "the server did not answer within " + Seconds(connectTimeoutS_ * 1000LL) + " (" + why + ")";
        Close();
        Fail(kDatabaseOpen, "The database cannot be opened: " + why);
    }
    PQsetNoticeProcessor(conn_, IgnoreNotice, nullptr);
    inTransaction_ = false;
    if (onConnect_) {
        try {
            onConnect_(*this);
        } catch (...) {
            Close();
            throw;
        }
    }
}

void PgConnection::Connect() {
    if (uri_.empty())
        Fail(kCallOrder, "The database is not open.");
    long long answer = answerMs_;
    Open(std::string(uri_));
    answerMs_ = answer;
}

void PgConnection::Close() {
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
}

std::string PgConnection::ConnectionMessage() const {
    return MaskPassword(TrimEnd(conn_ ? PQerrorMessage(conn_) : "out of memory"), secrets_);
}

PgResult PgConnection::Await(uint32_t failNumber, const std::string& prefix) {
    PgResult last;
    const int socket = PQsocket(conn_);
    Clock::time_point heard = Clock::now();
    for (;;) {
        int unsent = PQflush(conn_);
        while (unsent == 0 && !PQisBusy(conn_)) {
            PGresult* next = PQgetResult(conn_);
            if (!next) {
                PQsetnonblocking(conn_, 0);
                inTransaction_ = PQtransactionStatus(conn_) != PQTRANS_IDLE;
                return last;
            }
            last = PgResult(next);
            ExecStatusType st = PQresultStatus(next);
            if (st == PGRES_COPY_IN || st == PGRES_COPY_OUT || st == PGRES_COPY_BOTH ||
                PQstatus(conn_) == CONNECTION_BAD) {
                PQsetnonblocking(conn_, 0);
                return last;
            }
        }
        if (unsent < 0)
            return last;
        const long long left = answerMs_ - MsSince(heard);
        pollfd p{socket, short(POLLIN | (unsent ? POLLOUT : 0)), 0};
        int ready = left > 0 ? poll(&p, 1, int(std::min(left, 60000LL))) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0 && MsSince(heard) >= answerMs_) {
            // A frozen server and a lost network look alike from here. The
            // connection is given up (a cancel request would wait on the same
            // server); the next statement connects again.
            Close();
            Fail(failNumber, prefix + "the server did not answer within " + Seconds(answerMs_) +
                                 "; the connection was closed and the next call opens it again.");
        }
        if (ready > 0 && (p.revents & (POLLIN | POLLERR | POLLHUP))) {
            heard = Clock::now();
            if (!PQconsumeInput(conn_))
                return last;
        }
    }
}

PgResult PgConnection::Run(const std::string& sql, const std::vector<BoundValue>& params, uint32_t failNumber,
                           const std::string& prefix, bool binary, const std::vector<bool>& binaryParams) {
    if (!conn_ || PQstatus(conn_) == CONNECTION_BAD) {
        if (inTransaction_)
            Fail(failNumber, prefix + "the connection to the server was lost.");
        Connect();
    }
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
    // Sent without blocking, and its answer awaited with a deadline: a server
    // that stops answering must not hold the host's thread for good. Without
    // values the simple protocol runs it, which takes several statements at once.
    PQsetnonblocking(conn_, 1);
    int sent = params.empty() && !binary
                   ? PQsendQuery(conn_, sql.c_str())
                   : PQsendQueryParams(conn_, sql.c_str(), int(params.size()), types.data(), values.data(),
                                       lengths.data(), formats.data(), binary ? 1 : 0);
    PgResult r;
    if (sent)
        r = Await(failNumber, prefix);
    else
        PQsetnonblocking(conn_, 0);
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
        std::string message = MaskPassword(r.Message(), secrets_);
        if (message.empty())
            message = ConnectionMessage();
        Fail(failNumber, prefix + message);
    }
    return r;
}

void PgConnection::RunQuietly(const std::string& sql) noexcept {
    // On a way out: a lost connection has ended its transaction already.
    if (!conn_ || PQstatus(conn_) == CONNECTION_BAD) {
        inTransaction_ = false;
        return;
    }
    try {
        PQsetnonblocking(conn_, 1);
        if (PQsendQuery(conn_, sql.c_str()))
            Await(kQuery, "");
        else
            PQsetnonblocking(conn_, 0);
    } catch (...) {
        inTransaction_ = false;
    }
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

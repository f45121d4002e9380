// The PostgreSQL engine. The catalog is read and saved filters are written on
// one connection, as the URI's user. Report data is read on a second
// connection (distinct values on a third, whose cursor stays open between
// calls), each statement in a read-only transaction under the report's reader
// role, which may read the report's tables and nothing else.
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "backend.h"
#include "busy_wait.h"
#include "number_text.h"
#include "pg_connection.h"
#include "pg_conninfo.h"
#include "pg_roles.h"

namespace zevdtapi {
namespace {

constexpr const char* kReadPrefix = "The database failed while reading the report: ";
// Rows of report data fetched at a time.
constexpr int kRowBatch = 10000;

// Sent when a cancel must stop whatever runs on the connection. PQcancel may
// be called from any thread; a connection made again gets a new cancel key.
class CancelHandle {
  public:
    CancelHandle() = default;
    ~CancelHandle() { Renew(nullptr); }
    CancelHandle(const CancelHandle&) = delete;
    CancelHandle& operator=(const CancelHandle&) = delete;
    void Renew(PGconn* conn) {
        std::lock_guard<std::mutex> lock(guard_);
        if (cancel_)
            PQfreeCancel(cancel_);
        cancel_ = conn ? PQgetCancel(conn) : nullptr;
    }
    void Send() {
        std::lock_guard<std::mutex> lock(guard_);
        char why[256];
        if (cancel_)
            PQcancel(cancel_, why, int(sizeof(why)));
    }

  private:
    std::mutex guard_;
    PGcancel* cancel_ = nullptr;
};

// Statement settings every connection shares: whole numbers of REAL columns
// and decimals printed with 15 significant digits, as SQLite prints them, and
// text in UTF-8 whatever the server's encoding. A lock another program holds
// is waited for as briefly as on SQLite (unless the URI or the server sets a
// wait of its own): the user waits under a busy cursor meanwhile.
void Prepare(PgConnection& c) {
    c.Run(
        "SET extra_float_digits = 0; SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD'; "
        "SELECT set_config('lock_timeout', '" +
            std::to_string(kBusyWaitMs) + "', false) WHERE current_setting('lock_timeout') = '0'",
        kDatabaseOpen, "The database cannot be opened: ");
}

class PostgresBackend;

class PgValues : public ValueCursor {
  public:
    PgValues(PostgresBackend& owner, PgConnection& conn) : owner_(owner), conn_(conn) {}
    ~PgValues() override { conn_.RunQuietly("ROLLBACK"); }
    bool Next(size_t max, bool decimal, std::vector<std::string>* out) override;

  private:
    PostgresBackend& owner_;
    PgConnection& conn_;
};

class PostgresBackend : public Backend {
  public:
    PostgresBackend(const std::string& uri, const std::atomic<bool>* cancel) : uri_(uri), cancel_(cancel) {
        catalog_.OnConnect(Prepare);
        catalog_.Open(uri);
        query_.OnConnect([this](PgConnection& c) {
            Prepare(c);
            queryCancel_.Renew(c.get());
        });
        query_.Open(uri);
        PgResult db =
            catalog_.Run("SELECT current_database()", kDatabaseOpen, "The database cannot be opened: ");
        database_ = db.Text(0, 0);
        // A timeout the URI or the server sets is kept; none becomes ours.
        PgResult t = query_.Run("SELECT setting FROM pg_settings WHERE name = 'statement_timeout'",
                                kDatabaseOpen, "The database cannot be opened: ");
        timeoutMs_ = t.rows() == 1 ? std::strtoll(t.Text(0, 0).c_str(), nullptr, 10) : 0;
        if (timeoutMs_ <= 0)
            timeoutMs_ = kDefaultStatementTimeoutMs;
        catalog_.SetAnswerDeadline(timeoutMs_ + kAnswerMarginMs);
        query_.SetAnswerDeadline(timeoutMs_ + kAnswerMarginMs);
    }

    Engine engine() const override { return Engine::Postgres; }

    std::vector<DbRow> CatalogRows(const std::string& sql, const std::vector<BoundValue>& params) override {
        PgResult r = catalog_.Run(PgPlaceholders(sql), params, kCatalog, "The database failed: ");
        std::vector<DbRow> rows;
        for (int i = 0; i < r.rows(); ++i) {
            DbRow row;
            for (int c = 0; c < r.columns(); ++c) {
                if (r.IsNull(i, c))
                    row.emplace_back();
                else
                    row.emplace_back(r.Text(i, c));
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    bool HasTable(const std::string& name) override {
        PgResult r = catalog_.Run(
            "SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = "
            "c.relnamespace "
            "WHERE c.relname = $1 AND c.relkind IN ('r', 'p') AND n.nspname = ANY (current_schemas(false))",
            {BoundValue(name)}, kCatalog, "The database failed: ");
        return r.Text(0, 0) != "0";
    }

    std::vector<std::string> LoadFilters(int64_t reportId) override {
        PgResult r = catalog_.Run("SELECT record FROM dt_saved_filter WHERE report_id = $1 ORDER BY position",
                                  {Number(reportId)}, kCatalog, "The database failed: ", true);
        std::vector<std::string> out;
        for (int i = 0; i < r.rows(); ++i) out.push_back(r.Text(i, 0));
        return out;
    }

    void ReplaceFilters(int64_t reportId, const std::vector<std::string>& records) override {
        const std::string prefix = "The saved filters cannot be written: ";
        catalog_.Run("BEGIN", kFilterSave, prefix);
        try {
            // The report's row is locked first: a second saver of the same
            // report waits here until this one has committed or rolled back.
            catalog_.Run("SELECT id FROM dt_report WHERE id = $1 FOR UPDATE", {Number(reportId)}, kFilterSave,
                         prefix);
            catalog_.Run("DELETE FROM dt_saved_filter WHERE report_id = $1", {Number(reportId)}, kFilterSave,
                         prefix);
            for (size_t i = 0; i < records.size(); ++i) {
                catalog_.Run("INSERT INTO dt_saved_filter (report_id, position, record) VALUES ($1, $2, $3)",
                             {Number(reportId), Number(int64_t(i)), BoundValue(records[i])}, kFilterSave,
                             prefix, false, {false, false, true});
            }
            catalog_.Run("COMMIT", kFilterSave, prefix);
        } catch (...) {
            catalog_.RunQuietly("ROLLBACK");
            throw;
        }
    }

    void UseReport(int64_t reportId, const std::set<std::string>& tables,
                   const std::string& probeSql) override {
        // Tables only: a view would read, with its owner's rights, tables the
        // report does not list.
        for (const std::string& t : tables) {
            if (!HasTable(t)) {
                role_.clear();
                Fail(kReportDefinition, "\"" + t + "\" is not a table of the database.");
            }
        }
        std::string role = ReportReaderRole(database_, reportId);
        PgResult known = catalog_.Run("SELECT count(*) FROM pg_catalog.pg_roles WHERE rolname = $1",
                                      {BoundValue(role)}, kCatalog, "The database failed: ");
        if (known.Text(0, 0) == "0") {
            role_.clear();
            Fail(kReportDefinition, "Its reader role \"" + role +
                                        "\" does not exist; grant the report's tables with zevdtapi-sample "
                                        "--grant.");
        }
        role_ = role;
        try {
            Begin(query_, kReportDefinition, "The database refused the report: ");
            query_.Run(probeSql, kReportDefinition, "The database refused the report: ");
            query_.Run("COMMIT", kReportDefinition, "The database refused the report: ");
        } catch (...) {
            query_.RunQuietly("ROLLBACK");
            role_.clear();
            throw;
        }
    }

    void FetchRows(const BoundQuery& q, CellWriter& out) override {
        RequireReport();
        Begin(query_, kQuery, kReadPrefix);
        // Rows come through a cursor in batches: a large result is never held
        // twice, and one result per batch costs far less than libpq's
        // single-row mode, which makes a result, and its allocations, per row.
        const int n = int(q.resultColumns);
        try {
            Running running(*this, &queryCancel_);
            query_.Run("DECLARE zevdtapi_rows NO SCROLL CURSOR FOR " + q.sql, q.values, kQuery, kReadPrefix);
            const std::string fetch = "FETCH FORWARD " + std::to_string(kRowBatch) + " FROM zevdtapi_rows";
            for (;;) {
                PgResult r = query_.Run(fetch, kQuery, kReadPrefix);
                PGresult* raw = r.get();
                const int rows = r.rows();
                for (int i = 0; i < rows; ++i) {
                    out.BeginRow();
                    for (int c = 0; c < n; ++c) {
                        if (PQgetisnull(raw, i, c))
                            out.Null();
                        else
                            out.Text(size_t(c), PQgetvalue(raw, i, c), size_t(PQgetlength(raw, i, c)));
                    }
                }
                if (rows < kRowBatch)
                    break;
            }
            query_.Run("COMMIT", kQuery, kReadPrefix);
        } catch (const Failure&) {
            query_.RunQuietly("ROLLBACK");
            // A cancel stops whichever statement runs, the COMMIT included.
            if (cancel_->load())
                Fail(kCancelled, "The request was cancelled.");
            throw;
        } catch (...) {
            // Our side gave up (too many cells, no memory) between two batches.
            query_.RunQuietly("ROLLBACK");
            throw;
        }
    }

    std::unique_ptr<ValueCursor> OpenValues(const BoundQuery& q) override {
        RequireReport();
        if (!values_.get()) {
            values_.OnConnect([this](PgConnection& c) {
                Prepare(c);
                valuesCancel_.Renew(c.get());
            });
            values_.Open(uri_);
            values_.SetAnswerDeadline(timeoutMs_ + kAnswerMarginMs);
        }
        Begin(values_, kQuery, kReadPrefix);
        try {
            Running running(*this, &valuesCancel_);
            values_.Run("DECLARE zevdtapi_values NO SCROLL CURSOR FOR " + q.sql, q.values, kQuery,
                        kReadPrefix);
        } catch (const Failure& f) {
            values_.RunQuietly("ROLLBACK");
            if (cancel_->load())
                Fail(kCancelled, "The request was cancelled.");
            throw;
        }
        return std::make_unique<PgValues>(*this, values_);
    }

    void Interrupt() override {
        std::lock_guard<std::mutex> lock(activeGuard_);
        if (active_)
            active_->Send();
    }

    // While one statement runs: the cancel that Interrupt sends.
    class Running {
      public:
        Running(PostgresBackend& b, CancelHandle* c) : b_(b) {
            std::lock_guard<std::mutex> lock(b_.activeGuard_);
            b_.active_ = c;
        }
        ~Running() {
            std::lock_guard<std::mutex> lock(b_.activeGuard_);
            b_.active_ = nullptr;
        }

      private:
        PostgresBackend& b_;
    };

    const std::atomic<bool>* cancel() const { return cancel_; }
    CancelHandle* valuesCancel() { return &valuesCancel_; }

  private:
    static BoundValue Number(int64_t v) { return BoundValue(std::to_string(v), BoundValue::Number); }

    void RequireReport() const {
        if (role_.empty())
            Fail(kCallOrder, "No report is executed: ZevDTAPIExecuteReport must come first.");
        if (cancel_->load())
            Fail(kCancelled, "The request was cancelled.");
    }

    // A read-only transaction under the report's reader role, bounded by the timeout.
    void Begin(PgConnection& c, uint32_t failNumber, const std::string& prefix) {
        c.Run("BEGIN TRANSACTION READ ONLY; SET LOCAL ROLE " + PgQuoteIdentifier(role_) +
                  "; SET LOCAL statement_timeout = " + std::to_string(timeoutMs_),
              failNumber, prefix);
    }

    std::string uri_;
    const std::atomic<bool>* cancel_;
    PgConnection catalog_, query_, values_;
    CancelHandle queryCancel_, valuesCancel_;
    std::mutex activeGuard_;
    CancelHandle* active_ = nullptr;
    std::string database_, role_;
    long long timeoutMs_ = 0;
};

bool PgValues::Next(size_t max, bool decimal, std::vector<std::string>* out) {
    if (owner_.cancel()->load())
        Fail(kCancelled, "The request was cancelled.");
    PgResult r;
    try {
        PostgresBackend::Running running(owner_, owner_.valuesCancel());
        r = conn_.Run("FETCH FORWARD " + std::to_string(max) + " FROM zevdtapi_values", kQuery, kReadPrefix);
    } catch (const Failure&) {
        if (owner_.cancel()->load())
            Fail(kCancelled, "The request was cancelled.");
        throw;
    }
    for (int i = 0; i < r.rows(); ++i) {
        const char* t = PQgetvalue(r.get(), i, 0);
        size_t n = size_t(PQgetlength(r.get(), i, 0));
        if (decimal) {
            std::string v(n + 2, '\0');
            v.resize(NormaliseDecimal(t, n, &v[0]));
            out->push_back(std::move(v));
        } else {
            out->emplace_back(t, n);
        }
    }
    return size_t(r.rows()) == max;
}

}  // namespace

std::unique_ptr<Backend> OpenPostgresBackend(const std::string& uri, const std::atomic<bool>* cancel) {
    return std::make_unique<PostgresBackend>(uri, cancel);
}

}  // namespace zevdtapi

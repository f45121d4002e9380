// The SQLite engine: a read-write catalog connection and a read-only,
// defensive query connection whose authorizer keeps a report to its tables.
#include <cstdlib>

#include "backend.h"
#include "busy_wait.h"
#include "number_text.h"
#include "query_connection.h"
#include "sqlite_handle.h"

namespace zevdtapi {
namespace {

void Bind(Statement& s, const std::vector<BoundValue>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        const BoundValue& v = values[i];
        int index = int(i + 1);
        if (v.kind == BoundValue::Number) {
            // Integers stay exact; everything else compares as a double, as SQLite stores REALs.
            bool integral = v.text.find_first_of(".eE") == std::string::npos && v.text.size() < 19;
            if (integral) {
                s.BindInt(index, std::strtoll(v.text.c_str(), nullptr, 10));
            } else {
                sqlite3_bind_double(s.get(), index, std::strtod(v.text.c_str(), nullptr));
            }
        } else {
            s.BindText(index, v.text);
        }
    }
}

class SqliteBackend;

[[noreturn]] void FailStep(sqlite3* db, int rc, const std::atomic<bool>* cancel) {
    if (rc == SQLITE_INTERRUPT || cancel->load())
        Fail(kCancelled, "The request was cancelled.");
    if (rc == SQLITE_NOMEM)
        Fail(kOutOfMemory, "The database ran out of memory.");
    Fail(kQuery, "The database failed while reading the report: " + DatabaseMessage(db));
}

class SqliteValues : public ValueCursor {
  public:
    SqliteValues(Statement s, const std::atomic<bool>* cancel) : s_(std::move(s)), cancel_(cancel) {}

    bool Next(size_t max, bool decimal, std::vector<std::string>* out) override {
        sqlite3_stmt* st = s_.get();
        size_t taken = 0;
        while (taken < max) {
            if (cancel_->load())
                Fail(kCancelled, "The request was cancelled.");
            int rc = sqlite3_step(st);
            if (rc == SQLITE_DONE)
                return false;
            if (rc != SQLITE_ROW)
                FailStep(sqlite3_db_handle(st), rc, cancel_);
            const unsigned char* t = sqlite3_column_text(st, 0);
            if (!t)
                Fail(kOutOfMemory, "The database ran out of memory.");
            size_t n = size_t(sqlite3_column_bytes(st, 0));
            if (decimal) {
                std::string v(n + 2, '\0');
                v.resize(NormaliseDecimal(reinterpret_cast<const char*>(t), n, &v[0]));
                out->push_back(std::move(v));
            } else {
                out->emplace_back(reinterpret_cast<const char*>(t), n);
            }
            ++taken;
        }
        return true;
    }

  private:
    Statement s_;
    const std::atomic<bool>* cancel_;
};

class SqliteBackend : public Backend {
  public:
    SqliteBackend(const std::string& path, const std::atomic<bool>* cancel) : cancel_(cancel) {
        catalog_.Open(path, SQLITE_OPEN_READWRITE);
        sqlite3_db_config(catalog_.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(catalog_.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        WaitBrieflyWhenBusy(catalog_.get(), cancel);
        query_.Open(path, cancel);
    }

    Engine engine() const override { return Engine::Sqlite; }

    std::vector<DbRow> CatalogRows(const std::string& sql, const std::vector<BoundValue>& params) override {
        Statement s(catalog_.get(), sql, kCatalog);
        Bind(s, params);
        std::vector<DbRow> rows;
        while (s.Step(kCatalog)) {
            DbRow row;
            int n = sqlite3_column_count(s.get());
            for (int c = 0; c < n; ++c) {
                if (s.IsNull(c))
                    row.emplace_back();
                else
                    row.emplace_back(s.Text(c));
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    bool HasTable(const std::string& name) override {
        Statement s(catalog_.get(), "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = ?",
                    kCatalog);
        s.BindText(1, name);
        s.Step(kCatalog);
        return s.Int(0) != 0;
    }

    std::vector<std::string> LoadFilters(int64_t reportId) override {
        Statement s(catalog_.get(),
                    "SELECT record FROM dt_saved_filter WHERE report_id = ? ORDER BY position", kCatalog);
        s.BindInt(1, reportId);
        std::vector<std::string> out;
        while (s.Step(kCatalog)) {
            const void* data = sqlite3_column_blob(s.get(), 0);
            int size = sqlite3_column_bytes(s.get(), 0);
            out.emplace_back(static_cast<const char*>(data), size_t(data ? size : 0));
        }
        return out;
    }

    void ReplaceFilters(int64_t reportId, const std::vector<std::string>& records) override {
        sqlite3* db = catalog_.get();
        // BEGIN IMMEDIATE takes the write lock before anything is read, so two
        // savers queue up behind each other instead of failing mid-way.
        char* message = nullptr;
        if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, &message) != SQLITE_OK) {
            sqlite3_free(message);
            Fail(kFilterSave, "The saved filters cannot be written: " + DatabaseMessage(db));
        }
        try {
            Statement del(db, "DELETE FROM dt_saved_filter WHERE report_id = ?", kFilterSave);
            del.BindInt(1, reportId);
            del.Step(kFilterSave);
            Statement ins(db, "INSERT INTO dt_saved_filter (report_id, position, record) VALUES (?, ?, ?)",
                          kFilterSave);
            for (size_t i = 0; i < records.size(); ++i) {
                ins.BindInt(1, reportId);
                ins.BindInt(2, int64_t(i));
                ins.BindBlob(3, records[i].data(), records[i].size());
                ins.Step(kFilterSave);
                sqlite3_reset(ins.get());
            }
            if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
                Fail(kFilterSave, "The saved filters cannot be written: " + DatabaseMessage(db));
            }
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    void UseReport(int64_t, const std::set<std::string>& tables, const std::string& probeSql) override {
        query_.AllowTables(tables);
        Statement probe(query_.get(), probeSql, kReportDefinition);
    }

    void FetchRows(const BoundQuery& q, CellWriter& out) override {
        Statement s(query_.get(), q.sql);
        Bind(s, q.values);
        sqlite3_stmt* st = s.get();
        const int n = int(q.resultColumns);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            out.BeginRow();
            for (int c = 0; c < n; ++c) {
                const unsigned char* text = sqlite3_column_text(st, c);
                if (!text) {
                    if (sqlite3_column_type(st, c) != SQLITE_NULL)
                        Fail(kOutOfMemory, "The database ran out of memory.");
                    out.Null();
                    continue;
                }
                out.Text(size_t(c), reinterpret_cast<const char*>(text), size_t(sqlite3_column_bytes(st, c)));
            }
        }
        if (rc != SQLITE_DONE)
            FailStep(query_.get(), rc, cancel_);
    }

    std::unique_ptr<ValueCursor> OpenValues(const BoundQuery& q) override {
        Statement s(query_.get(), q.sql);
        Bind(s, q.values);
        return std::make_unique<SqliteValues>(std::move(s), cancel_);
    }

    void Interrupt() override { sqlite3_interrupt(query_.get()); }

  private:
    const std::atomic<bool>* cancel_;
    Connection catalog_;
    QueryConnection query_;
};

}  // namespace

std::unique_ptr<Backend> OpenSqliteBackend(const std::string& path, const std::atomic<bool>* cancel) {
    return std::make_unique<SqliteBackend>(path, cancel);
}

}  // namespace zevdtapi

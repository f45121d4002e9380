#include "test_session.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sample_warehouse.h"
#ifdef _WIN32
#include <windows.h>
#endif
#ifdef ZEVDTAPI_WITH_POSTGRES
#include "pg_server.h"
#endif

namespace zevdtapi_test {
namespace fs = std::filesystem;

namespace {

// Removes the folders made here when the test process ends.
struct TempFolders {
    std::vector<fs::path> made;
    ~TempFolders() {
        for (const fs::path& p : made) {
            std::error_code ec;
            fs::remove_all(p, ec);
        }
    }
};

TempFolders& Folders() {
    static TempFolders folders;
    return folders;
}

}  // namespace

std::string MakeTempDir() {
    static std::atomic<int> counter{0};
    Folders();
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path dir = fs::temp_directory_path() /
                   ("zevdtapi-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(dir);
    Folders().made.push_back(dir);
    return dir.string();
}

namespace {

struct SampleHolder {
    std::string dir, path;
    SampleHolder() {
        dir = MakeTempDir();
        path = (fs::path(dir) / "sample.db").string();
        std::string error;
        if (!zevdtapi::CreateSampleWarehouse(path, &error)) {
            ADD_FAILURE() << error;
        }
    }
};

void SetDatabaseVariable(const std::string& path) {
#ifdef _WIN32
    _putenv_s("ZEVDTAPI_DATABASE", path.c_str());
#else
    setenv("ZEVDTAPI_DATABASE", path.c_str(), 1);
#endif
}

}  // namespace

bool OnPostgres() {
    const char* backend = std::getenv("ZEVDTAPI_TEST_BACKEND");
    return backend && std::string(backend) == "postgres";
}

const std::string& SampleDatabase() {
#ifdef ZEVDTAPI_WITH_POSTGRES
    // ZEVDTAPI_TEST_BACKEND=postgres: the same tests on a copy of the sample
    // warehouse in a PostgreSQL server of the test process's own.
    if (OnPostgres()) {
        static const std::string uri = [] {
            PgServer& server = PgServer::Get();
            if (!server.ok())
                ADD_FAILURE() << server.failure();
            return server.ok() ? server.SampleCopy("contract") : std::string("postgresql:///unavailable");
        }();
        return uri;
    }
#endif
    static SampleHolder holder;
    return holder.path;
}

std::string FreshSample() {
    static int copies = 0;
#ifdef ZEVDTAPI_WITH_POSTGRES
    if (OnPostgres()) {
        PgServer& server = PgServer::Get();
        if (!server.ok()) {
            ADD_FAILURE() << server.failure();
            return "postgresql:///unavailable";
        }
        return server.SampleCopy("fresh_" + std::to_string(++copies));
    }
#endif
    std::string path = MakeTempDir() + "/sample-" + std::to_string(++copies) + ".db";
    fs::copy_file(SampleDatabase(), path);
    return path;
}

std::string Snapshot(const std::string& database) {
#ifdef ZEVDTAPI_WITH_POSTGRES
    if (database.rfind("postgresql://", 0) == 0) {
        // Each value with its length, so that no two different contents read the same.
        std::string out;
        auto add = [&out](const std::vector<std::vector<std::optional<std::string>>>& rows) {
            for (const auto& row : rows) {
                for (const auto& v : row) out += v ? std::to_string(v->size()) + ":" + *v : std::string("-");
                out += "\n";
            }
        };
        auto tables = PgRows(database,
                             "SELECT table_name, table_type FROM information_schema.tables "
                             "WHERE table_schema = 'public' ORDER BY 1");
        add(tables);
        for (const auto& t : tables) {
            out += "[" + *t[0] + "]\n";
            add(PgRows(database, "SELECT t::text FROM public.\"" + *t[0] + "\" t ORDER BY 1"));
        }
        add(PgRows(database,
                   "SELECT grantee, table_name, privilege_type FROM information_schema.role_table_grants "
                   "WHERE table_schema = 'public' ORDER BY 1, 2, 3"));
        return out;
    }
#endif
    return FileBytes(database);
}

void ExecuteSql(const std::string& database, const std::string& sql) {
#ifdef ZEVDTAPI_WITH_POSTGRES
    if (database.rfind("postgresql://", 0) == 0) {
        PgExec(database, sql);
        return;
    }
#endif
    sqlite3* db = nullptr;
    char* message = nullptr;
    if (sqlite3_open(database.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
        ADD_FAILURE() << (message ? message : sqlite3_errmsg(db)) << " in " << sql;
    sqlite3_free(message);
    sqlite3_close(db);
}

std::vector<Row> QueryRows(const std::string& database, const std::string& sql,
                           const std::vector<std::string>& params) {
#ifdef ZEVDTAPI_WITH_POSTGRES
    if (database.rfind("postgresql://", 0) == 0) {
        // The same "?" placeholders as SQLite's, and its way of printing a REAL.
        std::string numbered;
        int n = 0;
        for (char ch : sql) numbered += ch == '?' ? "$" + std::to_string(++n) : std::string(1, ch);
        return PgRows(database, numbered, params, true);
    }
#endif
    sqlite3* db = nullptr;
    std::vector<Row> rows;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << database;
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
        sqlite3_close(db);
        return rows;
    }
    for (size_t i = 0; i < params.size(); ++i) {
        sqlite3_bind_text(st, int(i + 1), params[i].c_str(), -1, SQLITE_TRANSIENT);
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        Row row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const unsigned char* t = sqlite3_column_text(st, c);
            row.push_back(t ? Cell(std::string(reinterpret_cast<const char*>(t))) : std::nullopt);
        }
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

std::vector<Row> AsHanded(std::vector<Row> rows) {
#ifdef _WIN32
    for (Row& row : rows) {
        for (Cell& cell : row) {
            if (!cell)
                continue;
            int n = MultiByteToWideChar(CP_UTF8, 0, cell->data(), int(cell->size()), nullptr, 0);
            std::wstring wide(size_t(n), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, cell->data(), int(cell->size()), wide.data(), n);
            std::string out;
            for (size_t i = 0; i < wide.size();) {
                // One character: a surrogate pair counts as one.
                size_t units = (wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size()) ? 2 : 1;
                char bytes[8];
                BOOL lossy = FALSE;
                int got = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide[i], int(units), bytes,
                                              sizeof bytes, nullptr, &lossy);
                if (got > 0 && !lossy) {
                    out.append(bytes, size_t(got));
                } else {
                    unsigned long code =
                        units == 2 ? 0x10000 + ((wide[i] - 0xD800UL) << 10) + (wide[i + 1] - 0xDC00UL)
                                   : wide[i];
                    out += "&#" + std::to_string(code) + ";";
                }
                i += units;
            }
            *cell = out;
        }
    }
#endif
    return rows;
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

Session::Session(const std::string& database) {
    SetDatabaseVariable(database);
    EXPECT_EQ(0u, ZevDTAPIInit(0x1234, &lib));
}

Session::~Session() {
    ZevDTAPIExit(lib);
}

uint32_t Session::Open(const std::vector<std::string>& memberTexts, uint64_t context, const std::string& user,
                       const std::string& password) {
    members = memberTexts;
    std::vector<char*> pointers;
    for (std::string& m : members) pointers.push_back(&m[0]);
    uint32_t rc = ZevDTAPISetConnection(lib, pointers.data(), uint32_t(pointers.size()), context);
    if (rc)
        return rc;
    ZevDTAPIConnectionInfo info{};
    if ((rc = ZevDTAPIGetInfo(lib, &info)) != 0)
        return rc;
    if (info.loginFlags) {
        std::strncpy(info.userName, user.c_str(), 30);
        std::strncpy(info.password, password.c_str(), 30);
        if ((rc = ZevDTAPISetInfo(lib, &info)) != 0)
            return rc;
    }
    return ZevDTAPIConnect(lib);
}

std::vector<std::string> Session::ReportNames() {
    ZevDTAPIReport** reports = nullptr;
    uint32_t count = 0;
    std::vector<std::string> names;
    if (ZevDTAPIGetReports(lib, &reports, &count) != 0)
        return names;
    for (uint32_t i = 0; i < count; ++i) names.push_back(reports[i]->name);
    return names;
}

uint32_t Session::Execute(const std::string& report) {
    ZevDTAPIReport** reports = nullptr;
    uint32_t count = 0;
    uint32_t rc = ZevDTAPIGetReports(lib, &reports, &count);
    if (rc)
        return rc;
    uint32_t index = count;
    for (uint32_t i = 0; i < count; ++i) {
        if (report == reports[i]->name)
            index = i;
    }
    if (index == count) {
        ADD_FAILURE() << "no report " << report;
        return 1;
    }
    if ((rc = ZevDTAPIExecuteReport(lib, index)) != 0)
        return rc;
    ZevDTAPIColumn** list = nullptr;
    int32_t n = 0;
    if ((rc = ZevDTAPIGetColumns(lib, &list, &n)) != 0)
        return rc;
    columns.assign(list, list + n);
    return 0;
}

uint32_t Session::OpenReport(const std::vector<std::string>& memberTexts, const std::string& report,
                             uint64_t context) {
    const uint32_t rc = Open(memberTexts, context);
    return rc ? rc : Execute(report);
}

std::vector<std::vector<std::string>> Session::ValueBatches(ZevDTAPIColumn* column) {
    std::vector<std::vector<std::string>> batches;
    for (int guard = 0; guard < 1000; ++guard) {
        char** values = nullptr;
        int32_t count = -1;
        if (ZevDTAPIGetFilterData(lib, column, &values, &count) != 0 || count < 0) {
            ADD_FAILURE() << "GetFilterData failed: " << ErrorText();
            return batches;
        }
        if (count == 0)
            return batches;
        batches.emplace_back(values, values + count);
    }
    ADD_FAILURE() << "GetFilterData ended no list after 1000 batches";
    return batches;
}

std::vector<std::string> Session::Values(ZevDTAPIColumn* column) {
    std::vector<std::string> all;
    for (const std::vector<std::string>& batch : ValueBatches(column))
        all.insert(all.end(), batch.begin(), batch.end());
    return all;
}

int32_t Session::SaveFilters(std::vector<std::string> records) {
    std::vector<char*> pointers;
    for (std::string& r : records) pointers.push_back(&r[0]);
    return ZevDTAPISetFilterDescConditions(lib, pointers.data(), int32_t(pointers.size()));
}

std::vector<std::string> Session::SavedFilters() {
    char** records = nullptr;
    int32_t count = -1;
    if (ZevDTAPIGetFilterDescConditions(lib, &records, &count) != 0 || count < 0) {
        ADD_FAILURE() << "GetFilterDescConditions failed: " << ErrorText();
        return {};
    }
    return std::vector<std::string>(records, records + count);
}

ZevDTAPIColumn* Session::Column(const std::string& table, const std::string& column) const {
    for (ZevDTAPIColumn* c : columns) {
        if (table == c->tableName && column == c->columnName)
            return c;
    }
    ADD_FAILURE() << "no column " << table << "." << column;
    return nullptr;
}

std::vector<Row> Session::Data(uint32_t* status) {
    ZevDTAPICell** cells = nullptr;
    uint32_t rows = 0, cols = 0;
    uint32_t rc = ZevDTAPIGetData(lib, &cells, &rows, &cols);
    if (status)
        *status = rc;
    std::vector<Row> out;
    if (rc) {
        if (!status)
            ADD_FAILURE() << "GetData failed: " << ErrorText();
        return out;
    }
    for (uint32_t r = 0; r < rows; ++r) {
        Row row;
        for (uint32_t c = 0; c < cols; ++c) {
            ZevDTAPICell* cell = cells[size_t(r) * cols + c];
            row.push_back(cell ? Cell(std::string(ZEVDTAPI_CELL_TEXT(cell))) : std::nullopt);
        }
        out.push_back(row);
    }
    return out;
}

std::string Session::ErrorText() const {
    char text[256] = {};
    uint32_t number = 0;
    ZevDTAPIGetError(lib, &number, text, ZEVDTAPI_ERROR_TEXT_CAPACITY);
    return text;
}

uint32_t Session::ErrorNumber() const {
    uint32_t number = 0;
    char text[256];
    ZevDTAPIGetError(lib, &number, text, ZEVDTAPI_ERROR_TEXT_CAPACITY);
    return number;
}

void SetCondition(ZevDTAPIColumn* column, const std::string& condition) {
    std::memset(column->condition, 0, sizeof(column->condition));
    if (condition.size() >= sizeof(column->condition)) {
        ADD_FAILURE() << "condition too long for the field: " << condition.size();
        return;
    }
    std::memcpy(column->condition, condition.data(), condition.size());
}

}  // namespace zevdtapi_test

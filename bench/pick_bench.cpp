// The value pick as a user meets it: the builder's "..." fetches a column's
// distinct values from the stand-in library and fills the picker, against one
// SELECT DISTINCT of the same values read with sqlite3 in the same process,
// interleaved. With --cancel it measures instead how long the fetch runs on
// after the user presses Cancel in the wait dialog.
//
//   zevdt-pick-bench --database FILE --column NAME [--reps N] [--cancel]
//
// Prints per repetition "pair SUBJECT_US ANCHOR_US" and "fetch FETCH_US
// ANCHOR_US" (the subject up to the library's last batch), then "values N"
// and "peak_kib N", the process's peak memory (resident set).
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "filters/df_property_sheet.h"
#include "filters/value_fetch.h"
#include "framework/script/test_driver.h"
#include "peak_memory.h"
#include "zevdtapi.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPick = 1031, kValueList = 1036, kWaitCancel = IDCANCEL;

long long Us(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration_cast<std::chrono::microseconds>(b - a).count();
}

int Fail(const std::string& what) {
    std::fprintf(stderr, "zevdt-pick-bench: %s\n", what.c_str());
    return 1;
}

// The drill-through object's part the builder uses, answered by the stand-in.
class LibraryOwner : public CDTOwner {
  public:
    explicit LibraryOwner(void* library) : library_(library) {}
    ZevDTAPIColumn** GetColumnList() const override { return columns; }
    int32_t GetColumnCount() const override { return columnCount; }
    void ShowLibraryError() override { ++errors; }
    uint32_t CancelServerRequest() override { return ZevDTAPIServerCancel(library_); }
    int32_t GetFilterDescConditions(char*** records, int32_t* count) override {
        *records = nullptr;
        *count = 0;
        return 0;
    }
    int32_t SetFilterDescConditions(char**, int32_t) override { return 0; }
    int32_t GetFilterData(ZevDTAPIColumn* column, char*** values, int32_t* count) override {
        // The user presses Cancel while this batch is being asked for.
        if (++calls == cancelAtCall) {
            if (HWND wait = ActiveFetchWaitWindow()) {
                fw::Ui(wait).Click(kWaitCancel);
                cancelPressed = Clock::now();
            }
        }
        int32_t rc = ZevDTAPIGetFilterData(library_, column, values, count);
        if (rc == 0 && *count == 0)
            fetched = Clock::now();
        return rc;
    }

    ZevDTAPIColumn** columns = nullptr;
    int32_t columnCount = 0;
    int errors = 0;
    int calls = 0;
    int cancelAtCall = -1;
    Clock::time_point cancelPressed;
    Clock::time_point fetched;

  private:
    void* library_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string database, columnName;
    int reps = 5;
    bool cancel = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--database") && i + 1 < argc) {
            database = argv[++i];
        } else if (!std::strcmp(argv[i], "--column") && i + 1 < argc) {
            columnName = argv[++i];
        } else if (!std::strcmp(argv[i], "--reps") && i + 1 < argc) {
            reps = std::max(1, std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--cancel")) {
            cancel = true;
        } else {
            std::fprintf(stderr,
                         "usage: zevdt-pick-bench --database FILE --column NAME [--reps N] [--cancel]\n");
            return 2;
        }
    }
    if (database.empty() || columnName.empty())
        return Fail("--database and --column are needed");
#ifdef _WIN32
    _putenv_s("ZEVDTAPI_DATABASE", database.c_str());
#else
    setenv("ZEVDTAPI_DATABASE", database.c_str(), 1);
#endif

    void* lib = nullptr;
    ZevDTAPIReport** reports = nullptr;
    uint32_t reportCount = 0;
    ZevDTAPIColumn** columns = nullptr;
    int32_t columnCount = 0;
    if (ZevDTAPIInit(0, &lib) || ZevDTAPISetConnection(lib, nullptr, 0, 0) || ZevDTAPIConnect(lib) ||
        ZevDTAPIGetReports(lib, &reports, &reportCount) || reportCount == 0 ||
        ZevDTAPIExecuteReport(lib, 0) || ZevDTAPIGetColumns(lib, &columns, &columnCount))
        return Fail("cannot open the first report");
    ZevDTAPIColumn* column = nullptr;
    for (int32_t i = 0; i < columnCount; ++i)
        if (columns[i] && columnName == columns[i]->columnName)
            column = columns[i];
    if (!column)
        return Fail("the first report has no column " + columnName);
    LibraryOwner owner(lib);
    owner.columns = columns;
    owner.columnCount = columnCount;

    const std::string target = std::string(column->tableName) + "." + column->columnName;
    // The report's tables as the stand-in joins them for the sample's first report.
    const std::string sql = "SELECT DISTINCT " + target +
                            " FROM sales JOIN region ON region.region_id = sales.region_id"
                            " JOIN product ON product.product_id = sales.product_id"
                            " JOIN customer ON customer.customer_id = sales.customer_id WHERE " +
                            target + " IS NOT NULL ORDER BY 1";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return Fail("cannot open the database");

    int shown = -1;
    size_t distinct = 0;
    for (int rep = 0; rep < reps; ++rep) {
        long long subject = 0, fetch = -1;
        if (cancel) {
            // Cancel pressed as the third batch is asked for; the fetch stops
            // when FetchFilterValues returns.
            owner.calls = 0;
            owner.cancelAtCall = 3;
            CStringList values;
            ValueFetch how = FetchFilterValues(nullptr, owner, column, values);
            Clock::time_point stopped = Clock::now();
            if (how != ValueFetch::Cancelled)
                return Fail("the fetch was not cancelled");
            subject = Us(owner.cancelPressed, stopped);
            owner.CancelServerRequest();
        } else {
            Clock::time_point pressed, filled;
            fw::TestDriver driver;
            driver
                .Then([&](fw::Ui& ui) {
                    pressed = Clock::now();
                    ui.Click(kPick);
                })
                .Then([&](fw::Ui& ui) {
                    filled = Clock::now();
                    shown = ui.RowCount(kValueList);
                    ui.SelectRow(kValueList, 0);
                    ui.Click(IDOK);
                })
                .Then([](fw::Ui& ui) { ui.Click(IDCANCEL); });
            CDFPropertySheet sheet("pick");
            sheet.m_filtersPage.m_pOwner = &owner;
            sheet.m_filtersPage.m_pColumn = column;
            {
                fw::ScopedDriver scope(&driver);
                sheet.DoModal();
            }
            if (!driver.Failures().empty())
                return Fail(driver.Failures().front());
            subject = Us(pressed, filled);
            fetch = Us(pressed, owner.fetched);
        }

        // The anchor: one statement, every value read as text.
        Clock::time_point a = Clock::now();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
        size_t n = 0, bytes = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            sqlite3_column_text(st, 0);
            bytes += size_t(sqlite3_column_bytes(st, 0));
            ++n;
        }
        sqlite3_finalize(st);
        Clock::time_point b = Clock::now();
        distinct = n;
        std::printf("pair %lld %lld\n", subject, Us(a, b));
        if (fetch >= 0)
            std::printf("fetch %lld %lld\n", fetch, Us(a, b));
        std::fflush(stdout);
    }
    sqlite3_close(db);
    ZevDTAPIClose(lib);
    ZevDTAPIExit(lib);
    std::printf("values %zu\npeak_kib %lld\n", distinct, PeakKib());
    if (!cancel && shown != int(distinct))
        return Fail("the picker showed " + std::to_string(shown) + " rows of " + std::to_string(distinct));
    return owner.errors ? Fail("the library failed") : 0;
}

// The stand-in as a hostile caller meets it: members, login records, column
// records with any positions, names and conditions (unterminated ones too),
// value fetches, cancels and malformed filter saves, in any order. Every call
// must answer with a status, and the database file must stay as it was.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <sqlite3.h>

#include "fuzz_input.h"
#include "fuzz_target.h"
#include "password_hash.h"
#include "sample_warehouse.h"
#include "zevdtapi.h"

namespace {

struct Database {
    std::string path;
    std::string bytes;
    struct stat before {};
};

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const Database& SharedDatabase() {
    static Database* db = [] {
        auto* d = new Database;
        char folder[] = "/tmp/zevdt-fuzz-standin-XXXXXX";
        if (!mkdtemp(folder))
            std::abort();
        d->path = std::string(folder) + "/warehouse.db";
        std::string error;
        if (!zevdtapi::CreateSampleWarehouse(d->path, &error)) {
            std::fprintf(stderr, "sample warehouse: %s\n", error.c_str());
            std::abort();
        }
        // The catalog's users with a hash of two rounds (the hash keeps its
        // round count): a login costs microseconds instead of a fraction of a
        // second, and the fuzzer spends its time on the stand-in's own code.
        // And one sale in a hundred: the same tables, catalog and kinds of rows, but a
        // report that matches everything delivers a thousand rows, not a hundred
        // thousand, which under the sanitizers took seconds an input.
        sqlite3* db = nullptr;
        const std::string quick =
            zevdtapi::HashPassword(zevdtapi::kSamplePassword, std::vector<uint8_t>(16, 7), 2);
        const std::string sql = "UPDATE dt_user SET password_hash = '" + quick +
                                "'; DELETE FROM sales WHERE sale_id % 100 <> 0; VACUUM;";
        if (sqlite3_open(d->path.c_str(), &db) != SQLITE_OK ||
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        sqlite3_close(db);
        setenv("ZEVDTAPI_DATABASE", d->path.c_str(), 1);
        d->bytes = Read(d->path);
        stat(d->path.c_str(), &d->before);
        return d;
    }();
    return *db;
}

void CheckUntouched(const Database& db, bool everyByte) {
    struct stat now {};
    stat(db.path.c_str(), &now);
    if (now.st_size != db.before.st_size || now.st_mtim.tv_sec != db.before.st_mtim.tv_sec ||
        now.st_mtim.tv_nsec != db.before.st_mtim.tv_nsec || (everyByte && Read(db.path) != db.bytes)) {
        std::fprintf(stderr, "the database file was changed\n");
        std::abort();
    }
}

const char* const kMembers[] = {"Year=2024\n",
                                "Region=East\n",
                                "Category=Beverages\n",
                                "Year=2025\nSYSDBV=\n",
                                "Region=West\nSYSDBV=\n-1\n",
                                "Channel=Store\n",
                                "Nothing=At all\n",
                                "=\n"};

const char* const kConditions[] = {"sales.channel = Store",
                                   "sales.quantity in (1,2,3)",
                                   "sales.region like 'E%' OR \r\nsales.region = West",
                                   "sales.sale_id not in ('1','2''') AND \r\nsales.quantity >= 7",
                                   "sales.amount < 10.5",
                                   "region.name <> ''"};

void Fill(FuzzInput& in, char* field, size_t size) {
    std::string text = in.Text(size);
    std::memcpy(field, text.data(), std::min(text.size(), size));
    if (text.size() < size)
        field[text.size()] = '\0';
}

void Mutate(FuzzInput& in, ZevDTAPIColumn* c) {
    switch (in.Below(8)) {
        case 0:
            c->displayPosition = static_cast<int32_t>(in.Below(6)) - 1;
            break;
        case 1:
            c->sortPosition = static_cast<int32_t>(in.Below(6)) - 1;
            c->sortDirection = static_cast<int32_t>(in.Below(4));
            break;
        case 2:
            c->filterOnly = in.Byte();
            break;
        case 3: {
            const char* text = kConditions[in.Below(sizeof kConditions / sizeof *kConditions)];
            std::strncpy(c->condition, text, sizeof c->condition - 1);
            break;
        }
        case 4:
            Fill(in, c->condition, sizeof c->condition);
            break;
        case 5:
            Fill(in, in.Byte() & 1 ? c->tableName : c->columnName, sizeof c->tableName);
            break;
        case 6:
            c->displayPosition = in.Int32();
            c->sortPosition = in.Int32();
            break;
        default:
            c->dataType = static_cast<uint16_t>(in.Below(25));
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static unsigned long runs = 0;
    const Database& db = SharedDatabase();
    FuzzInput in(data, size);
    void* lib = nullptr;
    ZevDTAPIInit(0, &lib);

    std::vector<std::string> members;
    for (uint32_t n = in.Below(5); n > 0; --n)
        members.push_back(in.Byte() < 200 ? kMembers[in.Below(8)] : in.Text());
    std::vector<char*> memberPointers;
    for (std::string& m : members) memberPointers.push_back(&m[0]);
    ZevDTAPISetConnection(lib, memberPointers.data(), static_cast<uint32_t>(memberPointers.size()),
                          in.Below(4));
    ZevDTAPIConnectionInfo info;
    std::memset(&info, 0, sizeof info);
    ZevDTAPIGetInfo(lib, &info);
    if (in.Byte() & 1) {
        std::strcpy(info.userName, "demo");
        std::strcpy(info.password, "demo-2024");
    } else {
        Fill(in, info.userName, sizeof info.userName);
        Fill(in, info.serverName, sizeof info.serverName);
    }
    ZevDTAPISetInfo(lib, &info);
    ZevDTAPIConnect(lib);
    ZevDTAPIReport** reports = nullptr;
    uint32_t reportCount = 0;
    ZevDTAPIGetReports(lib, &reports, &reportCount);
    ZevDTAPIExecuteReport(lib, in.Below(reportCount + 2));
    ZevDTAPIColumn** columns = nullptr;
    int32_t columnCount = 0;
    ZevDTAPIGetColumns(lib, &columns, &columnCount);
    // A record of the caller's own, naming whatever the input says.
    auto stranger = std::make_unique<ZevDTAPIColumn>();
    std::memset(stranger.get(), 0, sizeof *stranger);

    for (int step = 0; step < 24 && !in.Empty(); ++step) {
        ZevDTAPIColumn* column = columnCount > 0 && columns
                                     ? columns[in.Below(static_cast<uint32_t>(columnCount))]
                                     : stranger.get();
        if (in.Byte() % 5 == 0)
            column = stranger.get();
        switch (in.Below(7)) {
            case 0:
            case 1:
                Mutate(in, column);
                break;
            case 2: {
                ZevDTAPICell** cells = nullptr;
                uint32_t rows = 0, cols = 0;
                if (ZevDTAPIGetData(lib, &cells, &rows, &cols) == 0 && cells)
                    for (uint64_t i = 0; i < uint64_t(rows) * cols; ++i)
                        if (cells[i])
                            (void)std::strlen(ZEVDTAPI_CELL_TEXT(cells[i]));
                break;
            }
            case 3: {
                for (int batch = 0; batch < 3; ++batch) {
                    char** values = nullptr;
                    int32_t count = 0;
                    if (ZevDTAPIGetFilterData(lib, column, &values, &count) != 0 || count <= 0)
                        break;
                    for (int32_t i = 0; i < count; ++i) (void)std::strlen(values[i]);
                }
                break;
            }
            case 4:
                ZevDTAPIServerCancel(lib);
                break;
            case 5: {
                // Saves that must be refused whole: the file must not change.
                std::string record = in.Text();
                char* withNull[] = {&record[0], nullptr};
                ZevDTAPISetFilterDescConditions(lib, withNull, in.Byte() & 1 ? 2 : -1 - int32_t(in.Below(3)));
                char** records = nullptr;
                int32_t count = 0;
                ZevDTAPIGetFilterDescConditions(lib, &records, &count);
                break;
            }
            default: {
                uint32_t number = 0;
                char text[256];
                ZevDTAPIGetError(lib, &number, text, 255);
                break;
            }
        }
    }
    ZevDTAPIClose(lib);
    ZevDTAPIExit(lib);
    CheckUntouched(db, ++runs % 256 == 0);
    return 0;
}

std::vector<std::string> FuzzSeeds() {
    return {std::string("\x03\x00\x00\x00\x00\x00\x01\x00\x01\x00\x01\x00\x02\x02\x00\x00\x03", 17),
            std::string("\x02\x00\x00\x00\x01\x01\x01\x02\x03\x00\x00\x03\x00\x01\x00\x01\x00\x04", 18)};
}

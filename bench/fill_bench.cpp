// ZevDTGetData's item fill against memset of the same bytes, with a fake
// library that hands over a prepared cell array, so that only the fill is
// timed. "fresh" is the first call on a new handle against a memset of newly
// allocated memory (both pay every page fault); "warm" is a repeat call on the
// same handle against a second memset of that memory.
//
//   zevdt-fill-bench --cells N [--reps K]
//
// Prints "fresh SUBJECT_US ANCHOR_US" and "warm SUBJECT_US ANCHOR_US" per repetition.
//
//   zevdt-fill-bench --cells N [--reps K] --worker
//
// The same two calls with the fill's worker thread (subject) against the same
// calls on the caller's thread alone (anchor): what the worker gains.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "drill_through.h"
#include "fake_dtapi.h"
#include "interface/fake_records.h"
#include "zevdtu.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kColumns = 9;

long long Us(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration_cast<std::chrono::microseconds>(b - a).count();
}

int Fail(const std::string& what) {
    std::fprintf(stderr, "zevdt-fill-bench: %s\n", what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t cells = 1000000;
    int reps = 5;
    bool worker = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--worker")) {
            worker = true;
        } else if (!std::strcmp(argv[i], "--cells") && i + 1 < argc) {
            cells = std::strtoull(argv[++i], nullptr, 10);
        } else if (!std::strcmp(argv[i], "--reps") && i + 1 < argc) {
            reps = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: zevdt-fill-bench --cells N [--reps K] [--worker]\n");
            return 2;
        }
    }
    const uint32_t rows = static_cast<uint32_t>((cells + kColumns - 1) / kColumns);
    cells = uint64_t(rows) * kColumns;
    const std::string library = ifacetest::FakeLibraryPath();
#ifdef _WIN32
    _putenv_s("ZEVDTAPI_LIBRARY", library.c_str());
#else
    setenv("ZEVDTAPI_LIBRARY", library.c_str(), 1);
#endif

    // Cell records as a library lays them out: one after another, texts of
    // the lengths a sales report has (dates, names, amounts), every 20th missing.
    static const char* const kTexts[] = {"2024-03-17",       "East", "Krakow", "Beverages", "Mineral Water",
                                         "Harbor Foods 137", "12",   "17.82",  "Online"};
    const size_t recordSize = ZEVDTAPI_CELL_TEXT_OFFSET + 24;
    std::vector<char> store(cells * recordSize, '\0');
    std::vector<ZevDTAPICell*> cellList(cells);
    for (uint64_t i = 0; i < cells; ++i) {
        char* record = &store[i * recordSize];
        if (i % 20 == 19) {
            cellList[i] = nullptr;
            continue;
        }
        std::snprintf(record + ZEVDTAPI_CELL_TEXT_OFFSET, 24, "%s", kTexts[i % kColumns]);
        cellList[i] = reinterpret_cast<ZevDTAPICell*>(record);
    }

    FakeDTAPIControlBlock* control = FakeDTAPIControl();
    FakeReset(control);
    ifacetest::Records records;
    records.AddReport("Orders", 0);
    for (uint32_t c = 0; c < kColumns; ++c)
        records.AddColumn("SALES", "C" + std::to_string(c), int32_t(c + 1));
    control->reports = records.reportList.data();
    control->reportCount = 1;
    control->columns = records.columnList.data();
    control->columnCount = int32_t(records.columnList.size());
    control->cells = cellList.data();
    control->rows = rows;
    control->columnsOfData = kColumns;

    const size_t bytes = cells * sizeof(ZevDTDataItem);
    unsigned sink = 0;
    if (worker) {
        // A first call and a repeat on a new handle, in microseconds; false on a failure.
        auto fills = [&](bool alone, long long* fresh, long long* warm) {
            zevdt::SetFillThreadHookForTesting(alone ? +[] { throw std::runtime_error("alone"); } : nullptr);
            void* handle = nullptr;
            char member[] = "Year\n";
            char* members[] = {member, nullptr};
            ZevDTDataItem* items = nullptr;
            uint32_t count = 0;
            bool ok = !ZevDTInit(0, &handle) && !ZevDTOpen(handle, 1, members, 0);
            Clock::time_point t0 = Clock::now();
            ok = ok && !ZevDTGetData(handle, &items, &count) && count == cells;
            Clock::time_point t1 = Clock::now();
            ok = ok && !ZevDTGetData(handle, &items, &count) && count == cells;
            Clock::time_point t2 = Clock::now();
            if (ok)
                sink += static_cast<unsigned char>(items[count - 1].text[0]);
            *fresh = Us(t0, t1);
            *warm = Us(t1, t2);
            ZevDTClose(handle);
            ZevDTExit(handle);
            zevdt::SetFillThreadHookForTesting(nullptr);
            return ok;
        };
        for (int rep = 0; rep < reps; ++rep) {
            long long fresh2 = 0, warm2 = 0, fresh1 = 0, warm1 = 0;
            // Alternating which goes first, so that neither always meets the other's freed pages.
            bool ok = rep % 2 ? fills(true, &fresh1, &warm1) && fills(false, &fresh2, &warm2)
                              : fills(false, &fresh2, &warm2) && fills(true, &fresh1, &warm1);
            if (!ok)
                return Fail("ZevDTGetData failed");
            std::printf("fresh %lld %lld\nwarm %lld %lld\n", fresh2, fresh1, warm2, warm1);
            std::fflush(stdout);
        }
        std::printf("cells %llu checksum %u\n", static_cast<unsigned long long>(cells), sink);
        return 0;
    }
    for (int rep = 0; rep < reps; ++rep) {
        void* handle = nullptr;
        char member[] = "Year\n";
        char* members[] = {member, nullptr};
        if (ZevDTInit(0, &handle) || ZevDTOpen(handle, 1, members, 0))
            return Fail("the fake report does not open");
        ZevDTDataItem* items = nullptr;
        uint32_t count = 0;

        Clock::time_point t0 = Clock::now();
        uint32_t code = ZevDTGetData(handle, &items, &count);
        Clock::time_point t1 = Clock::now();
        if (code || count != cells)
            return Fail("ZevDTGetData answered " + std::to_string(code) + " with " + std::to_string(count));
        sink += static_cast<unsigned char>(items[count - 1].text[0]);

        Clock::time_point t2 = Clock::now();
        char* block = static_cast<char*>(std::malloc(bytes));
        if (!block)
            return Fail("no memory for the anchor");
        // Not zero: malloc and a zero memset would become a calloc, which
        // touches nothing.
        std::memset(block, 0x5a, bytes);
        Clock::time_point t3 = Clock::now();
        sink += static_cast<unsigned char>(block[bytes / 2]);
        std::printf("fresh %lld %lld\n", Us(t0, t1), Us(t2, t3));

        Clock::time_point t4 = Clock::now();
        code = ZevDTGetData(handle, &items, &count);
        Clock::time_point t5 = Clock::now();
        if (code || count != cells)
            return Fail("the repeat ZevDTGetData failed");
        sink += static_cast<unsigned char>(items[1].text[0]);

        Clock::time_point t6 = Clock::now();
        std::memset(block, 1, bytes);
        Clock::time_point t7 = Clock::now();
        sink += static_cast<unsigned char>(block[bytes / 3]);
        std::printf("warm %lld %lld\n", Us(t4, t5), Us(t6, t7));
        std::fflush(stdout);
        std::free(block);
        ZevDTClose(handle);
        ZevDTExit(handle);
    }
    std::printf("cells %llu checksum %u\n", static_cast<unsigned long long>(cells), sink);
    return 0;
}

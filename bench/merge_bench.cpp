// The saved filters of a report with many of them: the merge that puts the
// delivered records in name order, for records arriving in name order
// against the same records in reverse order; and the time until the filter
// step shows them through the stand-in (ZevDTOpen, Customize, the wizard's
// first steps), against the same with one saved filter. Headless.
//
//   zevdt-merge-bench [--filters N] [--description BYTES] [--reps K] [--many DB --one DB]
//
// Prints per repetition "order SUBJECT_US ANCHOR_US" (name order against
// reverse order) and, with both warehouses, "step SUBJECT_US ANCHOR_US".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "filters/filter_list.h"
#include "framework/script/test_driver.h"
#include "zevdtu.h"

namespace {

using Clock = std::chrono::steady_clock;

long long Us(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration_cast<std::chrono::microseconds>(b - a).count();
}

std::vector<std::string> Records(int count, size_t description) {
    std::vector<std::string> records;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Filter %05d", i);
        std::string text(description, 'a' + static_cast<char>(i % 26));
        records.push_back(std::string(name) + "$*$" + text + "$*$SALES.REGION$*$= 'East'");
    }
    return records;
}

long long Merge(const std::vector<std::string>& records) {
    CStringList list;
    for (const std::string& r : records) list.AddTail(CString(r));
    CFilterList filters;
    const Clock::time_point start = Clock::now();
    filters.MergeFilters(list);
    return Us(start, Clock::now());
}

void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

// From ZevDTOpen on the sample cell, through the report list's Customize and
// the wizard's first steps, until the filter step shows its first filter.
long long ReachStep(const std::string& database) {
    SetEnv("ZEVDTAPI_DATABASE", database);
    void* handle = nullptr;
    if (ZevDTInit(1, &handle) != ZEVDT_OK)
        return -1;
    Clock::time_point shown{};
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) {
        ui.SelectRow(1040, 0);
        ui.Click(1044);
    });
    for (int step = 0; step < 3; ++step) driver.Then([](fw::Ui& ui) { ui.Press(fw::SheetButton::Next); });
    driver.Then([&](fw::Ui& ui) {
        shown = Clock::now();
        ui.Press(fw::SheetButton::Cancel);
    });
    char members[][24] = {"Year=2024\n", "Region=East\n", "Category=Beverages\n"};
    char* memberList[] = {members[0], members[1], members[2], nullptr};
    Clock::time_point start;
    {
        fw::ScopedDriver scope(&driver);
        start = Clock::now();
        ZevDTOpen(handle, 3, memberList, 1);
    }
    ZevDTExit(handle);
    return shown == Clock::time_point{} ? -1 : Us(start, shown);
}

}  // namespace

int main(int argc, char** argv) {
    int filters = 4000, reps = 5;
    size_t description = 2048;
    std::string many, one;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--filters") && i + 1 < argc) {
            filters = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--description") && i + 1 < argc) {
            description = std::strtoull(argv[++i], nullptr, 10);
        } else if (!std::strcmp(argv[i], "--reps") && i + 1 < argc) {
            reps = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--many") && i + 1 < argc) {
            many = argv[++i];
        } else if (!std::strcmp(argv[i], "--one") && i + 1 < argc) {
            one = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: zevdt-merge-bench [--filters N] [--description BYTES] [--reps K] [--many DB "
                         "--one DB]\n");
            return 2;
        }
    }
    const std::vector<std::string> ordered = Records(filters, description);
    const std::vector<std::string> reversed(ordered.rbegin(), ordered.rend());
    SetEnv("ZEVDTAPI_LIBRARY", STANDIN_LIBRARY_FILE);
    for (int r = 0; r < reps; ++r) {
        const long long inOrder = Merge(ordered);
        std::printf("order %lld %lld\n", inOrder, Merge(reversed));
        if (!many.empty() && !one.empty()) {
            const long long subject = ReachStep(many);
            std::printf("step %lld %lld\n", subject, ReachStep(one));
        }
        std::fflush(stdout);
    }
    return 0;
}

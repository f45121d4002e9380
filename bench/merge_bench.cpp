// The saved filters of a report with many of them: the merge that puts the
// delivered records in name order, for records arriving in name order
// against the same records in reverse order; and the time until the filter
// step shows them, against the same step with one saved filter. Headless.
//
//   zevdt-merge-bench [--filters N] [--description BYTES] [--reps K]
//
// Prints per repetition "order SUBJECT_US ANCHOR_US" (name order against
// reverse order) and "step SUBJECT_US ANCHOR_US" (N filters against one).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "filters/dt_filter.h"
#include "framework/script/test_driver.h"
#include "support/column_owner.h"

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

// From the step's creation to the moment it shows the first filter.
long long ReachStep(const std::vector<std::string>& records) {
    testsupport::ColumnOwner owner;
    owner.Add("SALES", "REGION", 1);
    owner.Add("SALES", "AMOUNT", 2);
    owner.savedFilters = records;
    CDTFilter page;
    page.m_pOwner = &owner;
    CPropertySheet sheet{50511, nullptr, 0};
    sheet.AddPage(&page);
    sheet.SetWizardMode();
    Clock::time_point shown;
    fw::TestDriver driver;
    driver.Then([&](fw::Ui& ui) {
        shown = Clock::now();
        ui.Press(fw::SheetButton::Cancel);
    });
    fw::ScopedDriver scope(&driver);
    const Clock::time_point start = Clock::now();
    sheet.DoModal();
    return Us(start, shown);
}

}  // namespace

int main(int argc, char** argv) {
    int filters = 4000, reps = 5;
    size_t description = 2048;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--filters") && i + 1 < argc) {
            filters = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--description") && i + 1 < argc) {
            description = std::strtoull(argv[++i], nullptr, 10);
        } else if (!std::strcmp(argv[i], "--reps") && i + 1 < argc) {
            reps = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: zevdt-merge-bench [--filters N] [--description BYTES] [--reps K]\n");
            return 2;
        }
    }
    const std::vector<std::string> ordered = Records(filters, description);
    const std::vector<std::string> reversed(ordered.rbegin(), ordered.rend());
    const std::vector<std::string> one(ordered.begin(), ordered.begin() + 1);
    for (int r = 0; r < reps; ++r) {
        const long long inOrder = Merge(ordered);
        std::printf("order %lld %lld\n", inOrder, Merge(reversed));
        const long long many = ReachStep(ordered);
        std::printf("step %lld %lld\n", many, ReachStep(one));
        std::fflush(stdout);
    }
    return 0;
}

// The UI scripts of whole drills on the sample warehouse, shared by the tests
// that run them in-process and those that run the host program.
#pragma once

#include <string>

namespace drillscripts {

// The login dialog answered with the demo user.
inline const std::string kLogin =
    "window 129\n"
    "type 1014 demo\n"
    "type 1015 demo-2024\n"
    "click 1\n";

// The report list: the first report (sales detail) executed.
inline const std::string kPickSalesDetail =
    "window 138\n"
    "expect-rows 1040 3\n"
    "select 1040 0\n"
    "click 1043\n";

// Customize: the last column taken out on the column step, then Finish.
inline const std::string kCustomize =
    "window 138\n"
    "select 1040 0\n"
    "click 1044\n"
    "window 139\n"
    "press next\n"
    "window 130\n"
    "expect-rows 1008 9\n"
    "select 1008 8\n"
    "click 1011\n"
    "expect-rows 1008 8\n"
    "press next\n"
    "window 132\n"
    "press next\n"
    "window 133\n"
    "press finish\n";

// Customize up to the filter step and build a condition on the city there;
// the wizard is left on the filter step.
inline const std::string kFilterOnCity =
    "window 138\n"
    "select 1040 0\n"
    "click 1044\n"
    "press next\n"
    "press next\n"
    "press next\n"
    "window 133\n"
    "select 1027 2\n"
    "click 1024\n"
    "window 134\n"
    "select 1029 4\n"
    "type 1030 Brno\n"
    "click 1010\n"
    "click 1\n"
    "window 133\n";

// Customize up to the filter step, add a filter named "Kraków" there, build
// its condition on the city from the value picker (Plzeň, the third value),
// then Finish, which saves the filter with the library and opens the report.
inline const std::string kSavedFilterFromPicker =
    "window 138\n"
    "select 1040 0\n"
    "click 1044\n"
    "press next\n"
    "press next\n"
    "press next\n"
    "window 133\n"
    "click 1068\n"
    "window 143\n"
    "type 1069 Krak\xC3\xB3w\n"
    "click 1\n"
    "window 133\n"
    "expect-text 1066 Krak\xC3\xB3w\n"
    "select 1027 2\n"
    "click 1024\n"
    "window 134\n"
    "select 1029 4\n"
    "click 1031\n"
    "window 136\n"
    "expect-rows 1036 3\n"
    "select 1036 2\n"
    "click 1\n"
    "window 134\n"
    "click 1010\n"
    "click 1\n"
    "window 133\n"
    "press finish\n";

}  // namespace drillscripts

// What the stand-in reads from callers: condition texts and member strings.
// Anything it cannot read must be refused with its own failure, never crash.
#include "condition_parser.h"
#include "errors.h"
#include "fuzz_target.h"
#include "member_strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        if (data[0] & 1)
            zevdtapi::ParseMemberString(text, 0);
        else
            zevdtapi::ParseCondition(text, {"SALES.REGION", "SALES.AMOUNT", "My Table.Col"}, "SALES.REGION");
    } catch (const zevdtapi::Failure&) {
    }
    return 0;
}

std::vector<std::string> FuzzSeeds() {
    return {std::string("\0SALES.REGION = East OR \r\nSALES.REGION in ('East','O''Neil')", 60),
            std::string("\0SALES.AMOUNT not in (1,2,3) AND \r\nSALES.AMOUNT >= 7", 52),
            std::string("\0My Table.Col like '%st' OR \r\nSALES.REGION <> ''", 48),
            std::string("\1Region=East\nSYSDBV=\n-1\n", 25), std::string("\1Year=2024\nSYSDBV=2024\n", 23)};
}

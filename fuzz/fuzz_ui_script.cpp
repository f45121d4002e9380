// UI scripts come from files a user writes: any text parses or names its line.
#include "framework/script/script_driver.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<fw::ScriptLine> lines;
    std::string error;
    if (!fw::ParseScript(std::string(reinterpret_cast<const char*>(data), size), &lines, &error) &&
        error.empty())
        __builtin_trap();  // a refusal always says why
    return 0;
}

std::vector<std::string> FuzzSeeds() {
    return {"# login\nwindow 129\ntype 1001 \"olap \\\"east\\\"\"\nclick 1\nwindow messagebox\nanswer ok\n",
            "select 1040 2\r\nclick-empty 1040\r\npress next\nexpect-message 50002\n", "type 1015 \"open\n"};
}

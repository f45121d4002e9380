// The preview program, which screenshots are taken with, shows each wizard
// step as a user reaches it: the sort step lists the columns that the column
// step holds chosen, not an empty list.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "process.h"

namespace {

TEST(PreviewSteps, TheSortStepShowsTheColumnsChosenBeforeIt) {
    namespace fs = std::filesystem;
    const std::string bin = zevdt_test::ProgramFolder();
    const fs::path work = fs::path(bin) / "preview-work";
    fs::create_directories(work);
#if defined(_WIN32)
    const std::string preview = bin + "zevdt-preview.exe";
#else
    const std::string preview = bin + "zevdt-preview";
#endif
    const std::string script = (work / "sort.ui").string();
    const std::string transcript = (work / "sort.transcript").string();
    // The sample report displays four columns, one of them sorted by.
    zevdt_test::WriteFile(script,
                          "window 132\n"
                          "expect-text 1058 \"Sales Detail\"\n"
                          "expect-rows 1050 3\n"
                          "expect-rows 1051 1\n"
                          "press cancel\n");
    zevdt_test::SetEnv("ZEVDT_UI_SCRIPT", script);
    zevdt_test::SetEnv("ZEVDT_UI_TRANSCRIPT", transcript);
    zevdt_test::RunResult run = zevdt_test::Run({preview, "wizard", "2"}, work.string());
    zevdt_test::SetEnv("ZEVDT_UI_SCRIPT", "");
    zevdt_test::SetEnv("ZEVDT_UI_TRANSCRIPT", "");
    const std::string lines = zevdt_test::ReadFile(transcript);
    EXPECT_EQ(lines.find("script-error"), std::string::npos) << lines;
    EXPECT_NE(lines.find("script 5: press cancel"), std::string::npos) << lines;
    EXPECT_EQ(run.status, 2) << run.err;  // IDCANCEL
}

}  // namespace

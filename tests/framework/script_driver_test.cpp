// UI scripts: what a line does, and how a bad line ends the run instead of
// hanging it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>

#include "dialogs/login_dlg.h"
#include "dialogs/reports_dlg.h"
#include "framework/script/script_driver.h"
#include "framework/script/test_driver.h"
#include "framework/transcript_lines.h"
#include "support/test_env.h"

namespace {

std::vector<fw::ScriptLine> Parse(const std::string& text) {
    std::vector<fw::ScriptLine> lines;
    std::string error;
    EXPECT_TRUE(fw::ParseScript(text, &lines, &error)) << error;
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct ScriptRun {
    INT_PTR result;
    std::vector<std::string> transcript;
    bool failed;
    std::string error;
};

template <class Dialog>
ScriptRun RunScript(Dialog& dlg, const std::string& script) {
    fw::ScriptDriver driver(Parse(script), "test.ui");
    driver.SetErrorSink([](const std::string&) {});
    fw::MemoryTranscript transcript;
    driver.SetTranscript(&transcript);
    ScriptRun run;
    {
        fw::ScopedDriver scope(&driver, &transcript);
        run.result = dlg.DoModal();
    }
    run.transcript = transcript.lines;
    run.failed = driver.Failed();
    run.error = driver.Error();
    return run;
}

TEST(ScriptParsing, WordsQuotesEscapesAndComments) {
    auto lines = Parse(
        "# a comment\n\ntype 1001 \"two words\"   # trailing\r\nclick 1\ntype 1015 \"say \\\"hi\\\"\\n\"\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].number, 3);
    EXPECT_EQ(lines[0].words, (std::vector<std::string>{"type", "1001", "two words"}));
    EXPECT_EQ(lines[1].words, (std::vector<std::string>{"click", "1"}));
    EXPECT_EQ(lines[2].words[2], "say \"hi\"\n");
}

TEST(ScriptParsing, AnUnterminatedQuoteNamesItsLine) {
    std::vector<fw::ScriptLine> lines;
    std::string error;
    EXPECT_FALSE(fw::ParseScript("click 1\ntype 1001 \"open\n", &lines, &error));
    EXPECT_EQ(error, "line 2: unterminated quote");
}

// The commands the tables of docs/ui-scripts.md name: the first word of each
// `code` in the first cell of a row ("\|" separates choices inside a cell).
std::set<std::string> DocumentedCommands() {
    std::ifstream doc(ZEVDT_UI_SCRIPTS_DOC);
    EXPECT_TRUE(doc) << ZEVDT_UI_SCRIPTS_DOC;
    std::set<std::string> names;
    bool inCommands = false;
    for (std::string row; std::getline(doc, row);) {
        if (row.rfind("## ", 0) == 0 || row.rfind("### ", 0) == 0)
            inCommands = row == "### Checks" || row == "### Actions";
        if (!inCommands || row.rfind("| `", 0) != 0)
            continue;
        size_t end = 1;
        while (end < row.size() && !(row[end] == '|' && row[end - 1] != '\\')) ++end;
        for (size_t open = row.find('`'); open < end; open = row.find('`', row.find('`', open + 1) + 1)) {
            size_t close = row.find('`', open + 1);
            names.insert(row.substr(open + 1, std::min(close, row.find(' ', open)) - open - 1));
        }
    }
    return names;
}

TEST(ScriptParsing, TheDocumentedCommandsAreTheDriversCommands) {
    std::vector<std::string> table = fw::ScriptCommandNames();
    EXPECT_EQ(DocumentedCommands(), std::set<std::string>(table.begin(), table.end()));
}

TEST(Scripts, DriveTheLoginDialogAndAnswerItsMessage) {
    CLoginDlg dlg;
    dlg.m_nLoginFlags = 3;
    dlg.m_strDataSourceName = "Sales";
    ScriptRun run = RunScript(dlg,
                              "window 129\n"
                              "expect-text 1002 Sales\n"
                              "expect-editable 1001\n"
                              "click 1\n"
                              "window messagebox\n"
                              "expect-message 50002\n"
                              "answer ok\n"
                              "type 1001 olap1\n"
                              "type 1014 ann\n"
                              "click 1\n");
    EXPECT_FALSE(run.failed) << run.error;
    EXPECT_EQ(run.result, IDOK);
    EXPECT_EQ(dlg.m_strServerName, "olap1");
    EXPECT_TRUE(Has(run.transcript, "window 129 \"Drill-Through Login\"")) << run.transcript.front();
    EXPECT_TRUE(Has(run.transcript, "script 8: type 1001 olap1"));
    EXPECT_TRUE(Has(run.transcript, "messagebox 50002 \"Need to provide Integration Server name\" OK -> OK"));
    EXPECT_EQ(run.transcript.back(), "close 129 OK");
}

// After hand-over the script acts no more. Windows then waits for a real user,
// which a test cannot be; the headless backend, with no user, takes the default.
#ifndef _WIN32
TEST(Scripts, AfterHandOverTheScriptLeavesTheWindowsAlone) {
    CLoginDlg dlg;
    dlg.m_nLoginFlags = 3;
    ScriptRun run = RunScript(dlg, "window 129\nhand-over\nclick 1\n");
    EXPECT_FALSE(run.failed) << run.error;
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_TRUE(Has(run.transcript, "script 2: hand-over"));
    EXPECT_FALSE(Has(run.transcript, "script 3: click 1"));
    EXPECT_TRUE(Has(run.transcript, "default cancel 129"));
}
#endif

// An unknown command, a missing, disabled or read-only control, another
// window than expected: the script stops at that line, says why, and the
// dialog is cancelled.
TEST(Scripts, ALineThatCannotBePerformedStopsTheScriptAndTheDialogIsCancelled) {
    struct Case {
        int flags;
        const char* script;
        int line;
        const char* message;
    };
    for (const Case& c :
         {Case{3, "type 1001 olap1\nfrobnicate 1\nclick 1\n", 2, "unknown command 'frobnicate'"},
          Case{3, "click 4242\n", 1, "the window has no control 4242"},
          Case{1, "type 1014 ann\n", 1, "control 1014 is read-only"},
          Case{3, "window 138\n", 1, "expected window 138, the active window is 129"},
          Case{3, "answer yes\n", 1, "no message box is active"},
          Case{3, "click\n", 1, "'click' takes 1 argument"}}) {
        CLoginDlg dlg;
        dlg.m_nLoginFlags = c.flags;
        ScriptRun run = RunScript(dlg, c.script);
        const std::string where = std::to_string(c.line) + ": " + c.message;
        EXPECT_TRUE(run.failed) << c.script;
        EXPECT_EQ(run.error, "UI script test.ui line " + where);
        EXPECT_EQ(run.result, IDCANCEL) << c.script;
        EXPECT_TRUE(Has(run.transcript, "script-error " + where)) << c.script;
        EXPECT_TRUE(Has(run.transcript, "default cancel 129")) << c.script;
    }
}

TEST(Scripts, ADisabledButtonIsRefused) {
    class OneReport : public CReportSource {
      public:
        OneReport() {
            std::memset(&record_, 0, sizeof record_);
            std::strcpy(record_.name, "Fixed");
            list_[0] = &record_;
        }
        ZevDTAPIReport** GetReportList() const override { return const_cast<ZevDTAPIReport**>(list_); }
        uint32_t GetReportCount() const override { return 1; }

      private:
        ZevDTAPIReport record_;
        ZevDTAPIReport* list_[1];
    } reports;
    CReportsDlg dlg;
    dlg.m_pDrillThrough = &reports;
    ScriptRun run = RunScript(dlg, "expect-disabled 1044\nexpect-rows 1040 1\nclick 1044\n");
    EXPECT_TRUE(run.failed);
    EXPECT_NE(run.error.find("line 3: control 1044 is disabled"), std::string::npos) << run.error;
    EXPECT_EQ(run.result, IDCANCEL);
}

TEST(Scripts, WithoutAnyScriptDialogsAreCancelledAndMessageBoxesTakeTheirDefault) {
    fw::TestDriver none;
    fw::MemoryTranscript transcript;
    fw::ScopedDriver scope(&none, &transcript);
    CLoginDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // Nobody read the box: its text is a diagnostic, on standard error too when asked for.
    testsupport::ScopedEnv diagnostics("ZEVDT_DIAGNOSTICS", std::string("1"));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox("Krak\xf3w: connection refused", MB_YESNO), IDYES);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Has(transcript.lines, "default cancel 129"));
    EXPECT_TRUE(Has(transcript.lines, "default answer YES"));
    const std::string line = "message box taken by its default: Krak\xf3w: connection refused";
    std::string all;
    for (const std::string& l : transcript.lines) all += l + "\n";
    EXPECT_TRUE(Has(transcript.lines, fw::transcript::Diagnostic(line))) << all;
    EXPECT_EQ(err, "ZEVDTU: " + line + "\n");
}

}  // namespace

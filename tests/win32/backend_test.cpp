// Dialogs, message boxes, strings and the message queue on the real
// platform, driven the way UI scripts drive them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "framework/script/environment.h"
#include "framework/script/test_driver.h"
#include "framework/shell_hook.h"
#include "framework/transcript_lines.h"
#include "framework/win32/win32_api.h"
#include "probe_ids.h"
#include "probe_support.h"

using namespace probe;

namespace {

void EndOnButtons(RecordingSink& sink) {
    sink.handler = [&sink](UINT msg, WPARAM wParam, LPARAM, bool* handled) -> intptr_t {
        if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            B().EndDialog(sink.hwnd(), LOWORD(wParam));
            *handled = true;
        }
        return 0;
    };
}

TEST(Win32ModalDialog, DriverClickEndsTheRunWithTheButtonAndTheSinkSeesItAll) {
    RecordingSink sink;
    EndOnButtons(sink);
    fw::Hwnd during = nullptr;
    fw::TestDriver driver;
    driver.Then([&](fw::Ui& ui) {
        const fw::Hwnd active = ui.Window();
        during = active;
        EXPECT_EQ(active, sink.hwnd());
        // A user could not act on a dialog before it shows.
        EXPECT_TRUE(B().IsWindowVisible(active));
        EXPECT_EQ(B().KindOf(active), fw::WindowKind::Dialog);
        EXPECT_EQ(B().TemplateOf(active), static_cast<unsigned>(IDD_PROBE));
        EXPECT_EQ(B().KindOf(B().GetDlgItem(active, IDC_PROBE_PRESS)), fw::WindowKind::Control);
        EXPECT_EQ(B().GetClassName(B().GetDlgItem(active, IDC_PROBE_LISTVIEW)), "SysListView32");
        Click(active, IDC_PROBE_PRESS);
    });
    fw::MemoryTranscript transcript;
    fw::ScopedDriver d(&driver, &transcript);
    const intptr_t result = B().RunModalDialog(IDD_PROBE, nullptr, &sink);
    EXPECT_EQ(result, IDC_PROBE_PRESS);
    EXPECT_EQ(driver.Failures(), std::vector<std::string>{});
    ASSERT_GE(sink.seen.size(), 2u);
    EXPECT_EQ(sink.seen.front(), (Seen{WM_INITDIALOG, 0, 0}));
    EXPECT_EQ(sink.Of(WM_COMMAND), (std::vector<Seen>{{WM_COMMAND, BN_CLICKED, IDC_PROBE_PRESS}}));
    EXPECT_EQ(sink.attached, 1);
    EXPECT_EQ(sink.detached, 1);
    EXPECT_EQ(sink.hwnd(), nullptr);
    EXPECT_FALSE(B().IsWindow(during));
    EXPECT_EQ(B().TemplateOf(during), 0u);
    EXPECT_EQ(transcript.lines,
              (std::vector<std::string>{fw::transcript::WindowOpened(IDD_PROBE, "Probe dialog"),
                                        fw::transcript::WindowClosed(IDD_PROBE, IDC_PROBE_PRESS)}));
}

TEST(Win32ModalDialog, WindowNobodyActsOnIsCancelledAndMissingTemplateFails) {
    RecordingSink sink;
    EndOnButtons(sink);
    fw::TestDriver idle;
    fw::MemoryTranscript transcript;
    fw::ScopedDriver d(&idle, &transcript);
    EXPECT_EQ(B().RunModalDialog(IDD_PROBE, nullptr, &sink), IDCANCEL);
    EXPECT_EQ(sink.Of(WM_COMMAND), (std::vector<Seen>{{WM_COMMAND, BN_CLICKED, IDCANCEL}}));

    RecordingSink unused;
    transcript.lines.clear();
    EXPECT_EQ(B().RunModalDialog(4242, nullptr, &unused), -1);
    EXPECT_EQ(unused.attached, 0);
    EXPECT_TRUE(transcript.lines.empty());
}

TEST(Win32MessageBox, DriverAnswersABoxAlsoOneOpenedFromInsideADialog) {
    fw::TestDriver driver;
    driver.Then([](fw::Ui& ui) {
        const fw::Hwnd active = ui.Window();
        ASSERT_EQ(B().KindOf(active), fw::WindowKind::MessageBox);
        EXPECT_EQ(B().GetWindowText(B().GetDlgItem(active, 0xFFFF)), "Keep the rows?");
        EXPECT_EQ(B().GetWindowText(active), "Probe caption");
        Click(active, IDNO);
    });
    fw::MemoryTranscript transcript;
    fw::ScopedDriver d(&driver, &transcript);
    EXPECT_EQ(B().MessageBox(nullptr, "Keep the rows?", "Probe caption", MB_YESNO | MB_ICONQUESTION, 77),
              IDNO);
    EXPECT_EQ(transcript.lines, (std::vector<std::string>{fw::transcript::MessageBoxShown(
                                    77, "Keep the rows?", MB_YESNO | MB_ICONQUESTION, IDNO)}));

    // A click whose handler asks a question: the question is answered in a
    // nested loop while the click's step is still running.
    RecordingSink sink;
    sink.handler = [&sink](UINT msg, WPARAM wParam, LPARAM, bool* handled) -> intptr_t {
        if (msg == WM_COMMAND && LOWORD(wParam) == IDC_PROBE_PRESS) {
            int answer = B().MessageBox(sink.hwnd(), "Go on?", "Probe", MB_OKCANCEL, 0);
            B().EndDialog(sink.hwnd(), answer == IDOK ? 500 : 501);
            *handled = true;
        }
        return 0;
    };
    driver.Then([](fw::Ui& ui) { Click(ui.Window(), IDC_PROBE_PRESS); });
    driver.Then([&sink](fw::Ui& ui) {
        const fw::Hwnd active = ui.Window();
        EXPECT_EQ(B().KindOf(active), fw::WindowKind::MessageBox);
        // The box belongs to the dialog, which it disables while it runs.
        EXPECT_EQ(B().GetParent(active), sink.hwnd());
        EXPECT_FALSE(B().IsWindowEnabled(sink.hwnd()));
        Click(active, IDOK);
    });
    EXPECT_EQ(B().RunModalDialog(IDD_PROBE, nullptr, &sink), 500);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(driver.Failures(), std::vector<std::string>{});  // no step met a window it could not act on
}

TEST(Win32MessageBox, BoxNobodyAnswersTakesItsDefaultButton) {
    fw::TestDriver idle;
    fw::ScopedDriver d(&idle, nullptr);
    EXPECT_EQ(B().MessageBox(nullptr, "Really?", "Probe", MB_YESNO | MB_DEFBUTTON2, 0), IDNO);
    EXPECT_EQ(B().MessageBox(nullptr, "Done.", "Probe", MB_OK, 0), IDOK);
}

TEST(Win32Strings, LongStringsComeOutWholeAndMissingOnesFail) {
    std::string text;
    ASSERT_TRUE(B().LoadString(IDS_PROBE_SHORT, &text));
    EXPECT_EQ(text, "Probe string");
    ASSERT_TRUE(B().LoadString(IDS_PROBE_LONG, &text));
    EXPECT_GT(text.size(), 500u);
    EXPECT_EQ(text.substr(0, 8), "Line 00 ");
    EXPECT_EQ(text.substr(text.size() - 16), "old size holds. ");
    EXPECT_FALSE(B().LoadString(IDS_PROBE_SHORT + 50, &text));
    EXPECT_TRUE(text.empty());
}

TEST(Win32Queue, PostedMessagesReachModelessDialogsAndQuitEndsThePump) {
    RecordingSink sink;
    fw::Hwnd dialog = B().CreateModelessDialog(IDD_PROBE, nullptr, &sink);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(B().KindOf(dialog), fw::WindowKind::Dialog);
    EXPECT_EQ(sink.attached, 1);

    B().PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROBE_PRESS, BN_CLICKED), 0);
    B().PostQuitMessage(0);
    EXPECT_TRUE(B().HasWaitingMessage());
    int pumped = 0;
    while (B().PumpMessage()) ++pumped;
    EXPECT_GE(pumped, 1);
    EXPECT_EQ(sink.Of(WM_COMMAND), (std::vector<Seen>{{WM_COMMAND, BN_CLICKED, IDC_PROBE_PRESS}}));

    // The framework destroys a modeless window itself; the sink hears of it once.
    EXPECT_TRUE(B().DestroyWindow(dialog));
    EXPECT_EQ(sink.detached, 1);
    EXPECT_FALSE(B().IsWindow(dialog));
}

TEST(Win32Services, WaitCursorShellHookAndApplicationName) {
    ASSERT_EQ(fw::Win32WaitCursorDepth(), 0);
    B().BeginWaitCursor();
    B().BeginWaitCursor();
    B().EndWaitCursor();
    EXPECT_EQ(fw::Win32WaitCursorDepth(), 1);
    B().EndWaitCursor();
    B().EndWaitCursor();  // one End too many must not leave the count below zero
    EXPECT_EQ(fw::Win32WaitCursorDepth(), 0);
    B().BeginWaitCursor();
    EXPECT_EQ(fw::Win32WaitCursorDepth(), 1);
    B().EndWaitCursor();

    static std::string opened;
    fw::SetShellOpenHook([](const std::string& path) -> intptr_t {
        opened = path;
        return 2;
    });
    fw::MemoryTranscript transcript;
    {
        fw::ScopedDriver d(nullptr, &transcript);
        EXPECT_EQ(B().ShellOpen("C:\\nowhere\\help.chm"), 2);
    }
    fw::SetShellOpenHook(nullptr);
    EXPECT_EQ(opened, "C:\\nowhere\\help.chm");
    EXPECT_EQ(transcript.lines,
              (std::vector<std::string>{fw::transcript::HelpOpened("C:\\nowhere\\help.chm", 2)}));

    EXPECT_EQ(B().ApplicationName(), "win32_backend_test");
}

// Acts on nothing yet claims every turn, so the default never comes: only
// the watchdog can end the run.
class Stubborn : public fw::Driver {
  public:
    bool Step(fw::Hwnd) override { return true; }
};

// Runs only as the child process of the test below.
TEST(Win32Watchdog, DISABLED_HungDialog) {
    B();
    Stubborn driver;
    fw::ScopedDriver d(&driver, fw::ActiveTranscript());
    RecordingSink sink;
    B().RunModalDialog(IDD_PROBE, nullptr, &sink);
    ADD_FAILURE() << "the hung dialog ended";
}

TEST(Win32Watchdog, HungModalLoopEndsTheProcessWithCode3AndSaysSo) {
    char exe[MAX_PATH] = {}, temp[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
    ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
    std::string transcriptPath =
        std::string(temp) + "zevdt_watchdog_" + std::to_string(::GetCurrentProcessId()) + ".txt";
    ::SetEnvironmentVariableA("ZEVDT_UI_WATCHDOG_SECONDS", "1");
    ::SetEnvironmentVariableA("ZEVDT_UI_TRANSCRIPT", transcriptPath.c_str());
    std::string command =
        std::string("\"") + exe +
        "\" --gtest_filter=Win32Watchdog.DISABLED_HungDialog --gtest_also_run_disabled_tests";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    BOOL started = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &child);
    ::SetEnvironmentVariableA("ZEVDT_UI_WATCHDOG_SECONDS", nullptr);
    ::SetEnvironmentVariableA("ZEVDT_UI_TRANSCRIPT", nullptr);
    ASSERT_TRUE(started);
    DWORD waited = ::WaitForSingleObject(child.hProcess, 60000);
    DWORD code = 0;
    ::GetExitCodeProcess(child.hProcess, &code);
    if (waited != WAIT_OBJECT_0)
        ::TerminateProcess(child.hProcess, 1);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(code, 3u);

    std::ifstream in(transcriptPath);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    ::DeleteFileA(transcriptPath.c_str());
    EXPECT_EQ(text.str(), fw::transcript::WindowOpened(IDD_PROBE, "Probe dialog") + "\nwatchdog " +
                              std::to_string(IDD_PROBE) + "\n");
}

}  // namespace

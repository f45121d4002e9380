// ZevDTOpen's branches against the fake library, with the dialogs answered
// as a user would answer them.
#include "drill_through.h"
#include "interface_fixture.h"
#include "resources/resource.h"

using fw::SheetButton;
using fw::Ui;
using ifacetest::Calls;
using ifacetest::Message;

namespace {

const char* kLoginWindow = "window 129 ";
const char* kReportsWindow = "window 138 ";

class OpenSequence : public ifacetest::InterfaceTest {
  protected:
    void SetUp() override {
        InterfaceTest::SetUp();
        Init();
    }
    std::string Password() const { return ZevDTGetSourcePassword(handle); }
};

TEST_F(OpenSequence, WithoutLoginFlagsConnectsStraightAwayAndRunsTheOnlyReport) {
    EXPECT_EQ(Open(), ZEVDT_OK);
    EXPECT_EQ(CallNames(), (Calls{"Init", "SetConnection", "GetInfo", "Connect", "GetReports",
                                  "ExecuteReport", "GetColumns"}));
    EXPECT_TRUE(transcript.lines.empty()) << transcript.lines.front();
    EXPECT_EQ(control->initValue, 7u);
    EXPECT_EQ(control->memberCount, 2u);
    EXPECT_STREQ(control->members[1], "East\n");
    EXPECT_EQ(control->context, 0x1122334455667788ull);
    EXPECT_EQ(control->executedReport, 0u);
    EXPECT_EQ(control->foreignHandleCalls, 0u);
    EXPECT_GE(ifacetest::WaitCursorRestores(), 1);
}

TEST_F(OpenSequence, ServerFlagLetsOnlyTheServerBeTyped) {
    control->info.loginFlags = ZEVDTAPI_LOGIN_SERVER;
    std::strcpy(control->info.password, "libpw");
    bool userReadOnly = false;
    std::string shownPassword;
    fw::TestDriver driver;
    driver
        .Then([&](Ui& ui) {
            EXPECT_EQ(ui.Text(IDC_LOGIN_SERVER), "olap1");
            EXPECT_EQ(ui.Text(IDC_LOGIN_DATA_SOURCE), "Sales");
            userReadOnly = ui.ReadOnly(IDC_LOGIN_USER) && ui.ReadOnly(IDC_LOGIN_PASSWORD);
            shownPassword = ui.Text(IDC_LOGIN_PASSWORD);
            ui.Type(IDC_LOGIN_SERVER, "olap2");
        })
        .Then([](Ui& ui) { ui.Click(IDOK); });
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    EXPECT_TRUE(userReadOnly);
    EXPECT_EQ(shownPassword, "libpw");
    EXPECT_STREQ(control->setInfo.serverName, "olap2");
    EXPECT_STREQ(control->setInfo.userName, "ann");
    EXPECT_STREQ(control->setInfo.password, "libpw");
    EXPECT_EQ(Password(), "");
}

TEST_F(OpenSequence, UserFlagClearsAHostPasswordAndKeepsTheTypedOneCutTo30Bytes) {
    control->info.loginFlags = ZEVDTAPI_LOGIN_USER;
    ASSERT_EQ(ZevDTSetSourcePassword(handle, "fromhost"), ZEVDT_OK);
    const std::string user40(40, 'u');
    const std::string typed = "typed-password-that-is-longer-than-30";
    bool serverReadOnly = false;
    fw::TestDriver driver;
    driver
        .Then([&](Ui& ui) {
            serverReadOnly = ui.ReadOnly(IDC_LOGIN_SERVER);
            EXPECT_EQ(ui.Text(IDC_LOGIN_PASSWORD), "");
            ui.Type(IDC_LOGIN_USER, user40);
        })
        .Then([&](Ui& ui) { ui.Type(IDC_LOGIN_PASSWORD, typed); })
        .Then([](Ui& ui) { ui.Click(IDOK); });
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    EXPECT_TRUE(serverReadOnly);
    EXPECT_EQ(std::string(control->setInfo.userName), user40.substr(0, 30));
    EXPECT_EQ(std::string(control->setInfo.password), typed.substr(0, 30));
    EXPECT_STREQ(control->setInfo.serverName, "olap1");
    EXPECT_EQ(Password(), typed.substr(0, 30));
    EXPECT_EQ(ZevDTGetSourcePassword(handle)[30], '\0');
}

TEST_F(OpenSequence, BothFlagsLetServerUserAndPasswordBeTyped) {
    control->info.loginFlags = ZEVDTAPI_LOGIN_SERVER | ZEVDTAPI_LOGIN_USER;
    fw::TestDriver driver;
    Login(driver, "olap9", "bob", "pw");
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    EXPECT_STREQ(control->setInfo.serverName, "olap9");
    EXPECT_STREQ(control->setInfo.userName, "bob");
    EXPECT_STREQ(control->setInfo.password, "pw");
    EXPECT_EQ(Password(), "pw");
    EXPECT_EQ(control->setInfo.loginFlags, 3u);
}

TEST_F(OpenSequence, AHostPasswordAnswersAServerLoginWithTheRecordUnchanged) {
    control->info.loginFlags = ZEVDTAPI_LOGIN_SERVER;
    // Bytes after a NUL, as a library may leave them: they must come back as they went.
    std::memcpy(control->info.password, "x\0tail", 6);
    ASSERT_EQ(ZevDTSetSourcePassword(handle, "secret"), ZEVDT_OK);
    EXPECT_EQ(Open(), ZEVDT_OK);
    EXPECT_EQ(CountPrefix(kLoginWindow), 0);
    EXPECT_EQ(std::memcmp(&control->setInfo, &control->info, sizeof control->info), 0);
    EXPECT_EQ(Password(), "secret");
}

TEST_F(OpenSequence, CancelledLoginReturns1WithoutTellingTheLibrary) {
    control->info.loginFlags = ZEVDTAPI_LOGIN_USER;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(Open(driver), ZEVDT_CANCELLED);
    EXPECT_EQ(control->calls[kFakeSetInfo], 0u);
    EXPECT_EQ(control->calls[kFakeConnect], 0u);
}

TEST_F(OpenSequence, NoDataSourceNameIsRefusedBeforeAnyDialog) {
    control->info.loginFlags = ZEVDTAPI_LOGIN_USER;
    control->info.dataSourceName[0] = '\0';
    EXPECT_EQ(Open(AnswersOk()), ZEVDT_E_NO_DATA_SOURCE);
    EXPECT_EQ(transcript.lines,
              (std::vector<std::string>{Message(50012, "Datasource name is not available.")}));
    EXPECT_EQ(control->calls[kFakeConnect], 0u);
}

// The 31st byte of a login field is the library's: the sequence copies at
// most 30 bytes into a field and never writes its last byte, in the first
// login and in a retried one alike.
TEST_F(OpenSequence, TheLastByteOfEveryLoginFieldComesBackUnchanged) {
    control->info.loginFlags = ZEVDTAPI_LOGIN_SERVER | ZEVDTAPI_LOGIN_USER;
    char* fields[] = {control->info.serverName, control->info.dataSourceName, control->info.userName,
                      control->info.password};
    const char markers[] = {'\x5A', '\x7E', '\x01', '\xFF'};
    for (int i = 0; i < 4; ++i) fields[i][30] = markers[i];
    FakeProgram(control, kFakeConnect, {ZEVDTAPI_LOGIN_REFUSED, 0});
    const std::string long40(40, 'w');
    fw::TestDriver driver;
    Login(driver, long40, long40, long40).Then([](Ui& ui) { ui.Answer(IDOK); });  // the refused login's error
    Login(driver, long40, long40, long40);
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    for (const ZevDTAPIConnectionInfo* sent : {&control->setInfo, &control->setInfoWithOptionOn}) {
        const char* back[] = {sent->serverName, sent->dataSourceName, sent->userName, sent->password};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(back[i][30], markers[i]) << "field " << i;
        EXPECT_EQ(std::string(sent->userName, 30), long40.substr(0, 30));
        EXPECT_EQ(std::string(sent->password, 30), long40.substr(0, 30));
        EXPECT_EQ(sent->loginFlags, 3u);
    }
}

// The retry loop's ways out other than success and three refusals.
TEST_F(OpenSequence, AFailingRetriedLoginIsShownAndReturnedWithoutConnecting) {
    FakeProgram(control, kFakeConnect, {ZEVDTAPI_LOGIN_REFUSED});
    FakeProgram(control, kFakeSetInfoWithOptionOn, {4711});
    std::strcpy(control->errorText, "No.");
    fw::TestDriver driver = AnswersOk();
    Login(driver, "", "", "again").Then([](Ui& ui) { ui.Answer(IDOK); });
    EXPECT_EQ(Open(driver), 4711u);
    EXPECT_EQ(Count(Message(0, "No.")), 2);
    EXPECT_EQ(CallNames(), (Calls{"Init", "SetConnection", "GetInfo", "Connect", "GetError",
                                  "SetInfoWithOptionOn", "GetError"}));
    EXPECT_STREQ(control->setInfoWithOptionOn.password, "again");
}

TEST_F(OpenSequence, ARetryWithoutADataSourceNameGives50012) {
    control->info.dataSourceName[0] = '\0';
    FakeProgram(control, kFakeConnect, {ZEVDTAPI_LOGIN_REFUSED});
    std::strcpy(control->errorText, "Refused.");
    EXPECT_EQ(Open(AnswersOk(2)), ZEVDT_E_NO_DATA_SOURCE);
    EXPECT_EQ(transcript.lines,
              (std::vector<std::string>{Message(0, "Refused."),
                                        Message(50012, "Datasource name is not available.")}));
    EXPECT_EQ(CountPrefix(kLoginWindow), 0);
    EXPECT_EQ(control->calls[kFakeSetInfoWithOptionOn], 0u);
    EXPECT_EQ(control->calls[kFakeConnect], 1u);
}

TEST_F(OpenSequence, CancelOnARetriedLoginReturns1) {
    FakeProgram(control, kFakeConnect, {ZEVDTAPI_LOGIN_REFUSED});
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Answer(IDOK); }).Then([](Ui& ui) {
        EXPECT_EQ(ui.TemplateId(), unsigned(IDD_LOGIN));
        ui.Click(IDCANCEL);
    });
    EXPECT_EQ(Open(driver), ZEVDT_CANCELLED);
    EXPECT_EQ(control->calls[kFakeSetInfoWithOptionOn], 0u);
    EXPECT_EQ(control->calls[kFakeConnect], 1u);
    EXPECT_EQ(control->calls[kFakeGetReports], 0u);
}

// One refused login and three refused retries: the error four times, the
// dialog three times, and no password left for the next open.
TEST_F(OpenSequence, FourRefusedLoginsGiveUpWithThePasswordForgotten) {
    FakeProgram(control, kFakeConnect, {ZEVDTAPI_LOGIN_REFUSED});
    control->errorNumber = ZEVDTAPI_LOGIN_REFUSED;
    std::strcpy(control->errorText, "Login refused.");
    ASSERT_EQ(ZevDTSetSourcePassword(handle, "stale"), ZEVDT_OK);
    fw::TestDriver driver = AnswersOk();
    for (int i = 0; i < 3; ++i) {
        driver
            .Then([](Ui& ui) {
                EXPECT_EQ(ui.TemplateId(), unsigned(IDD_LOGIN));
                EXPECT_FALSE(ui.ReadOnly(IDC_LOGIN_SERVER));
                EXPECT_FALSE(ui.ReadOnly(IDC_LOGIN_USER));
                EXPECT_EQ(ui.Text(IDC_LOGIN_PASSWORD), "");
                ui.Type(IDC_LOGIN_PASSWORD, "try");
            })
            .Then([](Ui& ui) { ui.Click(IDOK); })
            .Then([](Ui& ui) { ui.Answer(IDOK); });
    }
    EXPECT_EQ(Open(driver), ZEVDTAPI_LOGIN_REFUSED);
    EXPECT_EQ(Count(Message(0, "Login refused.")), 4);
    EXPECT_EQ(CountPrefix(kLoginWindow), 3);
    EXPECT_EQ(control->calls[kFakeSetInfoWithOptionOn], 3u);
    EXPECT_EQ(control->calls[kFakeConnect], 4u);
    EXPECT_EQ(control->calls[kFakeGetReports], 0u);
    EXPECT_EQ(Password(), "");
    EXPECT_EQ(std::string(ZevDTGetSourcePassword(handle), 31), std::string(31, '\0'));
}

TEST_F(OpenSequence, ARetriedLoginThatSucceedsGoesOnWithTheTypedLogin) {
    FakeProgram(control, kFakeConnect, {ZEVDTAPI_LOGIN_REFUSED, 0});
    fw::TestDriver driver = AnswersOk();
    Login(driver, "olap7", "carl", "right");
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    EXPECT_STREQ(control->setInfoWithOptionOn.serverName, "olap7");
    EXPECT_STREQ(control->setInfoWithOptionOn.userName, "carl");
    EXPECT_STREQ(control->setInfoWithOptionOn.password, "right");
    EXPECT_EQ(Password(), "right");
    EXPECT_EQ(control->calls[kFakeExecuteReport], 1u);
}

TEST_F(OpenSequence, AnotherConnectionFailureIsReturnedAtOnceAndForgetsThePassword) {
    FakeProgram(control, kFakeConnect, {4242});
    ASSERT_EQ(ZevDTSetSourcePassword(handle, "pw"), ZEVDT_OK);
    std::strcpy(control->errorText, "Server down");
    EXPECT_EQ(Open(AnswersOk()), 4242u);
    EXPECT_EQ(transcript.lines, (std::vector<std::string>{Message(0, "Server down")}));
    EXPECT_EQ(Password(), "");
}

// A failing library call is shown with the library's text and its status is
// returned; nothing after it is called.
struct FailingStep {
    FakeFn fn;
    const char* lastCall;
};
class LibraryFailure : public OpenSequence, public ::testing::WithParamInterface<FailingStep> {};

TEST_P(LibraryFailure, IsShownThenReturned) {
    control->info.loginFlags = ZEVDTAPI_LOGIN_SERVER;
    ASSERT_EQ(ZevDTSetSourcePassword(handle, "pw"), ZEVDT_OK);
    FakeProgram(control, GetParam().fn, {31337});
    control->errorNumber = 31337;
    std::strcpy(control->errorText, "It failed.  \r\n\t ");
    EXPECT_EQ(Open(AnswersOk()), 31337u);
    EXPECT_EQ(transcript.lines, (std::vector<std::string>{Message(0, "It failed.")}));
    Calls calls = CallNames();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], GetParam().lastCall);
    EXPECT_EQ(calls.back(), "GetError");
    EXPECT_EQ(control->errorCapacity, 255u);
}

INSTANTIATE_TEST_SUITE_P(Steps, LibraryFailure,
                         ::testing::Values(FailingStep{kFakeSetConnection, "SetConnection"},
                                           FailingStep{kFakeGetInfo, "GetInfo"},
                                           FailingStep{kFakeSetInfo, "SetInfo"},
                                           FailingStep{kFakeGetReports, "GetReports"},
                                           FailingStep{kFakeExecuteReport, "ExecuteReport"},
                                           FailingStep{kFakeGetColumns, "GetColumns"}));

TEST_F(OpenSequence, AnEmptyErrorTextShowsTheErrorNumber) {
    FakeProgram(control, kFakeGetReports, {9});
    control->errorNumber = 7;
    std::strcpy(control->errorText, "  \n");
    EXPECT_EQ(Open(AnswersOk()), 9u);
    EXPECT_EQ(transcript.lines, (std::vector<std::string>{Message(0, "Drill-Through Error : 7")}));
}

TEST_F(OpenSequence, AnErrorTextFillingTheWholeBufferIsShownWithoutReadingPastIt) {
    FakeProgram(control, kFakeGetReports, {9});
    std::memset(control->errorText, 'e', 600);
    EXPECT_EQ(Open(AnswersOk()), 9u);
    EXPECT_EQ(transcript.lines, (std::vector<std::string>{Message(0, std::string(255, 'e'))}));
}

TEST_F(OpenSequence, NoReportsOrNoColumnsAreShownAndReturned) {
    records.reportList.clear();
    Publish();
    EXPECT_EQ(Open(AnswersOk()), ZEVDT_E_NO_REPORTS);
    EXPECT_EQ(transcript.lines, (std::vector<std::string>{Message(
                                    50007, "There are no reports defined for selected intersection.")}));

    // A count with no list is no list.
    control->reportCount = 2;
    EXPECT_EQ(Open(AnswersOk()), ZEVDT_E_NO_REPORTS);

    records.AddReport("Orders", 0);
    records.columnList.clear();
    Publish();
    EXPECT_EQ(Open(AnswersOk()), ZEVDT_E_NO_COLUMNS);
    EXPECT_EQ(transcript.lines, (std::vector<std::string>{Message(
                                    50008, "There are no display columns defined in a selected report.")}));
}

TEST_F(OpenSequence, RecursiveHierarchyMembersAskOncePerMember) {
    const std::string question =
        "The cell combination contains recursive hierarchy, therefore it will return all the data.  Do you "
        "want "
        "to continue?";
    // Both markers: a single level, no question.
    EXPECT_EQ(Open(fw::TestDriver(), {"A-1\nSYSDBV=\n", "B\n"}), ZEVDT_OK);
    EXPECT_TRUE(transcript.lines.empty());

    EXPECT_EQ(Open(Answering(IDYES, 2), {"SYSDBV=\nX", "plain", "Y SYSDBV=\n"}), ZEVDT_OK);
    EXPECT_EQ(Count(Message(50514, question, "YESNO", "YES")), 2);

    uint32_t executed = control->calls[kFakeExecuteReport];
    EXPECT_EQ(Open(Answering(IDNO), {"SYSDBV=\n"}), ZEVDT_CANCELLED);
    EXPECT_EQ(Count(Message(50514, question, "YESNO", "NO")), 1);
    EXPECT_EQ(control->calls[kFakeExecuteReport], executed);
}

TEST_F(OpenSequence, TheChosenReportIsExecuted) {
    records.AddReport("Returns", 0);
    records.AddReport("Stock", 1);
    Publish();
    fw::TestDriver driver;
    driver
        .Then([](Ui& ui) {
            EXPECT_EQ(ui.TemplateId(), unsigned(IDD_REPORTS));
            EXPECT_EQ(ui.RowCount(IDC_REPORTS_LIST), 3);
            ui.SelectRow(IDC_REPORTS_LIST, 2);
        })
        .Then([](Ui& ui) { ui.Click(IDC_REPORTS_EXECUTE); });
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    EXPECT_EQ(control->executedReport, 2u);

    fw::TestDriver cancel;
    cancel.Then([](Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(Open(cancel), ZEVDT_CANCELLED);
    EXPECT_EQ(control->calls[kFakeExecuteReport], 1u);
}

TEST_F(OpenSequence, ACustomisableOnlyReportStillShowsTheChoice) {
    records.reportList[0]->customisable = 1;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDC_REPORTS_EXECUTE); });
    EXPECT_EQ(Open(driver), ZEVDT_OK);
    EXPECT_EQ(CountPrefix(kReportsWindow), 1);
}

TEST_F(OpenSequence, CustomizeRunsTheWizardOnTheChosenReportAndItsCancelReturns1) {
    records.reportList[0]->customisable = 1;
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Click(IDC_REPORTS_CUSTOMIZE); }).Then([&](Ui& ui) {
        EXPECT_EQ(ui.TemplateId(), unsigned(IDD_INFO_PAGE));
        // The busy cursor ended before the wizard came up.
        EXPECT_EQ(ifacetest::WaitCursorDepth(), 0);
        ui.Press(SheetButton::Cancel);
    });
    EXPECT_EQ(Open(driver), ZEVDT_CANCELLED);
    // A wizard's title bar shows its page's title on Win32: the sheet's own
    // caption is seen where the sheet opens.
    EXPECT_EQ(Count("sheet \"Drill-Through Report\""), 1);
    EXPECT_EQ(static_cast<CDrillThrough*>(handle)->GetReportName(), "Orders");
    EXPECT_EQ(control->calls[kFakeGetColumns], 1u);
}

// A library function in the library's calling convention (a lambda cannot have
// the 32-bit one).
uint32_t ZEVDT_CALL ThrowingGetColumns(void*, ZevDTAPIColumn***, int32_t*) {
    throw std::bad_alloc();
}

// An exception inside the sequence (here thrown by a library call) is caught
// there: 50001, no message, and the busy cursor is ended.
TEST_F(OpenSequence, AnExceptionInsideTheSequenceGives50001) {
    InitWithTable([](zevdt::DTAPITable& t) { t.GetColumns = ThrowingGetColumns; });
    EXPECT_EQ(Open(), ZEVDT_E_EXCEPTION);
    EXPECT_TRUE(transcript.lines.empty());
}

// The retried connection's own busy cursor ends also when the library
// throws out of it.
uint32_t ZEVDT_CALL RefuseThenThrowConnect(void*) {
    static int calls = 0;
    if (calls++ % 2 == 0)
        return ZEVDTAPI_LOGIN_REFUSED;
    throw std::bad_alloc();
}

TEST_F(OpenSequence, AnExceptionInARetriedConnectionEndsItsBusyCursor) {
    InitWithTable([](zevdt::DTAPITable& t) { t.Connect = RefuseThenThrowConnect; });
    fw::TestDriver driver;
    driver.Then([](Ui& ui) { ui.Answer(IDOK); }).Then([](Ui& ui) { ui.Click(IDOK); });
    // Run checks that no busy cursor is left on.
    EXPECT_EQ(Open(driver), ZEVDT_E_EXCEPTION);
    EXPECT_EQ(control->calls[kFakeSetInfoWithOptionOn], 1u);
}

// CancelServerRequest as the value fetch reaches it: the drill-through
// object's own, on its library connection.
TEST_F(OpenSequence, CancelServerRequestReturnsTheLibrarysStatusAndShowsAFailure) {
    auto* object = static_cast<CDrillThrough*>(handle);
    FakeProgram(control, kFakeServerCancel, {0, 808});
    std::strcpy(control->errorText, "Nothing to cancel.");
    EXPECT_EQ(Run(fw::TestDriver(), [&] { return object->CancelServerRequest(); }), 0u);
    EXPECT_TRUE(transcript.lines.empty());
    EXPECT_EQ(Run(AnswersOk(), [&] { return object->CancelServerRequest(); }), 808u);
    EXPECT_EQ(transcript.lines, (std::vector<std::string>{Message(0, "Nothing to cancel.")}));
    EXPECT_EQ(CallNames(), (Calls{"Init", "ServerCancel", "ServerCancel", "GetError"}));
    EXPECT_EQ(control->foreignHandleCalls, 0u);
}

}  // namespace

// A host's whole session against the shared library alone: the exports as a
// host links them, the fake data-transfer library found by path, and the
// dialogs answered by a UI script, as an unattended host run would be.
#include <gtest/gtest.h>

#include <fstream>

#include "fake_dtapi.h"
#include "fake_records.h"
#include "support/test_env.h"
#include "zevdtu.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(HostSession, ScriptedSessionThroughTheSharedLibrary) {
    const std::string folder = ifacetest::ProgramFolder();
    const std::string transcriptPath = folder + "host_session.transcript";
    testsupport::ScopedEnv script("ZEVDT_UI_SCRIPT", folder + "host_session.ui");
    testsupport::ScopedEnv transcript("ZEVDT_UI_TRANSCRIPT", transcriptPath);

    {
        SCOPED_TRACE("without the data-transfer library");
        testsupport::ScopedEnv missing("ZEVDTAPI_LIBRARY", folder + "missing-library");
        void* handle = &handle;
        EXPECT_EQ(ZevDTInit(0, &handle), ZEVDT_E_EXCEPTION);
        EXPECT_EQ(handle, nullptr);
    }
    {
        SCOPED_TRACE("null handle");
        uint32_t count = 3;
        ZevDTDataItem* data = nullptr;
        EXPECT_EQ(ZevDTOpen(nullptr, 0, nullptr, 0), ZEVDT_E_NULL_PARAMETER);
        EXPECT_EQ(ZevDTGetData(nullptr, &data, &count), ZEVDT_E_NULL_PARAMETER);
        EXPECT_EQ(count, 3u);
        EXPECT_EQ(ZevDTClose(nullptr), ZEVDT_E_NULL_PARAMETER);
        EXPECT_EQ(ZevDTGetSourcePassword(nullptr), nullptr);
        EXPECT_EQ(ZevDTSetSourcePassword(nullptr, "x"), ZEVDT_E_NULL_PARAMETER);
        EXPECT_EQ(ZevDTExit(nullptr), ZEVDT_OK);
    }

    testsupport::ScopedEnv library("ZEVDTAPI_LIBRARY", ifacetest::FakeLibraryPath());
    FakeDTAPIControlBlock* control = FakeDTAPIControl();
    FakeReset(control);
    std::strcpy(control->info.dataSourceName, "Sales");
    control->info.loginFlags = ZEVDTAPI_LOGIN_SERVER | ZEVDTAPI_LOGIN_USER;
    FakeProgram(control, kFakeConnect, {ZEVDTAPI_LOGIN_REFUSED, 0});
    std::strcpy(control->errorText, "Login refused.");
    ifacetest::Records records;
    records.AddReport("Orders", 0);
    records.AddReport("Returns", 1);
    records.AddReport("Stock", 0);
    records.AddColumn("SALES", "AMOUNT", 2, 3);
    records.AddColumn("SALES", "REGION", 1);
    records.SetCells({"East", "10", "West", nullptr});
    control->reports = records.reportList.data();
    control->reportCount = 3;
    control->columns = records.columnList.data();
    control->columnCount = 2;
    control->cells = records.cellList.data();
    control->rows = 2;
    control->columnsOfData = 2;

    void* handle = nullptr;
    ASSERT_EQ(ZevDTInit(5, &handle), ZEVDT_OK);
    ASSERT_EQ(ZevDTSetSourcePassword(handle, std::string(40, 'h').c_str()), ZEVDT_OK);
    EXPECT_EQ(std::string(ZevDTGetSourcePassword(handle)), std::string(30, 'h'));

    char members[][16] = {"Year\n", "Org SYSDBV=\n"};
    char* memberList[] = {members[0], members[1]};
    ASSERT_EQ(ZevDTOpen(handle, 2, memberList, 99), ZEVDT_OK);
    EXPECT_EQ(control->executedReport, 1u);
    EXPECT_STREQ(control->setInfo.serverName, "olap2");
    EXPECT_STREQ(control->setInfoWithOptionOn.password, "second");
    EXPECT_STREQ(ZevDTGetSourcePassword(handle), "second");

    ZevDTHeaderItem* header = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(ZevDTGetHeader(handle, &header, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(header[0].name, "REGION");
    EXPECT_STREQ(header[1].name, "AMOUNT");
    ZevDTHeaderInfoItem* info = nullptr;
    ASSERT_EQ(ZevDTGetHeaderInfo(handle, &info, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(info[1].dataType, 3u);
    ZevDTDataItem* data = nullptr;
    ASSERT_EQ(ZevDTGetData(handle, &data, &count), ZEVDT_OK);
    ASSERT_EQ(count, 4u);
    EXPECT_STREQ(data[2].text, "West");
    EXPECT_EQ(data[3].row, 2u);
    EXPECT_STREQ(data[3].text, "");

    records.columnList[0]->displayPosition = 1;
    EXPECT_EQ(ZevDTGetHeader(handle, &header, &count), ZEVDT_E_DISPLAY_ORDER);
    EXPECT_EQ(header, nullptr);
    EXPECT_EQ(ZevDTClose(handle), ZEVDT_OK);

    control->info.loginFlags = 0;
    EXPECT_EQ(ZevDTOpen(handle, 2, memberList, 99), ZEVDT_CANCELLED);
    EXPECT_EQ(ZevDTExit(handle), ZEVDT_OK);
    EXPECT_EQ(ZevDTExit(handle), ZEVDT_OK);
    EXPECT_EQ(control->calls[kFakeExit], 1u);

    std::vector<std::string> lines = ReadLines(transcriptPath);
    for (const std::string& line : lines) {
        EXPECT_NE(line.rfind("script-error", 0), 0u) << line;
        EXPECT_NE(line.rfind("default ", 0), 0u) << line;
    }
    EXPECT_TRUE(Has(lines, ifacetest::Message(0, "Login refused.")));
    EXPECT_TRUE(
        Has(lines, ifacetest::Message(50514,
                                      "The cell combination contains recursive hierarchy, therefore it "
                                      "will return all the data.  Do you want to continue?",
                                      "YESNO", "YES")));
    EXPECT_TRUE(Has(lines, ifacetest::Message(50011, "Invalid display order sequence found")));
    EXPECT_TRUE(Has(lines, "close 138 CANCEL"));
}

}  // namespace

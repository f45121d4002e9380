// The nine exports at their edges: handles that are not live objects, null
// arguments, the source password field, and the library loader.
#include "interface_fixture.h"
#include "resources/resource.h"

namespace {

class Exports : public ifacetest::InterfaceTest {};

// Null, never made, and already destroyed handles are all answered alike.
TEST_F(Exports, HandlesThatAreNotLiveObjectsAreRefused) {
    void* destroyed = nullptr;
    ASSERT_EQ(ZevDTInit(0, &destroyed), ZEVDT_OK);
    EXPECT_EQ(ZevDTExit(destroyed), ZEVDT_OK);
    int foreign = 0;
    uint32_t callsBefore = control->logCount;
    for (void* h : {static_cast<void*>(nullptr), static_cast<void*>(&foreign), destroyed}) {
        char* members[] = {const_cast<char*>("m")};
        EXPECT_EQ(ZevDTOpen(h, 1, members, 0), ZEVDT_E_NULL_PARAMETER);
        ZevDTHeaderItem* header = reinterpret_cast<ZevDTHeaderItem*>(&foreign);
        uint32_t count = 5;
        EXPECT_EQ(ZevDTGetHeader(h, &header, &count), ZEVDT_E_NULL_PARAMETER);
        EXPECT_EQ(header, reinterpret_cast<ZevDTHeaderItem*>(&foreign));
        EXPECT_EQ(count, 5u);
        ZevDTHeaderInfoItem* info = nullptr;
        EXPECT_EQ(ZevDTGetHeaderInfo(h, &info, &count), ZEVDT_E_NULL_PARAMETER);
        ZevDTDataItem* data = nullptr;
        EXPECT_EQ(ZevDTGetData(h, &data, &count), ZEVDT_E_NULL_PARAMETER);
        EXPECT_EQ(ZevDTClose(h), ZEVDT_E_NULL_PARAMETER);
        EXPECT_EQ(ZevDTGetSourcePassword(h), nullptr);
        EXPECT_EQ(ZevDTSetSourcePassword(h, "pw"), ZEVDT_E_NULL_PARAMETER);
        EXPECT_EQ(ZevDTExit(h), ZEVDT_OK);
        EXPECT_EQ(count, 5u);
    }
    EXPECT_EQ(foreign, 0);
    // The destroyed object told the library once, and nothing since.
    EXPECT_EQ(control->calls[kFakeExit], 1u);
    EXPECT_EQ(control->logCount, callsBefore);
}

TEST_F(Exports, NullOutPointersAndMembersAreRefusedWithNothingWritten) {
    Init();
    uint32_t count = 5;
    ZevDTHeaderItem* header = nullptr;
    EXPECT_EQ(ZevDTGetHeader(handle, nullptr, &count), ZEVDT_E_NULL_PARAMETER);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(ZevDTGetHeader(handle, &header, nullptr), ZEVDT_E_NULL_PARAMETER);
    EXPECT_EQ(ZevDTGetHeaderInfo(handle, nullptr, &count), ZEVDT_E_NULL_PARAMETER);
    EXPECT_EQ(ZevDTGetData(handle, nullptr, &count), ZEVDT_E_NULL_PARAMETER);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(ZevDTOpen(handle, 2, nullptr, 0), ZEVDT_E_NULL_PARAMETER);
    EXPECT_EQ(control->calls[kFakeSetConnection], 0u);
    // No members at all is an intersection the library may judge.
    EXPECT_EQ(ZevDTOpen(handle, 0, nullptr, 0), ZEVDT_OK);

    ASSERT_EQ(ZevDTSetSourcePassword(handle, "keep"), ZEVDT_OK);
    EXPECT_EQ(ZevDTSetSourcePassword(handle, nullptr), ZEVDT_E_NULL_PARAMETER);
    EXPECT_STREQ(ZevDTGetSourcePassword(handle), "keep");
    EXPECT_EQ(ZevDTInit(0, nullptr), ZEVDT_E_NULL_PARAMETER);
}

TEST_F(Exports, TheSourcePasswordKeepsAtMost30Bytes) {
    Init();
    const char* password = ZevDTGetSourcePassword(handle);
    ASSERT_NE(password, nullptr);
    EXPECT_EQ(std::string(password, 31), std::string(31, '\0'));
    ASSERT_EQ(ZevDTSetSourcePassword(handle, std::string(40, 'p').c_str()), ZEVDT_OK);
    EXPECT_EQ(std::string(password), std::string(30, 'p'));
    // A shorter one leaves no tail of the longer one behind.
    ASSERT_EQ(ZevDTSetSourcePassword(handle, "ab"), ZEVDT_OK);
    EXPECT_EQ(std::string(password, 31), std::string("ab") + std::string(29, '\0'));
}

TEST_F(Exports, EachHandleIsItsOwnObjectOverOneLibraryConnection) {
    void* a = nullptr;
    void* b = nullptr;
    ASSERT_EQ(ZevDTInit(11, &a), ZEVDT_OK);
    ASSERT_EQ(ZevDTInit(12, &b), ZEVDT_OK);
    EXPECT_NE(a, b);
    ASSERT_EQ(ZevDTSetSourcePassword(a, "one"), ZEVDT_OK);
    EXPECT_STREQ(ZevDTGetSourcePassword(b), "");
    EXPECT_EQ(control->initValue, 12u);
    EXPECT_EQ(ZevDTExit(a), ZEVDT_OK);
    EXPECT_EQ(ZevDTExit(a), ZEVDT_OK);
    EXPECT_EQ(ZevDTExit(b), ZEVDT_OK);
    EXPECT_EQ(control->calls[kFakeInit], 2u);
    EXPECT_EQ(control->calls[kFakeExit], 2u);
    EXPECT_EQ(control->foreignHandleCalls, 0u);
}

// The fake's own check, which every interface test ends with: a record or
// out value handed over unzeroed is counted against the call.
// The 32-bit fake keeps only its plain names (no stdcall-decorated import
// library), so this check of it, which calls it directly, is a 64-bit and Linux one.
#if !defined(_WIN32) || defined(_WIN64)
TEST_F(Exports, TheFakeCountsValuesHandedOverUnzeroed) {
    void* library = nullptr;
    ZevDTAPIInit(0, &library);
    ZevDTAPIConnectionInfo info = {};
    info.password[30] = 'x';
    ZevDTAPIGetInfo(library, &info);
    ZevDTAPIColumn** columns = nullptr;
    int32_t count = 1;
    ZevDTAPIGetColumns(library, &columns, &count);
    char text[256] = {};
    text[254] = 'y';
    uint32_t number = 0;
    ZevDTAPIGetError(library, &number, text, 255);
    char** records = reinterpret_cast<char**>(&info);
    int32_t recordCount = 0;
    ZevDTAPIGetFilterDescConditions(library, &records, &recordCount);
    for (FakeFn fn : {kFakeGetInfo, kFakeGetColumns, kFakeGetError, kFakeGetFilterDescConditions}) {
        EXPECT_EQ(control->notZeroed[fn], 1u) << FakeFnName(fn);
        control->notZeroed[fn] = 0;
    }
}
#endif

// The library's exit is its only chance to release what its init set up,
// also when that init handed out no handle.
TEST_F(Exports, ExitEndsTheLibraryEvenWhenItsInitGaveNoHandle) {
    control->initGivesNoHandle = 1;
    void* object = nullptr;
    ASSERT_EQ(ZevDTInit(5, &object), ZEVDT_OK);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(ZevDTExit(object), ZEVDT_OK);
    EXPECT_EQ(control->calls[kFakeExit], 1u);
    EXPECT_EQ(control->exitsWithNoHandle, 1u);
}

TEST_F(Exports, CloseEndsTheReportAndShowsAFailure) {
    Init();
    ASSERT_EQ(Open(), ZEVDT_OK);
    EXPECT_EQ(ZevDTClose(handle), ZEVDT_OK);
    FakeProgram(control, kFakeClose, {0, 77});
    std::strcpy(control->errorText, "Close failed");
    EXPECT_EQ(Run(AnswersOk(), [&] { return ZevDTClose(handle); }), 77u);
    EXPECT_EQ(transcript.lines, std::vector<std::string>{ifacetest::Message(0, "Close failed")});
    // The object serves the next open.
    EXPECT_EQ(Open(), ZEVDT_OK);
}

// Without the whole library, ZevDTInit fails and hands out no handle; the
// transcript says why, for whoever has to mend the installation.
TEST_F(Exports, AMissingLibraryOrFunctionFailsInitWithNoHandle) {
    struct Case {
        std::string path, why;
    };
    for (const Case& c :
         {Case{ifacetest::FakeLibraryPath("no_such_library.so"), "no_such_library.so"},
          Case{ifacetest::FakeLibraryPath(FAKE_DTAPI_INCOMPLETE_FILE), "lacks ZevDTAPIGetFilterData"},
          Case{"relative/zevdtapi.lib", "must name a full path"}}) {
        testsupport::ScopedEnv env("ZEVDTAPI_LIBRARY", c.path);
        void* h = reinterpret_cast<void*>(this);
        EXPECT_EQ(Run(fw::TestDriver(), [&] { return ZevDTInit(0, &h); }), ZEVDT_E_EXCEPTION) << c.path;
        EXPECT_EQ(h, nullptr);
        ASSERT_EQ(transcript.lines.size(), 1u) << c.path;
        EXPECT_EQ(transcript.lines[0].rfind("diagnostic \"the data-transfer library cannot be loaded: ", 0),
                  0u)
            << transcript.lines[0];
        EXPECT_NE(transcript.lines[0].find(c.why), std::string::npos) << transcript.lines[0];
    }
    std::string error;
    testsupport::ScopedEnv env("ZEVDTAPI_LIBRARY", ifacetest::FakeLibraryPath(FAKE_DTAPI_INCOMPLETE_FILE));
    EXPECT_EQ(zevdt::LoadDTAPI(&error), nullptr);
    EXPECT_NE(error.find("ZevDTAPIGetFilterData"), std::string::npos) << error;
    // The fake loaded by path is the very library this test talks to.
    testsupport::ScopedEnv fake("ZEVDTAPI_LIBRARY", ifacetest::FakeLibraryPath());
    Init();
    EXPECT_EQ(control->calls[kFakeInit], 1u);
}

#ifndef _WIN32
TEST_F(Exports, CodesLoadTheirTexts) {
    char text[64];
    EXPECT_EQ(ZevDTLoadString(ZEVDT_E_NULL_PARAMETER, text, sizeof text), 14u);
    EXPECT_STREQ(text, "Null Parameter");
    char small[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(ZevDTLoadString(ZEVDT_E_NULL_PARAMETER, small, sizeof small), 4u);
    EXPECT_STREQ(small, "Null");
    EXPECT_EQ(ZevDTLoadString(1, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
}

// The text a status was shown with reaches a host that saw no box; the next
// call that shows nothing leaves nothing behind.
TEST_F(Exports, TheLastMessageOfAHandleIsKeptForItsHost) {
    Init();
    char text[64] = "x";
    EXPECT_EQ(ZevDTGetLastMessage(nullptr, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
    control->status[kFakeConnect] = FakeStatuses{{2002001}, 1};
    control->errorNumber = 2002001;
    std::strcpy(control->errorText, "The database Plze\xc5\x88.db cannot be opened.");
    EXPECT_EQ(Open(AnswersOk()), 2002001u);
    EXPECT_EQ(ZevDTGetLastMessage(handle, text, sizeof text), 40u);
    EXPECT_STREQ(text, "The database Plze\xc5\x88.db cannot be opened.");
    char small[13];
    EXPECT_EQ(ZevDTGetLastMessage(handle, small, sizeof small), 12u);
    EXPECT_STREQ(small, "The database");
    ZevDTDataItem* items = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(ZevDTGetData(handle, &items, &count), ZEVDT_OK);
    EXPECT_EQ(ZevDTGetLastMessage(handle, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
}
#endif

}  // namespace

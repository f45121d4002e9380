// A host that loaded ZEVDTU by a relative path and then changed its current
// folder (to a document's, say) must still get the data-transfer library
// beside ZEVDTU, never a copy planted where the relative path now points; a
// relative ZEVDTAPI_LIBRARY is refused outright.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "fake_dtapi.h"
#include "support/test_env.h"
#include "zevdtu.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
const char* const kDtapiName = "zevdtapiu.dll";
void* Load(const std::string& path) {
    // The plain call: a relative path is resolved as any host's would be.
    return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
}
void* Symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
#else
const char* const kDtapiName = "libzevdtapiu.so";
void* Load(const std::string& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* Symbol(void* library, const char* name) {
    return dlsym(library, name);
}
#endif

using InitFn = uint32_t(ZEVDT_CALL*)(uintptr_t, void**);
using ExitFn = uint32_t(ZEVDT_CALL*)(void*);
using ControlFn = FakeDTAPIControlBlock* (*)();

FakeDTAPIControlBlock* ControlOf(const fs::path& library) {
    void* module = Load(library.u8string());
    EXPECT_NE(module, nullptr) << library;
    auto control = module ? reinterpret_cast<ControlFn>(Symbol(module, "FakeDTAPIControl")) : nullptr;
    return control ? control() : nullptr;
}

fs::path FreshRoot() {
    const fs::path root = fs::temp_directory_path() / ("zevdt-planted-" + std::to_string(
#ifdef _WIN32
                                                                              GetCurrentProcessId()
#else
                                                                              getpid()
#endif
                                                                                  ));
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return root;
}

TEST(PlantedLibrary, ARelativeLoadThenAChangeOfFolderStillFindsTheLibraryBesideZevdtu) {
    const fs::path root = FreshRoot();
    const fs::path host = root / "host", documents = root / "documents";
    fs::create_directories(host);
    fs::create_directories(documents / "host");
    const fs::path zevdtu = fs::u8path(ZEVDTU_FILE);
    fs::copy_file(zevdtu, host / zevdtu.filename());
    fs::copy_file(fs::u8path(FAKE_DTAPI_PATH), host / kDtapiName);
    // Where a relative path to ZEVDTU's folder leads once the host is in its documents,
    // and the document folder itself: copies that must never be taken.
    fs::copy_file(fs::u8path(FAKE_DTAPI_PATH), documents / "host" / kDtapiName);
    fs::copy_file(fs::u8path(FAKE_DTAPI_PATH), documents / kDtapiName);

    testsupport::ScopedEnv unset("ZEVDTAPI_LIBRARY", std::nullopt);
    const fs::path started = fs::current_path();
    fs::current_path(root);
    void* module = Load((fs::path("host") / zevdtu.filename()).u8string());
    ASSERT_NE(module, nullptr);
    auto init = reinterpret_cast<InitFn>(Symbol(module, "ZevDTInit"));
    auto exit = reinterpret_cast<ExitFn>(Symbol(module, "ZevDTExit"));
    ASSERT_TRUE(init && exit);
    fs::current_path(documents);

    {
        // A relative name of the library is refused, even where it names a good one.
        testsupport::ScopedEnv relative("ZEVDTAPI_LIBRARY", std::string(kDtapiName));
        void* handle = nullptr;
        EXPECT_EQ(init(0, &handle), ZEVDT_E_EXCEPTION);
        EXPECT_EQ(handle, nullptr);
    }
    void* handle = nullptr;
    EXPECT_EQ(init(0, &handle), ZEVDT_OK);
    EXPECT_NE(handle, nullptr);
    exit(handle);
    fs::current_path(started);

    FakeDTAPIControlBlock* beside = ControlOf(host / kDtapiName);
    ASSERT_NE(beside, nullptr);
    EXPECT_EQ(beside->calls[kFakeInit], 1u);
    for (const fs::path& planted : {documents / "host" / kDtapiName, documents / kDtapiName}) {
        FakeDTAPIControlBlock* control = ControlOf(planted);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->calls[kFakeInit], 0u) << planted;
    }
}

#ifndef _WIN32
// With no library beside ZEVDTU, one in the current folder is still not
// taken when LD_LIBRARY_PATH has an empty entry ("/opt/x:", what appending to
// an empty variable gives) or a relative one. The loader reads the variable
// when a process starts, so each case runs in a child started with it.
TEST(PlantedLibrary, NoLibraryFromTheCurrentFolderThroughLdLibraryPath) {
    const fs::path root = FreshRoot(), host = root / "host", documents = root / "documents";
    fs::create_directories(host);
    fs::create_directories(documents);
    const fs::path zevdtu = fs::u8path(ZEVDTU_FILE);
    fs::copy_file(zevdtu, host / zevdtu.filename());
    fs::copy_file(fs::u8path(FAKE_DTAPI_PATH), documents / kDtapiName);
    for (const char* entries : {"/nonexistent:", "::/nonexistent", ".", "../documents"}) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setenv("LD_LIBRARY_PATH", entries, 1);
            setenv("ZEVDT_PLANTED_ROOT", root.c_str(), 1);
            execl("/proc/self/exe", "planted", "--gtest_filter=PlantedLibrary.ChildOfTheLdLibraryPathCase",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "LD_LIBRARY_PATH=" << entries;
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

TEST(PlantedLibrary, ChildOfTheLdLibraryPathCase) {
    const char* rootText = std::getenv("ZEVDT_PLANTED_ROOT");
    if (!rootText)
        GTEST_SKIP() << "run by NoLibraryFromTheCurrentFolderThroughLdLibraryPath";
    const fs::path root = rootText, documents = root / "documents";
    testsupport::ScopedEnv unset("ZEVDTAPI_LIBRARY", std::nullopt);
    void* module = Load((root / "host" / fs::u8path(ZEVDTU_FILE).filename()).u8string());
    ASSERT_NE(module, nullptr);
    auto init = reinterpret_cast<InitFn>(Symbol(module, "ZevDTInit"));
    ASSERT_NE(init, nullptr);
    fs::current_path(documents);
    void* handle = nullptr;
    EXPECT_EQ(init(0, &handle), ZEVDT_E_EXCEPTION);
    EXPECT_EQ(handle, nullptr);
    FakeDTAPIControlBlock* planted = ControlOf(documents / kDtapiName);
    ASSERT_NE(planted, nullptr);
    EXPECT_EQ(planted->calls[kFakeInit], 0u);
}
#endif

}  // namespace
